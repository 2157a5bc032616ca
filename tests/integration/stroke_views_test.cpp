// The stroke-font views seen from outside: where the text starts, how each draws its lines, which
// moves on its own, how a drag in either moves the text in both, and how a key replaces it.
#include <cmath>

#include "demo_test.h"

namespace {

// Roman stroke capitals are 100 units tall (107 pixels at the first layout),
// their left stems ten units right of the origin; "UXEN" outruns the view.
constexpr int capitalHeight = 107;
constexpr int minStemOffset = 9;  // pixels right of the origin at the first layout
constexpr int maxStemOffset = 14;

// Radii in view units about the centre, which turning keeps: text from the
// centre comes within 25 units of it, text from 98 units away never nearer.
constexpr double nearCentre = 60.0;
// "UXEN" from the centre always reaches past 117 units (its U's right stem); an "I" ends near 101.
constexpr double beyondAnI = 109.0;

// Frames of the rotating view a check looks at: many angles, as captures catch frames far apart.
constexpr int framesToSample = 20;

// Nearest and farthest lit pixels of a view from its centre, in view units.
struct Reach {
    double nearest = 0.0, farthest = 0.0;
};

std::ostream& operator<<(std::ostream& out, const Reach& reach) {
    return out << "lit from " << reach.nearest << " to " << reach.farthest << " units";
}

template <typename Lit>
std::string describe(const std::optional<Lit>& lit) {
    return lit ? testing::PrintToString(*lit) : "nothing lit";
}

// None for an all-black image. Pixel centres are converted to view units with
// the image's own size, as the views stretch their fixed extents to it.
std::optional<Reach> reachOf(const Image& image) {
    std::optional<Reach> reach;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (image.at(x, y) != black) {
                const double unitsX = (x + 0.5 - image.width / 2.0) * unitsWide / image.width;
                const double unitsY = (image.height / 2.0 - y - 0.5) * unitsHigh / image.height;
                const double radius = std::hypot(unitsX, unitsY);
                reach = reach.value_or(Reach{radius, radius});
                reach->nearest = std::min(reach->nearest, radius);
                reach->farthest = std::max(reach->farthest, radius);
            }
        }
    }
    return reach;
}

class StrokeViewsTest : public DemoTest {
  protected:
    // Every test starts from the static view drawn at the first layout: the text's lowest
    // row on the centre row, its left edge a stem's offset right of the centre (noted). A
    // frame drawn at the creation size has its baseline seven rows higher.
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(DemoTest::SetUp());
        std::optional<Box> box;
        const std::optional<Image> shown =
            session.waitForCapture(View::still, [&](const Image& image) {
                box = inkBox(image);
                return box && std::abs(box->bottom() - 1 - centreY) <= 1 &&
                       box->x - centreX >= minStemOffset && box->x - centreX <= maxStemOffset;
            });
        ASSERT_TRUE(shown) << "static view never showed the text from its centre; it showed "
                           << describe(box);
        startUp = *shown;
        stemOffset = box->x - centreX;
    }

    // The stem's offset at another view width: the same number of view units.
    double stemOffsetAt(int viewWidth) const {
        const double units = (stemOffset + 0.5) * unitsWide / firstLayout.still.width;
        return units * viewWidth / unitsWide - 0.5;
    }

    // The static view, viewWidth pixels wide, shows the text from pixel (x, y): its first stem a
    // stem's offset right, its lowest lit row on the baseline above row y, so within a row of y.
    testing::AssertionResult waitForTextAt(int x, int y, int viewWidth) {
        const double left = x + stemOffsetAt(viewWidth);
        std::optional<Box> box;
        if (session.waitForCapture(View::still, [&](const Image& image) {
                box = inkBox(image);
                return box && std::abs(box->x - left) <= 1.5 &&
                       std::abs(box->bottom() - 1 - y) <= 1;
            })) {
            return testing::AssertionSuccess();
        }
        return testing::AssertionFailure()
               << "text lit at " << describe(box) << ", expected its left edge near " << left
               << " and its lowest row near " << y;
    }

    // Drags in a view; waits for the static view, viewWidth wide, to show the text from the drop.
    testing::AssertionResult dragTextTo(View view, int fromX, int fromY, int toX, int toY,
                                        int viewWidth, unsigned button = Button1) {
        session.drag(view, fromX, fromY, toX, toY, button);
        return waitForTextAt(toX, toY, viewWidth)
               << " after a drag to (" << toX << "," << toY << ")";
    }

    // Waits for a frame of the rotating view that meets the condition, then
    // checks that the next framesToSample different frames all meet it too.
    testing::AssertionResult rotatingViewKeeps(
        const std::function<bool(const std::optional<Reach>&)>& holds) {
        std::optional<Image> previous = session.waitForCapture(
            View::rotating, [&](const Image& image) { return holds(reachOf(image)); });
        if (!previous) {
            return testing::AssertionFailure()
                   << "no frame met it; the last was "
                   << describe(reachOf(session.capture(View::rotating)));
        }
        NewFrames frames{0, *previous};
        std::string failed;  // what the first frame that did not meet it showed
        waitUntil([&] {
            if (const Image image = session.capture(View::rotating);
                frames.see(image) && !holds(reachOf(image))) {
                failed = describe(reachOf(image));
            }
            return !failed.empty() || frames.count >= framesToSample || !session.isAlive();
        });
        if (!failed.empty()) {
            return testing::AssertionFailure() << "frame " << frames.count << " was " << failed;
        }
        if (frames.count < framesToSample) {
            return testing::AssertionFailure() << "only " << frames.count << " frames changed";
        }
        return testing::AssertionSuccess();
    }

    Image startUp;       // the static view's start-up drawing
    int stemOffset = 0;  // pixels from the text origin to the left edge, first layout
};

TEST_F(StrokeViewsTest, StaticTextStartsAtTheCentreOnABaselineThroughIt) {
    const Box box = *inkBox(startUp);

    // The fixture has found the left edge and the lowest row at the centre; the
    // capitals rise from there and run off the right edge.
    EXPECT_NEAR(box.height, capitalHeight, 2) << box;
    EXPECT_EQ(box.right(), startUp.width) << box;
    // Nothing left of the origin, nothing below the baseline.
    EXPECT_EQ(countPixels(startUp, {0, 0, centreX, startUp.height}, isInk), 0);
    EXPECT_EQ(countPixels(startUp, {0, centreY + 2, startUp.width, startUp.height}, isInk), 0);
}

TEST_F(StrokeViewsTest, RotatingViewSmoothsItsLinesAndStaticViewDoesNot) {
    EXPECT_EQ(greyLevels(startUp, startUp.bounds()), (std::set<int>{0, 255}));
    EXPECT_EQ(
        countPixels(startUp, startUp.bounds(), [](Rgb p) { return p != black && p != white; }), 0);

    // Smoothed white lines on black blend into many shades of grey, and into no colour.
    const std::optional<Image> smooth = session.waitForCapture(
        View::rotating, [](const Image& image) { return intermediateGreys(image) >= 10; });
    ASSERT_TRUE(smooth) << "rotating view shows "
                        << intermediateGreys(session.capture(View::rotating))
                        << " levels between black and white";
    EXPECT_EQ(
        countPixels(*smooth, smooth->bounds(), [](Rgb p) { return p.r != p.g || p.g != p.b; }), 0);
}

TEST_F(StrokeViewsTest, OnlyTheRotatingViewMovesOnItsOwn) {
    NewFrames frames{0, session.capture(View::rotating)};
    int stillChanged = 0;
    waitUntil([&] {
        frames.see(session.capture(View::rotating));
        stillChanged += session.capture(View::still) == startUp ? 0 : 1;
        return frames.count >= framesToSample || !session.isAlive();
    });
    EXPECT_GE(frames.count, framesToSample) << "rotating view changed " << frames.count << " times";
    EXPECT_EQ(stillChanged, 0) << "static view differed from its first drawing";
}

TEST_F(StrokeViewsTest, DragInStaticViewMovesTheTextInBothViews) {
    ASSERT_TRUE(rotatingViewKeeps(
        [](const std::optional<Reach>& reach) { return reach && reach->nearest < nearCentre; }));

    // (240, 60) is 81 units right of and 56 up from the centre: text starting
    // there keeps at least 98 units from the centre, however it turns about it.
    ASSERT_TRUE(dragTextTo(View::still, centreX, centreY, 240, 60, firstLayout.still.width));
    EXPECT_TRUE(rotatingViewKeeps(
        [](const std::optional<Reach>& reach) { return !reach || reach->nearest > nearCentre; }));
    // Some frames show no text at all; the text has to turn up somewhere.
    EXPECT_TRUE(session.waitForCapture(View::rotating, [](const Image& image) {
        const std::optional<Reach> reach = reachOf(image);
        return reach && reach->nearest > nearCentre;
    })) << "rotating view lost the text";
}

TEST_F(StrokeViewsTest, DragWithAnotherButtonInRotatingViewMovesStaticText) {
    EXPECT_TRUE(
        dragTextTo(View::rotating, centreX, centreY, 60, 180, firstLayout.rotating.width, Button3));
}

TEST_F(StrokeViewsTest, DragToTheCentreRestoresTheStartUpDrawing) {
    ASSERT_TRUE(dragTextTo(View::still, centreX, centreY, 40, 200, firstLayout.still.width));

    session.drag(View::still, 40, 200, centreX, centreY);
    EXPECT_TRUE(
        session.waitForCapture(View::still, [&](const Image& image) { return image == startUp; }))
        << "the text came back to " << describe(inkBox(session.capture(View::still))) << ", not to "
        << describe(inkBox(startUp));
}

// Under both of Mesa's software drivers: a pass of the main loop takes far
// longer under softpipe, which shows up redraws that only a fast loop gets right.
class StrokeViewsResizeTest : public UnderEachDriver<StrokeViewsTest> {
  protected:
    StrokeViewsResizeTest() { env = {GetParam()}; }
};

// The still view is redrawn only on keys and drags, so its frames for the resize
// must end at the new size, text from its centre; drags then map by that size.
TEST_P(StrokeViewsResizeTest, ResizeRedrawsTheStaticViewAndDragsFollowThePointer) {
    session.resize(800, 600);
    ASSERT_TRUE(session.waitForLayout(largerLayout)) << "layout: " << session.layout();
    const int width = largerLayout.still.width;
    EXPECT_TRUE(waitForTextAt(width / 2, largerLayout.still.height / 2, width));

    // Both points lie where a mapping by the creation size, 300 x 225, puts
    // the text tens of pixels away, or out of sight.
    EXPECT_TRUE(dragTextTo(View::still, 196, 150, 100, 200, width));
    EXPECT_TRUE(dragTextTo(View::still, 100, 200, 300, 90, width));
}

INSTANTIATE_TEST_SUITE_P(StrokeViews, StrokeViewsResizeTest, softwareDrivers, driverName);

TEST_F(StrokeViewsTest, TypedKeyReplacesTheTextInBothViews) {
    const Box before = *inkBox(startUp);
    ASSERT_TRUE(rotatingViewKeeps(
        [](const std::optional<Reach>& reach) { return reach && reach->farthest > beyondAnI; }));

    ASSERT_TRUE(session.typeText("I"));

    // One narrow upright stroke on the same baseline, as tall as the capitals. Its straight
    // foot ends on the baseline where the U's curve crosses it: the lowest rows may differ by one.
    const std::optional<Image> typed = session.waitForCapture(View::still, [](const Image& image) {
        const std::optional<Box> box = inkBox(image);
        return box && box->width <= 2;
    });
    ASSERT_TRUE(typed) << "static view shows " << describe(inkBox(session.capture(View::still)));
    const Box after = *inkBox(*typed);
    EXPECT_NEAR(after.bottom(), before.bottom(), 1) << after;
    EXPECT_NEAR(after.height, capitalHeight, 2) << after;
    EXPECT_GT(after.x, centreX) << after;

    EXPECT_TRUE(rotatingViewKeeps(
        [](const std::optional<Reach>& reach) { return reach && reach->farthest < beyondAnI; }));
}

}  // namespace
