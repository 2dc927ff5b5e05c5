#!/usr/bin/env bash
# Copies the pictures of the windows that the window tests wrote into
# build/screenshots/ to docs/screenshots/, where the README shows them.
# Run after the tests (./run-tests.sh) when a window has changed.
set -euo pipefail
cd "$(dirname "$0")/.."
shopt -s nullglob
pictures=(build/screenshots/*.png)
if ((${#pictures[@]} == 0)); then
  echo "No pictures in build/screenshots/: run the window tests first (./run-tests.sh)." >&2
  exit 1
fi
mkdir -p docs/screenshots
cp "${pictures[@]}" docs/screenshots/
echo "Copied ${#pictures[@]} pictures to docs/screenshots/."
