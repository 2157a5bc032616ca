// A Windows build through Wine, which draws each GL sub-window off screen into the top-level X
// window, leaving it no X children: the views are found in its pixels, the black panes between the
// grey margins. Wine follows a resize made from X only under a window manager.
#include <cstdlib>
#include <filesystem>

#include "internal.h"

namespace {

// freeglut under Wine finds no screen through its first device context and says
// so first, after its name and the program's path: exactly that is not our fault.
constexpr char startWarning[] =
    "): fgPlatformInitialize: CreateDC failed, Screen size info may be incorrect\n"
    "This is quite likely caused by a bad '-display' parameter\n";

// Windows' own verdana.ttf in the prefix that scripts/windows.sh sets up.
std::string windowsVerdana() {
    const char* prefix = std::getenv("WINEPREFIX");
    const char* home = std::getenv("HOME");
    return (prefix != nullptr ? prefix : std::string(home != nullptr ? home : "") + "/.wine") +
           "/drive_c/windows/Fonts/verdana.ttf";
}

bool placedVerdana = false;  // by this session, for stopHost() to remove

}  // namespace

const bool underWine = true;
const bool needsWindowManager = true;
const std::vector<std::string> programCommand{WINE_EXE, GLTEXTDEMO_WINDOWS_EXE};
// Wine drops a key typed through a keycode bound for the moment, so the
// Latin-1 letters are typed on a layout that has the tests' own: é, è, à.
const char* const keyboardLayout = "fr";

const char* const noSystemFont =
    "gltextdemo: cannot load font \"C:\\windows\\Fonts\\verdana.ttf\": No such file or directory\n";

std::vector<std::string> useSystemFonts(const std::string&, bool dejaVu) {
    std::filesystem::remove(windowsVerdana());
    placedVerdana = dejaVu && std::filesystem::copy_file(DEJAVU_FONT, windowsVerdana());
    return {};
}

std::vector<Shown> findViews(Display* display, Window topLevel) {
    const Box window = geometryOf(display, topLevel);
    std::vector<Shown> views;
    for (const Box& pane :
         blackPanes(capture(display, topLevel, {0, 0, window.width, window.height}))) {
        views.push_back({topLevel, pane, pane});
    }
    return views.size() == 3 ? views : std::vector<Shown>{};
}

// Wine answers a size Windows does not allow (115x3 for 17x3) with its own, which can land after
// the next request and undo it: so the size holds for half a second of polls first.
void settleResize(Display* display, Window topLevel) {
    Box last;
    int unchanged = 0;
    waitUntil([&] {
        const Box now = geometryOf(display, topLevel);
        unchanged = now == last ? unchanged + 1 : 0;
        last = now;
        return unchanged == 25;
    });
}

// A Windows program writes its text lines ending in "\r\n".
std::string programOutput(std::string text) {
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos;) {
        text.erase(at, 1);
    }
    const std::size_t warning = text.find(startWarning);
    if (text.rfind("freeglut (", 0) == 0 && warning < text.find('\n')) {
        text.erase(0, warning + sizeof startWarning - 1);
    }
    return text;
}

// Wine's server and desktop outlive the program; the next session starts afresh.
void stopHost() {
    if (placedVerdana) {
        std::filesystem::remove(windowsVerdana());
    }
    ChildProcess stop;
    stop.start({{WINESERVER_EXE, "-k"}, {}});
    stop.waitForExit(patience);
}
