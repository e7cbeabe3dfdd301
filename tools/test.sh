#!/usr/bin/env bash
# Sets everything up, builds and runs the whole suite. Usage: tools/test.sh [default|asan]
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"

tools/setup-deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"

# The X11 tests need a display; without one the suite gets its own Xvfb.
if [ -z "${DISPLAY:-}" ] && command -v Xvfb >/dev/null; then
  displayfile=$(mktemp)
  Xvfb -displayfd 5 -screen 0 1920x1080x24 -nolisten tcp 5>"$displayfile" 2>/dev/null &
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2>/dev/null; rm -f "$displayfile"' EXIT
  for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.05; done
  export DISPLAY=":$(cat "$displayfile")"
fi

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
ctest --preset "$preset" -j "$(nproc)"
