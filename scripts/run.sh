#!/usr/bin/env bash
# Installs the dependencies, builds the optimised configuration and starts Versweep.
# The window is not built yet: until it is, this runs the command-line twin on FOLDER
# (default: the current directory) and passes any further options through.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
(
    cd "$root"
    bash scripts/deps.sh
    cmake --preset release >/dev/null
    cmake --build --preset release
)
if [ $# -eq 0 ]; then
    set -- "$(pwd)"
fi
exec "$root/build/release/src/cli/versweep-scan" "$@"
