#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the whole
# suite in build/, then the damaged-input tests again under AddressSanitizer
# in build/asan.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build -G Ninja -DNUTARO_BUILD_TESTS=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DNUTARO_SANITIZE=address,undefined \
  -DNUTARO_BUILD_GUI=OFF -DNUTARO_BUILD_BENCH=OFF -DNUTARO_BUILD_TESTS=ON
robustness=$(ctest --test-dir build/asan -N -L robustness | sed -n 's/^ *Test *#[0-9]*: //p')
if [ -n "$robustness" ]; then
  # shellcheck disable=SC2086
  cmake --build build/asan -j "$jobs" --target $robustness
  ctest --test-dir build/asan --output-on-failure -L robustness
fi
