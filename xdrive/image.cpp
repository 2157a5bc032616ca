// Measurements on captured pixels.
#include "image.h"

#include <algorithm>
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

std::ostream& operator<<(std::ostream& out, const Box& box) {
    return out << "(" << box.x << "," << box.y << " " << box.width << "x" << box.height << ")";
}

Rgb Image::at(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

void Image::set(int x, int y, Rgb pixel) {
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
    rgb[i] = pixel.r;
    rgb[i + 1] = pixel.g;
    rgb[i + 2] = pixel.b;
}

bool operator==(const Image& a, const Image& b) {
    return a.width == b.width && a.height == b.height && a.rgb == b.rgb;
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
    if (right < 0) {
        return std::nullopt;
    }
    return Box{left, top, right - left + 1, bottom - top + 1};
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

namespace {

// Maximal runs [first, last + 1) of the indices 0 to count - 1 that hold.
template <typename Holds>
std::vector<std::pair<int, int>> runsOf(int count, Holds holds) {
    std::vector<std::pair<int, int>> runs;
    for (int i = 0; i < count; ++i) {
        if (!holds(i)) {
            continue;
        }
        if (runs.empty() || runs.back().second != i) {
            runs.push_back({i, i});
        }
        runs.back().second = i + 1;
    }
    return runs;
}

}  // namespace

std::vector<Box> blackPanes(const Image& image) {
    const Rgb black{0, 0, 0};
    const auto holdsBlack = [&](const Box& area) { return countPixels(image, area, black) > 0; };
    std::vector<Box> panes;
    for (const auto& band : runsOf(image.height, [&](int y) {
             return holdsBlack({0, y, image.width, 1});
         })) {
        const Box rows{0, band.first, image.width, band.second - band.first};
        const auto columns = [&](int x) { return holdsBlack({x, rows.y, 1, rows.height}); };
        for (const auto& [left, right] : runsOf(image.width, columns)) {
            // The band's other panes may reach higher or lower than this one.
            int top = rows.bottom(), bottom = rows.y;
            for (int y = rows.y; y < rows.bottom(); ++y) {
                if (holdsBlack({left, y, right - left, 1})) {
                    top = std::min(top, y);
                    bottom = y + 1;
                }
            }
            panes.push_back({left, top, right - left, bottom - top});
        }
    }
    return panes;
}
