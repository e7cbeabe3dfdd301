#!/usr/bin/env bash
# Sets everything up, builds and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
exec build/bin/Torvik "$@"
