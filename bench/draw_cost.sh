#!/usr/bin/env bash
# Cost of drawing text on this GL: runs the draw_cost benchmarks under a
# private Xvfb and prints their aggregates over nine repetitions and the
# resizing/cached ratio of a font-view redraw. On a quiet machine quote the
# median; where other processes come and go, "min", the least disturbed
# repetition, is the steadier figure from one run of this script to the next. The repetitions of all the
# benchmarks are shuffled together, so a burst of load from other processes
# spreads over all of them instead of falling on one. Every aggregate is taken
# column by column: in the "min" rows time_per_char is the fastest repetition,
# but items_per_second the slowest.
#
# usage: bench/draw_cost.sh [build-dir] [more benchmark options]
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
buildDir="$(cd "${1:-$here/../build-bench}" && pwd)"
shift || true
program="$buildDir/bench/draw_cost"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf

# shellcheck source=bench/xvfb.sh
source "$here/xvfb.sh"
requireBenchInputs "$program" "$font"
startBenchXvfb

echo "DISPLAY=$DISPLAY"
onBenchDisplay "$program" --benchmark_repetitions=9 --benchmark_min_time=0.2 \
    --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true \
    "$@" "$font"
