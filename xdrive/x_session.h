// One private X server with gltextdemo running on it, as the integration
// tests, the snapshot tool and the benchmarks need it: finds the program's
// windows, types and drags through XTest, resizes, captures pixels, and closes
// or kills everything it started.
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "image.h"
#include "process.h"

// Enough for a loaded two-core machine on which the program's idle loop keeps
// one core busy all the time.
constexpr std::chrono::milliseconds patience{10000};

// Polls until the condition holds; false if it still fails after the timeout.
template <typename Condition>
bool waitUntil(Condition holds, std::chrono::milliseconds timeout = patience) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!holds()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// Whether the program is a Windows build run through Wine (see
// scripts/windows.sh). Wine draws each GL sub-window off screen and composites
// it into the top-level X window, which then has no X children: the views are
// found in its pixels instead, the black panes between the grey margins.
constexpr bool underWine = PROGRAM_UNDER_WINE;

// The three sub-windows, in the order the program creates them.
template <typename T>
struct Views {
    T rotating{};
    T still{};
    T font{};
};

using ViewLayout = Views<Box>;  // each view's geometry inside the top-level window

bool operator==(const ViewLayout& a, const ViewLayout& b);
std::ostream& operator<<(std::ostream& out, const ViewLayout& layout);
// Where the program lays its sub-windows out in a top-level window of this size.
ViewLayout programLayout(int width, int height);

enum class FontSetup {
    Installed,  // the DejaVu font as verdana.ttf in the working directory
    Missing,    // an empty working directory, to be filled by the test if it likes
};

class DemoSession {
  public:
    explicit DemoSession(FontSetup font = FontSetup::Installed);
    ~DemoSession();
    DemoSession(const DemoSession&) = delete;
    DemoSession& operator=(const DemoSession&) = delete;

    // The program's working directory exists from construction on, so a test
    // can put files in it before start().
    const std::string& workDir() const { return workDir_; }
    std::string fontPath() const { return workDir_ + "/verdana.ttf"; }

    // Starts the server and the program and finds all four windows. Every
    // wait below gives up early once the program has died.
    bool start(const std::vector<std::string>& env = {});
    // Binds every Latin-1 keysym the server's keymap lacks to a spare keycode.
    bool startServer();
    // env: NAME=value pairs; wrapper: a command to run the program under
    // (valgrind and its options), or none.
    bool launch(const std::vector<std::string>& env = {},
                const std::vector<std::string>& wrapper = {});
    // What launch() runs in place of gltextdemo: a path and its arguments, for
    // a stand-in that builds the same window tree. Empty runs gltextdemo.
    void setCommand(std::vector<std::string> argv) { command_ = std::move(argv); }
    bool findWindows(std::chrono::milliseconds timeout = patience);

    Display* display() const { return display_; }
    Window topLevel() const { return topLevel_; }
    // X windows, or under Wine stand-ins that every call here takes as the
    // pane of the top-level window where that view shows.
    const Views<Window>& views() const { return views_; }

    Box geometry(Window window);        // relative to the parent; empty if gone
    Box screenGeometry(Window window);  // relative to the root window
    ViewLayout layout();
    bool waitForLayout(const ViewLayout& expected, std::chrono::milliseconds timeout = patience);
    void resize(int width, int height);

    // Keys go to the focused top-level window, as no window manager runs.
    // False for a keysym that has no keycode.
    void focus();
    bool pressKey(KeySym key, const std::vector<KeySym>& modifiers = {});
    // Types each byte as the Latin-1 key of that code; '\n', '\t', '\b' as
    // Return, Tab, BackSpace. False, and nothing typed, for any other byte.
    bool typeText(const std::string& latin1);
    void drag(Window window, int fromX, int fromY, int toX, int toY, unsigned button = Button1);

    Image capture(Window window);  // empty if the window cannot be read
    // An area in an X window's own coordinates; empty if it reaches outside.
    Image capture(Window window, const Box& area);
    std::optional<Image> waitForCapture(Window window,
                                        const std::function<bool(const Image&)>& ready,
                                        std::chrono::milliseconds timeout = patience);

    bool isAlive() { return program_.isAlive(); }
    pid_t programPid() const { return program_.pid(); }
    // The raw wait status once the program has ended by itself, or none.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout = patience) {
        return program_.waitForExit(timeout);
    }
    // Asks the program to close as a window manager would; the raw wait status.
    std::optional<int> close(std::chrono::milliseconds timeout = patience);
    std::string stderrText() const;

  private:
    // Before launch(): a program that has read the keymap already can miss a
    // change made just before the next key.
    bool bindKeys(const std::vector<KeySym>& keys);
    KeyCode keyCodeFor(KeySym key, bool& shifted);
    // The X window that shows a window of the program, and the area of it
    // that does: all of an X window, or under Wine a view's pane.
    std::pair<Window, Box> shownIn(Window window);

    TempDir root_;         // holds everything below, and goes last
    std::string workDir_;  // the program's working directory
    ChildProcess server_;
    ChildProcess windowManager_;  // under Wine only, which needs one to follow a resize
    ChildProcess program_;
    std::string displayName_;
    Display* display_ = nullptr;
    Window topLevel_ = 0;
    Views<Window> views_;
    std::map<KeySym, KeyCode> boundKeys_;  // keysyms this session bound itself
    std::vector<std::string> command_;     // see setCommand()
};
