#!/usr/bin/env bash
# Frame rate of the spinning view with the program's drawing ("text") against
# the same window tree that only clears and swaps ("bare"), alternating fresh
# processes so that load from elsewhere on the machine hits both alike.
#
# usage: bench/frame_rate.sh [build-dir] [seconds per run] [rounds]
# FRAME_RATE_MODES="text bare plain-lines" adds the text drawn with plain lines;
# FRAME_RATE_TYPE="some text" types that text before each run starts.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
buildDir="$(cd "${1:-$here/../build-bench}" && pwd)"
seconds="${2:-5}"
rounds="${3:-3}"
read -r -a modes <<<"${FRAME_RATE_MODES:-text bare}"
warmup=1
typeArgs=()
if [[ -n "${FRAME_RATE_TYPE:-}" ]]; then
    typeArgs=(--type "$FRAME_RATE_TYPE")
fi
program="$buildDir/bench/frame_rate"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf

# shellcheck source=bench/xvfb.sh
source "$here/xvfb.sh"
requireBenchInputs "$program" "$font"
startBenchXvfb

# The program loads verdana.ttf from its working directory.
workDir="$(mktemp -d)"
trap 'stopBenchXvfb; rm -rf "$workDir"' EXIT
cp "$font" "$workDir/verdana.ttf"

results="$workDir/results"
echo "DISPLAY=$DISPLAY, $rounds rounds of (${modes[*]}), ${seconds}s each after ${warmup}s warm-up"
# Other processes on a shared machine slow both modes, but not alike: this
# says how loaded the machine was around the runs.
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
for ((round = 1; round <= rounds; ++round)); do
    for mode in "${modes[@]}"; do
        line="$(cd "$workDir" && onBenchDisplay "$program" "$mode" --seconds "$seconds" --warmup "$warmup" "${typeArgs[@]}")"
        echo "$line"
        echo "round=$round $line" >>"$results"
    done
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

# Reads "round=R mode=M key=value ..." lines and reports, per mode, the
# median of each figure; then the frame-rate ratio to the bare loop, both of
# the medians and as the median of the ratios within each round (neighbouring
# runs share the machine's load best).
awk '
function median(list, n,    sorted, i, j, t) {
    for (i = 1; i <= n; ++i) sorted[i] = list[i]
    for (i = 2; i <= n; ++i)
        for (j = i; j > 1 && sorted[j - 1] > sorted[j]; --j) {
            t = sorted[j]; sorted[j] = sorted[j - 1]; sorted[j - 1] = t
        }
    return n % 2 ? sorted[(n + 1) / 2] : (sorted[n / 2] + sorted[n / 2 + 1]) / 2
}
{
    delete f
    for (i = 1; i <= NF; ++i) { split($i, kv, "="); f[kv[1]] = kv[2] }
    m = f["mode"]; r = f["round"]
    if (!(m in runs)) order[++modeCount] = m
    n = ++runs[m]
    fps[m, n] = f["rotating_fps"]; med[m, n] = f["median_frame_fps"]; cpu[m, n] = f["cpu_us_per_frame"]
    roundFps[m, r] = f["rotating_fps"]; roundMed[m, r] = f["median_frame_fps"]; rounds[r] = 1
    if (m != "bare") { idle[m] += f["static"] + f["font"] + f["main"]; idleDetail[m] = idleDetail[m] sprintf(" %d/%d/%d", f["static"], f["font"], f["main"]) }
}
END {
    for (k = 1; k <= modeCount; ++k) {
        m = order[k]
        for (i = 1; i <= runs[m]; ++i) { a[i] = fps[m, i]; b[i] = cpu[m, i]; d[i] = med[m, i] }
        medFps[m] = median(a, runs[m]); medMed[m] = median(d, runs[m])
        printf "median %-11s rotating_fps=%.1f median_frame_fps=%.1f cpu_us_per_frame=%.1f (%d runs)\n", m, medFps[m], medMed[m], median(b, runs[m]), runs[m]
    }
    if (!("bare" in medFps)) exit
    for (k = 1; k <= modeCount; ++k) {
        m = order[k]
        if (m == "bare") continue
        n = 0
        for (r in rounds) if ((m, r) in roundFps && ("bare", r) in roundFps) {
            ++n; c[n] = roundFps[m, r] / roundFps["bare", r]; e[n] = roundMed[m, r] / roundMed["bare", r]
        }
        ratio = medFps[m] / medFps["bare"]
        printf "ratio %s/bare rotating_fps: of medians %.3f, median per round %.3f (target >= 0.70: %s)\n", m, ratio, median(c, n), (ratio >= 0.7 ? "met" : "MISSED")
        printf "ratio %s/bare median_frame_fps: of medians %.3f, median per round %.3f\n", m, medMed[m] / medMed["bare"], median(e, n)
    }
    # While nothing is typed or dragged, only the spinning view should be redrawn.
    for (k = 1; k <= modeCount; ++k) {
        m = order[k]
        if (m == "bare") continue
        printf "idle redraws of static/font/main per %s run:%s (total %d)\n", m, idleDetail[m], idle[m]
    }
}' "$results"
