#pragma once
// The program's own grid of cells (80 x 50, rows 0-24 the screen, 25-49 a
// work area below it), each a code page 437 character and an attribute code
// (foreground + 16 x background, legacy 16-colour numbering), painted onto
// the window run by run by renderBuffer.

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/Surface.h"

namespace almanouk {

class Platform;

struct Cell {
  int character = ' ';
  int attribute = 0;
};

// The colour theme as attribute colour codes: the base foreground and
// background, and the foreground of the title and header bars.
struct Theme {
  int themeFg = 0;
  int themeBg = 0;
  int themeBarFg = 0;
};

// A bar printed straight onto the screen and shaded from its start colour
// downwards; pixels of the kept colour (the text) keep theirs.
struct BarStyle {
  std::uint32_t foreground;
  std::uint32_t background;
  int red, green, blue;
  std::uint32_t keptColour;
};
// The red bars: title line, status line, settings screen.
inline constexpr BarStyle kRedBar{0xFFFFFF, 0xE21D1D, 255, 78, 78, 0xFFFFFF};

class ScreenBuffer {
 public:
  // Rows and columns are 0-based in every drawing call from here up; the
  // platform's text cursor counts from 1, and only this layer converts.
  static constexpr int kColumns = Surface::kColumns;
  static constexpr int kScreenRows = Surface::kRows;
  static constexpr int kRows = 50;
  static constexpr int kCells = kColumns * kRows;
  static constexpr int kTitleRow = 0;
  static constexpr int kStatusRow = kScreenRows - 1;

  ScreenBuffer(Platform& platform, const Theme& theme) : platform_(platform), theme_(theme) {}
  ScreenBuffer(const ScreenBuffer&) = delete;
  ScreenBuffer& operator=(const ScreenBuffer&) = delete;

  // Current colours that the writers put into every cell they write.
  int curFg = 7;
  int curBg = 0;
  // Pixel position of the selected day's box, recorded by renderBuffer (attributes 157 and 159).
  int dayBoxTop = 0;
  int dayBoxLeft = 0;

  // Cell by 0-based row and column, or by index row * 80 + column. Positions
  // outside the buffer give a scratch cell, so no caller can write out of bounds.
  Cell& at(int row, int column) { return cell(row * kColumns + column); }
  const Cell& at(int row, int column) const { return cell(row * kColumns + column); }
  Cell& cell(int index) {
    if (static_cast<unsigned>(index) < static_cast<unsigned>(kCells)) return cells_[static_cast<std::size_t>(index)];
    scratch_ = Cell{};
    return scratch_;
  }
  const Cell& cell(int index) const {
    return static_cast<unsigned>(index) < static_cast<unsigned>(kCells) ? cells_[static_cast<std::size_t>(index)]
                                                                        : scratch_;
  }
  int currentAttribute() const { return curBg * 16 + curFg; }
  // curFg and curBg back to the theme colours.
  void useTheme() {
    curFg = theme_.themeFg;
    curBg = theme_.themeBg;
  }
  // A blank on the theme background, as a cleared buffer holds.
  Cell blankCell() const { return Cell{' ', theme_.themeBg * 16}; }
  const Theme& theme() const { return theme_; }

  // Writes text into consecutive cells from (row, column) in the current colours,
  // continuing on the next row after column 79; text past the last cell is cut.
  void putText(int row, int column, std::string_view text);
  // The same, and prints it at once at its screen position in white on red.
  void putTextEcho(int row, int column, std::string_view text);
  // Prints one cell's character at its screen position in C8C8C8 on B400B4
  // (the list editor's cursor), and puts the focus there.
  void repaintCell(int row, int column);
  // Clears the surface in the theme's colour and blanks screen rows 0-24 with attribute themeBg x 16.
  void clearBuffer();
  // Paints buffer rows 1-23 in runs of equal attribute, shading the month
  // header bar (attribute 23) unless told not to: on the settings screen the
  // same attribute is the selection bar.
  void renderBuffer(bool shadeHeaderBar = true);
  // Resets every screen cell to the theme attribute and colours the section keywords at column 3.
  void colourKeywords();
  // Prints a screen row blank in the theme's colours, past the buffer.
  void printBlankRow(int row);
  // Prints a bar at a screen row and column and shades the cells it covers;
  // then the writers' colours are the theme's again.
  void drawBar(int row, int column, std::string_view text, const BarStyle& style);
  // The bars across the top and the bottom row: the text padded to the row when it is shorter.
  void drawTitleBar(std::string_view text, const BarStyle& style);
  void drawStatusBar(std::string_view text, const BarStyle& style);

 private:
  Platform& platform_;
  const Theme& theme_;
  std::array<Cell, kCells> cells_{};
  Cell scratch_{};
};

// Puts the writers' colours back to the theme when it goes out of scope.
class ThemeColours {
 public:
  explicit ThemeColours(ScreenBuffer& buffer) : buffer_(buffer) {}
  ~ThemeColours() { buffer_.useTheme(); }
  ThemeColours(const ThemeColours&) = delete;
  ThemeColours& operator=(const ThemeColours&) = delete;

 private:
  ScreenBuffer& buffer_;
};

// 24-bit foreground and background colours of an attribute code.
struct AttributeColours {
  std::uint32_t foreground;
  std::uint32_t background;
};
AttributeColours coloursOf(int attribute);

// The platform's text cursor to a screen row and column.
void moveTextCursor(Platform& platform, int row, int column);
// The focus (the selected day, the field, the caret) to a screen row and
// column: where a terminal's cursor stands, for screen readers to follow.
void focusAt(Platform& platform, int row, int column);
// Prints text straight onto the screen from a row and column, in the
// platform's current colours; the buffer's cells stay as they are.
void printAt(Platform& platform, int row, int column, std::string_view text);

// Shades a 16-pixel-high bar from its start colour downwards; pixels of the kept colour stay.
void gradientBar(Platform& platform, int top, int red, int green, int blue, int firstColumn, int lastColumn,
                 std::uint32_t keptColour);

}  // namespace almanouk
