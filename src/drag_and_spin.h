// Arithmetic behind the stroke views' input: the drag mapping and the spin
// step. Plain functions, no GL.
#pragma once

struct DragOffset {
    float x;  // view units, origin at the centre of the view, y up
    float y;
};

// Maps a pointer position (pixels from the top-left corner of the view that
// received the drag) to the point of the view under it, using the view's
// current size in pixels, so the text starts under the pointer at any size.
// A size of zero or less falls back to the view's extents in view units.
DragOffset dragOffset(int x, int y, int viewPixelsWide, int viewPixelsHigh);

// One idle tick of the spin: 2 degrees on, wrapping only once past 360, so
// the angle runs 2, 4, ..., 358, 360, 2, ...
float nextSpinAngle(float angle);
