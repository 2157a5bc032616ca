// One private X server with gltextdemo running on it, as the integration
// tests, the snapshot tool and the benchmarks need it: starts both, finds the
// program's windows, types and drags, resizes, captures pixels, and closes or
// kills everything it started.
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host.h"
#include "image.h"
#include "input.h"
#include "process.h"
#include "screen.h"
#include "x_server.h"

// The program's four windows.
enum class View { topLevel, rotating, still, font };

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
    // wait below gives up early once the program has died. A window manager
    // runs on the server if asked for, as on a desktop, or if the host needs one.
    bool start(const std::vector<std::string>& env = {}, bool windowManager = false);
    // Binds every Latin-1 keysym the server's keymap lacks to a spare keycode.
    bool startServer(bool windowManager = false);
    // env: NAME=value pairs; wrapper: a command to run the program under
    // (valgrind and its options), or none.
    bool launch(const std::vector<std::string>& env = {},
                const std::vector<std::string>& wrapper = {});
    // What launch() runs in place of gltextdemo: a path and its arguments, for
    // a stand-in that builds the same window tree. Empty runs gltextdemo.
    void setCommand(std::vector<std::string> argv) { command_ = std::move(argv); }
    bool findWindows(std::chrono::milliseconds timeout = patience);

    Display* display() const { return server_.display(); }
    // The X window that shows a view and the area of it that does; none if
    // the view cannot be found now.
    std::optional<Shown> shown(View view);

    // The top-level window's relative to its parent, each view's to the
    // top-level window; empty if gone.
    Box geometry(View view);
    Box screenGeometry(View view);  // relative to the root window
    ViewLayout layout();
    bool waitForLayout(const ViewLayout& expected, std::chrono::milliseconds timeout = patience);
    void resize(int width, int height);
    // Through the window manager, which must run.
    void maximize(bool maximized);

    // Keys go to the focused top-level window. False for a keysym that has no keycode.
    void focus();
    bool pressKey(KeySym key, const std::vector<KeySym>& modifiers = {});
    bool typeText(const std::string& latin1) { return keyboard_.type(display(), latin1); }
    // From and to are relative to the view.
    void drag(View view, int fromX, int fromY, int toX, int toY, unsigned button = Button1);

    Image capture(View view);  // empty if it cannot be read
    std::optional<Image> waitForCapture(View view, const std::function<bool(const Image&)>& ready,
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
    TempDir root_;         // holds everything below, and goes last
    std::string workDir_;  // the program's working directory
    XServer server_;
    ChildProcess program_;
    Keyboard keyboard_;
    Window topLevel_ = 0;
    std::vector<std::string> command_;  // see setCommand()
};
