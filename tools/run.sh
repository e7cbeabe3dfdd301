#!/usr/bin/env bash
# Sets everything up, builds and starts the program on the simulated keyboard (Torvik --simulate) on
# your display. Without a display it starts a private Xvfb, has the program write a screenshot of its
# window there, and prints the screenshot's path. Arguments replace --simulate (tools/run.sh
# --simulate=101); for a real keyboard start build/bin/Torvik itself.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default

args=("$@")
[ ${#args[@]} -eq 0 ] && args=(--simulate)
if [ -n "${DISPLAY:-}" ]; then
  exec build/bin/Torvik "${args[@]}"
fi

. tools/xvfb.sh
start_private_xvfb run.sh
screenshot="${TMPDIR:-/tmp}/torvik-$(date +%Y%m%d-%H%M%S).png"
echo "run.sh: no display; the window goes to a private Xvfb and into a screenshot" >&2
build/bin/Torvik "${args[@]}" --screenshot "$screenshot" </dev/null >/dev/null
echo "$screenshot"
