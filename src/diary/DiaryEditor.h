#pragma once
// The diary page of the selected date, full-screen: an overtype editor on a
// fixed grid of 80-column lines, every typed character in the page file at
// once. Leaves for the previous or next day (Shift+Page Up/Down), the previous
// or next written page (Ctrl+Page Up/Down), today (F3) or the month view (Esc).

#include <cstdint>
#include <string>
#include <string_view>

#include "screen/SubScreen.h"

namespace almanouk {

class BinaryFile;
class Platform;
class ScreenBuffer;
struct SelectedDate;
struct Settings;

class DiaryEditor : public SubScreen {
 public:
  static constexpr int kTextRows = 23;
  static constexpr int kLineLength = 80;
  static constexpr int kViewBytes = kTextRows * kLineLength;  // 1840
  // The view cannot move further down: line 3792 is the last one shown.
  static constexpr std::int64_t kLastViewTop = 301521;

  DiaryEditor(Platform& platform, ScreenBuffer& buffer, const Settings& settings, SelectedDate& date)
      : platform_(platform), buffer_(buffer), settings_(settings), date_(date) {}

  // The result carries the last extended key handled (with whether Shift was
  // down), and when the editor left for another page, the request to reopen it.
  ScreenResult run() override;

 private:
  enum class Flow { Stay, Leave, Close };

  void drawHeader();
  void drawStatusLine();
  void drawCursor(std::uint32_t foreground, std::uint32_t background);
  Flow handleExtended(int code);
  void handleCharacter(char c);

  // The page position (1-based) of a cell of the view.
  std::int64_t position(int row, int column) const { return viewTop_ + kLineLength * (row - 1) + column; }
  char pageByte(std::int64_t position, const std::string& bytes, std::int64_t from) const;
  void showView();
  void home();
  void end();
  void scrollDown();
  void scrollUp();
  void type(char c);
  // Writes characters from a cell on to the page and into the screen buffer;
  // false (and nothing changed) when the page cannot take them.
  bool putCells(int row, int column, std::string_view text);
  void shiftLine(bool right);
  void clearView();
  void showHelp();
  void moveRight();

  Platform& platform_;
  ScreenBuffer& buffer_;
  const Settings& settings_;
  SelectedDate& date_;
  BinaryFile* page_ = nullptr;
  std::int64_t viewTop_ = 1;
  int cursorRow_ = 2;
  int cursorColumn_ = 2;  // 0-based
  int repeatCount_ = 0;
  bool shift_ = false;
  std::string key_;
  int exitKeyCode_ = 0;
};

}  // namespace almanouk
