#!/usr/bin/env bash
# Sets everything up, builds and runs the whole suite. Usage: tools/test.sh [default|asan]
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"

tools/setup-deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"

# The X11 tests need a display; without one the suite gets its own Xvfb. -noreset: by default the
# server resets whenever its last client leaves, which happens between two tests, and a test that
# connects during the reset cannot open the display.
if [ -z "${DISPLAY:-}" ]; then
  if ! command -v Xvfb >/dev/null; then
    echo "test.sh: DISPLAY is not set and Xvfb is missing (tools/setup-deps.sh installs it)" >&2
    exit 1
  fi
  displayfile=$(mktemp)
  Xvfb -displayfd 5 -screen 0 1920x1080x24 -nolisten tcp -noreset 5>"$displayfile" 2>/dev/null &
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2>/dev/null; rm -f "$displayfile"' EXIT
  # Xvfb writes its display number once it accepts connections.
  for _ in $(seq 300); do grep -q . "$displayfile" && break; sleep 0.1; done
  if ! grep -q . "$displayfile"; then
    echo "test.sh: Xvfb did not start within 30 s" >&2
    exit 1
  fi
  export DISPLAY=":$(head -n 1 "$displayfile")"
fi

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
ctest --preset "$preset" -j "$(nproc)"
