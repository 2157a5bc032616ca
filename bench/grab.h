// Quick reads of window pixels for the benchmarks that poll the screen: one
// XGetImage of an area, unpacked straight from the server's 32-bit pixels
// rather than one XGetPixel call per pixel.
#pragma once

#include <X11/Xlib.h>

#include "image.h"

// The area, in the window's own coordinates; empty if it cannot be read, as
// when the window is gone or the area reaches outside it.
Image grab(Display* display, Window window, const Box& area);
