// What the integration tests share, with GoogleTest and the harness: a larger window's layout, the
// areas they look at, waits for a finished drawing, and a fixture that starts the program, watches
// the prompt and its echo, and leaves its stderr and a picture behind on a failure.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <utility>

#include "session.h"

inline const ViewLayout largerLayout = layoutAt(800, 600);

// Around all the ink in the area, or in the whole image if none is given.
inline std::optional<Box> inkBox(const Image& image, std::optional<Box> area = std::nullopt) {
    return boundingBox(image, area.value_or(image.bounds()), black);
}

inline Box rightOf(const Box& area, int x) {
    return {x, area.y, area.right() - x, area.height};
}

// Grey levels strictly between black and white: what smoothing leaves at the
// edges of white lines, and anti-aliasing at the edges of glyphs.
inline int intermediateGreys(const Image& image) {
    const std::set<int> levels = greyLevels(image, image.bounds());
    return static_cast<int>(levels.size() - levels.count(0) - levels.count(255));
}

// Below the font view the top-level window draws the prompt and the echo, whose
// glyphs, 24 pixels high, stand on their baseline: nothing above promptTop.
inline const Box firstPromptStrip = promptStrip(initialWindow.width, initialWindow.height);
inline const int promptTop = promptBaseline(initialWindow.height) - 40;

// A window is redrawn only on keys, exposure and (the rotating view) idle passes, so a finished
// drawing of the others holds still: a capture counts once the area (all if none) has not changed a
// while and satisfies the condition, unlike one between a resize and its redraw, or two keys.
inline std::optional<Image> waitForSteady(DemoSession& session, View view,
                                          const std::function<bool(const Image&)>& ready,
                                          std::optional<Box> area = std::nullopt) {
    constexpr std::chrono::milliseconds settle{300};
    Image last;
    auto since = std::chrono::steady_clock::now();
    return session.waitForCapture(view, [&](const Image& image) {
        const auto now = std::chrono::steady_clock::now();
        Image shown = crop(image, area.value_or(image.bounds()));
        if (!(shown == last)) {
            last = std::move(shown);
            since = now;
            return false;
        }
        return now - since >= settle && ready(image);
    });
}

// Whether a frame's location in a valgrind report (with --fullpath-after=) is
// in our code: one of our sources or, without debug information, the program.
inline bool isOurLocation(const std::string& location) {
    return location.rfind(GLTEXTDEMO_SOURCE_DIR "/src/", 0) == 0 ||
           location == std::string("in ") + GLTEXTDEMO_EXE + ")";
}

// Mesa's software drivers as a test's parameter, for a session's environment:
// softpipe, slower and handling some windows its way, shows up what llvmpipe lets pass.
inline const auto softwareDrivers =
    testing::Values("GALLIUM_DRIVER=llvmpipe", "GALLIUM_DRIVER=softpipe");
inline std::string driverName(const testing::TestParamInfo<const char*>& info) {
    return std::string(info.param).substr(sizeof "GALLIUM_DRIVER=" - 1);
}
// Base under each driver; under Wine, which draws through the host's Mesa, llvmpipe alone.
template <typename Base>
class UnderEachDriver : public Base, public testing::WithParamInterface<const char*> {
  protected:
    void SetUp() override {
        if (underWine && std::string(GetParam()) == "GALLIUM_DRIVER=softpipe") {
            GTEST_SKIP()
                << "softpipe beneath Wine tests the host's Mesa, not the Windows program: "
                   "Mesa 25's crashed there on a resize with glibc's \"free(): double free "
                   "detected\"";
        }
        Base::SetUp();
    }
};

// A program of its own for each test, at its first layout. A failing test
// prints its stderr and saves the top-level window as a PNG named after it.
class DemoTest : public testing::Test {
  protected:
    explicit DemoTest(FontSetup font = FontSetup::Installed) : session(font) {}

    void SetUp() override { ASSERT_TRUE(session.start(env)) << "layout: " << session.layout(); }

    void TearDown() override {
        if (HasFailure()) {
            std::cerr << "program's stderr:\n" << session.stderrText();
            const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
            std::string name = std::string(test->test_suite_name()) + "." + test->name() + ".png";
            std::replace(name.begin(), name.end(), '/', '.');
            const std::string path = (std::filesystem::temp_directory_path() / name).string();
            if (writePng(session.capture(View::topLevel), path)) {
                std::cerr << "top-level window saved to " << path << "\n";
            }
        }
    }

    // The top-level window drawn after the first layout: the clear grey in the
    // corner, and the prompt alone in the strip, nothing left there of the font
    // view from before it moved. Notes the grey as this GL draws it, and the prompt's place.
    std::optional<Image> waitForPrompt() {
        const auto promptAlone = [&](const Image& image) {
            background = image.at(1, image.height - 1);
            const std::optional<Box> drawn = boundingBox(image, firstPromptStrip, background);
            prompt = drawn.value_or(Box{});
            return isClearGrey(background) && drawn && drawn->y >= promptTop;
        };
        return waitForSteady(session, View::topLevel, promptAlone, firstPromptStrip);
    }

    // Right edge of whatever is drawn in the strip to the right of the prompt.
    std::optional<int> echoEnd(const Image& image) const {
        const std::optional<Box> echo =
            boundingBox(image, rightOf(firstPromptStrip, prompt.right()), background);
        return echo ? std::optional<int>(echo->right()) : std::nullopt;
    }

    std::optional<Image> waitForEchoPast(int end) {
        return session.waitForCapture(View::topLevel, [&](const Image& image) {
            return echoEnd(image) > end;  // none is less than any end
        });
    }

    std::optional<Image> typeAndWaitForGrowth(KeySym key, int previousEnd) {
        return session.pressKey(key) ? waitForEchoPast(previousEnd) : std::nullopt;
    }

    DemoSession session;
    std::vector<std::string> env;  // for the program, NAME=value
    Rgb background;                // the clear colour as this session's GL draws it
    Box prompt;                    // where the prompt's glyphs lie
};
