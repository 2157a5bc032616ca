// A private X server for one session, with a window manager on it if asked
// for, and the one Xlib connection the session talks to it through.
#pragma once

#include <X11/Xlib.h>

#include <string>

#include "process.h"

class XServer {
  public:
    XServer() = default;
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    // dir holds what the server and the window manager write on stderr.
    bool start(const std::string& dir, bool windowManager);
    Display* display() const { return display_; }
    const std::string& name() const { return name_; }  // ":N"

  private:
    ChildProcess server_;
    ChildProcess windowManager_;
    std::string name_;
    Display* display_ = nullptr;
};
