#!/usr/bin/env bash
# Instructions per frame of the spinning view, counted by callgrind, for each frame_rate mode,
# and per redraw of the font view (which mode "font" redraws on every pass). Unlike a frame rate
# these counts do not change when other processes load the machine. llvmpipe runs without
# rasteriser threads here (LP_NUM_THREADS=0), so the rasterisation that a buffer swap sets off is
# counted inside glutSwapBuffers. FRAME_RATE_TYPE="some text" types that text before each run.
# usage: bench/frame_cost_callgrind.sh [build-dir] [modes...]   (takes minutes)
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
program="$(realpath "${1:-$here/../build/bench}")/bench/frame_rate"
modes=("${@:2}")
((${#modes[@]})) || modes=(bare plain-lines text)
[[ -x $program ]] || { echo "build $program first (cmake --workflow --preset bench)" >&2; exit 1; }
command -v valgrind >/dev/null || { echo "valgrind is needed" >&2; exit 1; }
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

printf '%-12s %8s %12s %12s %12s %12s %12s\n' mode frames "Ir/frame" displayRot strokeChars swapBuffers "Ir/fontView"
for mode in "${modes[@]}"; do
    # Counting restarts when the measurement starts; the last dump holds only the measured frames
    # (and the few instructions of leaving the loop). Under valgrind, compiling llvmpipe's shaders
    # takes many seconds: the measurement starts once the windows are up and every shader is built.
    line="$("$here/xrun.sh" env LP_NUM_THREADS=0 valgrind --tool=callgrind \
        --callgrind-out-file="$out/$mode" --dump-before='*startMeasuring*' "$program" "$mode" \
        --seconds 6 --warmup 20 ${FRAME_RATE_TYPE:+--type "$FRAME_RATE_TYPE"} 2>/dev/null)"
    read -r frames fontFrames < <(sed -n 's/.* rotating=\([0-9]*\) .* font=\([0-9]*\) .*/\1 \2/p' <<<"$line")
    callgrind_annotate --inclusive=yes "$out/$mode" 2>/dev/null | awk -v mode="$mode" \
        -v frames="$frames" -v fontFrames="$fontFrames" '
        function count(s) { gsub(",", "", s); return s + 0 }
        /PROGRAM TOTALS/ { total = count($1) }
        /:displayRotating\(\)/ { display = count($1) }
        /:glutStrokeCharacter / { stroke = count($1) }
        /:glutSwapBuffers / { swap = count($1) }
        /:displayFont\(\)/ { font = count($1) }
        END {
            printf "%-12s %8d %12.0f %12.0f %12.0f %12.0f %12.0f\n", mode, frames, total / frames,
                display / frames, stroke / frames, swap / frames, fontFrames ? font / fontFrames : 0
        }'
done
echo "(Ir = instructions; displayRot, strokeChars and swapBuffers include what they call;"
echo " in mode bare displayRotating is not called and the swap is the wrapper's own)"
