#!/usr/bin/env bash
# Installs what is missing, builds the converter and starts its window.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DNUTARO_BUILD_TESTS=OFF -DNUTARO_BUILD_BENCH=OFF
cmake --build build --target nutaro-konverter
exec build/app/nutaro-konverter "$@"
