#pragma once
// A failure told where it happened: one line on the screen's bottom row, in
// white on red, shaded as the status line is.

#include <string_view>

namespace almanouk {

class ScreenBuffer;

// Draws the text (code page 437, cut or padded to the row) on the status row.
void drawNotice(ScreenBuffer& buffer, std::string_view text);
// Blanks the bottom row in the theme's colours again.
void clearNotice(ScreenBuffer& buffer);

}  // namespace almanouk
