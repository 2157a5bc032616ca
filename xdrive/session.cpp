// A session: the server, the program on it and its windows. Every X error is
// tolerated, as a caller may ask about a window of a program that just died.
#include "session.h"

#include <X11/keysym.h>

#include <filesystem>
#include <numeric>

#include "internal.h"

DemoSession::DemoSession(FontSetup font)
    : root_("gltextdemo-test"), workDir_(root_.path() + "/work") {
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    std::filesystem::create_directory(workDir_);
    if (font == FontSetup::Installed) {
        std::filesystem::copy_file(DEJAVU_FONT, fontPath());
    } else if (font != FontSetup::Machine) {
        fontEnv_ = useSystemFonts(root_.path(), font == FontSetup::System);
    }
}

DemoSession::~DemoSession() {
    program_.terminate();
    stopHost();
    windowManager_.terminate();
    // Before the server goes: Xlib exits the process on a lost connection.
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
}

bool DemoSession::startServer(bool windowManager) {
    display_ = startXServer(root_.path(), server_);
    const std::string layout = layout_.empty() ? keyboardLayout : layout_;
    if (display_ == nullptr ||
        ((windowManager || needsWindowManager) &&
         !startWindowManager(display_, root_.path(), windowManager_)) ||
        (!layout.empty() && !setLayout(display_, layout))) {
        return false;
    }
    // Every Latin-1 key can then be typed, whatever the layout lacks.
    std::vector<KeySym> latin1(XK_ydiaeresis - XK_nobreakspace + 1);
    std::iota(latin1.begin(), latin1.end(), XK_nobreakspace);
    return bindKeys(display_, latin1, boundKeys_);
}

bool DemoSession::showsWindow(const char* title) {
    return findByTitle(display_, title) != 0;
}

bool DemoSession::launch(const std::vector<std::string>& env,
                         const std::vector<std::string>& wrapper) {
    if (display_ == nullptr) {
        return false;
    }
    // What the build adds to every run: a sanitized build's options.
    std::vector<std::string> fullEnv{std::string("DISPLAY=") + DisplayString(display_),
                                     PROGRAM_ENVIRONMENT};
    fullEnv.insert(fullEnv.end(), fontEnv_.begin(), fontEnv_.end());
    fullEnv.insert(fullEnv.end(), env.begin(), env.end());
    std::vector<std::string> argv = wrapper;
    const std::vector<std::string> program = command_.empty() ? programCommand : command_;
    argv.insert(argv.end(), program.begin(), program.end());
    return program_.start({argv, fullEnv, workDir_, root_.path() + "/program-stderr.txt",
                           root_.path() + "/program-stdout.txt"});
}

bool DemoSession::findWindows(std::chrono::milliseconds timeout) {
    bool found = false;
    const auto seen = [&] {
        topLevel_ = findByTitle(display_, windowTitle);
        found = isViewable(display_, topLevel_) && !findViews(display_, topLevel_).empty();
        return found || !isAlive();
    };
    if (waitUntil(seen, timeout) && found) {
        focus(display_, topLevel_);
    }
    return found;
}

std::optional<Shown> DemoSession::shown(View view) {
    if (view == View::topLevel) {
        const Box box = geometryOf(display_, topLevel_);
        return Shown{topLevel_, {0, 0, box.width, box.height}, box};
    }
    const std::vector<Shown> views = findViews(display_, topLevel_);
    return views.empty() ? std::nullopt : std::optional(views[static_cast<int>(view) - 1]);
}

Box DemoSession::screenGeometry(View view) {
    const std::optional<Shown> at = shown(view);
    return at ? onScreen(display_, at->window, at->area) : Box{};
}

ViewLayout DemoSession::layout() {
    const std::vector<Shown> v = findViews(display_, topLevel_);
    return v.empty() ? ViewLayout{} : ViewLayout{v[0].inTopLevel, v[1].inTopLevel, v[2].inTopLevel};
}

bool DemoSession::waitForLayout(const ViewLayout& expected, std::chrono::milliseconds timeout) {
    bool matches = false;
    waitUntil([&] { return (matches = layout() == expected) || !isAlive(); }, timeout);
    return matches;
}

void DemoSession::resize(int width, int height) {
    resizeWindow(display_, topLevel_, width, height);
    settleResize(display_, topLevel_);
}

void DemoSession::maximize(bool maximized) {
    setMaximized(display_, topLevel_, maximized);
    settleResize(display_, topLevel_);
}

bool DemoSession::pressKey(KeySym key, const std::vector<KeySym>& modifiers) {
    return ::pressKey(display_, boundKeys_, key, modifiers);
}

bool DemoSession::typeText(const std::string& latin1) {
    return ::typeText(display_, boundKeys_, latin1);
}

void DemoSession::drag(View view, int fromX, int fromY, int toX, int toY, unsigned button) {
    if (const std::optional<Shown> at = shown(view)) {
        ::drag(display_, at->window, at->area, fromX, fromY, toX, toY, button);
    }
}

Image DemoSession::capture(const std::optional<Shown>& at) {
    return at ? ::capture(display_, at->window, at->area) : Image{};
}

std::optional<Image> DemoSession::waitForCapture(View view,
                                                 const std::function<bool(const Image&)>& ready,
                                                 std::chrono::milliseconds timeout) {
    std::optional<Image> result;
    const auto caught = [&] {
        if (Image image = capture(view); !image.empty() && ready(image)) {
            result = std::move(image);
        }
        return result.has_value() || !isAlive();
    };
    waitUntil(caught, timeout);
    return result;
}

std::optional<int> DemoSession::close(std::chrono::milliseconds timeout) {
    askToClose(display_, topLevel_);
    return waitForExit(timeout);
}

std::string DemoSession::outputText(const char* stream) const {
    return programOutput(readText(root_.path() + "/program-" + stream + ".txt"));
}

std::string DemoSession::stopServer() {
    const std::string name = DisplayString(display_);
    XCloseDisplay(display_);  // first: Xlib ends a process whose connection breaks
    display_ = nullptr;
    server_.terminate();
    return name;
}
