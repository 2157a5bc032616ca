// Layout of the sub-windows for a given size of the top-level window.
#include "layout.h"

#include <algorithm>

namespace {

constexpr int margin = 5;   // outer margin around the sub-windows
constexpr int viewGap = 6;  // between the two stroke views

Rect clamped(int x, int y, int width, int height) {
    return {x, y, std::max(width, 1), std::max(height, 1)};
}

}  // namespace

SubWindowLayout layoutSubWindows(int mainWidth, int mainHeight) {
    // GLUT never reports a negative size; treating one as zero keeps the
    // arithmetic below free of overflow whatever the caller passes.
    const int width = std::max(mainWidth, 0);
    const int height = std::max(mainHeight, 0);
    const int halfWidth = width / 2;
    const int halfHeight = height / 2;
    const int strokeWidth = halfWidth - margin - viewGap / 2;

    return {
        clamped(margin, margin, strokeWidth, halfHeight),
        clamped(halfWidth + viewGap / 2, margin, strokeWidth, halfHeight),
        // The font view starts one margin below the stroke views' bottom edge.
        clamped(margin, margin + halfHeight + margin, width - 2 * margin, height / 4),
    };
}
