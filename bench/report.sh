#!/usr/bin/env bash
# Measures the program next to the bare loop (the same window tree, every window only cleared):
# frame rate, key-to-screen latency, start-up time, memory and the cost per character of each way
# of drawing text. Builds it first (the preset "bench"), prints every figure as it goes and writes
# docs/performance.md and its two plots, or all three into the folder given. For a quick trial:
# FRAME_ROUNDS=1 FRAME_SECONDS=1 LATENCY_KEYS=10 STARTUP_RUNS=2 DRAW_REPETITIONS=3 bench/report.sh /tmp/report
set -euo pipefail

repo="$(cd "$(dirname "$0")/.." && pwd)"
buildDir="$repo/build/bench"
out="$(realpath -m "${1:-$repo/docs}")"
mkdir -p "$out"
frameSeconds="${FRAME_SECONDS:-4}"     # measured seconds of each frame-rate run
frameRounds="${FRAME_ROUNDS:-5}"       # frame-rate runs of each loop, alternating
latencyKeys="${LATENCY_KEYS:-60}"      # keys timed, 30 to a fresh program
startupRuns="${STARTUP_RUNS:-10}"      # start-ups of each loop, alternating
drawRepetitions="${DRAW_REPETITIONS:-15}"  # at least 2, for the median, min and max
work="$(mktemp -d)"  # what each step prints in STEP.txt
trap 'rm -rf "$work"' EXIT

# Runs one part, shows and keeps what it prints, and notes the load average around it.
declare -A load
step() {
    local part="$1" before
    before="$(cut -d' ' -f1-3 /proc/loadavg)"
    printf '\n== %s (load average %s)\n' "$part" "$before"
    "${@:2}" 2>&1 | tee "$work/$part.txt"
    load[$part]="$before before, $(cut -d' ' -f1-3 /proc/loadavg) after"
}
# Stops the report unless part $1 printed a line that starts as each pattern after it (extended
# regular expressions) does: a tool whose output changed fails here, by name, not at the page.
expect() {
    local line
    for line in "${@:2}"; do
        grep -Eq "^$line" "$work/$1.txt" || { echo "report.sh: step $1 printed no line '$line'" >&2; exit 1; }
    done
}
soakLine="soak: heap held by our code ([0-9]+) bytes after warm-up, ([0-9]+) at the end; the libraries' share changed by (-?[0-9]+) KiB"
soak() {  # the soak test's line, and its figures as one of the report's; all it printed if it failed
    "$buildDir/tests/integration/soak_test" >"$work/soak.log" 2>&1 || { local verdict=FAILED; cat "$work/soak.log"; }
    sed -En "/^soak: /{p; s/^$soakLine\$/soak ours_warm_bytes=\1 ours_end_bytes=\2 libraries_kib=\3 verdict=${verdict:-passed}/p}" "$work/soak.log"
}
# draw_cost's table, then from Google Benchmark's CSV file the median, fastest and slowest
# repetition of each benchmark, of one draw and per character, as the report's figures.
draw() {
    "$buildDir/bench/draw_cost" --benchmark_out="$work/draw.csv" --benchmark_out_format=csv "$@"
    awk -F, '{ gsub(/"/, "") } $1 == "name" { for (i = 1; i <= NF; ++i) column[$i] = i }
    split($1, n, "/real_time_") == 2 && n[2] ~ /^(median|min|max)$/ {
        us[n[1], n[2]] = $column["real_time"]
        printf "draw name=%s chars=%d %s_us=%.0f per_char%s_us=%.2f\n", n[1], $column["chars"], n[2],
            $column["real_time"], (n[2] == "median" ? "" : "_" n[2]), $column["per_char"] * 1e6 }
    END { printf "draw finish_only_us=%.2f resizing_over_cached=%.2f\n", us["PerCharacter/finishOnly", "median"],
        us["FontViewRedraw/resizing", "median"] / us["FontViewRedraw/cached", "median"] }' "$work/draw.csv"
}

"$repo/scripts/install-deps.sh" bench
(cd "$repo" && CMAKE_BUILD_PARALLEL_LEVEL=$(nproc) cmake --workflow --preset bench) >"$work/cmake.log"
loadAtStart="$(cut -d' ' -f1-3 /proc/loadavg)"

step frame "$buildDir/bench/screen_time" frames --runs "$frameRounds" --seconds "$frameSeconds"
expect frame 'median mode=text ' 'median mode=bare ' 'ratio mode=text ' 'idle mode=text '
step latency "$buildDir/bench/screen_time" latency --keys "$latencyKeys"
expect latency 'key run=' 'latency keys='
step startup "$buildDir/bench/screen_time" startup --runs "$startupRuns"
expect startup 'startup mode=program ' 'startup mode=bare ' 'startup ratio_ms='
step soak soak
expect soak "$soakLine"
step draw draw --benchmark_repetitions="$drawRepetitions" \
    --benchmark_min_time=0.2 --benchmark_enable_random_interleaving=true \
    --benchmark_display_aggregates_only=true
expect draw 'gl_renderer: ' 'gl_version: ' 'draw finish_only_us=' "draw name="{FontViewRedraw/{resizing,cached,\
clearAndSwapOnly},PerCharacter/{finishOnly,strokeRoman{Smooth3,Plain1}px,bitmap{TimesRoman24,Helvetica18},pixmap{Resizing,Cached}}}" "

# Every figure by name: "median mode=text cpu_us_per_frame=1" becomes F[median.text.cpu_us_per_frame]=1.
declare -A F
while read -r key value; do
    F[$key]="$value"
done < <(awk '$1 ~ /^[a-z]+$/ && $1 != "key" && $1 != "start" {
    id = $1; first = 2
    if ($2 ~ /^(mode|name)=/) { id = id "." substr($2, index($2, "=") + 1); first = 3 }
    for (i = first; i <= NF; ++i) if ((eq = index($i, "=")) > 1) print id "." substr($i, 1, eq - 1), substr($i, eq + 1)
}' "$work"/*.txt)

# One table row of a draw_cost benchmark; given a plot label, with the time per character, which
# also becomes a bar of the plot.
row() {
    local b="draw.$1" cells="${F[draw.$1.median_us]} (${F[draw.$1.min_us]}-${F[draw.$1.max_us]})"
    [[ -z ${3:-} ]] || { cells="${F[$b.chars]} | $cells | ${F[$b.per_char_us]}"
        echo "\"$3\" ${F[$b.per_char_us]} ${F[$b.per_char_min_us]} ${F[$b.per_char_max_us]}" >>"$work/per_char.dat"; }
    echo "| $2 | $cells |"
}

cat >"$work/performance.md" <<EOF
# Performance

Measured by \`bench/report.sh\` on $(date -u '+%Y-%m-%d %H:%M UTC'), with $frameRounds frame-rate rounds of $frameSeconds s,
$latencyKeys keys, $startupRuns start-ups and $drawRepetitions benchmark repetitions (FRAME_ROUNDS,
FRAME_SECONDS, LATENCY_KEYS, STARTUP_RUNS, DRAW_REPETITIONS). Every figure and both plots come
from that one run; running the script again rewrites them all.

## The machine

| | |
| --- | --- |
| processor | $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1) |
| cores | $(nproc) |
| memory | $(awk '/^MemTotal:/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo) |
| system | $(. /etc/os-release && echo "$PRETTY_NAME"), Linux $(uname -r) |
| GL | $(sed -n 's/^gl_renderer: //p' "$work/draw.txt"), OpenGL $(sed -n 's/^gl_version: //p' "$work/draw.txt"), through Xvfb's GLX |
| load average (1, 5, 15 min) at the start | $loadAtStart |

The machine is shared, and absolute times move with its load (given with each figure), so each
figure of the program stands next to the same figure of the bare loop, measured in the same run in
alternation; compare runs by their ratios (program / bare loop, and resizing / cached for a
font-view redraw). Medians resist the occasional slow repetition; min-max ranges show the noise.

## 1. Frame rate

The spinning view's redraws per second in the program and in the bare loop (\`bench/frame_rate\`:
the program's window tree with every display callback replaced by a clear and a swap); llvmpipe
waits for no vertical blank, so both redraw as fast as the machine lets them.
${F[median.text.runs]} runs of each, alternating, each a fresh process on an X server of its own,
$frameSeconds s after 1 s of warm-up; medians. Load average (1, 5, 15 min): ${load[frame]}.

| | program | bare loop | program / bare loop |
| --- | ---: | ---: | ---: |
| frames per second (all redraws over the run) | ${F[median.text.rotating_fps]} | ${F[median.bare.rotating_fps]} | ${F[ratio.text.fps]} |
| frames per second (from the median time between two redraws) | ${F[median.text.median_frame_fps]} | ${F[median.bare.median_frame_fps]} | ${F[ratio.text.frame_fps]} |
| processor time per frame, all threads (µs) | ${F[median.text.cpu_us_per_frame]} | ${F[median.bare.cpu_us_per_frame]} | |

The first row also loses the time the process waited for a core while other processes ran; the
second shows the cost of a frame when the process has a core. Processor time counts llvmpipe's
rasteriser threads too: the program takes ${F[ratio.text.cpu_extra_us]} µs more per frame than
the bare loop (the difference of the medians).

Target: the program keeps at least 0.70 of the bare loop's frame rate, judged on the first row:
**${F[ratio.text.target_0.70]}**. Ratio of the medians ${F[ratio.text.fps]}; median of the ratios
within each round ${F[ratio.text.fps_per_round]} (round by round: ${F[ratio.text.round_ratios]//,/, }).
For the median frame time: ratio of the medians ${F[ratio.text.frame_fps]}, median of the ratios
within each round ${F[ratio.text.frame_fps_per_round]}.

While nothing is typed or dragged only the spinning view should be redrawn. Redraws of the static
view, the font view and the top-level window in each program run (static/font/top-level):
${F[idle.text.static/font/main]//,/ }; total ${F[idle.text.total]}.

## 2. Key-to-screen latency

From an XTest key press until the font view and the top-level window both show the key: the font
view and the strip of the top-level window below it (where the prompt echoes the text) are read
with \`XGetImage\` in turn until each differs from before the key (\`bench/screen_time latency\`).
${F[latency.keys]} letters, typed into ${F[latency.runs]} fresh programs (the text holds 31
characters) on one X server, each once the screen had settled; wall-clock times, the server's work
included. Load average (1, 5, 15 min): ${load[latency]}.

| until | median (ms) | 90th percentile (ms) |
| --- | ---: | ---: |
| both windows show the key | ${F[latency.both_median_ms]} | ${F[latency.both_p90_ms]} |
| the font view shows it | ${F[latency.font_median_ms]} | ${F[latency.font_p90_ms]} |
| the top-level window shows it | ${F[latency.main_median_ms]} | ${F[latency.main_p90_ms]} |

Polling resolution: one read of both areas took ${F[latency.poll_median_us]} µs (median), so a
change is seen up to that much after it happened; the reading competes with the program for the
two cores.

![Share of keys shown within a given time: both windows, the font view, the top-level window](perf-latency.svg)

## 3. Start-up time

From the fork that execs the program until all four windows have been drawn at their first layout
(\`bench/screen_time startup\`), on a screen made white beforehand. The program counts as drawn
when the strip below the sub-windows shows the grey background and the white prompt, and each
sub-window black background and text, its bottom-right pixel (in the part the first layout adds)
black; the bare loop when that strip is all grey and each sub-window all black.
${F[startup.program.runs]} runs of each, alternating on one X server, after one uncounted run of
each; the screen was read every ${F[startup.poll_median_us]} µs (median). Load average (1, 5, 15
min): ${load[startup]}.

| | program | bare loop | program / bare loop |
| --- | ---: | ---: | ---: |
| start-up, median (min-max) (ms) | ${F[startup.program.median_ms]} (${F[startup.program.min_ms]}-${F[startup.program.max_ms]}) | ${F[startup.bare.median_ms]} (${F[startup.bare.min_ms]}-${F[startup.bare.max_ms]}) | ${F[startup.ratio_ms]} |

## 4. Memory

Resident memory at start-up is VmRSS from \`/proc/PID/status\`, the median of 21 readings over a
second, in the runs of figure 3 once all windows were drawn; the median over the runs (min-max).
The soak test (\`tests/integration/soak_test\`, ${F[soak.verdict]}) runs the program under valgrind's
massif, which tells whose code asked for each block, and reads the heap after a warm-up of 1,000
keys, 100 resizes and 100 drags, and again after 2,000 more keys, 200 resizes and 200 drags, both
times at the window's first size. The heap our own code holds, most of it the font file read whole
at start-up, must grow by less than 16 KiB; what the libraries hold (GL driver, freeglut, FTGL,
FreeType, Xlib) is printed, not bounded, since Mesa 26's llvmpipe keeps some 190 bytes for every
\`glDrawPixels\` without end (docs/platforms.md). Load average (1, 5, 15 min): ${load[soak]}.

| | program | bare loop | program / bare loop |
| --- | ---: | ---: | ---: |
| resident at start-up, median (min-max) (MiB) | ${F[startup.program.rss_median_mib]} (${F[startup.program.rss_min_mib]}-${F[startup.program.rss_max_mib]}) | ${F[startup.bare.rss_median_mib]} (${F[startup.bare.rss_min_mib]}-${F[startup.bare.rss_max_mib]}) | ${F[startup.ratio_rss]} |
| soak test, heap held by our code after the warm-up (bytes) | ${F[soak.ours_warm_bytes]} | | |
| soak test, heap held by our code at the end (bytes) | ${F[soak.ours_end_bytes]} | | |
| soak test, change of the heap the libraries hold (KiB) | ${F[soak.libraries_kib]} | | |

## 5. Cost per character

Google Benchmark (\`bench/draw_cost\`) in the font view of the program's own window tree (630 x 120
pixels), drawing a ${F[draw.PerCharacter/bitmapHelvetica18.chars]}-character sample (the longest
text the program accepts, typed into it) or, for the FTGL pixmaps, both lines of the font view
(${F[draw.PerCharacter/pixmapCached.chars]} characters); \`glFinish()\` after each draw, which alone
takes ${F[draw.finish_only_us]} µs; wall-clock time, since llvmpipe rasterises on threads of its
own. $drawRepetitions repetitions of each, shuffled together so that a burst of load falls on all
alike: the **median**, with the fastest and slowest in brackets; per character, the median divided
by the characters. Load average (1, 5, 15 min): ${load[draw]}.

| way of drawing | characters | one draw, median (min-max) (µs) | per character (µs) |
| --- | ---: | ---: | ---: |
$(row PerCharacter/strokeRomanSmooth3px "GLUT stroke, Roman, smoothed 3-pixel lines (spinning view)" "stroke, smooth 3 px")
$(row PerCharacter/strokeRomanPlain1px "GLUT stroke, Roman, plain 1-pixel lines (still view)" "stroke, plain 1 px")
$(row PerCharacter/bitmapTimesRoman24 "GLUT bitmap, Times Roman 24 (prompt)" "bitmap, Times 24")
$(row PerCharacter/bitmapHelvetica18 "GLUT bitmap, Helvetica 18 (echo)" "bitmap, Helvetica 18")
$(row PerCharacter/pixmapResizing "FTGL pixmap, size set before each of the two lines (font view)" "pixmap, resized")
$(row PerCharacter/pixmapCached "FTGL pixmap from cached glyphs" "pixmap, cached")

![Microseconds per character of each way of drawing: median, fastest and slowest repetition](perf-per-char.svg)

A whole redraw of the font view (clear, both lines, swap): the program's own \`displayFont()\`
against one from glyphs cached at both sizes, which \`draw_cost\` checks to leave the same pixels:

| redraw | median (min-max) (µs) |
| --- | ---: |
$(row FontViewRedraw/resizing "size set before each line, as the program does")
$(row FontViewRedraw/cached "from cached glyphs")
$(row FontViewRedraw/clearAndSwapOnly "clear and swap only")

Resizing / cached, of the medians: ${F[draw.resizing_over_cached]}. FTGL's \`FaceSize\` discards
the glyph cache even at an unchanged size, so the font view rasterises every glyph again on each
redraw; it redraws only when a key is typed.
EOF

# The plots, from the same figures: the time per character of each way of drawing, and the latency
# of every key as the share of keys shown by then.
sed -n 's/^key .* font_ms=\([0-9.]*\) main_ms=\([0-9.]*\) both_ms=\([0-9.]*\) .*/\3 \1 \2/p' \
    "$work/latency.txt" >"$work/latency.dat"
gnuplot <<EOF
set terminal svg size 720,420 dynamic font 'DejaVu Sans,12'
stats '$work/latency.dat' using 1 nooutput
share = 1.0 / STATS_records
set output '$out/perf-per-char.svg'
set ylabel 'µs per character'; set yrange [0:*]; set xtics rotate by -20 nomirror; set key top right
set style fill solid 0.5 border; set boxwidth 0.6
plot '$work/per_char.dat' using 0:2:xtic(1) with boxes lc rgb '#4477aa' title 'median', \
     '' using 0:2:3:4 with yerrorbars lc rgb 'black' pt 0 title 'fastest to slowest'
set output '$out/perf-latency.svg'
set xlabel 'ms from the key press (log scale)'; set logscale x; set xtics norotate mirror
set ylabel 'share of the ${F[latency.keys]} keys shown'; set yrange [0:1]; set key bottom right
plot '$work/latency.dat' using 1:(share) smooth cumulative lw 4 title 'both windows', \
     '' using 2:(share) smooth cumulative lw 2 dt 2 title 'font view', \
     '' using 3:(share) smooth cumulative lw 2 title 'top-level window'
EOF
mv "$work/performance.md" "$out/performance.md"
echo "wrote $out/performance.md and its plots, perf-per-char.svg and perf-latency.svg"
