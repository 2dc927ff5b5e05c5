#!/usr/bin/env bash
# Installs what the build and the tests need and is not yet on the machine:
# Debian packages through apt-get (with sudo unless we are root) and the npm
# packages of testing/js (the independent Access reader used by the tests).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
  libgtest-dev libgmock-dev libbenchmark-dev
  # the differential test of the SQL engine compares its answers with SQLite's
  libsqlite3-dev
  mdbtools locales
  # the tests of the installed program, its package and its file type
  desktop-file-utils appstream shared-mime-info xdg-utils libfile-mimeinfo-perl
  dpkg-dev groff-base
)
# Node.js and npm often come from outside Debian (with npm bundled); only ask
# apt for them when the commands are missing.
command -v node >/dev/null 2>&1 || packages+=(nodejs)
command -v npm >/dev/null 2>&1 || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ ! -d testing/js/node_modules/mdb-reader ]; then
  (cd testing/js && npm ci --no-audit --no-fund --loglevel=error)
fi
