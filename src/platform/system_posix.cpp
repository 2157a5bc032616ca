// The system on POSIX systems, where freeglut reads keys in the C locale and
// a program started from a terminal writes to it.
#include "platform/system.h"

wchar_t characterOf(unsigned char byte) {
    return byte;  // Latin-1: each byte is the character of the same number
}

std::string systemFontFile(const char*) {
    return "";
}

void connectMessages() {}

void showFatalMessage(const std::string&) {}
