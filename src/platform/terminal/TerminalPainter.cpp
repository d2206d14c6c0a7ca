#include "platform/terminal/TerminalPainter.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "platform/Text.h"

namespace almanouk {
namespace {

// The VGA's colours in ANSI order, as terminals that keep their own palette show them near enough.
constexpr std::array<std::uint32_t, 16> kAnsiColours = {
    0x000000, 0xAA0000, 0x00AA00, 0xAA5500, 0x0000AA, 0xAA00AA, 0x00AAAA, 0xAAAAAA,
    0x555555, 0xFF5555, 0x55FF55, 0xFFFF55, 0x5555FF, 0xFF55FF, 0x55FFFF, 0xFFFFFF,
};
constexpr std::array<int, 6> kCubeLevels = {0, 95, 135, 175, 215, 255};
constexpr int kFirstCubeColour = 16;
constexpr int kFirstGrey = 232;
constexpr int kGreys = 24;
// A gap on a line this short is written over rather than jumped.
constexpr int kLongestRewrite = 4;

int red(std::uint32_t rgb) { return static_cast<int>((rgb >> 16) & 0xFF); }
int green(std::uint32_t rgb) { return static_cast<int>((rgb >> 8) & 0xFF); }
int blue(std::uint32_t rgb) { return static_cast<int>(rgb & 0xFF); }

// The eye sees green best and blue least.
int distance(int r1, int g1, int b1, int r2, int g2, int b2) {
  return 3 * (r1 - r2) * (r1 - r2) + 4 * (g1 - g2) * (g1 - g2) + 2 * (b1 - b2) * (b1 - b2);
}

int distance(std::uint32_t a, std::uint32_t b) {
  return distance(red(a), green(a), blue(a), red(b), green(b), blue(b));
}

int nearestLevel(int value) {
  int best = 0;
  for (int i = 1; i < static_cast<int>(kCubeLevels.size()); ++i)
    if (std::abs(kCubeLevels[static_cast<std::size_t>(i)] - value) <
        std::abs(kCubeLevels[static_cast<std::size_t>(best)] - value))
      best = i;
  return best;
}

int brightness(std::uint32_t rgb) { return 3 * red(rgb) + 4 * green(rgb) + 2 * blue(rgb); }

}  // namespace

int nearestAnsiColour(std::uint32_t rgb) {
  int best = 0;
  int bestDistance = std::numeric_limits<int>::max();
  for (int i = 0; i < static_cast<int>(kAnsiColours.size()); ++i) {
    const int d = distance(rgb, kAnsiColours[static_cast<std::size_t>(i)]);
    if (d < bestDistance) {
      best = i;
      bestDistance = d;
    }
  }
  return best;
}

int nearest256Colour(std::uint32_t rgb) {
  const int r = nearestLevel(red(rgb)), g = nearestLevel(green(rgb)), b = nearestLevel(blue(rgb));
  auto level = [](int index) { return kCubeLevels[static_cast<std::size_t>(index)]; };
  const int cubeDistance = distance(red(rgb), green(rgb), blue(rgb), level(r), level(g), level(b));
  const int average = (red(rgb) + green(rgb) + blue(rgb)) / 3;
  const int grey = std::clamp((average - 8 + 5) / 10, 0, kGreys - 1);
  const int greyLevel = 8 + 10 * grey;
  const int greyDistance = distance(red(rgb), green(rgb), blue(rgb), greyLevel, greyLevel, greyLevel);
  if (greyDistance < cubeDistance) return kFirstGrey + grey;
  return kFirstCubeColour + 36 * r + 6 * g + b;
}

TerminalPainter::TerminalPainter(const TerminalDescription& terminal) : terminal_(terminal) {}

TerminalPainter::Pen TerminalPainter::penFor(Surface::CellColours colours) const {
  const std::uint32_t fg = colours.foreground & 0xFFFFFF, bg = colours.background & 0xFFFFFF;
  Pen pen;
  if (terminal_.directColour) {
    // Below 8 the terminal reads a colour number, not a colour: those are all but black.
    pen.foreground = fg < 8 ? 0 : static_cast<int>(fg);
    pen.background = bg < 8 ? 0 : static_cast<int>(bg);
  } else if (terminal_.colours >= 256) {
    pen.foreground = nearest256Colour(fg);
    pen.background = nearest256Colour(bg);
  } else if (terminal_.colours >= 16) {
    pen.foreground = nearestAnsiColour(fg);
    pen.background = nearestAnsiColour(bg);
  } else if (terminal_.colours >= 8) {
    // Eight colours: a bright foreground is the colour in bold, as the Linux console shows it.
    const int foreground = nearestAnsiColour(fg);
    pen.foreground = foreground & 7;
    pen.background = nearestAnsiColour(bg) & 7;
    pen.bold = foreground >= 8;
  } else {
    // No colours: light on dark as the terminal is, dark on light reversed, bright in bold.
    pen.reverse = brightness(bg) > brightness(fg);
    pen.bold = nearestAnsiColour(pen.reverse ? bg : fg) >= 8;
  }
  return pen;
}

void TerminalPainter::usePen(std::string& out, const Pen& pen) {
  if (penKnown_ && pen == pen_) return;
  const bool reset = !penKnown_ || (pen_.bold && !pen.bold) || (pen_.reverse && !pen.reverse) ||
                     (pen.foreground < 0 && pen_.foreground >= 0) || (pen.background < 0 && pen_.background >= 0);
  if (reset) {
    out += terminal_.resetAttributes;
    pen_ = Pen{};
    penKnown_ = true;
  }
  if (pen.bold && !pen_.bold) out += terminal_.bold;
  if (pen.reverse && !pen_.reverse) out += terminal_.reverse;
  if (pen.foreground >= 0 && pen.foreground != pen_.foreground) out += terminal_.foreground(pen.foreground);
  if (pen.background >= 0 && pen.background != pen_.background) out += terminal_.background(pen.background);
  pen_ = pen;
}

void TerminalPainter::moveTo(std::string& out, int row, int column) {
  if (row_ == row && column_ == column) return;
  if (row_ == row && column_ >= 0 && column > column_ && column - column_ <= kLongestRewrite && penKnown_) {
    bool samePen = true;
    for (int c = column_; c < column && samePen; ++c)
      samePen = shown_[static_cast<std::size_t>(row * Surface::kColumns + c)].pen == pen_;
    if (samePen) {
      for (int c = column_; c < column; ++c)
        out += cp437CharToUtf8(shown_[static_cast<std::size_t>(row * Surface::kColumns + c)].character);
      column_ = column;
      return;
    }
  }
  out += terminal_.cursorAddress(row, column);
  row_ = row;
  column_ = column;
}

std::string TerminalPainter::paint(const Surface& surface) {
  std::string out;
  if (!valid_) {
    out += terminal_.resetAttributes;
    pen_ = Pen{};
    penKnown_ = true;
    out += terminal_.clearScreen;
    row_ = column_ = terminal_.clearScreen.empty() ? -1 : 0;  // clear homes the cursor
    // Nothing is shown: every cell differs from this.
    shown_.fill(Shown{0, Pen{-2, -2, false, false}});
    if (terminal_.clearScreen.empty()) {
      // Without clear, blanks in the terminal's own colours stand for it.
      for (Shown& cell : shown_) cell = Shown{' ', Pen{}};
    }
    cursorShown_ = -1;
    valid_ = true;
  }
  // A character in the terminal's bottom right corner scrolls a terminal that
  // wraps at once; it is written with the wrap off, or not at all.
  const bool cornerScrolls = terminal_.autoMargins && !terminal_.lateWrap && rows_ == Surface::kRows &&
                             columns_ == Surface::kColumns;
  for (int row = 0; row < Surface::kRows; ++row) {
    for (int column = 0; column < Surface::kColumns; ++column) {
      const std::size_t index = static_cast<std::size_t>(row * Surface::kColumns + column);
      const Shown want{surface.charAt(row + 1, column + 1), penFor(surface.coloursAt(row + 1, column + 1))};
      if (shown_[index] == want) continue;
      const bool corner = cornerScrolls && row == Surface::kRows - 1 && column == Surface::kColumns - 1;
      if (corner && terminal_.autoMarginsOff.empty()) continue;
      moveTo(out, row, column);
      usePen(out, want.pen);
      if (corner) out += terminal_.autoMarginsOff;
      out += cp437CharToUtf8(want.character);
      if (corner) out += terminal_.autoMarginsOn;
      shown_[index] = want;
      if (++column_ >= Surface::kColumns) row_ = column_ = -1;  // at the margin terminals differ
    }
  }
  int focusRow = surface.focusRow(), focusColumn = surface.focusColumn();
  if (focusRow == 0 && surface.cursorVisible()) {
    focusRow = surface.cursorRow();
    focusColumn = surface.cursorColumn();
  }
  if (focusRow > 0) {
    moveTo(out, focusRow - 1, focusColumn - 1);
    if (cursorShown_ != 1) out += terminal_.showCursor;
    cursorShown_ = 1;
  } else {
    if (cursorShown_ != 0) out += terminal_.hideCursor;
    cursorShown_ = 0;
  }
  return out;
}

}  // namespace almanouk
