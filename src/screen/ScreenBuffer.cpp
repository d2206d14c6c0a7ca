#include "screen/ScreenBuffer.h"

#include <algorithm>
#include <string>

#include "platform/Platform.h"
#include "platform/Text.h"

namespace almanouk {
namespace {

constexpr int kFirstPaintedCell = (ScreenBuffer::kTitleRow + 1) * ScreenBuffer::kColumns;
constexpr int kLastPaintedCell = ScreenBuffer::kStatusRow * ScreenBuffer::kColumns - 1;
constexpr int kScreenCells = ScreenBuffer::kScreenRows * ScreenBuffer::kColumns;
constexpr int kCellWidth = Surface::kWidth / Surface::kColumns;
constexpr int kCellHeight = Surface::kHeight / Surface::kRows;

constexpr int kHeaderBarAttribute = 23;
constexpr int kDayBoxAttribute = 159;
constexpr int kDiaryDayBoxAttribute = 157;
constexpr int kKeywordForeground = 6;

// Turns a theme code into the colour the screen is cleared with (7 -> 03958C, 15 -> 07AE2C).
constexpr std::uint32_t kThemeClearMultiplier = 33556;

constexpr std::uint32_t kEchoForeground = 0xFFFFFF;
constexpr std::uint32_t kEchoBackground = 0xFF0000;
constexpr std::uint32_t kCursorCellForeground = 0xC8C8C8;
constexpr std::uint32_t kCursorCellBackground = 0xB400B4;

struct TableColour {
  int attribute;
  AttributeColours colours;
};

constexpr std::array<TableColour, 10> kColourTable = {{
    {0, {0xC8C8C8, 0x000000}},
    {1, {0xFF00FF, 0x000000}},
    {6, {0xC800C8, 0x000000}},
    {7, {0xC8C8C8, 0x000000}},
    {12, {0xFF3232, 0x000000}},
    {13, {0xFF32FF, 0x000000}},
    {23, {0xC8C8C8, 0x1D1DE2}},
    {157, {0xFF96FF, 0x0000FF}},
    {159, {0xFFFFFF, 0x0000FF}},
    {160, {0x000000, 0xFF32FF}},
}};

// Colours of the legacy codes for attributes the table does not list (the
// light theme's 240 and 246, page colours). Chosen near the table's own
// colours and dark enough for the foregrounds to read on white (15).
constexpr std::array<std::uint32_t, 16> kPalette = {
    0x000000, 0x1D1DE2, 0x008C00, 0x008C8C, 0xB40000, 0xA000A0, 0xC800C8, 0xC8C8C8,
    0x646464, 0x0000FF, 0x32C832, 0x32C8C8, 0xFF3232, 0xFF32FF, 0xE6E632, 0xFFFFFF,
};

constexpr std::array<int, 16> kGradientSteps = {10, 8, 6, 5, 4, 3, 2, 1, 2, 3, 4, 5, 6, 8, 10, 0};

// The first seven characters of the calendar section lines as the list editor shows them.
constexpr int kKeywordLength = 7;
constexpr int kKeywordColumn = 3;
constexpr int kKeywordSpan = 11;  // columns 3 to 13 take the keyword colour
constexpr std::array<std::string_view, 16> kKeywords = {
    "Maandel", "Wekelij", "Dagelij", "Januari", "Februar", "Maart  ", "April  ", "Mei    ",
    "Juni   ", "Juli   ", "Augustu", "Septemb", "Oktober", "Novembe", "Decembe", "Einde  ",
};

bool onScreen(int row, int column) {
  return row >= 0 && row < ScreenBuffer::kScreenRows && column >= 0 && column < ScreenBuffer::kColumns;
}

// A bar's text across the whole row: a shorter one is padded to the row's end.
std::string wholeRow(std::string_view text) {
  if (static_cast<int>(text.size()) >= ScreenBuffer::kColumns) return std::string(text);
  return padRight(text, ScreenBuffer::kColumns);
}

std::uint32_t rgb(int red, int green, int blue) {
  auto component = [](int c) { return static_cast<std::uint32_t>(std::clamp(c, 0, 255)); };
  return component(red) << 16 | component(green) << 8 | component(blue);
}

}  // namespace

AttributeColours coloursOf(int attribute) {
  for (const TableColour& entry : kColourTable)
    if (entry.attribute == attribute) return entry.colours;
  auto code = static_cast<unsigned>(attribute);
  return {kPalette[code & 15], kPalette[(code >> 4) & 15]};
}

void ScreenBuffer::putText(int row, int column, std::string_view text) {
  int index = row * kColumns + column;
  int attribute = currentAttribute();
  for (char c : text) {
    if (index >= kCells) return;
    Cell& target = cell(index++);
    target.character = static_cast<unsigned char>(c);
    target.attribute = attribute;
  }
}

void ScreenBuffer::putTextEcho(int row, int column, std::string_view text) {
  putText(row, column, text);
  if (text.empty() || !onScreen(row, column)) return;
  platform_.setColours(kEchoForeground, kEchoBackground);
  printAt(platform_, row, column, text);
}

void ScreenBuffer::repaintCell(int row, int column) {
  if (!onScreen(row, column)) return;
  platform_.setColours(kCursorCellForeground, kCursorCellBackground);
  printAt(platform_, row, column, std::string(1, static_cast<char>(at(row, column).character)));
  focusAt(platform_, row, column);
}

void ScreenBuffer::clearBuffer() {
  platform_.setColours(static_cast<std::uint32_t>(theme_.themeFg) * kThemeClearMultiplier,
                       static_cast<std::uint32_t>(theme_.themeBg) * kThemeClearMultiplier);
  platform_.clearScreen();
  for (int i = 0; i < kScreenCells; ++i) cells_[static_cast<std::size_t>(i)] = blankCell();
}

void ScreenBuffer::renderBuffer(bool shadeHeaderBar) {
  moveTextCursor(platform_, kFirstPaintedCell / kColumns, 0);
  std::string run;
  for (int p = kFirstPaintedCell; p <= kLastPaintedCell;) {
    int attribute = cell(p).attribute;
    run.clear();
    do {
      run += static_cast<char>(cell(p++).character);
    } while (p <= kLastPaintedCell && cell(p).attribute == attribute);

    AttributeColours colours = coloursOf(attribute);
    platform_.setColours(colours.foreground, colours.background);
    platform_.printText(run);

    if (attribute == kHeaderBarAttribute && shadeHeaderBar)
      gradientBar(platform_, 32, 78, 78, 255, 24, 351, 0xC8C8C8);
    if (attribute == kDayBoxAttribute || attribute == kDiaryDayBoxAttribute) {
      dayBoxTop = platform_.cursorRow() * 16 - 23;
      dayBoxLeft = platform_.cursorColumn() * 8 - 42;
    }
  }
}

void ScreenBuffer::colourKeywords() {
  platform_.moveCursor(1, 1);
  const int base = theme_.themeBg * 16 + theme_.themeFg;
  const int keyword = theme_.themeBg * 16 + kKeywordForeground;
  for (int k = 0; k < kScreenCells;) {
    cells_[static_cast<std::size_t>(k)].attribute = base;
    bool matched = k % kColumns == kKeywordColumn &&
                   std::any_of(kKeywords.begin(), kKeywords.end(), [&](std::string_view pattern) {
                     for (int i = 0; i < kKeywordLength; ++i)
                       if (cell(k + i).character != static_cast<unsigned char>(pattern[static_cast<std::size_t>(i)]))
                         return false;
                     return true;
                   });
    if (!matched) {
      ++k;
      continue;
    }
    for (int i = 0; i < kKeywordSpan; ++i) cell(k + i).attribute = keyword;
    k += kKeywordSpan;
  }
}

void ScreenBuffer::printBlankRow(int row) {
  const AttributeColours colours = coloursOf(theme_.themeBg * 16 + theme_.themeFg);
  platform_.setColours(colours.foreground, colours.background);
  printAt(platform_, row, 0, std::string(kColumns, ' '));
}

void ScreenBuffer::drawBar(int row, int column, std::string_view text, const BarStyle& style) {
  platform_.setColours(style.foreground, style.background);
  printAt(platform_, row, column, text);
  int first = column * kCellWidth;
  int last = std::min(first + static_cast<int>(text.size()) * kCellWidth, Surface::kWidth) - 1;
  gradientBar(platform_, row * kCellHeight, style.red, style.green, style.blue, first, last, style.keptColour);
  useTheme();
}

void ScreenBuffer::drawTitleBar(std::string_view text, const BarStyle& style) {
  drawBar(kTitleRow, 0, wholeRow(text), style);
}

void ScreenBuffer::drawStatusBar(std::string_view text, const BarStyle& style) {
  drawBar(kStatusRow, 0, wholeRow(text), style);
}

void moveTextCursor(Platform& platform, int row, int column) { platform.moveCursor(row + 1, column + 1); }

void focusAt(Platform& platform, int row, int column) { platform.showFocus(row + 1, column + 1); }

void printAt(Platform& platform, int row, int column, std::string_view text) {
  moveTextCursor(platform, row, column);
  platform.printText(text);
}

void gradientBar(Platform& platform, int top, int red, int green, int blue, int firstColumn, int lastColumn,
                 std::uint32_t keptColour) {
  const std::uint32_t kept = keptColour & 0xFFFFFF;
  for (int i = 0; i < 16; ++i) {
    const std::uint32_t shade = rgb(red, green, blue);
    const int y = top + i;
    for (int x = firstColumn; x <= lastColumn; ++x)
      if ((platform.pixelAt(x, y) & 0xFFFFFF) != kept) platform.putPixel(x, y, shade);
    const int step = kGradientSteps[static_cast<std::size_t>(i)];
    red -= step;
    green -= step;
    blue -= step;
  }
}

}  // namespace almanouk
