#!/usr/bin/env bash
# Sets everything up and runs the whole test suite: every test under
# AddressSanitizer and UBSan, the threaded tests under ThreadSanitizer, and
# a release build of the programs and benchmarks, against which the Python
# package's tests run.
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

# Debian's interpreter: it sees the python3-* packages that setup.sh installs.
# pytest exits 5 when it collects no test, which fails this script too.
PYTHONPATH="$PWD/build/release/python" MPLBACKEND=Agg \
  /usr/bin/python3 -m pytest -p no:cacheprovider -q tests/python

# The validation report's checks on small runs; the report goes to a
# temporary directory so the committed one stays the full report.
validation_out=$(mktemp -d)
trap 'rm -rf "$validation_out"' EXIT
bash scripts/validate.sh --quick --out "$validation_out"
