#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/Surface.h"

namespace almanouk {

// Draws a message box with its buttons in the middle of the text screen: the
// caption in its top border, the text wrapped at 72 characters (at most 17
// lines, a line end starting a new one). Texts are UTF-8, as the system's
// message box takes them.
void drawWindowMessageBox(Surface& surface, std::string_view text, std::string_view caption,
                          const std::vector<std::string>& buttons = {"OK"});

}  // namespace almanouk
