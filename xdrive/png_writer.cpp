// PNG files through libpng's simplified interface.
#include <png.h>

#include <utility>

#include "image.h"

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
