// Pixels read with XGetImage.
#include <X11/Xutil.h>

#include "internal.h"

namespace {

// The eight bits under one colour's mask, as in the server's 24-bit TrueColor.
std::uint8_t channel(unsigned long pixel, unsigned long mask) {
    for (; mask != 0 && (mask & 1) == 0; mask >>= 1) {
        pixel >>= 1;
    }
    return static_cast<std::uint8_t>(pixel & mask);
}

// Xvfb's default visual at depth 24 stores each pixel as four bytes, blue
// first: read straight from memory, fast enough for benchmarks that poll the
// screen. Anything else goes through XGetPixel.
Image toImage(XImage* x) {
    Image image(x->width, x->height);
    const bool bgrx = x->bits_per_pixel == 32 && x->byte_order == LSBFirst &&
                      x->red_mask == 0xff0000 && x->green_mask == 0xff00 && x->blue_mask == 0xff;
    for (int y = 0; y < x->height; ++y) {
        const auto* row = reinterpret_cast<const std::uint8_t*>(x->data) +
                          static_cast<std::ptrdiff_t>(y) * x->bytes_per_line;
        for (int col = 0; col < x->width; ++col) {
            if (bgrx) {
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
    return image;
}

}  // namespace

Image capture(Display* display, Window window, const Box& area) {
    if (area.width <= 0 || area.height <= 0) {
        return {};
    }
    XImage* x = XGetImage(display, window, area.x, area.y, static_cast<unsigned>(area.width),
                          static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
    if (x == nullptr) {
        return {};
    }
    Image image = toImage(x);
    XDestroyImage(x);
    return image;
}
