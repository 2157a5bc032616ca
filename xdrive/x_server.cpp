// Xvfb on a display number it picks itself.
#include "x_server.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>

XServer::~XServer() {
    windowManager_.terminate();
    // Closed before the server goes: Xlib exits the process on a lost connection.
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
    server_.terminate();
}

bool XServer::start(const std::string& dir, bool windowManager) {
    // Xvfb picks a free display number itself and writes it to the descriptor
    // given with -displayfd once it accepts connections. The screen holds every
    // window a test makes (the soak test's 1600x1200 at 100,150): Mesa's
    // softpipe driver cannot read back a single-buffered window that reaches
    // past the screen's edge, and the program dies on the X error.
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return false;
    }
    server_.start(
        {{XVFB_EXE, "-displayfd", "3", "-screen", "0", "1920x1440x24", "-nolisten", "tcp"},
         {},
         dir,
         dir + "/xvfb-stderr.txt",
         pipeFds[1]});
    ::close(pipeFds[1]);
    std::string number;
    pollfd ready{pipeFds[0], POLLIN, 0};
    char c = 0;
    while (poll(&ready, 1, static_cast<int>(patience.count())) == 1 &&
           read(pipeFds[0], &c, 1) == 1 && c != '\n') {
        number += c;
    }
    ::close(pipeFds[0]);
    if (number.empty()) {
        return false;
    }
    name_ = ":" + number;
    // A loaded server now and then refuses a new connection, so keep asking.
    waitUntil([&] {
        if (display_ == nullptr && server_.isAlive()) {
            display_ = XOpenDisplay(name_.c_str());
        }
        return display_ != nullptr || !server_.isAlive();
    });
    if (display_ == nullptr || !windowManager) {
        return display_ != nullptr;
    }
    windowManager_.start(
        {{WINDOW_MANAGER_EXE}, {"DISPLAY=" + name_}, dir, dir + "/window-manager-stderr.txt"});
    // A window manager that runs says so on the root window; only then does
    // it act on what is asked of it.
    const Atom check = XInternAtom(display_, "_NET_CLIENT_LIST", False);
    return waitUntil([&] {
               int count = 0;
               Atom* properties = XListProperties(display_, DefaultRootWindow(display_), &count);
               const bool found =
                   std::find(properties, properties + count, check) != properties + count;
               XFree(properties);
               return found || !windowManager_.isAlive();
           }) &&
           windowManager_.isAlive();
}
