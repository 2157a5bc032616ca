#!/usr/bin/env bash
# Installs what is missing, builds the demo and runs it where a TrueType font
# has the name it looks for (DejaVu Sans, or the file GLTEXTDEMO_FONT names);
# arguments go to GLUT (-display, ...). With no display reachable it runs the
# demo on a private Xvfb, types a sample line and prints the path of a PNG of
# the window; arguments go to gltextdemo-snapshot (default: build/gltextdemo.png).
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh run
CMAKE_BUILD_PARALLEL_LEVEL=$(nproc) cmake --workflow --preset release >/dev/null

font=${GLTEXTDEMO_FONT:-$(scripts/dejavu-font.sh)}
[[ -f $font ]] || { echo "run.sh: font file not found: $font" >&2; exit 1; }

if ! build/release/tools/gltextdemo-snapshot --probe-display; then
    echo "No display reachable: running the demo on a private Xvfb." >&2
    [[ $# -gt 0 ]] || set -- build/gltextdemo.png
    exec build/release/tools/gltextdemo-snapshot --font "$font" "$@"
fi

mkdir -p build/run
ln -sfn "$(realpath "$font")" build/run/verdana.ttf
cd build/run
exec ../release/gltextdemo "$@"
