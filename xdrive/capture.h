// Pixels of an X window, read back as a person would see them.
#pragma once

#include <X11/Xlib.h>

#include "image.h"

// An area in the window's own coordinates; empty if it reaches outside the
// window or the window is gone.
Image capture(Display* display, Window window, const Box& area);
