#!/usr/bin/env bash
# Renders icon.svg to the PNG sizes under icons/, for desktops and window
# managers that read no SVG and for the window icon built into the program.
# Run after changing icon.svg and commit the PNGs (needs librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for n in 16 24 32 48 64 128 256; do
    rsvg-convert --width "$n" --height "$n" icon.svg --output "icons/$n.png"
done
