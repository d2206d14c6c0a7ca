#pragma once
// The diary page of the selected date, full-screen: an overtype editor on a
// fixed grid of 80-column lines, every typed character in the page file at
// once. Leaves for the previous or next day (Shift+Page Up/Down), the previous
// or next written page (Ctrl+Page Up/Down), today (F3) or the month view (Esc).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "diary/DiaryStore.h"
#include "platform/FileLayer.h"
#include "ui/Screen.h"

namespace almanouk {

class BinaryFile;
class Platform;
class ScreenBuffer;
struct SelectedDate;
struct Settings;

class DiaryEditor : public Screen {
 public:
  static constexpr int kTextRows = 23;
  static constexpr int kLineLength = kPageLineLength;
  static constexpr int kViewBytes = kTextRows * kLineLength;  // 1840
  // The view cannot move further down: line 3792 is the last one shown.
  static constexpr std::int64_t kLastViewTop = 301521;

  // With a position, the cursor starts there (1-based on the page) rather than at the top.
  DiaryEditor(Platform& platform, ScreenBuffer& buffer, const Settings& settings, const SelectedDate& date,
              std::optional<std::int64_t> startPosition = {});
  ~DiaryEditor() override;

  void open() override;
  void draw() override;
  bool handle(Key key) override;
  // Saves the page; when the editor left for another day, the date to go to
  // and the diary to open again there.
  ScreenResult result() override;

 private:
  enum class Leave { Stay, Close, PreviousDay, NextDay, Today, PreviousPage, NextPage };

  void drawHeader();
  void drawStatusLine();
  void drawCursor(std::uint32_t foreground, std::uint32_t background);
  Leave handleExtended(Key key);
  void handleCharacter(char c);

  // The page position (1-based) of a cell of the view.
  std::int64_t position(int row, int column) const { return viewTop_ + kLineLength * (row - 1) + column; }
  char pageByte(std::int64_t position, const std::string& bytes, std::int64_t from) const;
  void showView();
  void home();
  void showPosition(std::int64_t position);
  void end();
  void moveUp();
  void moveDown();
  void scrollDown();
  void scrollUp();
  void type(char c);
  // Writes characters from a cell on to the page and into the screen buffer;
  // false when the page cannot take them (they are shown all the same, and
  // the status line says so).
  [[nodiscard]] bool putCells(int row, int column, std::string_view text);
  [[nodiscard]] bool writeCells(int row, int column, std::string_view text);
  // The page on disk is no longer the one this editor last wrote.
  bool changedElsewhere();
  void shiftLine(bool right);
  void clearView();
  void showHelp();
  void moveRight();

  Platform& platform_;
  ScreenBuffer& buffer_;
  const Settings& settings_;
  const SelectedDate& date_;
  std::optional<std::int64_t> startPosition_;
  std::string name_;
  std::unique_ptr<BinaryFile> page_;
  std::int64_t viewTop_ = 1;
  int cursorRow_ = 2;
  int cursorColumn_ = 2;  // 0-based
  bool helpShown_ = false;
  bool changed_ = false;  // this visit has changed the page
  std::optional<FileVersion> written_;  // the page as this editor last left it
  Leave leave_ = Leave::Stay;
  std::string message_;  // a write that failed, told on the status line
};

}  // namespace almanouk
