#!/usr/bin/env bash
# Rewrites the golden run log from the current sources: rebuilds dramolex-run
# in the given build directory (default build/release) first. Run it only when
# a change to the model or the log format is intended, and commit the result
# on its own.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build/release}
cmake --build "$build" --target dramolex-run
# shellcheck disable=SC2046
"$build/dramolex-run" $(cat "$here/herding_mortality.args") --quiet --log "$here/herding_mortality.log"
echo "rewrote $here/herding_mortality.log"
