// libFuzzer target over the plain functions: keys into the shared text, window sizes through the
// layout, pointers through the drag mapping. Any broken invariant aborts, a finding for libFuzzer.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "drag_and_spin.h"
#include "fuzz_input.h"
#include "layout.h"
#include "shared_text.h"

namespace {

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

void checkRect(const Rect& rect, int x, int y) {
    require(rect.width >= 1 && rect.height >= 1, "every sub-window is at least 1x1");
    require(rect.x == x && rect.y == y, "positions follow the layout formulas");
}

void checkLayout(int width, int height) {
    const SubWindowLayout layout = layoutSubWindows(width, height);
    checkRect(layout.rotating, 5, 5);
    checkRect(layout.still, std::max(width, 0) / 2 + 3, 5);
    checkRect(layout.font, 5, std::max(height, 0) / 2 + 10);
}

void checkDrag(int x, int y, int wide, int high) {
    const DragOffset offset = dragOffset(x, y, wide, high);
    require(std::isfinite(offset.x) && std::isfinite(offset.y), "drag offset is finite");
}

void checkKeys(const std::string& keys) {
    SharedText text;
    std::string expected;  // what a careful reader of the rules would predict
    for (unsigned char key : keys) {
        addKey(text, key);
        if (key != 0 && expected.size() < textCapacity - 1) {
            expected.push_back(static_cast<char>(key));
        }
        require(text.typed, "a key ends the placeholder");
        const void* terminator = std::memchr(text.chars, '\0', textCapacity);
        require(terminator != nullptr, "terminator inside the 32 bytes");
        require(std::string(text.chars) == expected, "keys append in order until the cap");
        for (std::size_t i = expected.size(); i < textCapacity; ++i) {
            require(text.chars[i] == '\0', "every byte behind the string is NUL");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzInput input = decodeFuzzInput(data, size);
    checkLayout(input.width, input.height);
    checkDrag(input.x, input.y, input.wide, input.high);
    checkKeys(input.keys);
    return 0;
}
