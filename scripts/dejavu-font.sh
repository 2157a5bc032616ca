#!/usr/bin/env bash
# Prints the path of DejaVu Sans, the font the demo, its tests and benchmarks
# draw with: where Debian puts it, or wherever fontconfig knows it to be.
set -euo pipefail

font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
[[ -f $font ]] || ! command -v fc-match >/dev/null || font=$(fc-match -f '%{file}' 'DejaVu Sans')
[[ $font == */DejaVuSans.ttf && -f $font ]] ||
    { echo "DejaVu Sans not found: install fonts-dejavu-core or its like" >&2; exit 1; }
echo "$font"
