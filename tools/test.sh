#!/usr/bin/env bash
# Sets everything up, builds and runs the whole suite. Usage: tools/test.sh [default|asan]
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"

tools/setup-deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"

# The X11 tests need a display; without one the suite gets its own Xvfb.
. tools/xvfb.sh
[ -n "${DISPLAY:-}" ] || start_private_xvfb test.sh

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
ctest --preset "$preset" -j "$(nproc)"
