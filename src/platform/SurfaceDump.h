#pragma once

#include <cstdint>
#include <string>

#include "platform/Surface.h"

namespace almanouk {

// Width x height pixels of 0xAARRGGBB, rows from the top, as an 8-bit PNG,
// RGBA with alpha and RGB without.
std::string pngOf(const std::uint32_t* pixels, int width, int height, bool withAlpha);
// The same written to a file; false when it cannot be written.
bool writePng(const std::uint32_t* pixels, int width, int height, bool withAlpha, const std::string& path);
// Writes the surface as an 8-bit RGB PNG.
bool writePng(const Surface& surface, const std::string& path);
// The 80 x 25 characters last printed, as 25 UTF-8 lines of 80 characters each ending in a newline.
std::string screenText(const Surface& surface);

}  // namespace almanouk
