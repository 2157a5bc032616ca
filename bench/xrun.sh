#!/usr/bin/env bash
# Runs one command on an X server of its own (Debian's xvfb-run), in a fresh working directory
# holding verdana.ttf, a link to DejaVu Sans, where the program looks for its font.
# usage: bench/xrun.sh COMMAND [ARGS...]
set -euo pipefail

font="$("$(dirname "$0")/../scripts/dejavu-font.sh")"
[[ $1 != */* ]] || set -- "$(realpath "$1")" "${@:2}"
workDir="$(mktemp -d)"
trap 'rm -rf "$workDir"' EXIT
ln -s "$font" "$workDir/verdana.ttf"
cd "$workDir"
xvfb-run -a -s '-screen 0 1280x1024x24 -nolisten tcp' "$@"
