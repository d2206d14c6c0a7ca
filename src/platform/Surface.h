#pragma once

#include <array>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>
#include <string_view>
#include <vector>

namespace almanouk {

// Memory that comes zeroed from the system and is not written to be so: a
// surface nothing is drawn on (the watcher's) takes no room of its own.
template <typename T>
struct ZeroedPages {
  using value_type = T;
  ZeroedPages() = default;
  template <typename U>
  ZeroedPages(const ZeroedPages<U>&) {}
  T* allocate(std::size_t count) {
    if (void* memory = std::calloc(count, sizeof(T))) return static_cast<T*>(memory);
    throw std::bad_alloc();
  }
  void deallocate(T* memory, std::size_t) { std::free(memory); }
  // Left as calloc made it: zero.
  template <typename U>
  void construct(U* at) {
    ::new (static_cast<void*>(at)) U;
  }
  template <typename U, typename... Arguments>
  void construct(U* at, Arguments&&... arguments) {
    ::new (static_cast<void*>(at)) U(std::forward<Arguments>(arguments)...);
  }
  friend bool operator==(const ZeroedPages&, const ZeroedPages&) { return true; }
};

// The 640 x 400 pixel surface with its 80 x 25 text grid of 8 x 16 cells.
// Pixel access is a plain array access: gradient bars and the day box read
// and write thousands of pixels per frame.
class Surface {
 public:
  static constexpr int kWidth = 640;
  static constexpr int kHeight = 400;
  static constexpr int kColumns = 80;
  static constexpr int kRows = 25;
  static constexpr int kCellWidth = 8;
  static constexpr int kCellHeight = 16;
  using Pixels = std::vector<std::uint32_t, ZeroedPages<std::uint32_t>>;

  Surface();

  // Colours are 0xAARRGGBB; only the low 24 bits count. Out-of-surface positions are ignored.
  void putPixel(int x, int y, std::uint32_t colour) {
    if (static_cast<unsigned>(x) < kWidth && static_cast<unsigned>(y) < kHeight) {
      pixels_[static_cast<std::size_t>(y) * kWidth + static_cast<std::size_t>(x)] = colour & 0xFFFFFF;
      changed_ = true;
    }
  }
  std::uint32_t pixelAt(int x, int y) const {
    if (static_cast<unsigned>(x) < kWidth && static_cast<unsigned>(y) < kHeight)
      return pixels_[static_cast<std::size_t>(y) * kWidth + static_cast<std::size_t>(x)];
    return 0;
  }
  // Straight line one pixel wide, both end points included.
  void drawLine(int x1, int y1, int x2, int y2, std::uint32_t colour);

  // Text cursor, 1-based. A row or column of 0 leaves it; visible -1 leaves the flag.
  void moveCursor(int row, int column, int visible = -1);
  int cursorRow() const { return cursorRow_; }
  int cursorColumn() const { return cursorColumn_; }
  bool cursorVisible() const { return cursorVisible_; }
  void setColours(std::uint32_t foreground, std::uint32_t background);
  // Prints at the cursor; wraps after column 80 and never scrolls: text past
  // row 25 is not drawn.
  void printText(std::string_view textCp437, bool lineEnd);
  // Fills the surface with the background colour; cursor to row 1, column 1, no focus.
  void clearScreen();

  // Character last printed in each cell (code page 437), for text dumps.
  unsigned char charAt(int row, int column) const;
  // The colours that character was printed in: a terminal shows the cells, not the pixels.
  struct CellColours {
    std::uint32_t foreground, background;
  };
  CellColours coloursAt(int row, int column) const;

  // Where the user's attention is (the selected day, a field, the caret),
  // 1-based; 0 for nowhere. The window shows it in colour only; a terminal
  // puts its cursor there, and screen readers follow that cursor.
  void setFocus(int row, int column);
  int focusRow() const { return focusRow_; }
  int focusColumn() const { return focusColumn_; }

  // Everything drawn and the cursor, to put back after something was drawn over it.
  struct Saved {
    Pixels pixels;
    std::array<unsigned char, kColumns * kRows> chars;
    std::array<CellColours, kColumns * kRows> colours;
    int cursorRow, cursorColumn;
    int focusRow, focusColumn;
    bool cursorVisible;
    std::uint32_t foreground, background;
  };
  Saved save() const;
  void restore(const Saved& saved);

  const std::uint32_t* pixels() const { return pixels_.data(); }
  // True when something was drawn since the last call; lets a window upload only on change.
  bool takeChanged() {
    bool was = changed_;
    changed_ = false;
    return was;
  }

 private:
  void drawGlyph(int row, int column, unsigned char c);

  Pixels pixels_;
  std::array<unsigned char, kColumns * kRows> chars_{};
  std::array<CellColours, kColumns * kRows> colours_{};
  int cursorRow_ = 1;
  int cursorColumn_ = 1;
  bool cursorVisible_ = false;
  int focusRow_ = 0;
  int focusColumn_ = 0;
  std::uint32_t foreground_ = 0xC8C8C8;
  std::uint32_t background_ = 0;
  bool changed_ = true;
};

}  // namespace almanouk
