// What the program's window shows, written apart from its source: the tests,
// the snapshot tool and the benchmarks hold the program to these facts.
#pragma once

#include <cmath>
#include <ostream>

#include "image.h"

constexpr char windowTitle[] = "Assignment 2 by Quendrik";
constexpr Box initialWindow{100, 150, 640, 480};  // on the screen
// The private X server's screen: it holds every window the tests read back,
// since X hands back no pixels of a window reaching past the screen's edge.
constexpr Box wholeScreen{0, 0, 1920, 1440};

// The sub-windows clear to black and draw white text. The top-level window
// clears to 0.3 grey, 76.5 of 255, which GL may round either way.
constexpr Rgb black{0, 0, 0};
constexpr Rgb white{255, 255, 255};
constexpr auto isInk = [](Rgb p) { return p != black; };
constexpr auto isWhite = [](Rgb p) { return p == white; };
constexpr auto isClearGrey = [](Rgb p) {
    return p.r == p.g && p.g == p.b && (p.r == 76 || p.r == 77);
};

// Each view's geometry inside the top-level window.
struct ViewLayout {
    Box rotating, still, font;

    friend bool operator==(const ViewLayout& a, const ViewLayout& b) {
        return a.rotating == b.rotating && a.still == b.still && a.font == b.font;
    }
    friend std::ostream& operator<<(std::ostream& out, const ViewLayout& v) {
        return out << "rotating " << v.rotating << ", static " << v.still << ", font " << v.font;
    }
};

// Five pixels of margin around the sub-windows, six between the stroke views sharing the top half,
// the font view a quarter of the height below; integer halves and quarters, none below one pixel.
ViewLayout layoutAt(int width, int height);
inline const ViewLayout firstLayout = layoutAt(initialWindow.width, initialWindow.height);
// The still view's centre at the first layout, in its pixels: the stroke text's start until a drag.
inline const int centreX = firstLayout.still.width / 2;
inline const int centreY = firstLayout.still.height / 2;

// Every sub-window shows 300 by 225 view units, whatever its size in pixels.
constexpr double unitsWide = 300.0;
constexpr double unitsHigh = 225.0;

// The font view's lines start 10 units from its left edge on baselines 30
// units above and below its centre, in rows from the top. The fixed line's
// descenders end above the split row, the typed line's accents start below.
inline int fontLineLeft(int viewWidth) {
    return static_cast<int>(std::lround(viewWidth * 10 / unitsWide));
}
inline int messageBaseline(int viewHeight) {
    return static_cast<int>(std::lround(viewHeight * (unitsHigh / 2 - 30) / unitsHigh));
}
inline int textBaseline(int viewHeight) {
    return static_cast<int>(std::lround(viewHeight * (unitsHigh / 2 + 30) / unitsHigh));
}
inline int fontViewSplit(int viewHeight) {
    return messageBaseline(viewHeight) + 8;
}
constexpr int placeholderWidth = 63;  // "UXEN" at 24 pixels in DejaVu Sans

// Below the font view the top-level window draws "Type something:" in Times Roman 24, 165 pixels
// wide, from 2.5% of its width and height off the lower left, and the text's echo right after it.
Box promptStrip(int width, int height);
inline int promptBaseline(int height) {  // rows from the top
    return height - height / 40;
}

// The line the snapshot tool and whole-picture test type, and where each way of drawing shows it.
constexpr char sampleLine[] = "Hello, GL!";
struct Places {
    Box rotating, still, fixedLine, typedLine, prompt, echo;
};
Places placesAt(int width, int height);

// The first place in the top-level window, the sample line typed, not as it should be; or none.
const char* missingPlace(const Image& window);
