#!/usr/bin/env bash
# Takes the README's screenshots of both windows on a virtual X display and
# writes them to docs/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
dpkg-query -W -f='${Status}' xvfb 2>/dev/null | grep -q "install ok installed" || bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release --target take_screenshots
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Chart images and the log land in a scratch directory.
(cd "$work" && xvfb-run -a -s "-screen 0 1280x900x24" "$root/build/release/take_screenshots" "$root/docs")
echo "wrote docs/form1.png and docs/form2.png"
