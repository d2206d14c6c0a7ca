#include "platform/Surface.h"

#include <algorithm>
#include <cstdlib>

#include "platform/Cp437Font.h"

namespace almanouk {

Surface::Surface() : pixels_(static_cast<std::size_t>(kWidth) * kHeight) {
  chars_.fill(' ');
  colours_.fill({foreground_, background_});
}

void Surface::drawLine(int x1, int y1, int x2, int y2, std::uint32_t colour) {
  int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
  int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
  int error = dx + dy;
  for (;;) {
    putPixel(x1, y1, colour);
    if (x1 == x2 && y1 == y2) break;
    int twice = 2 * error;
    if (twice >= dy) error += dy, x1 += sx;
    if (twice <= dx) error += dx, y1 += sy;
  }
}

void Surface::moveCursor(int row, int column, int visible) {
  if (row != 0) cursorRow_ = std::clamp(row, 1, kRows);
  if (column != 0) cursorColumn_ = std::clamp(column, 1, kColumns);
  if (visible >= 0) cursorVisible_ = visible != 0;
  changed_ = true;
}

void Surface::setColours(std::uint32_t foreground, std::uint32_t background) {
  foreground_ = foreground & 0xFFFFFF;
  background_ = background & 0xFFFFFF;
}

void Surface::printText(std::string_view textCp437, bool lineEnd) {
  for (char c : textCp437) {
    if (cursorRow_ <= kRows) drawGlyph(cursorRow_, cursorColumn_, static_cast<unsigned char>(c));
    if (++cursorColumn_ > kColumns) {
      cursorColumn_ = 1;
      ++cursorRow_;
    }
  }
  if (lineEnd) {
    cursorColumn_ = 1;
    ++cursorRow_;
  }
  changed_ = true;
}

void Surface::clearScreen() {
  std::fill(pixels_.begin(), pixels_.end(), background_);
  chars_.fill(' ');
  colours_.fill({foreground_, background_});
  cursorRow_ = 1;
  cursorColumn_ = 1;
  focusRow_ = focusColumn_ = 0;  // nothing is left to attend
  changed_ = true;
}

Surface::Saved Surface::save() const {
  return {pixels_,      chars_,       colours_,      cursorRow_,  cursorColumn_,
          focusRow_,    focusColumn_, cursorVisible_, foreground_, background_};
}

void Surface::restore(const Saved& saved) {
  pixels_ = saved.pixels;
  chars_ = saved.chars;
  colours_ = saved.colours;
  focusRow_ = saved.focusRow;
  focusColumn_ = saved.focusColumn;
  cursorRow_ = saved.cursorRow;
  cursorColumn_ = saved.cursorColumn;
  cursorVisible_ = saved.cursorVisible;
  foreground_ = saved.foreground;
  background_ = saved.background;
  changed_ = true;
}

unsigned char Surface::charAt(int row, int column) const {
  if (row < 1 || row > kRows || column < 1 || column > kColumns) return ' ';
  return chars_[static_cast<std::size_t>(row - 1) * kColumns + static_cast<std::size_t>(column - 1)];
}

Surface::CellColours Surface::coloursAt(int row, int column) const {
  if (row < 1 || row > kRows || column < 1 || column > kColumns) return {foreground_, background_};
  return colours_[static_cast<std::size_t>(row - 1) * kColumns + static_cast<std::size_t>(column - 1)];
}

void Surface::setFocus(int row, int column) {
  const bool inside = row >= 1 && row <= kRows && column >= 1 && column <= kColumns;
  if (focusRow_ == (inside ? row : 0) && focusColumn_ == (inside ? column : 0)) return;
  focusRow_ = inside ? row : 0;
  focusColumn_ = inside ? column : 0;
  changed_ = true;
}

void Surface::drawGlyph(int row, int column, unsigned char c) {
  const std::size_t cell = static_cast<std::size_t>(row - 1) * kColumns + static_cast<std::size_t>(column - 1);
  chars_[cell] = c;
  colours_[cell] = {foreground_, background_};
  const unsigned char* glyph = kCp437Font[c];
  std::uint32_t* line = pixels_.data() + static_cast<std::size_t>((row - 1) * kCellHeight) * kWidth +
                        static_cast<std::size_t>((column - 1) * kCellWidth);
  for (int y = 0; y < kCellHeight; ++y, line += kWidth) {
    unsigned bits = glyph[y];
    for (int x = 0; x < kCellWidth; ++x) line[x] = (bits & (0x80u >> x)) ? foreground_ : background_;
  }
}

}  // namespace almanouk
