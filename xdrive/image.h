// A captured window as plain RGB pixels, the few measurements the tests make
// on one, and PNG files of it; no X, so the measurements read on their own.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;

    friend bool operator==(Rgb p, Rgb q) { return p.r == q.r && p.g == q.g && p.b == q.b; }
    friend bool operator!=(Rgb p, Rgb q) { return !(p == q); }
};

// A rectangle in pixels: a window's geometry or an area of an image, y down.
struct Box {
    int x = 0, y = 0, width = 0, height = 0;

    int right() const { return x + width; }  // one past the last column
    int bottom() const { return y + height; }
    friend bool operator==(const Box& a, const Box& b) {
        return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
    }
    friend std::ostream& operator<<(std::ostream& out, const Box& b) {
        return out << "(" << b.x << "," << b.y << " " << b.width << "x" << b.height << ")";
    }
};

struct Image {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;  // rows top to bottom, three bytes a pixel

    Image() = default;
    Image(int w, int h) : width(w), height(h), rgb(static_cast<std::size_t>(w) * h * 3) {}

    bool empty() const { return width <= 0 || height <= 0; }
    Box bounds() const { return {0, 0, width, height}; }
    Rgb at(int x, int y) const;
    void set(int x, int y, Rgb pixel);
    friend bool operator==(const Image& a, const Image& b) {
        return a.width == b.width && a.height == b.height && a.rgb == b.rgb;
    }
};

// Each takes an area, clipped to the image.
Image crop(const Image& image, const Box& area);
int countPixels(const Image& image, const Box& area, const std::function<bool(Rgb)>& matches);
int countPixels(const Image& image, const Box& area, Rgb colour);
// Smallest box holding every pixel that differs from the background; none if all match.
std::optional<Box> boundingBox(const Image& image, const Box& area, Rgb background);
// The black panes of a window on another colour, as the program's views on its grey: bands of rows
// holding black, top to bottom, and in each, boxes around runs of columns that do, left to right.
std::vector<Box> blackPanes(const Image& image);
// The distinct levels of the grey pixels (r == g == b); other colours are skipped.
std::set<int> greyLevels(const Image& image, const Box& area);

// The frames of a view that redraws all the time, such as the spinning one, as
// its captures come: a capture that differs from the one before is a new frame.
struct NewFrames {
    int count = 0;
    Image last;
    // Whether the capture is a new frame; an empty one, which shows nothing, is not.
    bool see(const Image& image) {
        const bool isNew = !image.empty() && !last.empty() && !(image == last);
        count += isNew ? 1 : 0;
        last = image.empty() ? last : image;
        return isNew;
    }
};

// False if the file could not be written or the image is empty.
bool writePng(const Image& image, const std::string& path);
// The file's pixels as RGB; none if it cannot be read as a PNG.
std::optional<Image> readPng(const std::string& path);
