// Drag mapping and spin step of the stroke views.
#include "drag_and_spin.h"

#include "layout.h"

namespace {

constexpr float spinStep = 2.0f;  // degrees per idle call
constexpr float fullTurn = 360.0f;

}  // namespace

DragOffset dragOffset(int x, int y, int viewPixelsWide, int viewPixelsHigh) {
    const double wide = viewPixelsWide > 0 ? viewPixelsWide : viewWidth;
    const double high = viewPixelsHigh > 0 ? viewPixelsHigh : viewHeight;
    const double unitsX = x * double{viewWidth} / wide;
    const double unitsY = y * double{viewHeight} / high;
    return {static_cast<float>(unitsX - viewWidth / 2),
            static_cast<float>(viewHeight / 2 - unitsY)};
}

float nextSpinAngle(float angle) {
    angle += spinStep;
    if (angle > fullTurn) {
        angle -= fullTurn;
    }
    return angle;
}
