#!/usr/bin/env bash
# Renders the committed PNG icons from tavrin.svg. Run it after changing the
# drawing and commit the result; the build itself only copies the PNGs, so it
# needs no SVG renderer. Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
if ! command -v rsvg-convert >/dev/null; then
    echo "rsvg-convert is missing: apt-get install librsvg2-bin" >&2
    exit 1
fi
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" --keep-aspect-ratio tavrin.svg \
        --output "tavrin-$size.png"
done
# The Windows icon (program file, installer, Start menu), from the PNGs;
# needs ImageMagick (Debian package imagemagick).
/usr/bin/convert tavrin-16.png tavrin-32.png tavrin-48.png tavrin-256.png tavrin.ico
