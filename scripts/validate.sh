#!/usr/bin/env bash
# Regenerates the validation report: builds the release Python module and the
# life-span period tool, plays the sweeps in validation/*.toml and rewrites
# docs/validation.md and its figures in docs/validation/.
#
#   bash scripts/validate.sh           # the full report (under 20 minutes on 2 cores)
#   bash scripts/validate.sh --quick   # smaller runs, the same checks (CI; under 3 minutes)
#
# Exits non-zero when any check fails its statistical test; the report is
# written either way. --out DIR writes the report elsewhere (quick mode in CI
# uses a temporary directory so the committed report stays the full one).
set -euo pipefail
cd "$(dirname "$0")/.."

mode=()
out=docs
while [ $# -gt 0 ]; do
  case "$1" in
    --quick) mode=(--quick) ;;
    --out) out="$2"; shift ;;
    -h|--help) sed -n '2,11p' "$0"; exit 0 ;;
    *) echo "validate.sh: unknown argument '$1' (accepted: --quick, --out DIR)" >&2; exit 2 ;;
  esac
  shift
done

build=build/release
if [ ! -f "$build/CMakeCache.txt" ]; then cmake --preset release >/dev/null; fi
cmake --build "$build" --target dramolex_python lifespan_period -j "$(nproc)"

PYTHONPATH="$PWD/$build/python" MPLBACKEND=Agg \
  /usr/bin/python3 validation/report.py "${mode[@]}" --build-dir "$build" --out "$out"
