#!/usr/bin/env bash
# Builds everything with warnings as errors and runs the whole test suite through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZOLVELT_WERROR=ON
cmake --build build/test -j2
ctest --test-dir build/test -j2 --output-on-failure
