#include "platform/Cp437Font.h"

#include <gtest/gtest.h>

#include <bit>

namespace {

using almanouk::kCp437Font;

bool Pixel(unsigned char glyph, int row, int col) {
  return (kCp437Font[glyph][row] >> (7 - col)) & 1;
}

// Some row lit in both the leftmost and rightmost column: the stroke meets
// the neighbouring cells' strokes on that row.
bool SpansWidth(unsigned char glyph) {
  for (int r = 0; r < 16; ++r) {
    if (Pixel(glyph, r, 0) && Pixel(glyph, r, 7)) return true;
  }
  return false;
}

bool SpansHeight(unsigned char glyph) {
  for (int c = 0; c < 8; ++c) {
    if (Pixel(glyph, 0, c) && Pixel(glyph, 15, c)) return true;
  }
  return false;
}

bool TouchesColumn(unsigned char glyph, int col) {
  for (int r = 0; r < 16; ++r) {
    if (Pixel(glyph, r, col)) return true;
  }
  return false;
}

bool TouchesRow(unsigned char glyph, int row) {
  for (int c = 0; c < 8; ++c) {
    if (Pixel(glyph, row, c)) return true;
  }
  return false;
}

}  // namespace

TEST(Cp437Font, StraightLinesCrossTheWholeCell) {
  for (unsigned char g : {0xC4, 0xCD, 0xC5, 0xCE, 0xD7, 0xD8}) {
    EXPECT_TRUE(SpansWidth(g)) << std::hex << int(g);
  }
  for (unsigned char g : {0xB3, 0xBA, 0xC5, 0xCE, 0xD7, 0xD8}) {
    EXPECT_TRUE(SpansHeight(g)) << std::hex << int(g);
  }
}

// A frame piece must reach exactly the edges its strokes point at: short of
// one leaves a gap, past one draws a stub into the neighbouring cell.
TEST(Cp437Font, CornersAndTeesReachTheEdgesTheyPointAt) {
  struct Box { unsigned char glyph; bool up, down, left, right; };
  const Box boxes[] = {
    {0xDA, false, true, false, true}, {0xBF, false, true, true, false},
    {0xC0, true, false, false, true}, {0xD9, true, false, true, false},
    {0xC3, true, true, false, true},  {0xB4, true, true, true, false},
    {0xC2, false, true, true, true},  {0xC1, true, false, true, true},
    {0xC9, false, true, false, true}, {0xBB, false, true, true, false},
    {0xC8, true, false, false, true}, {0xBC, true, false, true, false},
    {0xCC, true, true, false, true},  {0xB9, true, true, true, false},
    {0xCB, false, true, true, true},  {0xCA, true, false, true, true},
    {0xD5, false, true, false, true}, {0xB7, false, true, true, false},
    {0xD4, true, false, false, true}, {0xBD, true, false, true, false},
  };
  for (const Box& b : boxes) {
    EXPECT_EQ(TouchesRow(b.glyph, 0), b.up) << std::hex << int(b.glyph);
    EXPECT_EQ(TouchesRow(b.glyph, 15), b.down) << std::hex << int(b.glyph);
    EXPECT_EQ(TouchesColumn(b.glyph, 0), b.left) << std::hex << int(b.glyph);
    EXPECT_EQ(TouchesColumn(b.glyph, 7), b.right) << std::hex << int(b.glyph);
  }
}

TEST(Cp437Font, BlocksAndBlank) {
  for (int r = 0; r < 16; ++r) {
    EXPECT_EQ(kCp437Font[0xDB][r], 0xFF) << r;
    EXPECT_EQ(kCp437Font[0x20][r], 0x00) << r;
    EXPECT_EQ(kCp437Font[0xDC][r] ^ kCp437Font[0xDF][r], 0xFF) << r;  // halves tile
    EXPECT_EQ(kCp437Font[0xDD][r] ^ kCp437Font[0xDE][r], 0xFF) << r;
  }
  for (unsigned char shade : {0xB0, 0xB1, 0xB2}) {
    int lit = 0;
    for (int r = 0; r < 16; ++r) lit += std::popcount(kCp437Font[shade][r]);
    EXPECT_GT(lit, 0) << std::hex << int(shade);
    EXPECT_LT(lit, 128) << std::hex << int(shade);
  }
}

TEST(Cp437Font, TextGlyphsAreDrawn) {
  for (int c = 0x21; c <= 0x7E; ++c) {
    bool any = false;
    for (int r = 0; r < 16; ++r) any = any || kCp437Font[c][r] != 0;
    EXPECT_TRUE(any) << "0x" << std::hex << c;
  }
  bool differs = false;
  for (int r = 0; r < 16; ++r) differs = differs || kCp437Font[0x82][r] != kCp437Font[static_cast<unsigned char>('e')][r];
  EXPECT_TRUE(differs) << "e acute looks like e";
}
