#!/usr/bin/env bash
# Installs what is missing, builds the demo and runs it from where you are, as the program runs
# anywhere: with verdana.ttf there, or else the system's own font (GLTEXTDEMO_FONT names another
# file). Arguments go to GLUT (-display, ...). With no display reachable it runs the demo on a
# private Xvfb, types a sample line and prints the path of a PNG of the window; arguments then go to
# gltextdemo-snapshot (default: build/gltextdemo.png).
set -euo pipefail
font=${GLTEXTDEMO_FONT:+$(realpath -m -- "$GLTEXTDEMO_FONT")}
here=$PWD
cd "$(dirname "$0")"

scripts/install-deps.sh run
CMAKE_BUILD_PARALLEL_LEVEL=$(nproc) cmake --workflow --preset release >/dev/null
[[ -z $font || -f $font ]] || { echo "run.sh: font file not found: $font" >&2; exit 1; }

if ! build/release/tools/gltextdemo-snapshot --probe-display; then
    echo "No display reachable: running the demo on a private Xvfb." >&2
    [[ $# -gt 0 ]] || set -- build/gltextdemo.png
    exec build/release/tools/gltextdemo-snapshot --font "$font" "$@"
fi

program=$PWD/build/release/gltextdemo
if [[ -n $font ]]; then
    mkdir -p build/run
    ln -sfn "$font" build/run/verdana.ttf
    here=build/run
fi
cd "$here"
exec "$program" "$@"
