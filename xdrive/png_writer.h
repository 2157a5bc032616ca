// Saves a captured image as a PNG file, for looking at what a test saw.
#pragma once

#include <string>

#include "image.h"

// False if the file could not be written or the image is empty.
bool writePng(const Image& image, const std::string& path);
