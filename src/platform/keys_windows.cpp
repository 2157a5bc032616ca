// Keys on Windows. freeglut's window class is an ANSI one, so each key arrives
// as a byte of the ANSI code page.
#include "platform/keys.h"

#include <windows.h>

wchar_t characterOf(unsigned char byte) {
    const char in = static_cast<char>(byte);
    wchar_t out = 0;
    return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &in, 1, &out, 1) == 1 ? out : 0;
}
