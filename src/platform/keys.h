// What a typed byte stands for, the one thing the program's logic asks of the
// system beyond its files. keys_posix.cpp and keys_windows.cpp each
// implement this header, and CMake builds the one for the target.
#pragma once

// The character a byte from the keyboard callback stands for, or 0 for none.
// freeglut hands over one byte: on X11 in the C locale's Latin-1, on Windows
// in the ANSI code page, where 0x80 is the euro sign in Western Europe and
// 0xC4 is Д in Cyrillic. The lead byte of a double-byte code page (Chinese,
// Japanese, Korean) stands for nothing on its own.
wchar_t characterOf(unsigned char byte);
