// Finding windows on the X server, where they are, and changing their size
// as a user or a window manager would.
#pragma once

#include <X11/Xlib.h>

#include <vector>

#include "image.h"

// The window with this title, at any depth below the root, or 0.
Window findByTitle(Display* display, const char* title);
std::vector<Window> childrenOf(Display* display, Window window);
bool isViewable(Display* display, Window window);
// Relative to the parent; empty if the window is gone.
Box geometryOf(Display* display, Window window);
// An area of the window, in the root window's coordinates.
Box onScreen(Display* display, Window window, Box area);

void resizeWindow(Display* display, Window window, int width, int height);
// Asks the window manager to maximize the window, or to restore it, as the
// button in the window's frame does.
void setMaximized(Display* display, Window window, bool maximized);
