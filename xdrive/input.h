// Keys and drags through XTest, as a person at the keyboard and the mouse
// gives them: the program cannot tell them from real ones.
#pragma once

#include <X11/Xlib.h>

#include <map>
#include <string>
#include <vector>

#include "image.h"

class Keyboard {
  public:
    // Binds each keysym the server's keymap lacks to a spare keycode; false
    // if one is left without. Call it before the program starts: a program
    // that has read the keymap already can miss a change made just before
    // the next key.
    bool bind(Display* display, const std::vector<KeySym>& keys);
    // False for a keysym that has no keycode.
    bool press(Display* display, KeySym key, const std::vector<KeySym>& modifiers = {});
    // Each byte as the Latin-1 key of that code; '\n', '\t', '\b' as Return,
    // Tab, BackSpace. False, and nothing typed, for any other byte.
    bool type(Display* display, const std::string& latin1);

  private:
    KeyCode codeFor(Display* display, KeySym key, bool& shifted);

    std::map<KeySym, KeyCode> bound_;  // keysyms bound here
};

// Keys go to the window with the input focus.
void focus(Display* display, Window window);
// Presses the button at one point of an area of the window, moves the pointer
// in steps to another and releases it there.
void drag(Display* display, Window window, const Box& area, int fromX, int fromY, int toX, int toY,
          unsigned button);
