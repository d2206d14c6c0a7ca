#include "platform/Emblem.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

namespace almanouk {
namespace {

// The icon is drawn on a grid of 32 x 32 units: a tile with rounded corners,
// and the emblem's cells one unit each, a little above the middle.
constexpr int kGridUnits = 32;
constexpr int kCornerRadius = 6;
constexpr int kEmblemLeft = 2;
constexpr int kEmblemTop = 3;
// Samples per pixel and axis: four give 256 shades of coverage, and a cell
// edge at 16 pixels (half a pixel) an exact half.
constexpr int kSamples = 4;

bool insideTile(double x, double y) {
  // How far the point lies beyond the straight part of each edge; in a corner both count.
  double dx = std::max({kCornerRadius - x, x - (kGridUnits - kCornerRadius), 0.0});
  double dy = std::max({kCornerRadius - y, y - (kGridUnits - kCornerRadius), 0.0});
  return dx * dx + dy * dy <= kCornerRadius * kCornerRadius;
}

bool onEmblem(double x, double y) {
  int column = static_cast<int>(std::floor(x)) - kEmblemLeft;
  int row = static_cast<int>(std::floor(y)) - kEmblemTop;
  if (row < 0 || row >= static_cast<int>(kEmblem.size())) return false;
  const std::string_view line = kEmblem[static_cast<std::size_t>(row)];
  return column >= 0 && column < static_cast<int>(line.size()) && line[static_cast<std::size_t>(column)] == 'x';
}

// What the icon shows at a point of the grid; nothing outside the tile.
std::optional<std::uint32_t> colourAt(double x, double y) {
  if (!insideTile(x, y)) return std::nullopt;
  return onEmblem(x, y) ? kEmblemColour : kDayBoxBlue;
}

// The pixel's samples blended: alpha is the part the tile covers.
std::uint32_t pixelAt(int x, int y, double unitsPerSample) {
  constexpr int kCount = kSamples * kSamples;
  int covered = 0;
  std::uint32_t red = 0, green = 0, blue = 0;
  for (int sy = 0; sy < kSamples; ++sy)
    for (int sx = 0; sx < kSamples; ++sx) {
      auto colour = colourAt((x * kSamples + sx + 0.5) * unitsPerSample, (y * kSamples + sy + 0.5) * unitsPerSample);
      if (!colour) continue;
      ++covered;
      red += *colour >> 16 & 0xFF;
      green += *colour >> 8 & 0xFF;
      blue += *colour & 0xFF;
    }
  if (covered == 0) return 0;
  auto average = [covered](std::uint32_t sum) { return (sum + covered / 2) / covered; };
  std::uint32_t alpha = (covered * 255 + kCount / 2) / kCount;
  return alpha << 24 | average(red) << 16 | average(green) << 8 | average(blue);
}

std::string colourText(std::uint32_t colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%06x", colour & 0xFFFFFF);
  return text;
}

}  // namespace

std::vector<std::uint32_t> emblemIcon(int size) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size) * static_cast<std::size_t>(size));
  const double unitsPerSample = static_cast<double>(kGridUnits) / size / kSamples;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) pixels[static_cast<std::size_t>(y * size + x)] = pixelAt(x, y, unitsPerSample);
  return pixels;
}

// One path of unit-high rectangles, one for each run of drawn cells in a row.
std::string emblemSvg() {
  const std::string units = std::to_string(kGridUnits);
  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + units + "\" height=\"" + units +
                    "\" viewBox=\"0 0 " + units + " " + units + "\">\n";
  svg += "  <rect width=\"" + units + "\" height=\"" + units + "\" rx=\"" + std::to_string(kCornerRadius) +
         "\" fill=\"" + colourText(kDayBoxBlue) + "\"/>\n";
  svg += "  <path fill=\"" + colourText(kEmblemColour) + "\" d=\"";
  for (std::size_t row = 0; row < kEmblem.size(); ++row) {
    const std::string_view line = kEmblem[row];
    for (std::size_t start = line.find('x'); start != std::string_view::npos;) {
      std::size_t end = std::min(line.find('.', start), line.size());
      const std::string length = std::to_string(end - start);
      svg += "M" + std::to_string(kEmblemLeft + start) + " " + std::to_string(kEmblemTop + row) + "h" + length +
             "v1h-" + length + "z";
      start = line.find('x', end);
    }
  }
  svg += "\"/>\n</svg>\n";
  return svg;
}

}  // namespace almanouk
