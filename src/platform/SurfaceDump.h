#pragma once

#include <string>

#include "platform/Surface.h"

namespace almanouk {

// Writes the surface as an 8-bit RGB PNG; false when the file cannot be written.
bool writePng(const Surface& surface, const std::string& path);
// The 80 x 25 characters last printed, as 25 UTF-8 lines of 80 characters each ending in a newline.
std::string screenText(const Surface& surface);

}  // namespace almanouk
