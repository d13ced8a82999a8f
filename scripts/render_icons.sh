#!/usr/bin/env bash
# Renders the application icon's PNG sizes from its SVG into data/icons/NxN/; the PNGs are committed, so a
# build needs no SVG renderer. Run it after changing the SVG (it installs librsvg2-bin when missing).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
icons="$root/data/icons"
id=io.github.versweep.Versweep

if ! command -v rsvg-convert >/dev/null; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends librsvg2-bin
fi

# The sizes data/CMakeLists.txt installs.
for size in 16 32 48 64 128 256; do
    mkdir -p "$icons/${size}x${size}"
    rsvg-convert --width "$size" --height "$size" --output "$icons/${size}x${size}/$id.png" "$icons/$id.svg"
done
