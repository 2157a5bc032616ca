// The window tree seen from outside, on a private X server: where the four
// windows sit, how the sub-windows follow the top-level window's size, what
// the prompt strip shows as keys arrive, and how the program ends on close.
#include <gtest/gtest.h>

#include <X11/keysym.h>
#include <sys/wait.h>

#include <filesystem>
#include <iostream>
#include <optional>

#include "demo_test.h"

namespace {

constexpr Rgb white{255, 255, 255};

// Below the font view (which ends at y = 370 in a 640x480 window) only the
// top-level window's own drawing shows: the prompt and the echo.
constexpr Box promptStrip{0, 370, 640, 110};

// The prompt's glyphs, 24 pixels high, stand on a baseline 12 pixels above
// the bottom; everything above this row belongs to the background.
constexpr int promptTop = 480 - 12 - 40;

// The part of the strip to the right of the given column.
Box stripRightOf(int x) {
    return {x, promptStrip.y, promptStrip.right() - x, promptStrip.height};
}

// Right edge of whatever is drawn in the strip to the right of the prompt.
std::optional<int> echoEnd(const Image& image, const Box& prompt, Rgb background) {
    const std::optional<Box> echo = boundingBox(image, stripRightOf(prompt.right()), background);
    return echo ? std::optional<int>(echo->right()) : std::nullopt;
}

// Separate runs of white pixels down one column of the strip.
int whiteRunsDown(const Image& image, int x) {
    int runs = 0;
    bool inRun = false;
    for (int y = promptStrip.y; y < promptStrip.bottom(); ++y) {
        const bool isWhite = image.at(x, y) == white;
        runs += isWhite && !inRun ? 1 : 0;
        inRun = isWhite;
    }
    return runs;
}

class WindowTreeTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(session.start()) << session.stderrText(); }

    void TearDown() override {
        if (HasFailure()) {
            reportFailure(session);
        }
    }

    // The window once it has been drawn after the first layout: the clear grey
    // in the corner and the prompt in the strip, with nothing above it. Until
    // then the strip's top rows can still show what the font view covered
    // while it was moved and not yet resized. Notes the grey.
    std::optional<Image> waitForPrompt() {
        if (!session.waitForLayout(firstLayout)) {
            return std::nullopt;
        }
        return session.waitForCapture(session.topLevel(), [&](const Image& image) {
            background = image.at(1, image.height - 1);
            const std::optional<Box> drawn = boundingBox(image, promptStrip, background);
            return isClearGrey(background) && drawn && drawn->y >= promptTop;
        });
    }

    // Types one key and waits until the echo reaches further right than before.
    std::optional<Image> typeAndWaitForGrowth(KeySym key, const Box& prompt, int previousEnd) {
        if (!session.pressKey(key)) {
            return std::nullopt;
        }
        return session.waitForCapture(session.topLevel(), [&](const Image& image) {
            const std::optional<int> end = echoEnd(image, prompt, background);
            return end && *end > previousEnd;
        });
    }

    DemoSession session;
    Rgb background;  // the clear colour as this session's GL draws it
};

TEST_F(WindowTreeTest, TopLevelWindowIsFoundByTitleAtItsRequestedPlace) {
    EXPECT_EQ(session.screenGeometry(session.topLevel()), (Box{100, 150, 640, 480}));
}

TEST_F(WindowTreeTest, SubWindowsTakeTheirFirstLayout) {
    EXPECT_TRUE(session.waitForLayout(firstLayout)) << "layout: " << session.layout();
}

TEST_F(WindowTreeTest, SubWindowsFollowResizes) {
    ASSERT_TRUE(session.waitForLayout(firstLayout)) << "layout: " << session.layout();

    session.resize(800, 600);
    EXPECT_TRUE(session.waitForLayout({{5, 5, 392, 300}, {403, 5, 392, 300}, {5, 310, 790, 150}}))
        << "layout: " << session.layout();

    // Sizes below one pixel are clamped; the positions keep to the formula.
    const struct {
        int width, height;
        ViewLayout layout;
    } tiny[] = {
        {10, 1, {{5, 5, 1, 1}, {8, 5, 1, 1}, {5, 10, 1, 1}}},
        {1, 1, {{5, 5, 1, 1}, {3, 5, 1, 1}, {5, 10, 1, 1}}},
        {17, 3, {{5, 5, 1, 1}, {11, 5, 1, 1}, {5, 11, 7, 1}}},
    };
    for (const auto& size : tiny) {
        session.resize(size.width, size.height);
        EXPECT_TRUE(session.waitForLayout(size.layout))
            << size.width << "x" << size.height << " gave " << session.layout();
        ASSERT_TRUE(session.isAlive()) << size.width << "x" << size.height << " ended it:\n"
                                       << session.stderrText();
    }

    session.resize(640, 480);
    EXPECT_TRUE(session.waitForLayout(firstLayout)) << "layout: " << session.layout();
    EXPECT_TRUE(session.isAlive()) << session.stderrText();
}

TEST_F(WindowTreeTest, PromptSitsAtTheLowerLeftWithNothingEchoed) {
    const std::optional<Image> shown = waitForPrompt();
    ASSERT_TRUE(shown) << "the prompt never appeared";
    const Box prompt = *boundingBox(*shown, promptStrip, background);

    // Raster position (50, 50) of 2000: x = 16, baseline 12 pixels above the
    // bottom; descenders reach a few pixels below it.
    EXPECT_GE(prompt.x, 14);
    EXPECT_LE(prompt.x, 20);
    EXPECT_GT(prompt.bottom(), 480 - 12);
    EXPECT_LE(prompt.bottom(), 480 - 4);
    EXPECT_GT(countPixels(*shown, prompt, [](Rgb p) { return p == white; }), 100);
    // The last thing drawn is the colon: two dots down the rightmost column,
    // where an echoed letter would leave one stroke.
    EXPECT_EQ(whiteRunsDown(*shown, prompt.right() - 1), 2);
    // Bitmap glyphs: plain white on the grey, no shades in between.
    EXPECT_EQ(greyLevels(*shown, promptStrip), (std::set<int>{background.r, 255}));
    EXPECT_EQ(
        countPixels(*shown, promptStrip, [&](Rgb p) { return p != background && p != white; }), 0);
}

TEST_F(WindowTreeTest, TypedKeysAppearAfterThePrompt) {
    const std::optional<Image> before = waitForPrompt();
    ASSERT_TRUE(before);
    const Box prompt = *boundingBox(*before, promptStrip, background);
    session.focus();

    std::optional<Image> after = typeAndWaitForGrowth(XK_a, prompt, prompt.right());
    ASSERT_TRUE(after) << "no echo after the first key";
    const int firstEnd = *echoEnd(*after, prompt, background);
    after = typeAndWaitForGrowth(XK_b, prompt, firstEnd);
    ASSERT_TRUE(after) << "the second key did not extend the echo";

    // Had the placeholder been echoed before, the first key would have changed
    // the pixels up to the old right edge.
    const Box upToPrompt{0, promptStrip.y, prompt.right(), promptStrip.height};
    EXPECT_TRUE(crop(*after, upToPrompt) == crop(*before, upToPrompt));
}

TEST_F(WindowTreeTest, TypingThePlaceholderKeepsItEchoed) {
    const std::optional<Image> before = waitForPrompt();
    ASSERT_TRUE(before);
    const Box prompt = *boundingBox(*before, promptStrip, background);
    session.focus();

    int end = prompt.right();
    for (KeySym key : {XK_U, XK_X, XK_E, XK_N, XK_s}) {
        const std::optional<Image> after = typeAndWaitForGrowth(key, prompt, end);
        ASSERT_TRUE(after) << "echo did not grow after " << XKeysymToString(key);
        end = *echoEnd(*after, prompt, background);
    }
    EXPECT_TRUE(session.isAlive());
}

TEST_F(WindowTreeTest, LatinOneKeyIsEchoed) {
    const std::optional<Image> before = waitForPrompt();
    ASSERT_TRUE(before);
    const Box prompt = *boundingBox(*before, promptStrip, background);
    session.focus();

    const std::optional<Image> after = typeAndWaitForGrowth(XK_eacute, prompt, prompt.right());
    ASSERT_TRUE(after) << "e-acute drew nothing";
    EXPECT_GT(countPixels(*after, stripRightOf(prompt.right()), [](Rgb p) { return p == white; }),
              10);
}

TEST_F(WindowTreeTest, ClosingTheWindowExitsWithStatusZero) {
    const std::optional<int> status = session.close();
    ASSERT_TRUE(status) << "still running after WM_DELETE_WINDOW";
    EXPECT_TRUE(WIFEXITED(*status)) << "wait status " << *status;
    EXPECT_EQ(WEXITSTATUS(*status), 0);
    EXPECT_EQ(session.stderrText(), "") << "nothing to report with the font in place";
}

}  // namespace
