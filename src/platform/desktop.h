// What the program asks of the desktop it runs on: the system's own fonts,
// where messages go, and how it meets failures of the window system.
// desktop_x11.cpp and desktop_windows.cpp each implement this header, linked
// into the program alone.
#pragma once

#include <string>

// Where the font comes from when the working directory has none, for --help.
extern const char systemFontPlace[];
// The file the system draws the font family with, or empty and `why` not.
std::string systemFontFile(const char* family, const char* file, std::string& why);
// Lets the program live through the window system's errors it can live
// through, and end at once on those it cannot. Called before any window opens.
void watchWindowSystem();
// Lets standard output and error reach the console the program was started
// from, where a program of its own has none.
void connectMessages();
// Shows the reason the program ends where its standard error may well go
// nowhere; the caller writes it there too.
void showFatalMessage(const std::string& message);
