#pragma once

#include <string_view>

#include "platform/Surface.h"

namespace almanouk {

// Draws a message box with an OK button in the middle of the text screen:
// the caption in its top border, the text wrapped at 72 characters (at most
// 17 lines). Texts are UTF-8, as the system's message box takes them.
void drawWindowMessageBox(Surface& surface, std::string_view text, std::string_view caption);

}  // namespace almanouk
