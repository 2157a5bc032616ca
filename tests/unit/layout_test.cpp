#include "layout.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

void expectRect(const Rect& actual, const Rect& expected) {
    EXPECT_EQ(std::tie(actual.x, actual.y, actual.width, actual.height),
              std::tie(expected.x, expected.y, expected.width, expected.height));
}

void expectLayout(int width, int height, const SubWindowLayout& expected) {
    SCOPED_TRACE(testing::Message() << width << "x" << height);
    const SubWindowLayout layout = layoutSubWindows(width, height);
    expectRect(layout.rotating, expected.rotating);
    expectRect(layout.still, expected.still);
    expectRect(layout.font, expected.font);
}

TEST(LayoutTest, DefaultSize) {
    expectLayout(640, 480, {{5, 5, 312, 240}, {323, 5, 312, 240}, {5, 250, 630, 120}});
}

TEST(LayoutTest, LargerWindow) {
    expectLayout(800, 600, {{5, 5, 392, 300}, {403, 5, 392, 300}, {5, 310, 790, 150}});
}

TEST(LayoutTest, OddWidthTruncatesLikeTheEvenWidthBelow) {
    const SubWindowLayout odd = layoutSubWindows(641, 480);
    const SubWindowLayout even = layoutSubWindows(640, 480);
    expectRect(odd.rotating, {5, 5, 312, 240});
    expectRect(odd.still, {323, 5, 312, 240});
    EXPECT_EQ(odd.font.width, 631);
    EXPECT_EQ(odd.still.x + odd.still.width, 641 - 6);  // right margin grows to 6
    EXPECT_EQ(even.still.x + even.still.width, 640 - 5);
}

TEST(LayoutTest, StrokeViewsAreExactlyCreationSizeAt616By450) {
    expectRect(layoutSubWindows(616, 450).rotating, {5, 5, 300, 225});
    expectRect(layoutSubWindows(616, 450).still, {311, 5, 300, 225});
}

TEST(LayoutTest, TinyWindowIsClampedToOnePixel) {
    // 10 x 1 used to make X reject a zero-sized window and end the process.
    expectLayout(10, 1, {{5, 5, 1, 1}, {8, 5, 1, 1}, {5, 10, 1, 1}});
    expectLayout(1, 1, {{5, 5, 1, 1}, {3, 5, 1, 1}, {5, 10, 1, 1}});
    expectRect(layoutSubWindows(0, 0).font, {5, 10, 1, 1});
}

TEST(LayoutTest, ClampingStartsExactlyWhereTheFormulasReachZero) {
    // Stroke views: width 18 is the last with a positive width (18/2 - 8 = 1).
    EXPECT_EQ(layoutSubWindows(18, 480).rotating.width, 1);
    EXPECT_EQ(layoutSubWindows(20, 480).rotating.width, 2);
    EXPECT_EQ(layoutSubWindows(17, 480).still.width, 1);
    // Font view: 11 wide is 1 pixel, 10 or less is clamped.
    EXPECT_EQ(layoutSubWindows(12, 480).font.width, 2);
    EXPECT_EQ(layoutSubWindows(10, 480).font.width, 1);
    // Heights: stroke views from 2 high, font view from 4 high (8 gives 2).
    EXPECT_EQ(layoutSubWindows(640, 4).rotating.height, 2);
    EXPECT_EQ(layoutSubWindows(640, 8).font.height, 2);
    EXPECT_EQ(layoutSubWindows(640, 3).font.height, 1);
    // 17 x 3 keeps the formula's positions while clamping the sizes.
    const SubWindowLayout layout = layoutSubWindows(17, 3);
    expectRect(layout.still, {11, 5, 1, 1});
    expectRect(layout.font, {5, 11, 7, 1});
}

TEST(LayoutTest, NegativeSizeIsTreatedAsZero) {
    expectLayout(-2147483647 - 1, -5, {{5, 5, 1, 1}, {3, 5, 1, 1}, {5, 10, 1, 1}});
}

}  // namespace
