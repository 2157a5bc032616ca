// The program run natively: each view is an X child window of the top-level
// window, created in the order rotating, still, font.
#include <algorithm>

#include "internal.h"

const bool underWine = false;
const bool needsWindowManager = false;
const std::vector<std::string> programCommand{GLTEXTDEMO_EXE};
const char* const keyboardLayout = "";  // the server's own, and keycodes bound to more

std::string systemFontsFolder() {
    return "";  // no standard place for a file such as verdana.ttf
}

std::vector<Shown> findViews(Display* display, Window topLevel) {
    std::vector<Window> children = childrenOf(display, topLevel);
    // Xlib hands out window ids in increasing order, so sorting by id gives
    // creation order whatever the stacking.
    std::sort(children.begin(), children.end());
    std::vector<Shown> views;
    for (Window window : children) {
        const Box box = geometryOf(display, window);
        views.push_back({window, {0, 0, box.width, box.height}, box});
    }
    return views.size() == 3 ? views : std::vector<Shown>{};
}

void settleResize(Display*, Window) {}

std::string programStderr(std::string text) {
    return text;
}

void stopHost() {}
