#!/usr/bin/env bash
# Start-up figures of the program on the simulated keyboard, side by side in one run: time from process
# start to the main window mapped, resident memory 5 s after mapping, CPU over 30 s idle.
# Builds the release preset, and runs on DISPLAY or, without one, on a private Xvfb.
#   bench/app/startup_bench.sh [runs] [settle seconds] [idle seconds]
set -euo pipefail
cd "$(dirname "$0")/../.."

cmake --preset release >/dev/null
cmake --build --preset release --target Torvik startup_probe >/dev/null

. tools/xvfb.sh
[ -n "${DISPLAY:-}" ] || start_private_xvfb startup_bench.sh

echo "Torvik --simulate on $DISPLAY ($(nproc) cores, $(uname -r))"
build-release/bench/startup_probe "$PWD/build-release/bin/Torvik" "${1:-5}" "${2:-5}" "${3:-30}"
