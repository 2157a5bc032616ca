// How the fuzz target reads its input, from the front, so a file of the corpus can be written and
// read by hand: the top-level window's width and height, a pointer position and the size of the
// view it is in, each a 32-bit little-endian integer (zero past the end), then the keys.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

struct FuzzInput {
    std::int32_t width, height, x, y, wide, high;
    std::string keys;
};

// Little-endian, as the machines it runs on are.
inline FuzzInput decodeFuzzInput(const std::uint8_t* data, std::size_t size) {
    std::int32_t n[6] = {};
    const std::size_t taken = std::min(size, sizeof n);
    std::memcpy(n, data, taken);
    const std::string keys(reinterpret_cast<const char*>(data) + taken, size - taken);
    return {n[0], n[1], n[2], n[3], n[4], n[5], keys};
}
