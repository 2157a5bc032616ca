// How the fuzz target reads its input, from the front, so that a file of the
// corpus can be written and read by hand: the top-level window's width and
// height, a pointer position and the size of the view it is in, each a 32-bit
// little-endian integer (bytes past the end read as zero), then the keys.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct FuzzInput {
    int width, height;  // the top-level window
    int x, y;           // the pointer, in a view of
    int wide, high;     // this size
    std::string keys;
};

inline FuzzInput decodeFuzzInput(const std::uint8_t* data, std::size_t size) {
    std::size_t at = 0;
    const auto next = [&] {
        std::uint32_t value = 0;
        for (int shift = 0; shift < 32; shift += 8, ++at) {
            value |= at < size ? std::uint32_t{data[at]} << shift : 0;
        }
        return static_cast<int>(value);
    };
    FuzzInput input{next(), next(), next(), next(), next(), next(), {}};
    if (at < size) {
        input.keys.assign(reinterpret_cast<const char*>(data) + at, size - at);
    }
    return input;
}
