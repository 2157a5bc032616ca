// Keys on POSIX systems, where freeglut runs on X11 and reads them in the C
// locale.
#include "platform/keys.h"

wchar_t characterOf(unsigned char byte) {
    return byte;  // Latin-1: each byte is the character of the same number
}
