// What the program asks of the system beyond its files: what a typed byte
// stands for, where the system keeps its fonts, where messages go, and which
// of its errors the program lives through.
// system_posix.cpp and system_windows.cpp each implement this header, and
// CMake builds the one for the target.
#pragma once

#include <string>

// The character a byte from the keyboard callback stands for, or 0 for none.
// freeglut hands over one byte: on X11 in the C locale's Latin-1, on Windows
// in the ANSI code page, where 0x80 is the euro sign in Western Europe and
// 0xC4 is Д in Cyrillic. The lead byte of a double-byte code page (Chinese,
// Japanese, Korean) stands for nothing on its own.
wchar_t characterOf(unsigned char byte);

// The path of a font file of that name where the system keeps its fonts, or
// none where the system has no such standard place.
std::string systemFontFile(const char* name);

// Lets the program go on when the window system refuses to hand a window's
// picture back to the GL driver, as it may while the window reaches past the
// screen or past its frame. Called before any window opens.
void tolerateRefusedReadBacks();

// Lets standard error reach the console the program was started from, where
// a program of its own has none.
void connectMessages();
// Shows the reason the program ends where its standard error may well go
// nowhere; the caller writes it there too.
void showFatalMessage(const std::string& message);
