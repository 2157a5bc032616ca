// Start-up time and resident memory of the program next to the bare loop
// (frame_rate in mode "bare": the same window tree, each window only cleared),
// launched in turn on one private X server: the time from the fork that execs
// it until all four windows have been drawn at their first layout, then the
// resident set over the following second.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "layout.h"
#include "stats.h"
#include "x_session.h"

namespace {

using Clock = std::chrono::steady_clock;

enum class Mode { program, bare };

constexpr int defaultRuns = 10;
constexpr std::chrono::seconds giveUp{30};
// Between two looks at the screen: the poll leaves the CPU to the program
// starting up, which shares the machine's cores with it.
constexpr std::chrono::milliseconds pollPause{1};

const char* name(Mode mode) {
    return mode == Mode::program ? "program" : "bare";
}

// The top-level window's clear colour, 30% grey, give or take the rounding.
bool isClearGrey(Rgb p) {
    return p.r == p.g && p.g == p.b && p.r >= 76 && p.r <= 77;
}
bool isBlack(Rgb p) {
    return p == Rgb{};
}
bool isWhite(Rgb p) {
    return p == Rgb{255, 255, 255};
}

int count(const Image& image, bool (*matches)(Rgb)) {
    return countPixels(image, image.bounds(), matches);
}

// No window manager paints anything, and a window without a background
// shows what was on the screen beneath it until the program draws. On a
// white screen a window still to be drawn is all white, which neither the
// program's nor the bare loop's first frame is.
void whitenScreen(Display* display) {
    const Window root = DefaultRootWindow(display);
    XSetWindowBackground(display, root, WhitePixel(display, DefaultScreen(display)));
    XClearWindow(display, root);
    XSync(display, False);
}

Box toBox(const Rect& r) {
    return {r.x, r.y, r.width, r.height};
}

// All four windows drawn at their first layout. The bottom-right pixel of a
// sub-window lies in the part it gains at that layout and that its text never
// reaches, so it turns black only once the view has drawn at its new size.
// The program's windows show text on their background; the bare loop's show
// nothing but their background.
bool drawn(DemoSession& session, Mode mode, const ViewLayout& expected) {
    if (!(session.layout() == expected)) {
        return false;
    }
    const Box top = session.geometry(session.topLevel());
    const int stripTop = expected.font.bottom();
    const Image strip =
        session.capture(session.topLevel(), {0, stripTop, top.width, top.height - stripTop});
    if (strip.empty()) {
        return false;
    }
    const int pixels = strip.width * strip.height;
    const bool promptDrawn = mode == Mode::program
                                 ? count(strip, isClearGrey) > 0 && count(strip, isWhite) > 0
                                 : count(strip, isClearGrey) == pixels;
    if (!promptDrawn) {
        return false;
    }
    const Views<Window>& views = session.views();
    for (Window view : {views.rotating, views.still, views.font}) {
        const Box box = session.geometry(view);
        const Image image = session.capture(view, {0, 0, box.width, box.height});
        if (image.empty()) {
            return false;
        }
        const int black = count(image, isBlack);
        const bool viewDrawn = mode == Mode::program
                                   ? black > 0 && black < image.width * image.height &&
                                         isBlack(image.at(image.width - 1, image.height - 1))
                                   : black == image.width * image.height;
        if (!viewDrawn) {
            return false;
        }
    }
    return true;
}

struct Run {
    double startupMs;
    double residentKiB;
    double pollUs;  // time between two looks at the screen: the resolution
};

bool runOnce(DemoSession& session, Mode mode, const ViewLayout& expected, Run& result) {
    // The bare loop keeps going far longer than any run here; close() ends it.
    session.setCommand(mode == Mode::bare
                           ? std::vector<std::string>{FRAME_RATE_EXE, "bare", "--seconds", "3600"}
                           : std::vector<std::string>{});
    const Clock::time_point launched = Clock::now();
    if (!session.launch()) {
        return false;
    }
    bool found = false;
    long polls = 0;
    Clock::time_point now = launched;
    while (now - launched < giveUp && session.isAlive()) {
        found = found || session.findWindows(std::chrono::milliseconds(0));
        ++polls;
        const bool done = found && drawn(session, mode, expected);
        now = Clock::now();
        if (done) {
            result.startupMs = std::chrono::duration<double, std::milli>(now - launched).count();
            result.pollUs =
                std::chrono::duration<double, std::micro>(now - launched).count() / polls;
            result.residentKiB = static_cast<double>(typicalResidentKiB(session.programPid()));
            break;
        }
        std::this_thread::sleep_for(pollPause);
    }
    const bool measured = now - launched < giveUp && session.isAlive();
    // Closed as a window manager would; both exit on it. The next run must
    // not find this one's windows, which go when the server sees it exit.
    const bool closed = session.close().has_value();
    waitUntil([&] { return !session.findWindows(std::chrono::milliseconds(0)); });
    if (!measured) {
        std::fprintf(stderr, "startup: %s was never drawn\n%s", name(mode),
                     session.stderrText().c_str());
    }
    return measured && closed;
}

bool parseArguments(int argc, char** argv, int& runs) {
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 >= argc || std::strcmp(argv[i], "--runs") != 0) {
            return false;
        }
        char* end = nullptr;
        const long value = std::strtol(argv[i + 1], &end, 10);
        if (end == argv[i + 1] || *end != '\0' || value < 1 || value > 1000) {
            return false;
        }
        runs = static_cast<int>(value);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = defaultRuns;
    if (!parseArguments(argc, argv, runs)) {
        std::fprintf(stderr, "usage: startup [--runs N]\n");
        return 2;
    }
    DemoSession session;
    if (!session.startServer()) {
        std::fprintf(stderr, "startup: no X server\n");
        return 1;
    }
    whitenScreen(session.display());
    const SubWindowLayout layout =
        layoutSubWindows(initialMainWindow.width, initialMainWindow.height);
    const ViewLayout expected{toBox(layout.rotating), toBox(layout.still), toBox(layout.font)};

    std::vector<double> startupMs[2];
    std::vector<double> residentKiB[2];
    std::vector<double> pollUs;
    // Round 0 is not counted: the first start on a fresh server finds the
    // files and the server's caches cold.
    for (int round = 0; round <= runs; ++round) {
        for (Mode mode : {Mode::program, Mode::bare}) {
            Run run{};
            if (!runOnce(session, mode, expected, run)) {
                return 1;
            }
            std::printf("round=%d mode=%s startup_ms=%.1f rss_kib=%.0f poll_us=%.0f%s\n", round,
                        name(mode), run.startupMs, run.residentKiB, run.pollUs,
                        round == 0 ? " (not counted)" : "");
            std::fflush(stdout);
            if (round > 0) {
                const int m = mode == Mode::program ? 0 : 1;
                startupMs[m].push_back(run.startupMs);
                residentKiB[m].push_back(run.residentKiB);
                pollUs.push_back(run.pollUs);
            }
        }
    }
    for (Mode mode : {Mode::program, Mode::bare}) {
        const int m = mode == Mode::program ? 0 : 1;
        std::printf(
            "startup mode=%s runs=%zu median_ms=%.1f min_ms=%.1f max_ms=%.1f "
            "rss_median_kib=%.0f rss_min_kib=%.0f rss_max_kib=%.0f\n",
            name(mode), startupMs[m].size(), median(startupMs[m]), percentile(startupMs[m], 0.0),
            percentile(startupMs[m], 1.0), median(residentKiB[m]), percentile(residentKiB[m], 0.0),
            percentile(residentKiB[m], 1.0));
    }
    std::printf("startup poll_median_us=%.0f\n", median(pollUs));
    return 0;
}
