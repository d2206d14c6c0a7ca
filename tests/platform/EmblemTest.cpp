#include "platform/Emblem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <regex>

#include "TestSupport.h"
#include "platform/SurfaceDump.h"

using namespace almanouk;

namespace {

constexpr std::uint32_t kOpaqueBlue = 0xFF2727D8;
constexpr std::uint32_t kOpaqueYellow = 0xFFFFFF00;

int drawnCells() {
  int cells = 0;
  for (std::string_view line : kEmblem)
    for (char c : line) cells += c == 'x';
  return cells;
}

int countOf(const std::vector<std::uint32_t>& pixels, std::uint32_t colour) {
  return static_cast<int>(std::count(pixels.begin(), pixels.end(), colour));
}

}  // namespace

// At 32 pixels a cell is a pixel: the emblem sits two columns in and three
// rows down, and the tile's corners are cut round.
TEST(EmblemIcon, ThirtyTwoPixelsShowEveryCellAsOnePixel) {
  auto icon = emblemIcon(32);
  ASSERT_EQ(icon.size(), 32u * 32u);
  for (std::size_t row = 0; row < kEmblem.size(); ++row)
    for (std::size_t column = 0; column < kEmblem[row].size(); ++column)
      EXPECT_EQ(icon[(row + 3) * 32 + column + 2], kEmblem[row][column] == 'x' ? kOpaqueYellow : kOpaqueBlue)
          << row << "," << column;
  EXPECT_EQ(countOf(icon, kOpaqueYellow), drawnCells());
  EXPECT_EQ(icon[0], 0u);                         // outside the rounded corner
  EXPECT_EQ(icon[31 * 32 + 31], 0u);
  EXPECT_EQ(icon[16], kOpaqueBlue);               // the middle of an edge is whole
  EXPECT_LT(icon[1 * 32 + 2] >> 24, 255u);        // the corner's curve is smoothed
  EXPECT_GT(icon[1 * 32 + 2] >> 24, 0u);
}

TEST(EmblemIcon, LargerSizesScaleEveryCellWhole) {
  auto icon = emblemIcon(256);
  EXPECT_EQ(countOf(icon, kOpaqueYellow), drawnCells() * 64);
  // The bell at the top left: row 1, columns 2-5, eight pixels a cell.
  for (int y = 32; y < 40; ++y)
    for (int x = 32; x < 64; ++x) EXPECT_EQ(icon[static_cast<std::size_t>(y * 256 + x)], kOpaqueYellow) << x << "," << y;
}

// At 16 pixels each pixel covers four cells; its shade tells how many are drawn.
TEST(EmblemIcon, SixteenPixelsKeepTheEmblemsArea) {
  auto icon = emblemIcon(16);
  int cells = 0;
  for (std::uint32_t pixel : icon) {
    if (pixel >> 24 != 255) continue;
    double red = pixel >> 16 & 0xFF;  // 0x27 on the tile, 0xFF on the emblem
    cells += static_cast<int>(std::lround((red - 0x27) / (0xFF - 0x27) * 4));
  }
  EXPECT_EQ(cells, drawnCells());
}

// Drawing the SVG's rectangles on a grid gives back the bitmap.
TEST(EmblemSvg, PathRedrawsTheBitmapOnTheTile) {
  std::string svg = emblemSvg();
  EXPECT_NE(svg.find("viewBox=\"0 0 32 32\""), std::string::npos);
  EXPECT_NE(svg.find("<rect width=\"32\" height=\"32\" rx=\"6\" fill=\"#2727d8\"/>"), std::string::npos);
  std::vector<std::string> grid(32, std::string(32, '.'));
  std::regex run(R"(M(\d+) (\d+)h(\d+)v1h-(\d+)z)");
  int runs = 0;
  for (auto match = std::sregex_iterator(svg.begin(), svg.end(), run); match != std::sregex_iterator(); ++match) {
    ++runs;
    int x = std::stoi((*match)[1]), y = std::stoi((*match)[2]), length = std::stoi((*match)[3]);
    EXPECT_EQ((*match)[3], (*match)[4]);
    for (int i = 0; i < length; ++i) grid.at(static_cast<std::size_t>(y)).at(static_cast<std::size_t>(x + i)) = 'x';
  }
  EXPECT_GT(runs, 25);
  for (std::size_t row = 0; row < kEmblem.size(); ++row) EXPECT_EQ(grid[row + 3].substr(2, 28), kEmblem[row]) << row;
  EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
}

TEST(EmblemIcon, WrittenAsAnRgbaPng) {
  test::TempFolder folder;
  auto icon = emblemIcon(48);
  ASSERT_TRUE(writePng(icon.data(), 48, 48, true, (folder / "icon.png").string()));
  std::string png = test::readFile(folder / "icon.png");
  ASSERT_GT(png.size(), 33u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  EXPECT_EQ(png.substr(16, 8), std::string("\0\0\0\x30\0\0\0\x30", 8));  // 48 x 48
  EXPECT_EQ(png[24], 8);   // bits per channel
  EXPECT_EQ(png[25], 6);   // RGBA
  EXPECT_FALSE(writePng(icon.data(), 48, 48, true, (folder / "missing" / "icon.png").string()));
}
