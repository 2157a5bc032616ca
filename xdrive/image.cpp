// Measurements on captured pixels, and PNG files through libpng's simplified interface.
#include "image.h"

#include <png.h>

#include <algorithm>
#include <tuple>
#include <utility>

namespace {

Box clipped(const Image& image, const Box& area) {
    const int left = std::clamp(area.x, 0, image.width);
    const int top = std::clamp(area.y, 0, image.height);
    const int right = std::clamp(area.right(), left, image.width);
    const int bottom = std::clamp(area.bottom(), top, image.height);
    return {left, top, right - left, bottom - top};
}

template <typename Visit>
void forEachPixel(const Image& image, const Box& area, Visit visit) {
    const Box box = clipped(image, area);
    for (int y = box.y; y < box.bottom(); ++y) {
        for (int x = box.x; x < box.right(); ++x) {
            visit(x, y, image.at(x, y));
        }
    }
}

}  // namespace

Rgb Image::at(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

void Image::set(int x, int y, Rgb pixel) {
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
    std::tie(rgb[i], rgb[i + 1], rgb[i + 2]) = std::tie(pixel.r, pixel.g, pixel.b);
}

Image crop(const Image& image, const Box& area) {
    const Box box = clipped(image, area);
    Image result(box.width, box.height);
    forEachPixel(image, box, [&](int x, int y, Rgb p) { result.set(x - box.x, y - box.y, p); });
    return result;
}

int countPixels(const Image& image, const Box& area, const std::function<bool(Rgb)>& matches) {
    int count = 0;
    forEachPixel(image, area, [&](int, int, Rgb p) { count += matches(p) ? 1 : 0; });
    return count;
}

int countPixels(const Image& image, const Box& area, Rgb colour) {
    return countPixels(image, area, [&](Rgb p) { return p == colour; });
}

std::optional<Box> boundingBox(const Image& image, const Box& area, Rgb background) {
    int left = image.width, top = image.height, right = -1, bottom = -1;
    forEachPixel(image, area, [&](int x, int y, Rgb p) {
        if (p != background) {
            left = std::min(left, x);
            top = std::min(top, y);
            right = std::max(right, x);
            bottom = std::max(bottom, y);
        }
    });
    return right < 0 ? std::nullopt
                     : std::optional<Box>({left, top, right - left + 1, bottom - top + 1});
}

std::set<int> greyLevels(const Image& image, const Box& area) {
    std::set<int> levels;
    forEachPixel(image, area, [&](int, int, Rgb p) {
        if (p.r == p.g && p.g == p.b) {
            levels.insert(p.r);
        }
    });
    return levels;
}

std::vector<Box> blackPanes(const Image& image) {
    // The maximal runs [first, second) of the indices below count that hold.
    const auto runsOf = [](int count, const std::function<bool(int)>& holds) {
        std::vector<std::pair<int, int>> runs;
        for (int i = 0; i < count; ++i) {
            if (holds(i) && (runs.empty() || runs.back().second < i)) {
                runs.push_back({i, i + 1});
            } else if (holds(i)) {
                runs.back().second = i + 1;
            }
        }
        return runs;
    };
    const auto blackIn = [&](const Box& area) { return countPixels(image, area, Rgb{}) > 0; };
    const auto rowHolds = [&](int y) { return blackIn({0, y, image.width, 1}); };
    std::vector<Box> panes;
    for (const auto& [top, bottom] : runsOf(image.height, rowHolds)) {
        const int height = bottom - top, y = top;  // the panes of a band share its rows
        const auto columnHolds = [&](int x) { return blackIn({x, y, 1, height}); };
        for (const auto& [left, right] : runsOf(image.width, columnHolds)) {
            panes.push_back({left, y, right - left, height});
        }
    }
    return panes;
}

bool writePng(const Image& image, const std::string& path) {
    if (image.empty()) {
        return false;
    }
    png_image info{};
    info.version = PNG_IMAGE_VERSION;
    info.width = static_cast<png_uint_32>(image.width);
    info.height = static_cast<png_uint_32>(image.height);
    info.format = PNG_FORMAT_RGB;
    const int ok = png_image_write_to_file(&info, path.c_str(), 0, image.rgb.data(), 0, nullptr);
    png_image_free(&info);
    return ok != 0;
}

std::optional<Image> readPng(const std::string& path) {
    png_image info{};
    info.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&info, path.c_str()) == 0) {
        return std::nullopt;
    }
    info.format = PNG_FORMAT_RGB;
    Image image(static_cast<int>(info.width), static_cast<int>(info.height));
    const int ok = png_image_finish_read(&info, nullptr, image.rgb.data(), 0, nullptr);
    png_image_free(&info);
    return ok != 0 ? std::optional<Image>(std::move(image)) : std::nullopt;
}
