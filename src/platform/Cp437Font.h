#pragma once

namespace almanouk {

// 8 x 16 glyphs of code page 437; row r of glyph c is kCp437Font[c][r], bit 7 = leftmost pixel.
extern const unsigned char kCp437Font[256][16];

}  // namespace almanouk
