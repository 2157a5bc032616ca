// What each job of the harness offers the session, one .cpp a job: the X server, windows, keys and
// drags, pixels, and the host, whose file CMake chooses so the session never asks.
#pragma once

#include "session.h"

// x_server.cpp. Xvfb, its stderr in dir, and the one connection to it, or null.
Display* startXServer(const std::string& dir, ChildProcess& server);
// False unless the window manager runs and acts on what is asked of it.
bool startWindowManager(Display* display, const std::string& dir, ChildProcess& windowManager);
bool setLayout(Display* display, const std::string& layout);  // as setxkbmap sets it

// x_windows.cpp. The window with this title, at any depth below the root, or 0.
Window findByTitle(Display* display, const char* title);
std::vector<Window> childrenOf(Display* display, Window window);
bool isViewable(Display* display, Window window);
// Relative to the parent; empty if the window is gone.
Box geometryOf(Display* display, Window window);
// An area of the window, in the root window's coordinates.
Box onScreen(Display* display, Window window, Box area);
void resizeWindow(Display* display, Window window, int width, int height);
// As the button in the window's frame does, through the window manager.
void setMaximized(Display* display, Window window, bool maximized);
// As a window manager asks a program to close its window.
void askToClose(Display* display, Window window);

// input.cpp, through XTest, so the program cannot tell keys and drags from a person's. Keysyms the
// keymap lacks get spare keycodes before the program reads it, as it might not reread it in time.
bool bindKeys(Display* display, const std::vector<KeySym>& keys, KeyBindings& bound);
bool pressKey(Display* display, const KeyBindings& bound, KeySym key,
              const std::vector<KeySym>& modifiers);
bool typeText(Display* display, const KeyBindings& bound, const std::string& latin1);
void focus(Display* display, Window window);
// Presses the button at one point of the window's area, moves in steps to another, releases.
void drag(Display* display, Window window, const Box& area, int fromX, int fromY, int toX, int toY,
          unsigned button);

// capture.cpp. An area in the window's own coordinates; empty if outside it or gone.
Image capture(Display* display, Window window, const Box& area);

// host_native.cpp or host_wine.cpp. Whether a resize from X needs a window
// manager, and the keyboard layout the host types on, if not the server's own.
extern const bool needsWindowManager;
extern const char* const keyboardLayout;
// Where each view shows now, in the order the program creates them; none until all do.
std::vector<Shown> findViews(Display* display, Window topLevel);
// Returns once the top-level window has settled at the size asked for, or the host's own.
void settleResize(Display* display, Window topLevel);
// System fonts of the program's own in dir, DejaVu Sans alone or none; the environment they need.
std::vector<std::string> useSystemFonts(const std::string& dir, bool dejaVu);
