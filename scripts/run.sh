#!/usr/bin/env bash
# Sets everything up, builds the release programs and starts the desktop
# program (or, with --headless, the runner with the arguments that follow).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"

if [ "${1:-}" = "--headless" ]; then
  shift
  exec "$root/build/release/dramolex-run" "$@"
fi
exec "$root/build/release/dramolex" "$@"
