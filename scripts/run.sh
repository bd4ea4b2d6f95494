#!/usr/bin/env bash
# Sets everything up, builds the release programs and starts the desktop
# program (or, with --headless, the runner with the arguments that follow).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# The desktop program needs a display; without one Qt only says it cannot
# load its platform plugin. Say what to do instead, before building anything.
if [ "${1:-}" != "--headless" ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] &&
   [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<'EOF'
run.sh: no display here (DISPLAY and WAYLAND_DISPLAY are not set), so the desktop program cannot open its windows.
Either run `bash scripts/run.sh` on a machine with a display (or over `ssh -X`),
or run a simulation headless here, for example:
  bash scripts/run.sh --headless --agents 1001 --groupers 30 --groups 4 --lifespan 50 \
      --rounds 2000 --log run.log --csv run.csv --charts .
which writes the log, the CSV and the seven chart PNGs into the checkout's top folder
(`bash scripts/run.sh --headless --help` lists every option).
EOF
  exit 1
fi

bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"

if [ "${1:-}" = "--headless" ]; then
  shift
  exec "$root/build/release/dramolex-run" "$@"
fi
exec "$root/build/release/dramolex" "$@"
