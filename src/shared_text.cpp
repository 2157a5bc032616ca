// Editing rules of the shared text.
#include "shared_text.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "platform/keys.h"

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

void widenText(const char* bytes, wchar_t (&wide)[textCapacity]) {
    std::size_t length = 0;
    for (std::size_t i = 0; i + 1 < textCapacity && bytes[i] != '\0'; ++i) {
        // Through unsigned char: plain char is signed on x86, and a
        // sign-extended byte is no character at all.
        if (const wchar_t character = characterOf(static_cast<unsigned char>(bytes[i]))) {
            wide[length++] = character;
        }
    }
    wide[length] = L'\0';
}

bool isLatin1(unsigned char byte) {
    return characterOf(byte) == byte;
}
