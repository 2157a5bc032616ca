#!/usr/bin/env bash
# Frame rate of the spinning view with the program's drawing ("text") against the same window
# tree that only clears and swaps ("bare"), in alternating fresh processes, each on an X server of
# its own, so that load from elsewhere on the machine hits both alike. Prints each run, then per
# mode the medians, the ratios to the bare loop and the idle redraws of the other windows.
# usage: bench/frame_rate.sh [build-dir] [seconds per run] [rounds]
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
program="${1:-$here/../build/bench}/bench/frame_rate"
[[ -x $program ]] || { echo "build $program first (cmake --workflow --preset bench)" >&2; exit 1; }

for ((round = 1; round <= ${3:-3}; ++round)); do
    for mode in text bare; do
        "$here/xrun.sh" "$program" "$mode" --seconds "${2:-5}" --warmup 1 | sed "s/^/round=$round /"
    done
done | awk '
function median(v, n,    i, j, t) {
    for (i = 2; i <= n; ++i)
        for (j = i; j > 1 && v[j - 1] > v[j]; --j) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
    return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
}
function medianOf(a, m,    i, v) {
    for (i = 1; i <= runs[m]; ++i) v[i] = a[m, i]
    return median(v, runs[m])
}
{
    print; fflush()
    for (i = 1; i <= NF; ++i) { split($i, kv, "="); f[kv[1]] = kv[2] }
    m = f["mode"]; r = f["round"]
    if (!(m in runs)) order[++modeCount] = m
    n = ++runs[m]; run[m, r] = n
    fps[m, n] = f["rotating_fps"]; frame[m, n] = f["median_frame_fps"]; cpu[m, n] = f["cpu_us_per_frame"]
    idle[m] = idle[m] (n > 1 ? "," : "") f["static"] "/" f["font"] "/" f["main"]
    idleTotal[m] += f["static"] + f["font"] + f["main"]
}
END {
    for (k = 1; k <= modeCount; ++k) {
        m = order[k]; mFps[m] = medianOf(fps, m); mFrame[m] = medianOf(frame, m); mCpu[m] = medianOf(cpu, m)
        printf "median mode=%s rotating_fps=%.1f median_frame_fps=%.1f cpu_us_per_frame=%.1f runs=%d\n",
            m, mFps[m], mFrame[m], mCpu[m], runs[m]
    }
    for (k = 1; k <= modeCount && ("bare" in runs); ++k) {
        if ((m = order[k]) == "bare") continue
        # Neighbouring runs share the load best: the ratio within each round too.
        n = 0; list = ""
        for (r = 1; r <= runs[m]; ++r) if (("bare", r) in run) {
            c[++n] = fps[m, run[m, r]] / fps["bare", run["bare", r]]
            e[n] = frame[m, run[m, r]] / frame["bare", run["bare", r]]
            list = list (n > 1 ? "," : "") sprintf("%.2f", c[n])
        }
        printf "ratio mode=%s fps=%.3f fps_per_round=%.3f frame_fps=%.3f frame_fps_per_round=%.3f",
            m, mFps[m] / mFps["bare"], median(c, n), mFrame[m] / mFrame["bare"], median(e, n)
        printf " round_ratios=%s cpu_extra_us=%.1f target_0.70=%s\n", list, mCpu[m] - mCpu["bare"],
            (mFps[m] / mFps["bare"] >= 0.7 ? "met" : "missed")
        # While nothing is typed or dragged, only the spinning view should be redrawn.
        printf "idle mode=%s static/font/main=%s total=%d\n", m, idle[m], idleTotal[m]
    }
}'
