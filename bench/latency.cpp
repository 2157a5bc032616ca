// Key-to-screen latency: presses a key through XTest and times how long the
// program takes until both the font view and the prompt strip of the
// top-level window show it, reading the two with XGetImage as fast as the X
// server answers.
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "layout.h"
#include "stats.h"
#include "x_session.h"

namespace {

using Clock = std::chrono::steady_clock;

// Letters only: each one puts ink in both windows, so every key changes both.
constexpr char letters[] = "abcdefghijklmnopqrstuvwxyz";
constexpr int letterCount = sizeof letters - 1;
// The text holds 31 characters and a key past that changes nothing on the
// screen, so one run of the program takes at most this many keys.
constexpr int maxKeysPerRun = 30;
constexpr int defaultKeys = 60;
// A key that has not shown by then counts as lost, and the run fails.
constexpr std::chrono::seconds giveUp{5};

// The two areas a key changes: the font view, and the strip of the top-level
// window below it, where the prompt echoes the text. The top-level window's
// pixels include the sub-windows, and the spinning one changes on every
// frame, so only the strip is read.
struct Watched {
    DemoSession* session;
    Window font;
    Box fontArea;
    Window top;
    Box strip;
};

struct Sample {
    double fontMs;  // from the press until the font view changed
    double mainMs;  // until the prompt strip changed
    double bothMs;  // until both had
    double pollUs;  // time between two reads of the pair: the resolution
};

double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Reads both areas until two reads in a row agree, so that a change seen
// after the next key is that key's and not the end of the previous redraw.
bool settle(const Watched& w, Image& font, Image& strip) {
    return waitUntil(
        [&] {
            Image nextFont = w.session->capture(w.font, w.fontArea);
            Image nextStrip = w.session->capture(w.top, w.strip);
            const bool same =
                !nextFont.empty() && !nextStrip.empty() && nextFont == font && nextStrip == strip;
            font = std::move(nextFont);
            strip = std::move(nextStrip);
            return same;
        },
        std::chrono::seconds(5));
}

std::optional<Sample> timeKey(DemoSession& session, const Watched& w, KeySym key) {
    Image fontBefore;
    Image stripBefore;
    if (!settle(w, fontBefore, stripBefore)) {
        return std::nullopt;
    }
    const Clock::time_point pressed = Clock::now();
    if (!session.pressKey(key)) {
        return std::nullopt;
    }
    // pressKey() returns once the server has taken the press and release.
    const Clock::time_point pollStart = Clock::now();
    std::optional<Clock::time_point> fontSeen;
    std::optional<Clock::time_point> mainSeen;
    long polls = 0;
    Clock::time_point now = pollStart;
    // Both areas on every pass, so that each pass takes about as long.
    while ((!fontSeen || !mainSeen) && now - pressed < giveUp) {
        const bool fontChanged = !(w.session->capture(w.font, w.fontArea) == fontBefore);
        const bool mainChanged = !(w.session->capture(w.top, w.strip) == stripBefore);
        now = Clock::now();
        ++polls;
        if (fontChanged && !fontSeen) {
            fontSeen = now;
        }
        if (mainChanged && !mainSeen) {
            mainSeen = now;
        }
    }
    if (!fontSeen || !mainSeen) {
        return std::nullopt;
    }
    const double fontMs = milliseconds(*fontSeen - pressed);
    const double mainMs = milliseconds(*mainSeen - pressed);
    return Sample{fontMs, mainMs, std::max(fontMs, mainMs),
                  milliseconds(now - pollStart) * 1000.0 / static_cast<double>(polls)};
}

Box toBox(const Rect& r) {
    return {r.x, r.y, r.width, r.height};
}

// One fresh program, `keys` letters typed into it; false if it failed.
bool timeRun(int run, int keys, int& keyNumber, std::vector<Sample>& samples) {
    DemoSession session;
    if (!session.start()) {
        std::fprintf(stderr, "latency: the program did not start\n%s",
                     session.stderrText().c_str());
        return false;
    }
    session.focus();
    const SubWindowLayout layout =
        layoutSubWindows(initialMainWindow.width, initialMainWindow.height);
    const ViewLayout expected{toBox(layout.rotating), toBox(layout.still), toBox(layout.font)};
    if (!session.waitForLayout(expected)) {
        std::fprintf(stderr, "latency: the sub-windows were never laid out\n");
        return false;
    }
    const Box top = session.geometry(session.topLevel());
    const int stripTop = expected.font.bottom();
    const Watched watched{&session,
                          session.views().font,
                          {0, 0, expected.font.width, expected.font.height},
                          session.topLevel(),
                          {0, stripTop, top.width, top.height - stripTop}};
    for (int k = 0; k < keys; ++k, ++keyNumber) {
        const auto letter = static_cast<KeySym>(letters[keyNumber % letterCount]);
        const std::optional<Sample> sample = timeKey(session, watched, letter);
        if (!sample) {
            std::fprintf(stderr, "latency: key %d was never shown in both windows\n", keyNumber);
            return false;
        }
        std::printf("run=%d key=%d font_ms=%.2f main_ms=%.2f both_ms=%.2f poll_us=%.0f\n", run,
                    keyNumber, sample->fontMs, sample->mainMs, sample->bothMs, sample->pollUs);
        samples.push_back(*sample);
    }
    return true;
}

template <typename Field>
std::vector<double> column(const std::vector<Sample>& samples, Field field) {
    std::vector<double> values;
    for (const Sample& s : samples) {
        values.push_back(s.*field);
    }
    return values;
}

bool parseArguments(int argc, char** argv, int& keys) {
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 >= argc || std::strcmp(argv[i], "--keys") != 0) {
            return false;
        }
        char* end = nullptr;
        const long value = std::strtol(argv[i + 1], &end, 10);
        if (end == argv[i + 1] || *end != '\0' || value < 1 || value > 10000) {
            return false;
        }
        keys = static_cast<int>(value);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int keys = defaultKeys;
    if (!parseArguments(argc, argv, keys)) {
        std::fprintf(stderr, "usage: latency [--keys N]\n");
        return 2;
    }
    // As few fresh programs as the text allows, the keys shared out evenly.
    const int runs = (keys + maxKeysPerRun - 1) / maxKeysPerRun;
    std::vector<Sample> samples;
    int keyNumber = 0;
    for (int run = 0; run < runs; ++run) {
        const int share = keys / runs + (run < keys % runs ? 1 : 0);
        if (!timeRun(run + 1, share, keyNumber, samples)) {
            return 1;
        }
    }
    const auto both = column(samples, &Sample::bothMs);
    const auto font = column(samples, &Sample::fontMs);
    const auto prompt = column(samples, &Sample::mainMs);
    std::printf(
        "latency keys=%zu runs=%d both_median_ms=%.2f both_p90_ms=%.2f font_median_ms=%.2f "
        "font_p90_ms=%.2f main_median_ms=%.2f main_p90_ms=%.2f poll_median_us=%.0f\n",
        samples.size(), runs, median(both), percentile(both, 0.9), median(font),
        percentile(font, 0.9), median(prompt), percentile(prompt, 0.9),
        median(column(samples, &Sample::pollUs)));
    return 0;
}
