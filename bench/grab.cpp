// Window pixels through XGetImage, with a fast path for 24-bit TrueColor.
#include "grab.h"

#include <X11/Xutil.h>

#include <cstdint>

namespace {

// The eight bits under one colour's mask.
std::uint8_t channel(unsigned long pixel, unsigned long mask) {
    for (; mask != 0 && (mask & 1) == 0; mask >>= 1) {
        pixel >>= 1;
    }
    return static_cast<std::uint8_t>(pixel & mask);
}

// Xvfb's default visual at depth 24 stores each pixel as four bytes, blue
// first, so a row is copied byte by byte.
bool isPlainBgrx(const XImage* x) {
    return x->bits_per_pixel == 32 && x->byte_order == LSBFirst && x->red_mask == 0xff0000 &&
           x->green_mask == 0xff00 && x->blue_mask == 0xff;
}

}  // namespace

Image grab(Display* display, Window window, const Box& area) {
    if (area.width <= 0 || area.height <= 0) {
        return {};
    }
    XImage* x = XGetImage(display, window, area.x, area.y, static_cast<unsigned>(area.width),
                          static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
    if (x == nullptr) {
        return {};
    }
    Image image(x->width, x->height);
    const bool plain = isPlainBgrx(x);
    for (int y = 0; y < x->height; ++y) {
        const auto* row = reinterpret_cast<const std::uint8_t*>(x->data) +
                          static_cast<std::ptrdiff_t>(y) * x->bytes_per_line;
        for (int col = 0; col < x->width; ++col) {
            if (plain) {
                const std::uint8_t* p = row + 4 * col;
                image.set(col, y, {p[2], p[1], p[0]});
            } else {
                const unsigned long p = XGetPixel(x, col, y);
                image.set(
                    col, y,
                    {channel(p, x->red_mask), channel(p, x->green_mask), channel(p, x->blue_mask)});
            }
        }
    }
    XDestroyImage(x);
    return image;
}
