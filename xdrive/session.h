// A private X server with gltextdemo on it, for the tests, snapshot tool and benchmarks: finds the
// program's windows, types, drags, resizes, captures pixels, and closes or kills all it started.
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "image.h"
#include "posix.h"
#include "screen.h"

// For a test that cannot apply under Wine, to skip with its reason.
extern const bool underWine;
// What runs the program, before any wrapper such as valgrind.
extern const std::vector<std::string> programCommand;
// Ends what the host keeps running beside the program, once the program has gone.
void stopHost();
// What the program wrote, less what the host adds of its own.
std::string programOutput(std::string text);
// What the program says on stderr of the system's font when there is none.
extern const char* const noSystemFont;

// The program's four windows, the views in the order the program creates them.
enum class View { topLevel, rotating, still, font };

// Where a window shows: an area of an X window, and its place in the top level.
struct Shown {
    Window window = 0;
    Box area, inTopLevel;
};

using KeyBindings = std::map<KeySym, KeyCode>;  // the keysyms a session bound itself

// Where the program finds a font: DejaVu Sans, the tests' font, is the one.
enum class FontSetup {
    Installed,  // as verdana.ttf in the working directory
    System,     // among the system's fonts alone
    Missing,    // nowhere: an empty working directory, and no system fonts
    Machine,    // an empty working directory, and this machine's own fonts
};

class DemoSession {
  public:
    explicit DemoSession(FontSetup font = FontSetup::Installed);
    ~DemoSession();
    DemoSession(const DemoSession&) = delete;
    DemoSession& operator=(const DemoSession&) = delete;

    // The program's working directory, there from construction on for files.
    const std::string& workDir() const { return workDir_; }
    std::string fontPath() const { return workDir_ + "/verdana.ttf"; }

    // Starts the server and the program, finds all four windows and waits for
    // the first layout; every wait gives up early once the program has died. A
    // window manager runs if asked for, as on a desktop, or if the host needs one.
    bool start(const std::vector<std::string>& env = {}, bool windowManager = false) {
        return startServer(windowManager) && launch(env) && findWindows() &&
               waitForLayout(firstLayout);
    }
    // Gives the Latin-1 keysyms the keymap lacks spare keycodes, on the layout set or the host's.
    bool startServer(bool windowManager = false);
    void setKeyboardLayout(std::string layout) { layout_ = std::move(layout); }
    // env: NAME=value pairs; wrapper: a command to run it under, such as valgrind.
    bool launch(const std::vector<std::string>& env = {},
                const std::vector<std::string>& wrapper = {});
    // A stand-in for gltextdemo that builds the same window tree, with its
    // arguments, for launch() to run; empty runs gltextdemo.
    void setCommand(std::vector<std::string> argv) { command_ = std::move(argv); }
    // Once found, the top-level window has the keyboard, as after a click on it.
    bool findWindows(std::chrono::milliseconds timeout = patience);

    Display* display() const { return display_; }
    bool showsWindow(const char* title);    // a window of that title, such as a message box
    std::optional<Shown> shown(View view);  // none if it cannot be found now
    Box screenGeometry(View view);          // relative to the root window
    ViewLayout layout();
    bool waitForLayout(const ViewLayout& expected, std::chrono::milliseconds timeout = patience);
    void resize(int width, int height);
    void maximize(bool maximized);  // through the window manager, which must run

    // False for a keysym that has no keycode.
    bool pressKey(KeySym key, const std::vector<KeySym>& modifiers = {});
    // Each byte as the Latin-1 key of that code; '\n', '\t', '\b' as Return,
    // Tab, BackSpace. False, and nothing typed, for any other byte.
    bool typeText(const std::string& latin1);
    // From and to are relative to the view.
    void drag(View view, int fromX, int fromY, int toX, int toY, unsigned button = Button1);

    Image capture(const std::optional<Shown>& at);  // empty if it cannot be read
    Image capture(View view) { return capture(shown(view)); }
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
    // What the program wrote on the stream, "stderr" or "stdout".
    std::string outputText(const char* stream) const;
    std::string stderrText() const { return outputText("stderr"); }
    // Ends the X server under the program, as a session's end or server crash; the display's name.
    std::string stopServer();

  private:
    TempDir root_;         // holds everything below, and goes last
    std::string workDir_;  // the program's working directory
    ChildProcess server_;
    ChildProcess windowManager_;
    Display* display_ = nullptr;
    ChildProcess program_;
    KeyBindings boundKeys_;
    Window topLevel_ = 0;
    std::vector<std::string> command_;  // see setCommand()
    std::vector<std::string> fontEnv_;  // what the program needs to find the system's fonts
    std::string layout_;                // see setKeyboardLayout()
};
