#!/usr/bin/env bash
# Measures the program next to the bare loop (the same window tree, every
# window only cleared) and writes docs/performance.md: frame rate, key-to-screen
# latency, start-up time, resident memory and the cost per character of each
# way of drawing text. Builds what it needs first (Release, benchmarks on),
# prints every figure as it goes, and takes two to three minutes on a quiet
# machine, longer under load.
#
# usage: bench/report.sh [build-dir]        (default: build-perf in the repository)
# The amounts below can be changed through the environment, e.g. for a quick
# trial: FRAME_ROUNDS=1 LATENCY_KEYS=30 STARTUP_RUNS=2 DRAW_REPETITIONS=3 bench/report.sh
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/.." && pwd)"
buildDir="${1:-$repo/build-perf}"
output="$repo/docs/performance.md"

frameSeconds="${FRAME_SECONDS:-4}"     # measured seconds of each frame-rate run
frameRounds="${FRAME_ROUNDS:-5}"       # frame-rate runs of each loop, alternating
latencyKeys="${LATENCY_KEYS:-60}"      # keys timed, 30 to a fresh program
startupRuns="${STARTUP_RUNS:-10}"      # start-ups of each loop, alternating
drawRepetitions="${DRAW_REPETITIONS:-15}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

loadAverage() {
    cut -d' ' -f1-3 /proc/loadavg
}

# The value of key=value on the first line of a file that matches a pattern.
value() {
    awk -v pattern="$2" -v key="$3" '$0 ~ pattern {
        for (i = 1; i <= NF; ++i) {
            if (index($i, key "=") == 1) { print substr($i, length(key) + 2); exit }
        }
    }' "$1"
}

# Stops the report when a tool printed less than expected, naming what is missing.
requireFigures() {
    local name
    for name in "$@"; do
        if [[ -z "${!name:-}" ]]; then
            echo "report.sh: no figure for $name in the output above" >&2
            exit 1
        fi
    done
}

step() {
    printf '\n== %s (load average %s)\n' "$1" "$(loadAverage)"
}

step "Building in $buildDir"
"$repo/scripts/install-deps.sh" bench
cmake -S "$repo" -B "$buildDir" -DCMAKE_BUILD_TYPE=Release -DGLTEXTDEMO_BENCH=ON \
    -DBUILD_TESTING=ON >"$work/cmake.txt"
cmake --build "$buildDir" -j"$(nproc)" \
    --target gltextdemo frame_rate draw_cost latency startup soak_test >>"$work/cmake.txt"

# The machine, as far as it can be read without the GL (the renderer comes
# from draw_cost, which has a GL context).
cpu="$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)"
cores="$(nproc)"
memory="$(awk '/^MemTotal:/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)"
system="$(. /etc/os-release && echo "$PRETTY_NAME"), Linux $(uname -r)"
date="$(date -u '+%Y-%m-%d %H:%M UTC')"
loadAtStart="$(loadAverage)"
echo "$cpu, $cores cores, $memory; $system; $date"

step "1. Frame rate: program against the bare loop, ${frameRounds} rounds of ${frameSeconds} s"
frameLoad="$(loadAverage)"
"$here/frame_rate.sh" "$buildDir" "$frameSeconds" "$frameRounds" | tee "$work/frame_rate.txt"
textFps="$(value "$work/frame_rate.txt" '^median text ' rotating_fps)"
bareFps="$(value "$work/frame_rate.txt" '^median bare ' rotating_fps)"
textFrameFps="$(value "$work/frame_rate.txt" '^median text ' median_frame_fps)"
bareFrameFps="$(value "$work/frame_rate.txt" '^median bare ' median_frame_fps)"
textCpu="$(value "$work/frame_rate.txt" '^median text ' cpu_us_per_frame)"
bareCpu="$(value "$work/frame_rate.txt" '^median bare ' cpu_us_per_frame)"
read -r fpsRatio fpsRoundRatio fpsVerdict < <(sed -n \
    's/^ratio text\/bare rotating_fps: of medians \([0-9.]*\), median per round \([0-9.]*\) (target >= 0.70: \([A-Za-z]*\)).*/\1 \2 \3/p' \
    "$work/frame_rate.txt") || true
read -r frameRatio frameRoundRatio < <(sed -n \
    's/^ratio text\/bare median_frame_fps: of medians \([0-9.]*\), median per round \([0-9.]*\).*/\1 \2/p' \
    "$work/frame_rate.txt") || true
IFS='|' read -r idleRuns idleTotal < <(sed -n \
    's/^idle redraws of static\/font\/main per text run: \(.*\) (total \([0-9]*\))$/\1|\2/p' \
    "$work/frame_rate.txt") || true
# The ratio within each round, to show how far the load moved it.
roundRatios="$(awk '{
    for (i = 1; i <= NF; ++i) { split($i, kv, "="); f[kv[1]] = kv[2] }
    if (f["mode"] == "text") text[++t] = f["rotating_fps"]
    if (f["mode"] == "bare") bare[++b] = f["rotating_fps"]
} END {
    for (r = 1; r <= t && r <= b; ++r) printf "%s%.2f", (r > 1 ? ", " : ""), text[r] / bare[r]
}' <(grep '^mode=' "$work/frame_rate.txt"))"
requireFigures roundRatios textFps bareFps textFrameFps bareFrameFps textCpu bareCpu fpsRatio fpsRoundRatio \
    fpsVerdict frameRatio frameRoundRatio idleRuns idleTotal
fpsVerdict="$([[ $fpsVerdict == met ]] && echo met || echo missed)"
frameLoad="$frameLoad before, $(loadAverage) after"

step "2. Key-to-screen latency, ${latencyKeys} keys"
latencyLoad="$(loadAverage)"
"$buildDir/bench/latency" --keys "$latencyKeys" | tee "$work/latency.txt"
latencyLoad="$latencyLoad before, $(loadAverage) after"
latency() {
    value "$work/latency.txt" '^latency ' "$1"
}
latencyKeysTimed="$(latency keys)"
requireFigures latencyKeysTimed

step "3 and 4. Start-up time and resident memory, ${startupRuns} runs each"
startupLoad="$(loadAverage)"
"$buildDir/bench/startup" --runs "$startupRuns" | tee "$work/startup.txt"
startupLoad="$startupLoad before, $(loadAverage) after"
startup() {
    value "$work/startup.txt" "^startup mode=$1 " "$2"
}
startupPoll="$(value "$work/startup.txt" '^startup poll' poll_median_us)"
programStartup="$(startup program median_ms)"
bareStartup="$(startup bare median_ms)"
requireFigures startupPoll programStartup bareStartup

step "4. Resident memory over the soak test"
soakLoad="$(loadAverage)"
soakStatus=0
"$buildDir/tests/integration/soak_test" >"$work/soak.txt" 2>&1 || soakStatus=$?
soakLoad="$soakLoad before, $(loadAverage) after"
read -r soakWarm soakEnd < <(sed -n \
    's/^soak: VmRSS \([0-9]*\) KiB after warm-up, \([0-9]*\) KiB at the end$/\1 \2/p' \
    "$work/soak.txt") || true
if [[ -z "${soakEnd:-}" ]]; then
    cat "$work/soak.txt" >&2
fi
requireFigures soakWarm soakEnd
soakVerdict="$([[ $soakStatus -eq 0 ]] && echo passed || echo FAILED)"
echo "soak: VmRSS $soakWarm KiB after warm-up, $soakEnd KiB at the end (test $soakVerdict)"

step "5. Cost per character, ${drawRepetitions} repetitions of each benchmark"
drawLoad="$(loadAverage)"
# Every repetition goes to the CSV file; the console shows the aggregates.
"$here/draw_cost.sh" "$buildDir" --benchmark_repetitions="$drawRepetitions" \
    --benchmark_report_aggregates_only=false --benchmark_display_aggregates_only=true \
    --benchmark_out="$work/draw_cost.csv" --benchmark_out_format=csv | tee "$work/draw_cost.txt"
drawLoad="$drawLoad before, $(loadAverage) after"
renderer="$(sed -n 's/^gl_renderer: //p' "$work/draw_cost.csv" | head -n 1)"
glVersion="$(sed -n 's/^gl_version: //p' "$work/draw_cost.csv" | head -n 1)"

# Per benchmark, from its repetitions: the median, the fastest and the slowest
# time of one draw in microseconds, and the characters one draw holds
# (items per second times seconds per draw).
awk -F, '$1 ~ /\/real_time"$/ {
    name = $1; gsub(/"/, "", name); sub(/\/real_time$/, "", name)
    n = ++count[name]; time[name, n] = $3
    if ($7 != "") chars[name] = int($7 * $3 / 1e6 + 0.5)
}
END {
    for (name in count) {
        n = count[name]
        for (i = 1; i <= n; ++i) sorted[i] = time[name, i]
        for (i = 2; i <= n; ++i)
            for (j = i; j > 1 && sorted[j - 1] > sorted[j]; --j) {
                t = sorted[j]; sorted[j] = sorted[j - 1]; sorted[j - 1] = t
            }
        median = n % 2 ? sorted[(n + 1) / 2] : (sorted[n / 2] + sorted[n / 2 + 1]) / 2
        printf "%s %d %.3f %.3f %.3f %d\n", name, n, median, sorted[1], sorted[n], chars[name] + 0
    }
}' "$work/draw_cost.csv" | sort >"$work/draw_cost_summary.txt"
drawField() {  # benchmark, field: 1 repetitions, 2 median, 3 min, 4 max, 5 characters
    awk -v name="$1" -v field="$2" '$1 == name { print $(field + 1) }' "$work/draw_cost_summary.txt"
}
floor="$(drawField PerCharacter/finishOnly 2)"
sampleLength="$(drawField PerCharacter/bitmapHelvetica18 5)"
linesLength="$(drawField PerCharacter/pixmapCached 5)"
# One table row per way of drawing: the time of one draw, then per character.
drawRow() {
    local name="$1" label="$2"
    awk -v name="$name" -v label="$label" '$1 == name {
        printf "| %s | %d | %.0f (%.0f-%.0f) | %.2f |\n", label, $6, $3, $4, $5, $3 / $6
    }' "$work/draw_cost_summary.txt"
}
redrawRow() {
    local name="$1" label="$2"
    awk -v name="$name" -v label="$label" '$1 == name {
        printf "| %s | %.0f (%.0f-%.0f) |\n", label, $3, $4, $5
    }' "$work/draw_cost_summary.txt"
}
resizing="$(drawField FontViewRedraw/resizing 2)"
cached="$(drawField FontViewRedraw/cached 2)"
requireFigures renderer floor sampleLength linesLength resizing cached
redrawRatio="$(awk -v a="$resizing" -v b="$cached" 'BEGIN { printf "%.2f", a / b }')"

ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'
}
difference() {
    awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", a - b }'
}
mib() {
    awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'
}

step "Writing $output"
{
    cat <<EOF
# Performance

Measured by \`bench/report.sh\` on $date. Every figure below comes
from that one run; running the script again rewrites this file.

## The machine

| | |
| --- | --- |
| processor | $cpu |
| cores | $cores |
| memory | $memory |
| system | $system |
| GL | $renderer, OpenGL $glVersion, through Xvfb's GLX |
| load average (1, 5, 15 min) at the start | $loadAtStart |

The machine is shared: other processes may run tests under their own Xvfb during
the run, and the load average is given with each figure. Absolute times move
with that load from one run to the next, so each figure of the program stands
next to the same figure of the bare loop, measured in the same run in
alternation, and their ratio is the figure to compare between runs. Those
ratios are: frame rate, start-up time and resident memory (program / bare
loop), and a font-view redraw (resizing / cached).

## 1. Frame rate

The spinning view's redraws per second in the program and in the bare loop
(\`bench/frame_rate\`: the program's window tree with every display callback
replaced by a clear and a swap). ${frameRounds} runs of each, alternating,
each ${frameSeconds} s after 1 s of warm-up; medians.
Load average (1, 5, 15 min): $frameLoad.

| | program | bare loop | program / bare loop |
| --- | ---: | ---: | ---: |
| frames per second (all redraws over the run) | $textFps | $bareFps | $fpsRatio |
| frames per second (from the median time between two redraws) | $textFrameFps | $bareFrameFps | $frameRatio |
| processor time per frame, all threads (µs) | $textCpu | $bareCpu | |

The first row counts every redraw, so it also loses the time the process
waited for a core while other processes ran; the second comes from the
typical time between two redraws and shows the cost of a frame when the
process has a core. Processor time counts llvmpipe's rasteriser threads too.

The program takes $(difference "$textCpu" "$bareCpu") µs more processor time per frame than the bare
loop (the difference of the medians).

Target: the program keeps at least 0.70 of the bare loop's frame rate, judged
on the first row: **$fpsVerdict**. The ratio of the medians is $fpsRatio; the
median of the ratios within each round is $fpsRoundRatio, and those ratios,
round by round, are $roundRatios. For the median frame time the ratio of the
medians is $frameRatio and the median of the ratios within each round
$frameRoundRatio.

While nothing is typed or dragged only the spinning view should be redrawn.
Redraws of the static view, the font view and the top-level window in each
program run (static/font/top-level): $idleRuns; total $idleTotal.

## 2. Key-to-screen latency

From an XTest key press until the font view and the top-level window both show
the key: the font view and the strip of the top-level window below it (where
the prompt echoes the text) are read with \`XGetImage\` in turn until each
differs from before the key (\`bench/latency\`). $latencyKeysTimed letters,
typed into $(latency runs) fresh programs (the text holds 31 characters), each
once the screen had settled.
Load average (1, 5, 15 min): $latencyLoad.

| until | median (ms) | 90th percentile (ms) |
| --- | ---: | ---: |
| both windows show the key | $(latency both_median_ms) | $(latency both_p90_ms) |
| the font view shows it | $(latency font_median_ms) | $(latency font_p90_ms) |
| the top-level window shows it | $(latency main_median_ms) | $(latency main_p90_ms) |

Polling resolution: one read of both areas took $(latency poll_median_us) µs (median), so a
change is seen up to that much after it happened. The reading
itself competes with the program for the two cores.

## 3. Start-up time

From the fork that execs the program until all four windows have been drawn
at their first layout (\`bench/startup\`). The screen is white beforehand, so a
window not yet drawn shows white. The program counts as drawn when the strip
below the sub-windows shows the grey background and the white prompt, and each
sub-window shows black background and text, its bottom-right pixel (in the part
the first layout adds) black. The bare loop counts as drawn when that strip is
all grey and each sub-window all black. ${startupRuns} runs of each,
alternating on one X server, after one uncounted run of each; the screen was
read every $startupPoll µs (median).
Load average (1, 5, 15 min): $startupLoad.

| | program | bare loop | program / bare loop |
| --- | ---: | ---: | ---: |
| start-up, median (min-max) (ms) | $programStartup ($(startup program min_ms)-$(startup program max_ms)) | $bareStartup ($(startup bare min_ms)-$(startup bare max_ms)) | $(ratio "$programStartup" "$bareStartup") |

## 4. Resident memory

VmRSS from \`/proc/PID/status\`. At start-up: in the runs of figure 3, the
median of 21 readings over the second after all windows were drawn; the table
gives the median over the runs (min-max). After the soak: the soak test
(\`tests/integration/soak_test\`) reads it, as the median of 21 readings over a
second, once its warm-up of keys, resizes and drags is done and again at the
end, after 2,000 more keys, 200 resizes and 200 drags. It runs the program with
\`MALLOC_MMAP_THRESHOLD_=131072\`, so that glibc's heap does not drift with
the resize history; the start-up runs use glibc's default. Soak test:
$soakVerdict.
Load average (1, 5, 15 min) around the soak: $soakLoad.

| | program | bare loop | program / bare loop |
| --- | ---: | ---: | ---: |
| at start-up, median (min-max) (MiB) | $(mib "$(startup program rss_median_kib)") ($(mib "$(startup program rss_min_kib)")-$(mib "$(startup program rss_max_kib)")) | $(mib "$(startup bare rss_median_kib)") ($(mib "$(startup bare rss_min_kib)")-$(mib "$(startup bare rss_max_kib)")) | $(ratio "$(startup program rss_median_kib)" "$(startup bare rss_median_kib)") |
| soak test, after the warm-up (MiB) | $(mib "$soakWarm") | | |
| soak test, at the end (MiB) | $(mib "$soakEnd") | | |

## 5. Cost per character

Google Benchmark (\`bench/draw_cost\`) in a double-buffered 630 x 120 window
on Xvfb, the size of the font view, drawing a $sampleLength-character sample (the longest
text the program accepts) or, for the FTGL pixmaps, both lines of the font
view ($linesLength characters); \`glFinish()\` after each draw, wall-clock time, since
llvmpipe rasterises on threads of its own.
$(drawField PerCharacter/finishOnly 1) repetitions of each benchmark, shuffled together so that a burst of load falls
on all of them alike. Quoted: the **median** of the repetitions, with the
fastest and slowest in brackets to show how far the load moved them. Per
character: the median draw divided by its characters. Every draw also pays
one \`glFinish()\`, which alone takes $(printf '%.2f' "$floor") µs (median), too
little to matter.
Load average (1, 5, 15 min): $drawLoad.

| way of drawing | characters | one draw, median (min-max) (µs) | per character (µs) |
| --- | ---: | ---: | ---: |
$(drawRow PerCharacter/strokeRomanSmooth3px "GLUT stroke, Roman, smoothed 3-pixel lines (spinning view)")
$(drawRow PerCharacter/strokeRomanPlain1px "GLUT stroke, Roman, plain 1-pixel lines (still view)")
$(drawRow PerCharacter/bitmapTimesRoman24 "GLUT bitmap, Times Roman 24 (prompt)")
$(drawRow PerCharacter/bitmapHelvetica18 "GLUT bitmap, Helvetica 18 (echo)")
$(drawRow PerCharacter/pixmapResizing "FTGL pixmap, size set before each of the two lines (font view)")
$(drawRow PerCharacter/pixmapCached "FTGL pixmap from cached glyphs")

A whole redraw of the font view (clear, both lines, swap), the way the program
does it against one from glyphs cached at both sizes:

| redraw | median (min-max) (µs) |
| --- | ---: |
$(redrawRow FontViewRedraw/resizing "size set before each line, as the program does")
$(redrawRow FontViewRedraw/cached "from cached glyphs")
$(redrawRow FontViewRedraw/clearAndSwapOnly "clear and swap only")

Resizing / cached, of the medians: $redrawRatio. FTGL's \`FaceSize\`
discards the glyph cache even at an unchanged size, so the font view rasterises every
glyph again on each redraw; it redraws only when a key is typed.

## How to read these figures

- Frame rate: llvmpipe draws on the processor and nothing waits for a vertical
  blank, so the loop redraws as fast as the machine lets it; the ratio to the
  bare loop is the share of that speed the text leaves.
- Latency and start-up are wall-clock times as seen by an X client on the same
  machine, polling the screen: they include the server's work and the poll's
  resolution, and they stretch when other processes take the cores.
- The medians are robust to the occasional slow repetition; the min-max
  ranges show how noisy the machine was. Compare runs by the ratios.

Produced with:

    bench/report.sh            # builds in build-perf; two to three minutes when the machine is quiet

with ${frameRounds} frame-rate rounds of ${frameSeconds} s, ${latencyKeys} keys, ${startupRuns} start-ups and
${drawRepetitions} benchmark repetitions (the script's defaults unless changed through
FRAME_ROUNDS, FRAME_SECONDS, LATENCY_KEYS, STARTUP_RUNS and DRAW_REPETITIONS).
EOF
} >"$output"

step "Done"
sed -n '/^## 1\./,/^## How to read/p' "$output" | grep '^|'
echo "wrote $output"
