#!/usr/bin/env bash
# Sets everything up and runs the whole test suite: every test under
# AddressSanitizer and UBSan, the threaded tests under ThreadSanitizer, and
# a release build of the programs and benchmarks.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake --preset debug >/dev/null
cmake --build --preset debug -j "$jobs"
ctest --preset debug -j "$jobs"

cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs"
ctest --preset tsan -j "$jobs"

cmake --preset release >/dev/null
cmake --build --preset release -j "$jobs"
# The stored run log, from the optimised build as well.
ctest --preset release -L golden
