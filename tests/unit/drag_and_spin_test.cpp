#include "drag_and_spin.h"

#include <gtest/gtest.h>

#include <cmath>

#include "layout.h"

namespace {

// Where the static view draws the text origin, in pixels from the view's
// top-left corner, for a view of the given size: the inverse of the mapping.
void expectOriginUnderPointer(int x, int y, int wide, int high) {
    const DragOffset offset = dragOffset(x, y, wide, high);
    const double pixelX = (offset.x + viewWidth / 2) * wide / viewWidth;
    const double pixelY = (viewHeight / 2 - offset.y) * high / viewHeight;
    EXPECT_NEAR(pixelX, x, 1e-3) << "view " << wide << "x" << high;
    EXPECT_NEAR(pixelY, y, 1e-3) << "view " << wide << "x" << high;
}

// The point, in view units, that a pointer position maps to in a view of the given size.
void expectOffset(int x, int y, int wide, int high, float unitsX, float unitsY) {
    SCOPED_TRACE(testing::Message() << "(" << x << "," << y << ") in " << wide << "x" << high);
    const DragOffset offset = dragOffset(x, y, wide, high);
    EXPECT_FLOAT_EQ(offset.x, unitsX);
    EXPECT_FLOAT_EQ(offset.y, unitsY);
}

TEST(DragOffsetTest, CreationSizeMapsOnePixelToOneUnit) {
    expectOffset(0, 0, 300, 225, -150.0f, 112.5f);
    expectOffset(150, 112, 300, 225, 0.0f, 0.5f);
    expectOffset(300, 225, 300, 225, 150.0f, -112.5f);
}

TEST(DragOffsetTest, PointerMapsBackOntoItselfAtEverySize) {
    for (const auto& [wide, high] : {std::pair{300, 225}, {312, 240}, {392, 300}, {1, 1}}) {
        expectOriginUnderPointer(0, 0, wide, high);
        expectOriginUnderPointer(wide / 2, high / 2, wide, high);
        expectOriginUnderPointer(wide - 1, high - 1, wide, high);
        expectOriginUnderPointer(wide / 3, 2 * high / 3, wide, high);
    }
}

TEST(DragOffsetTest, CentreOfTheFirstLayoutIsTheCentreOfTheView) {
    // 312 x 240 is the stroke views' size at the default window size.
    expectOffset(156, 120, 312, 240, 0.0f, 0.0f);
    expectOffset(0, 0, 312, 240, -150.0f, 112.5f);
}

TEST(DragOffsetTest, PositionsOutsideTheViewAreUsedAsTheyAre) {
    expectOffset(-30, -45, 300, 225, -180.0f, 157.5f);
    expectOffset(624, 480, 312, 240, 450.0f, -337.5f);
    const DragOffset extreme = dragOffset(-2147483647 - 1, 2147483647, 1, 1);
    EXPECT_TRUE(std::isfinite(extreme.x));
    EXPECT_TRUE(std::isfinite(extreme.y));
}

TEST(DragOffsetTest, ZeroSizeFallsBackToTheFixedExtents) {
    expectOffset(30, 45, 0, -1, -120.0f, 67.5f);
}

TEST(SpinTest, RunsTwoDegreesAStepAndHolds360ForOneTick) {
    float angle = 0.0f;
    for (int step = 1; step <= 180; ++step) {
        angle = nextSpinAngle(angle);
        ASSERT_FLOAT_EQ(angle, 2.0f * step);
    }
    EXPECT_FLOAT_EQ(angle, 360.0f);
    EXPECT_FLOAT_EQ(nextSpinAngle(angle), 2.0f);
}

TEST(SpinTest, StaysExactOverManyTurns) {
    float angle = 0.0f;
    for (int step = 0; step < 100000; ++step) {
        angle = nextSpinAngle(angle);
    }
    // 200,000 degrees are 555 turns and 200 degrees; no rounding creeps in.
    EXPECT_EQ(angle, 200.0f);
}

}  // namespace
