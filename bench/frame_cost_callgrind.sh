#!/usr/bin/env bash
# Instructions per frame of the spinning view, counted by callgrind, for each
# frame_rate mode. Unlike a frame rate this count does not change when other
# processes load the machine. llvmpipe runs without rasteriser threads here
# (LP_NUM_THREADS=0), so the rasterisation that a buffer swap sets off is
# counted inside glutSwapBuffers rather than on threads of its own.
#
# usage: bench/frame_cost_callgrind.sh [build-dir] [modes...]   (takes minutes)
# FRAME_RATE_TYPE="some text" types that text before each run starts.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
buildDir="$(cd "${1:-$here/../build-bench}" && pwd)"
shift || true
modes=("$@")
((${#modes[@]})) || modes=(bare plain-lines text)
program="$buildDir/bench/frame_rate"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
# Under valgrind, compiling llvmpipe's shaders takes many seconds: start
# counting only once the windows are up and every shader is built.
warmup=20
seconds=6
typeArgs=()
if [[ -n "${FRAME_RATE_TYPE:-}" ]]; then
    typeArgs=(--type "$FRAME_RATE_TYPE")
fi

[[ -x "$program" ]] || { echo "build $program first (-DGLTEXTDEMO_BENCH=ON)" >&2; exit 1; }
command -v valgrind >/dev/null || { echo "valgrind is needed" >&2; exit 1; }

# shellcheck source=bench/xvfb.sh
source "$here/xvfb.sh"
startBenchXvfb

workDir="$(mktemp -d)"
trap 'stopBenchXvfb; rm -rf "$workDir"' EXIT
cp "$font" "$workDir/verdana.ttf"

printf '%-12s %8s %12s %12s %12s %12s %12s\n' mode frames "Ir/frame" displayRot strokeChars swapBuffers "Ir/fontView"
for mode in "${modes[@]}"; do
    out="$workDir/callgrind.$mode"
    # Counting restarts when the measurement starts; the last dump holds only
    # the measured frames (and the few instructions of leaving the loop).
    line="$(cd "$workDir" && LP_NUM_THREADS=0 valgrind --tool=callgrind --callgrind-out-file="$out" \
        --dump-before='*startMeasuring*' "$program" "$mode" --seconds "$seconds" \
        --warmup "$warmup" "${typeArgs[@]}" 2>/dev/null)"
    frames="$(sed -n 's/.* rotating=\([0-9]*\) .*/\1/p' <<<"$line")"
    fontFrames="$(sed -n 's/.* font=\([0-9]*\) .*/\1/p' <<<"$line")"
    callgrind_annotate --inclusive=yes "$out" 2>/dev/null | awk -v mode="$mode" -v frames="$frames" \
        -v fontFrames="$fontFrames" '
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
