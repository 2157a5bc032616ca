// Process-wide state that the views read. Each variable is defined once, in the
// file of the part of the program that owns it, and written only there; all of
// it lives from start-up until the process ends.
#pragma once

#include "layout.h"  // viewWidth, viewHeight
#include "shared_text.h"

// Window identifiers returned by GLUT; written once by createWindowTree().
extern int mainWindow;
extern int rotatingView;
extern int staticView;
extern int fontView;

// What the user has typed; written only by keyboard().
extern SharedText text;
