// Editing rules of the shared text.
#include "shared_text.h"

#include <algorithm>
#include <cstring>
#include <iterator>

SharedText::SharedText() {
    std::copy(std::begin(placeholder), std::end(placeholder), chars);
}

void addKey(SharedText& text, unsigned char key) {
    if (!text.typed) {
        std::fill(std::begin(text.chars), std::end(text.chars), '\0');
        text.typed = true;
    }
    const std::size_t length = std::strlen(text.chars);
    if (length + 1 < textCapacity) {
        text.chars[length] = static_cast<char>(key);
    }
}

void widenLatin1(const char* bytes, wchar_t (&wide)[textCapacity]) {
    std::size_t i = 0;
    for (; i + 1 < textCapacity && bytes[i] != '\0'; ++i) {
        // Through unsigned char: plain char is signed on x86, and a
        // sign-extended byte is no character at all.
        wide[i] = static_cast<unsigned char>(bytes[i]);
    }
    wide[i] = L'\0';
}
