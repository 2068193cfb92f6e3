#!/bin/sh
# Render every icon SVG in this directory to a PNG beside it.
# Run by hand after editing an SVG; the build only uses the PNGs.
set -e
cd "$(dirname "$0")"
for svg in *.svg; do
    base=${svg%.svg}
    case "$base" in
        logo)  w=64;  h=64 ;;
        title) w=350; h=100 ;;
        about) w=441; h=111 ;;
        *)     w=16;  h=16 ;;
    esac
    rsvg-convert -w "$w" -h "$h" "$svg" -o "$base.png"
done
