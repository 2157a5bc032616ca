// Xvfb on a display number it picks itself, and a window manager on it.
#include <poll.h>
#include <unistd.h>

#include <algorithm>

#include "internal.h"

Display* startXServer(const std::string& dir, ChildProcess& server) {
    // Xvfb writes the free display number it picked to -displayfd once it takes connections.
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return nullptr;
    }
    const std::string screen =
        std::to_string(wholeScreen.width) + "x" + std::to_string(wholeScreen.height) + "x24";
    const std::vector<std::string> argv(
        {XVFB_EXE, "-displayfd", "3", "-screen", "0", screen, "-nolisten", "tcp"});
    server.start({argv, {}, dir, dir + "/xvfb-stderr.txt", "/dev/null", pipeFds[1]});
    ::close(pipeFds[1]);
    std::string name = ":";
    pollfd ready{pipeFds[0], POLLIN, 0};
    char c = 0;
    while (poll(&ready, 1, static_cast<int>(patience.count())) == 1 &&
           read(pipeFds[0], &c, 1) == 1 && c != '\n') {
        name += c;
    }
    ::close(pipeFds[0]);
    if (name == ":") {
        return nullptr;
    }
    // A loaded server now and then refuses a new connection, so keep asking.
    Display* display = nullptr;
    waitUntil([&] { return (display = XOpenDisplay(name.c_str())) || !server.isAlive(); });
    return display;
}

bool startWindowManager(Display* display, const std::string& dir, ChildProcess& windowManager) {
    const std::string env = std::string("DISPLAY=") + DisplayString(display);
    windowManager.start({{WINDOW_MANAGER_EXE}, {env}, dir, dir + "/window-manager-stderr.txt"});
    // A running window manager says so on the root window, and only then acts.
    const Atom check = XInternAtom(display, "_NET_CLIENT_LIST", False);
    const auto announced = [&] {
        int count = 0;
        Atom* properties = XListProperties(display, DefaultRootWindow(display), &count);
        const bool found = std::find(properties, properties + count, check) != properties + count;
        XFree(properties);
        return found || !windowManager.isAlive();
    };
    return waitUntil(announced) && windowManager.isAlive();
}

bool setLayout(Display* display, const std::string& layout) {
    ChildProcess setxkbmap;
    setxkbmap.start({{SETXKBMAP_EXE, "-display", DisplayString(display), layout}, {}});
    return exitedCleanly(setxkbmap.waitForExit(patience));
}
