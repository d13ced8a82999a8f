#!/usr/bin/env bash
# Installs the dependencies, builds the optimised configuration and starts the Versweep window; any
# arguments go to the program. Without a display it runs on a virtual one (Xvfb), as a headless machine has.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
(
    cd "$root"
    bash scripts/deps.sh
    cmake --preset release >/dev/null
    cmake --build --preset release
)
program="$root/build/release/src/app/versweep"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "run: no display; starting Versweep on a virtual one (scripts/screenshot.sh shows what it looks like)" >&2
    exec xvfb-run -a "$program" "$@"
fi
exec "$program" "$@"
