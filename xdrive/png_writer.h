// Saves a captured image as a PNG file, for looking at what a test saw, and
// reads one back.
#pragma once

#include <optional>
#include <string>

#include "image.h"

// False if the file could not be written or the image is empty.
bool writePng(const Image& image, const std::string& path);
// The file's pixels as RGB; none if it cannot be read as a PNG.
std::optional<Image> readPng(const std::string& path);
