#!/usr/bin/env bash
# scripts/run.sh on a machine without a display must say what to do instead,
# and build nothing, rather than end in Qt's platform plugin error.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
err=$(mktemp)
trap 'rm -f "$err"' EXIT

timeout 60 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM bash "$root/scripts/run.sh" >/dev/null 2>"$err"
status=$?
fail() {
  echo "FAIL: $1"
  echo "--- stderr:"
  cat "$err"
  exit 1
}
[ "$status" -eq 1 ] || fail "exit status $status, expected 1"
grep -q "no display" "$err" || fail "does not say that there is no display"
grep -q -- "scripts/run.sh --headless --agents" "$err" || fail "does not show a headless command"
if grep -q "platform plugin" "$err"; then fail "reached Qt's platform plugin error"; fi
echo "PASS"
