// Run natively: the views, created rotating, still, font, are X children of the top-level window.
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "internal.h"

const bool underWine = false;
const bool needsWindowManager = false;
const std::vector<std::string> programCommand{GLTEXTDEMO_EXE};
const char* const keyboardLayout = "";  // the server's own, and keycodes bound to more
const char* const noSystemFont =
    "gltextdemo: cannot load font \"Verdana\": fontconfig knows no font\n";

// A fontconfig of the program's own, which knows only the fonts in dir/fonts.
std::vector<std::string> useSystemFonts(const std::string& dir, bool dejaVu) {
    std::filesystem::create_directory(dir + "/fonts");
    if (dejaVu) {
        std::filesystem::copy_file(DEJAVU_FONT, dir + "/fonts/DejaVuSans.ttf");
    }
    std::ofstream(dir + "/fonts.conf") << "<fontconfig><dir>" << dir << "/fonts</dir><cachedir>"
                                       << dir << "/font-cache</cachedir></fontconfig>\n";
    return {"FONTCONFIG_FILE=" + dir + "/fonts.conf"};
}

std::vector<Shown> findViews(Display* display, Window topLevel) {
    std::vector<Window> children = childrenOf(display, topLevel);
    // Xlib's ids increase: sorted by id, the windows are in creation order whatever the stacking.
    std::sort(children.begin(), children.end());
    std::vector<Shown> views;
    for (Window window : children) {
        const Box box = geometryOf(display, window);
        views.push_back({window, {0, 0, box.width, box.height}, box});
    }
    return views.size() == 3 ? views : std::vector<Shown>{};
}

void settleResize(Display*, Window) {}

std::string programOutput(std::string text) {
    return text;
}

void stopHost() {}
