// Shows that the demo works on a machine without a display: runs it on a
// private Xvfb, types a sample line, drags the stroke text a little, and saves
// a PNG of the whole window with its three sub-windows.
//
//   gltextdemo-snapshot [--font FILE] OUTPUT.png   writes the picture, prints its path
//   gltextdemo-snapshot --probe-display            exits 0 if $DISPLAY can be opened
#include <X11/Xlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "png_writer.h"
#include "x_session.h"

namespace {

constexpr char sampleLine[] = "Hello, GL!";

int fail(const std::string& what, const DemoSession* session = nullptr) {
    std::fprintf(stderr, "gltextdemo-snapshot: %s\n", what.c_str());
    if (session != nullptr && !session->stderrText().empty()) {
        std::fprintf(stderr, "the program said:\n%s", session->stderrText().c_str());
    }
    return 1;
}

bool displayReachable() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    XCloseDisplay(display);
    return true;
}

// Once every window shows what was asked of it: the same picture twice in a
// row, with the sample line's ink to the right of the prompt.
std::optional<Image> settledWindow(DemoSession& session) {
    std::optional<Image> last;
    const bool settled = waitUntil([&] {
        Image now = session.capture(session.topLevel());
        const bool same = last && *last == now && !now.empty();
        last = std::move(now);
        return same;
    });
    return settled ? last : std::nullopt;
}

int snapshot(const std::string& fontFile, const std::string& output) {
    DemoSession session(FontSetup::Missing);
    std::error_code error;
    std::filesystem::copy_file(fontFile, session.fontPath(), error);
    if (error) {
        return fail("cannot copy the font " + fontFile + ": " + error.message());
    }
    if (!session.start()) {
        return fail("the demo did not start on a private Xvfb", &session);
    }
    session.focus();
    if (!session.typeText(sampleLine)) {
        return fail("cannot type the sample line");
    }
    // From the centre of the still view towards its lower left: both stroke
    // views follow, and the spinning one turns the text about its centre.
    session.drag(session.views().still, 156, 120, 40, 170);
    const std::optional<Image> window = settledWindow(session);
    if (!window) {
        return fail("the window never settled", &session);
    }
    if (!writePng(*window, output)) {
        return fail("cannot write " + output);
    }
    session.close();
    std::printf("%s\n", std::filesystem::absolute(output).c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string first = argc > 1 ? argv[1] : "";
    if (argc == 2 && first == "--probe-display") {
        return displayReachable() ? 0 : 1;
    }
    if (argc == 2 && first[0] != '-') {
        return snapshot(DEJAVU_FONT, first);
    }
    if (argc == 4 && first == "--font") {
        return snapshot(argv[2], argv[3]);
    }
    std::fprintf(stderr, "usage: %s [--font FILE] OUTPUT.png | --probe-display\n", argv[0]);
    return 2;
}
