// The expected screen, worked out for a size of the top-level window.
#include "screen.h"

#include <algorithm>

namespace {

// In the echo's bitmap font the sample line is 79 pixels wide, 74 without its "!". In any DejaVu
// face, which both font view lines use, it is a fifth as wide at 24 pixels as the fixed line at 18.
constexpr int echoWidth = 77;
constexpr int fixedPerTyped = 6;
constexpr int strokeInk = 50;  // lit pixels enough to be text rather than a stray dot
constexpr int promptWidth = 165;

int inkWidth(const Image& window, const Box& area, Rgb background) {
    const std::optional<Box> ink = boundingBox(window, area, background);
    return ink ? ink->width : 0;
}

bool cornersAre(const Image& window, const Box& area, Rgb colour) {
    return window.at(area.x, area.y) == colour && window.at(area.right() - 1, area.y) == colour &&
           window.at(area.x, area.bottom() - 1) == colour &&
           window.at(area.right() - 1, area.bottom() - 1) == colour;
}

}  // namespace

ViewLayout layoutAt(int width, int height) {
    const auto atLeastOne = [](int n) { return std::max(n, 1); };
    const int strokeWidth = atLeastOne(width / 2 - 8);
    return {{5, 5, strokeWidth, atLeastOne(height / 2)},
            {width / 2 + 3, 5, strokeWidth, atLeastOne(height / 2)},
            {5, height / 2 + 10, atLeastOne(width - 10), atLeastOne(height / 4)}};
}

Box promptStrip(int width, int height) {
    const int top = layoutAt(width, height).font.bottom();
    return {0, top, width, height - top};
}

Places placesAt(int width, int height) {
    const ViewLayout views = layoutAt(width, height);
    const Box& font = views.font;
    const int split = fontViewSplit(font.height);
    const Box strip = promptStrip(width, height);
    const int promptEnd = width / 40 + promptWidth;
    return {views.rotating,
            views.still,
            {font.x, font.y, font.width, split},
            {font.x, font.y + split, font.width, font.height - split},
            {0, strip.y, promptEnd, strip.height},
            {promptEnd, strip.y, width - promptEnd, strip.height}};
}

// The spinning view changes on every frame, so any frame with ink will do.
const char* missingPlace(const Image& window) {
    const ViewLayout views = layoutAt(window.width, window.height);
    const Places at = placesAt(window.width, window.height);
    const Rgb grey = window.at(0, 0);
    if (!isClearGrey(grey) || !cornersAre(window, window.bounds(), grey)) {
        return "the window never showed its grey clear colour";
    }
    // The margins and the strip: grey and the prompt's white glyphs alone, so none of a
    // sub-window's old drawing from before it took its place, and no part of the window undrawn.
    const std::vector<Box> panes = blackPanes(window);
    if (panes != std::vector<Box>{views.rotating, views.still, views.font}) {
        return "the margins never showed the grey around the three views in their places";
    }
    const Box strip = promptStrip(window.width, window.height);
    if (inkWidth(window, at.prompt, grey) == 0 ||
        countPixels(window, strip, grey) + countPixels(window, strip, white) <
            strip.width * strip.height) {
        return "the prompt strip never showed the prompt";
    }
    if (inkWidth(window, at.echo, grey) < echoWidth) {
        return "the prompt strip never echoed the sample line";
    }
    // No line reaches the font view's corners, and the fixed line, whose
    // glyphs keep their pixel size, spans most of the view at its first size.
    const int fixedWidth = inkWidth(window, at.fixedLine, black);
    if (!cornersAre(window, views.font, black) || 2 * fixedWidth < firstLayout.font.width) {
        return "the font view never showed its fixed line";
    }
    if (inkWidth(window, at.typedLine, black) * fixedPerTyped < fixedWidth) {
        return "the font view never showed the sample line";
    }
    if (countPixels(window, at.still, white) < strokeInk) {
        return "the still stroke view never showed any text";
    }
    if (countPixels(window, at.rotating, isInk) < strokeInk) {
        return "the spinning stroke view never showed any text";
    }
    return nullptr;
}
