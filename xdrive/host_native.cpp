// The program run natively: each view is an X child window of the top-level
// window, created in the order rotating, still, font.
#include <algorithm>

#include "internal.h"

const bool underWine = false;

std::vector<std::string> programCommand() {
    return {GLTEXTDEMO_EXE};
}

bool needsWindowManager() {
    return false;
}

std::optional<Views<Shown>> findViews(Display* display, Window topLevel) {
    std::vector<Window> children = childrenOf(display, topLevel);
    if (children.size() != 3) {
        return std::nullopt;
    }
    // Xlib hands out window ids in increasing order, so sorting by id gives
    // creation order whatever the stacking.
    std::sort(children.begin(), children.end());
    const auto shown = [&](Window window) {
        const Box box = geometryOf(display, window);
        return Shown{window, {0, 0, box.width, box.height}, box};
    };
    return Views<Shown>{shown(children[0]), shown(children[1]), shown(children[2])};
}

void settleResize(Display*, Window) {}

std::string programStderr(std::string text) {
    return text;
}

void stopHost() {}
