#!/usr/bin/env bash
# Installs what is missing, builds the demo and runs it in a directory that holds
# a TrueType font under the name it looks for (DejaVu Sans unless
# GLTEXTDEMO_FONT names another file). Arguments go to GLUT (-display, ...).
# Without a reachable display it runs the demo on a private Xvfb instead, types
# a sample line and prints the path of a PNG of the window; arguments then go
# to gltextdemo-snapshot (default: build/gltextdemo.png).
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
