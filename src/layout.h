// The window table and the layout of the three sub-windows inside the top-level
// window. Plain arithmetic, no GL: reshape() hands the result to GLUT.
#pragma once

struct Rect {
    int x;  // left edge, pixels from the top-left corner of the parent (or the screen)
    int y;  // top edge
    int width;
    int height;
};

// Where each window is created. reshape() replaces the sub-window geometry as
// soon as the top-level window is first shown.
constexpr Rect initialMainWindow{100, 150, 640, 480};
constexpr Rect initialRotatingView{5, 5, 300, 225};
constexpr Rect initialStaticView{310, 5, 300, 225};
constexpr Rect initialFontView{5, 235, 605, 125};

// Orthographic extents of every sub-window: the stroke views' creation size in
// view units. They never follow a resize, so resized content stretches.
constexpr float viewWidth = initialRotatingView.width;
constexpr float viewHeight = initialRotatingView.height;

struct SubWindowLayout {
    Rect rotating;
    Rect still;
    Rect font;
};

// The stroke views share the top half side by side; the font view spans the
// width below them and takes a quarter of the height; the strip left at the
// bottom belongs to the prompt. Sizes never drop below one pixel, because X
// rejects a zero-sized window and freeglut's default error handler then exits.
SubWindowLayout layoutSubWindows(int mainWidth, int mainHeight);
