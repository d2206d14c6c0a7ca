#include "screen/MonthDecorations.h"

#include <cstdint>

#include "platform/Emblem.h"
#include "platform/Platform.h"

namespace almanouk {
namespace {

constexpr std::uint32_t kLightLine = 0xEAEAEA;
constexpr std::uint32_t kDarkLine = 0xA6A6A6;
constexpr std::uint32_t kMiddleLine = 0x0000FF;

constexpr std::uint32_t kBoxFill = kDayBoxBlue;
constexpr std::uint32_t kBoxFillBelow = 0xFF32FF;  // brighter pixels are the day number's glyph
constexpr std::uint32_t kBoxShadow = 0x0000B1;
constexpr std::uint32_t kBoxLight = 0x4E4EFF;

constexpr int kLogoLeft = 314;
constexpr int kLogoTop = 251;

// One family of seven horizontal or eight vertical lines, 32 or 40 pixels apart.
void horizontalLines(Platform& platform, int firstY, int x1, int x2, std::uint32_t colour) {
  for (int j = 0; j <= 6; ++j) platform.drawLine(x1, firstY + 32 * j, x2, firstY + 32 * j, colour);
}

void verticalLines(Platform& platform, int firstX, int y1, int y2, std::uint32_t colour) {
  for (int k = 0; k <= 7; ++k) platform.drawLine(firstX + 40 * k, y1, firstX + 40 * k, y2, colour);
}

}  // namespace

void drawGridLines(Platform& platform) {
  horizontalLines(platform, 86, 67, 349, kLightLine);
  verticalLines(platform, 67, 86, 280, kLightLine);
  horizontalLines(platform, 88, 68, 349, kDarkLine);
  verticalLines(platform, 69, 87, 279, kDarkLine);
  horizontalLines(platform, 87, 68, 348, kMiddleLine);
  verticalLines(platform, 68, 87, 279, kMiddleLine);
}

void drawDayBox(Platform& platform, int dayBoxLeft, int dayBoxTop, bool allCalendarsView) {
  const int l = dayBoxLeft, t = dayBoxTop;
  // The renderer placed the box from the cell after the day's four (" 15 "): its first digit.
  const int row = (t + 23) / 16, afterDay = (l + 42) / 8;
  const int firstDigit = platform.surface().charAt(row, afterDay - 3) == ' ' ? afterDay - 2 : afterDay - 3;
  platform.showFocus(row, firstDigit);
  for (int y = t + 2; y <= t + 26; ++y)
    for (int x = l + 2; x <= l + 34; ++x)
      if ((platform.pixelAt(x, y) & 0xFFFFFF) < kBoxFillBelow) platform.putPixel(x, y, kBoxFill);

  // Dark right and bottom borders first; the light left and top ones stop
  // short of them, which mitres the top-right and bottom-left corners.
  for (int y = t + 2; y <= t + 26; ++y) {
    platform.putPixel(l + 34, y, kBoxShadow);
    platform.putPixel(l + 33, y, kBoxShadow);
    if (allCalendarsView) platform.putPixel(l + 32, y, kBoxShadow);
  }
  for (int x = l + 2; x <= l + 34; ++x) {
    platform.putPixel(x, t + 26, kBoxShadow);
    platform.putPixel(x, t + 25, kBoxShadow);
    if (allCalendarsView) platform.putPixel(x, t + 24, kBoxShadow);
  }
  for (int y = t + 2; y <= t + 26; ++y) {
    platform.putPixel(l + 2, y, kBoxLight);
    if (y != t + 26) platform.putPixel(l + 3, y, kBoxLight);
    if (allCalendarsView && y < t + 25) platform.putPixel(l + 4, y, kBoxLight);
  }
  for (int x = l + 2; x <= l + 34; ++x) {
    platform.putPixel(x, t + 2, kBoxLight);
    if (x != l + 34) platform.putPixel(x, t + 3, kBoxLight);
    if (allCalendarsView && x < l + 33) platform.putPixel(x, t + 4, kBoxLight);
  }
}

void drawLogo(Platform& platform) {
  for (std::size_t i = 0; i < kEmblem.size(); ++i)
    for (std::size_t j = 0; j < kEmblem[i].size(); ++j)
      if (kEmblem[i][j] == 'x')
        platform.putPixel(kLogoLeft + static_cast<int>(j), kLogoTop + static_cast<int>(i), kEmblemColour);
}

}  // namespace almanouk
