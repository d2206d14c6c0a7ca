#pragma once
// The surface's 80 x 25 cells as a terminal shows them: each character in
// UTF-8 (the code page's own symbols, box drawing and accents), its colours
// as near as the terminal's colours come. Only what changed since the last
// paint is sent.

#include <array>
#include <cstdint>
#include <string>

#include "platform/Surface.h"
#include "platform/terminal/TerminalDescription.h"

namespace almanouk {

// The VGA colour (0-15, in ANSI order: black, red, green, yellow, blue,
// magenta, cyan, white, then the bright ones) nearest to a 0xRRGGBB colour.
int nearestAnsiColour(std::uint32_t rgb);
// The colour of xterm's 256 (its 6 x 6 x 6 cube and grey ramp, 16-255) nearest to it.
int nearest256Colour(std::uint32_t rgb);

class TerminalPainter {
 public:
  explicit TerminalPainter(const TerminalDescription& terminal);

  // What the terminal shows is unknown (a new or resized terminal, back from
  // a suspension): the next paint clears it and draws every cell.
  void invalidate() { valid_ = false; }
  // The bytes that bring the terminal from what it shows to the surface,
  // with the cursor on the focus (the text cursor where that is shown).
  // Empty when nothing changed.
  std::string paint(const Surface& surface);
  // Whether the 80 x 25 cells fill the terminal's last column and row, where
  // a character written last may scroll the screen.
  void setTerminalSize(int rows, int columns) {
    rows_ = rows;
    columns_ = columns;
  }

  // What a pen is in terminal terms: colour numbers (-1: the terminal's own) and attributes.
  struct Pen {
    int foreground = -1, background = -1;
    bool bold = false, reverse = false;
    bool operator==(const Pen&) const = default;
  };
  Pen penFor(Surface::CellColours colours) const;

 private:
  struct Shown {
    unsigned char character = ' ';
    Pen pen;
    bool operator==(const Shown&) const = default;
  };
  void moveTo(std::string& out, int row, int column);
  void usePen(std::string& out, const Pen& pen);

  const TerminalDescription& terminal_;
  std::array<Shown, Surface::kColumns * Surface::kRows> shown_{};
  bool valid_ = false;
  Pen pen_;
  bool penKnown_ = false;
  int row_ = -1, column_ = -1;  // where the terminal's cursor stands; -1 unknown
  int cursorShown_ = -1;        // 0 hidden, 1 shown, -1 unknown
  int rows_ = Surface::kRows, columns_ = Surface::kColumns;
};

}  // namespace almanouk
