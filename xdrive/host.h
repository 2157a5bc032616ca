// How the program runs on the X server: natively, or as a Windows build
// through Wine. host_native.cpp and host_wine.cpp each implement this header,
// and CMake builds the one the build asks for, so the session never asks
// which it is.
#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <string>
#include <vector>

#include "screen.h"

// For a test that cannot apply under Wine, to skip with its reason.
extern const bool underWine;

// What runs the program, before any wrapper such as valgrind.
std::vector<std::string> programCommand();
// Whether the program follows a resize made from X only under a window manager.
bool needsWindowManager();

// Where a view shows: an area of an X window, and that area's place in the
// top-level window.
struct Shown {
    Window window = 0;
    Box area;
    Box inTopLevel;
};
// Where each view shows now; none until all three do.
std::optional<Views<Shown>> findViews(Display* display, Window topLevel);

// Returns once the top-level window has settled at the size asked for, or at
// one of the host's own.
void settleResize(Display* display, Window topLevel);
// What the program wrote on stderr, less what the host adds of its own.
std::string programStderr(std::string text);
// Ends what the host keeps running beside the program, once the program has gone.
void stopHost();
