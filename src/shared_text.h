// The text that all four windows show, and the one way it changes: a key.
// Plain functions, no GL, so the editing rules can be tested without a display.
#pragma once

#include <cstddef>

constexpr std::size_t textCapacity = 32;  // bytes, the terminating NUL included
constexpr char placeholder[] = "UXEN";

struct SharedText {
    // NUL-terminated; every byte behind the string is NUL at all times.
    char chars[textCapacity] = {};
    // False until the first key replaces the placeholder. A flag rather than a
    // comparison with the placeholder, so typed text that happens to spell it
    // is kept like any other.
    bool typed = false;

    SharedText();
};

// Applies one key exactly as it arrived: the first key replaces the
// placeholder, every later one is appended. Control codes are characters like
// any other; code 0 lands on the terminator and changes nothing. A key that
// arrives when the text is full is dropped.
void addKey(SharedText& text, unsigned char key);

// Widens each byte to the character it stands for where it was typed (on X11
// Latin-1, on Windows the ANSI code page), so that a byte from 128 to 255 is
// one character rather than part of a UTF-8 sequence. A byte that stands for
// none is left out.
void widenText(const char* bytes, wchar_t (&wide)[textCapacity]);

// Whether a byte stands for the Latin-1 character of the same number where it
// was typed. The GLUT fonts draw a byte as that character, so they may draw
// nothing else: rather no letter than another one.
bool isLatin1(unsigned char byte);
