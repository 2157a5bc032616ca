// Runs the program, or the bare loop (frame_rate bare: the same window tree,
// each window only cleared), on private X servers through the harness.
// "latency": from an XTest key press until both the font view and the prompt
// strip of the top-level window show the key, read with XGetImage. "startup":
// from the fork that execs the program or the bare loop until all four windows
// are drawn at their first layout, and the resident memory after that; one
// server serves all of either. "frames": frame_rate's runs, each on a server
// of its own, and their medians.
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "common.h"
#include "session.h"

namespace {

// Resident memory (VmRSS) of a running process in KiB, the median of a
// second's readings: a program that keeps drawing swings by a megabyte or so
// from frame to frame as the GL driver's working memory does.
double typicalResidentKiB(pid_t pid) {
    std::vector<double> readings;
    for (int i = 0; i < 21; ++i) {
        std::ifstream status("/proc/" + std::to_string(pid) + "/status");
        std::string line;  // "VmRSS:  123456 kB", or empty once the process is gone
        while (std::getline(status, line) && line.rfind("VmRSS:", 0) != 0) {
        }
        readings.push_back(line.empty() ? 0.0 : std::atof(line.c_str() + 6));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return median(readings);
}

using Clock = std::chrono::steady_clock;

double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Below the sub-windows: where the prompt and its echo of the text stand.
const Box strip = promptStrip(initialWindow.width, initialWindow.height);

// Closes the program as a window manager would. The next launch must not find
// these windows, which go once the server sees the process exit.
bool closeProgram(DemoSession& session) {
    const bool closed = session.close().has_value();
    waitUntil([&] { return !session.findWindows(std::chrono::milliseconds(0)); });
    return closed;
}

// ---- latency

// Letters only: each one puts ink in both windows, so every key changes both.
constexpr char letters[] = "abcdefghijklmnopqrstuvwxyz";
// The text holds 31 characters and a key past that changes nothing on the
// screen, so one run of the program takes at most this many keys.
constexpr int maxKeysPerRun = 30;
// A key that has not shown by then counts as lost, and the run fails.
constexpr std::chrono::seconds keyGiveUp{5};

// The two areas a key changes: the font view, and the prompt strip. The
// top-level window's pixels include the sub-windows, and the spinning one
// changes every frame, so only the strip below them is read.
using Areas = std::array<Shown, 2>;
using Images = std::array<Image, 2>;

Images readBoth(DemoSession& session, const Areas& areas) {
    return {session.capture(areas[0]), session.capture(areas[1])};
}

// Both areas once two reads in a row agree, so that a change seen after the
// next key is that key's and not the end of the previous redraw.
std::optional<Images> settled(DemoSession& session, const Areas& areas) {
    Images last = readBoth(session, areas);
    for (const auto giveUp = Clock::now() + std::chrono::seconds(5); Clock::now() < giveUp;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        Images next = readBoth(session, areas);
        if (!next[0].empty() && !next[1].empty() && next == last) {
            return next;
        }
        last = std::move(next);
    }
    return std::nullopt;
}

// One sample per key: from the press until the font view changed, until the
// prompt strip did, until both had, and the time one read of both areas took
// (the resolution).
struct Samples {
    std::vector<double> fontMs, mainMs, bothMs, pollUs;
};

bool timeKey(DemoSession& session, const Areas& areas, KeySym key, Samples& samples) {
    const std::optional<Images> before = settled(session, areas);
    const Clock::time_point pressed = Clock::now();
    if (!before || !session.pressKey(key)) {
        return false;
    }
    // pressKey() returns once the server has taken the press and release.
    const Clock::time_point pollStart = Clock::now();
    std::optional<Clock::time_point> seen[2];
    long polls = 0;
    for (auto now = pollStart; (!seen[0] || !seen[1]) && now - pressed < keyGiveUp; ++polls) {
        // Both areas on every pass, so that each pass takes about as long. Each
        // image is dropped once compared: with two alive at a time the heap
        // grows and shrinks on every pass, which more than doubles its time.
        bool changed[2];
        for (int a = 0; a < 2; ++a) {
            changed[a] = !(session.capture(areas[a]) == (*before)[a]);
        }
        now = Clock::now();
        for (int a = 0; a < 2; ++a) {
            seen[a] = !seen[a] && changed[a] ? now : seen[a];
        }
    }
    if (!seen[0] || !seen[1]) {
        return false;
    }
    samples.fontMs.push_back(milliseconds(*seen[0] - pressed));
    samples.mainMs.push_back(milliseconds(*seen[1] - pressed));
    samples.bothMs.push_back(std::max(samples.fontMs.back(), samples.mainMs.back()));
    samples.pollUs.push_back(milliseconds(std::max(*seen[0], *seen[1]) - pollStart) * 1000.0 /
                             static_cast<double>(polls));
    return true;
}

int latency(DemoSession& session, int keys) {
    // As few fresh programs as the text allows, the keys shared out evenly.
    const int runs = (keys + maxKeysPerRun - 1) / maxKeysPerRun;
    Samples s;
    for (int run = 0, key = 0; run < runs; ++run) {
        if (!session.launch() || !session.findWindows() || !session.waitForLayout(firstLayout)) {
            std::fprintf(stderr, "screen_time: no program\n%s", session.stderrText().c_str());
            return 1;
        }
        const Areas areas{*session.shown(View::font),
                          {session.shown(View::topLevel)->window, strip, strip}};
        for (int end = key + keys / runs + (run < keys % runs); key < end; ++key) {
            if (!timeKey(session, areas, letters[key % (sizeof letters - 1)], s)) {
                std::fprintf(stderr, "screen_time: key %d never showed in both windows\n", key);
                return 1;
            }
            std::printf("key run=%d key=%d font_ms=%.2f main_ms=%.2f both_ms=%.2f poll_us=%.0f\n",
                        run + 1, key, s.fontMs.back(), s.mainMs.back(), s.bothMs.back(),
                        s.pollUs.back());
        }
        if (!closeProgram(session)) {
            return 1;
        }
    }
    std::printf(
        "latency keys=%zu runs=%d both_median_ms=%.2f both_p90_ms=%.2f font_median_ms=%.2f "
        "font_p90_ms=%.2f main_median_ms=%.2f main_p90_ms=%.2f poll_median_us=%.0f\n",
        s.bothMs.size(), runs, median(s.bothMs), percentile(s.bothMs, 0.9), median(s.fontMs),
        percentile(s.fontMs, 0.9), median(s.mainMs), percentile(s.mainMs, 0.9), median(s.pollUs));
    return 0;
}

// ---- startup

enum Mode { program, bare };
const char* const modeNames[] = {"program", "bare"};
constexpr std::chrono::seconds startGiveUp{30};
// Between two looks at the screen: the poll leaves the processor to the
// program starting up, which shares the machine's cores with it.
constexpr std::chrono::milliseconds pollPause{1};

// All four windows drawn at their first layout. Without a window manager a
// window shows what was beneath it, white here, until its program draws: text
// on background in the program, only background in the bare loop. A
// sub-window's bottom-right pixel lies in the part the layout adds, which text
// never reaches, so it turns black only once the view has drawn at that size.
bool drawn(DemoSession& session, Mode mode) {
    if (!(session.layout() == firstLayout)) {
        return false;
    }
    const Image shown = session.capture(Shown{session.shown(View::topLevel)->window, strip, strip});
    const int grey = countPixels(shown, shown.bounds(), isClearGrey);
    if (shown.empty() ||
        (mode == program ? grey == 0 || countPixels(shown, shown.bounds(), white) == 0
                         : grey != shown.width * shown.height)) {
        return false;
    }
    for (View view : {View::rotating, View::still, View::font}) {
        const Image image = session.capture(view);
        const int dark = countPixels(image, image.bounds(), black);
        const int all = image.width * image.height;
        if (image.empty() ||
            (mode == program
                 ? dark == 0 || dark == all || image.at(image.width - 1, image.height - 1) != black
                 : dark != all)) {
            return false;
        }
    }
    return true;
}

// Per mode: time until drawn, resident memory then, poll interval.
struct Starts {
    std::vector<double> ms, mib, pollUs;
};

bool startOnce(DemoSession& session, Mode mode, int round, Starts& s) {
    // The bare loop keeps going far longer than any run here; close() ends it.
    session.setCommand(mode == bare
                           ? std::vector<std::string>{FRAME_RATE_EXE, "bare", "--seconds", "3600"}
                           : std::vector<std::string>{});
    const Clock::time_point launched = Clock::now();
    bool found = false;
    bool done = false;
    bool up = session.launch();
    long polls = 0;
    auto now = launched;
    while (up && !done && now - launched < startGiveUp) {
        found = found || session.findWindows(std::chrono::milliseconds(0));
        ++polls;
        done = found && drawn(session, mode);
        now = Clock::now();
        up = session.isAlive();
        std::this_thread::sleep_for(done ? Clock::duration{} : pollPause);
    }
    if (!done || !up) {
        std::fprintf(stderr, "screen_time: %s was never drawn\n%s", modeNames[mode],
                     session.stderrText().c_str());
        return false;
    }
    const double ms = milliseconds(now - launched);
    const double kib = typicalResidentKiB(session.programPid());
    const double pollUs = ms * 1000.0 / static_cast<double>(polls);
    std::printf("start round=%d mode=%s startup_ms=%.1f rss_kib=%.0f poll_us=%.0f%s\n", round,
                modeNames[mode], ms, kib, pollUs, round == 0 ? " (not counted)" : "");
    std::fflush(stdout);
    if (round > 0) {  // the first start on a fresh server finds every cache cold
        s.ms.push_back(ms);
        s.mib.push_back(kib / 1024.0);
        s.pollUs.push_back(pollUs);
    }
    return closeProgram(session);
}

int startup(DemoSession& session, int runs) {
    Display* display = session.display();
    XSetWindowBackground(display, DefaultRootWindow(display),
                         WhitePixel(display, DefaultScreen(display)));
    XClearWindow(display, DefaultRootWindow(display));
    XSync(display, False);
    Starts s[2];
    for (int round = 0; round <= runs; ++round) {
        for (Mode mode : {program, bare}) {
            if (!startOnce(session, mode, round, s[mode])) {
                return 1;
            }
        }
    }
    for (Mode mode : {program, bare}) {
        std::printf(
            "startup mode=%s runs=%zu median_ms=%.1f min_ms=%.1f max_ms=%.1f "
            "rss_median_mib=%.1f rss_min_mib=%.1f rss_max_mib=%.1f\n",
            modeNames[mode], s[mode].ms.size(), median(s[mode].ms), percentile(s[mode].ms, 0.0),
            percentile(s[mode].ms, 1.0), median(s[mode].mib), percentile(s[mode].mib, 0.0),
            percentile(s[mode].mib, 1.0));
    }
    std::vector<double> poll = s[program].pollUs;
    poll.insert(poll.end(), s[bare].pollUs.begin(), s[bare].pollUs.end());
    std::printf("startup ratio_ms=%.2f ratio_rss=%.2f poll_median_us=%.0f\n",
                median(s[program].ms) / median(s[bare].ms),
                median(s[program].mib) / median(s[bare].mib), median(poll));
    return 0;
}

// ---- frames

// Rounds of the program's drawing ("text") and the bare loop in turn, each run
// a fresh frame_rate on a server of its own, so that load from elsewhere on the
// machine hits both alike. Prints every run, then per loop the medians, the
// ratios to the bare loop and the idle redraws of the other windows.
int frames(int rounds, double seconds) {
    const char* const modes[] = {"text", "bare"};
    std::map<std::string, std::vector<double>> runs[2];  // per loop, each figure of every run
    auto& [text, bare] = runs;
    std::vector<double> fps, frameFps;  // the program's over the bare loop's, round by round
    const std::chrono::milliseconds warmUpAndRun{std::lround(seconds * 1000.0) + 1000};
    for (int round = 1; round <= rounds; ++round) {
        for (int m = 0; m < 2; ++m) {
            DemoSession session;
            session.setCommand({FRAME_RATE_EXE, modes[m], "--seconds", std::to_string(seconds)});
            if (!session.startServer() || !session.launch() ||
                !exitedCleanly(session.waitForExit(patience + warmUpAndRun))) {
                std::fprintf(stderr, "screen_time: frame_rate %s did not finish\n%s", modes[m],
                             session.stderrText().c_str());
                return 1;
            }
            const std::string line = session.outputText("stdout");
            std::printf("round=%d %s", round, line.c_str());
            std::fflush(stdout);
            std::istringstream words(line);
            for (std::string word; words >> word;) {
                const std::size_t equals = word.find('=');
                runs[m][word.substr(0, equals)].push_back(std::atof(word.c_str() + equals + 1));
            }
        }
        fps.push_back(text["rotating_fps"].back() / bare["rotating_fps"].back());
        frameFps.push_back(text["median_frame_fps"].back() / bare["median_frame_fps"].back());
    }
    for (int m = 0; m < 2; ++m) {
        std::printf(
            "median mode=%s rotating_fps=%.1f median_frame_fps=%.1f cpu_us_per_frame=%.1f "
            "runs=%d\n",
            modes[m], median(runs[m]["rotating_fps"]), median(runs[m]["median_frame_fps"]),
            median(runs[m]["cpu_us_per_frame"]), rounds);
    }
    // The program's figure over the bare loop's: of the medians, and the median
    // of the ratios within each round, whose neighbouring runs share the load best.
    const auto ratio = [&](const char* figure) {
        return median(text[figure]) / median(bare[figure]);
    };
    std::printf(
        "ratio mode=text fps=%.3f fps_per_round=%.3f frame_fps=%.3f frame_fps_per_round=%.3f "
        "round_ratios=",
        ratio("rotating_fps"), median(fps), ratio("median_frame_fps"), median(frameFps));
    for (int r = 0; r < rounds; ++r) {
        std::printf("%s%.2f", r > 0 ? "," : "", fps[r]);
    }
    std::printf(" cpu_extra_us=%.1f target_0.70=%s\n",
                median(text["cpu_us_per_frame"]) - median(bare["cpu_us_per_frame"]),
                ratio("rotating_fps") >= 0.7 ? "met" : "missed");
    // While nothing is typed or dragged, only the spinning view should be redrawn.
    std::printf("idle mode=text static/font/main=");
    double idle = 0.0;
    for (int r = 0; r < rounds; ++r) {
        std::printf("%s%.0f/%.0f/%.0f", r > 0 ? "," : "", text["static"][r], text["font"][r],
                    text["main"][r]);
        idle += text["static"][r] + text["font"][r] + text["main"][r];
    }
    std::printf(" total=%.0f\n", idle);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    Options options{{"--keys", "60"}, {"--runs", "10"}, {"--seconds", "4"}};
    double keys = 0.0, runs = 0.0, seconds = 0.0;
    if ((what != "latency" && what != "startup" && what != "frames") ||
        !parseOptions(argc, argv, 2, options) || !numberIn(options["--keys"], 1, 10000, keys) ||
        !numberIn(options["--runs"], 1, 1000, runs) ||
        !numberIn(options["--seconds"], 0.001, 3600, seconds)) {
        std::fprintf(stderr,
                     "usage: screen_time latency [--keys N] | startup [--runs N] | "
                     "frames [--runs N] [--seconds S]\n");
        return 2;
    }
    if (what == "frames") {
        return frames(static_cast<int>(runs), seconds);
    }
    DemoSession session;
    if (!session.startServer()) {
        std::fprintf(stderr, "screen_time: no X server\n");
        return 1;
    }
    return what == "latency" ? latency(session, static_cast<int>(keys))
                             : startup(session, static_cast<int>(runs));
}
