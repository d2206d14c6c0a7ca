#pragma once
// The active calendar file in a full-screen, fixed-grid list editor (F2): the
// lines after the three header lines, 23 at a time, overtyped from column 3.
// The file is written when the editor is left (Esc, or F4 on to the settings
// screen); F3 brings back the file as it was when the editor opened.

#include <array>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "calendar/CalendarFile.h"
#include "calendar/CalendarModel.h"
#include "platform/FileResult.h"
#include "ui/Screen.h"

namespace almanouk {

class CalendarCache;
class Platform;
class ScreenBuffer;
struct SelectedDate;
struct Settings;

class ListEditor : public Screen {
 public:
  static constexpr int kRows = 23;          // window rows 1 to 23
  static constexpr int kTextColumn = 3;     // the first column of a line's text
  static constexpr int kLastTypedColumn = 75;
  static constexpr int kLastReadColumn = 78;
  static constexpr int kShownLength = kLastReadColumn - kTextColumn + 1;
  static_assert(kShownLength == kLongestShownEntry);
  static constexpr std::size_t kMinLines = 4000;

  // clipboard: the line copied at an earlier opening; the result hands it back as it is then.
  ListEditor(Platform& platform, ScreenBuffer& buffer, const Settings& settings, const SelectedDate& date,
             CalendarCache& calendars, std::string clipboard)
      : platform_(platform),
        buffer_(buffer),
        settings_(settings),
        date_(date),
        calendars_(calendars),
        clipboard_(std::move(clipboard)) {}

  void open() override;
  void draw() override;
  bool handle(Key key) override;
  // The days ahead read again, and the settings screen next after F4.
  ScreenResult result() override;

  // The model, for the tests: the lines after the header, and the window.
  const std::vector<std::string>& lines() const { return lines_; }
  int top() const { return top_; }

 private:
  // The calendar's lines: the header lines aside, the rest into the list.
  void load(std::span<const std::string_view> file);
  void placeWindow();
  void drawWindow();
  // Lines that count on no day stand out in grey; the one under the cursor says why on the bottom row.
  void markLinesThatDoNotCount(const std::vector<LineStanding>& shown);
  std::vector<std::string> newDeadLinePlaces() const;
  std::string typedDeadLinesMessage() const;
  bool typedEndAboveLines() const;
  void drawRow(int row, const std::string& text);
  std::string readBack(int row) const;
  void storeRow(int row);
  void storeWindow();
  int topLimit() const { return static_cast<int>(lines_.size()) - kRows; }
  int cursorIndex() const { return top_ + row_ - 1; }
  // The calendar's own header lines, as the readers find them when the editor
  // opens, and the two lines above "Maandelijks" take no edit at all; a line
  // typed here never becomes one of them.
  bool isProtected(int index) const { return fixed_[static_cast<std::size_t>(index)]; }

  // False when the key leaves the editor (Esc, F3, F4).
  bool handleKey(Key key);
  void handleExtended(Key key);
  void handleCharacter(char c, bool afterLastColumn);
  void moveUp();
  void moveDown();
  void insertLine(int index);
  void deleteLine(int index);
  void newLine();
  void shiftCells(bool right);
  void typeCharacter(char c);
  void restore();
  std::string backupFailedMessage() const;
  // The file as the save writes it: the header lines, the lines up to the end line, the end.
  std::vector<std::string> fileLines() const;
  FileResult save();

  Platform& platform_;
  ScreenBuffer& buffer_;
  const Settings& settings_;
  const SelectedDate& date_;
  CalendarCache& calendars_;
  std::string clipboard_;
  std::string calFile_;
  std::array<std::string, 3> header_;
  std::vector<std::string> lines_;
  std::vector<bool> fixed_;  // per line of lines_: protected
  std::vector<std::string> deadAtOpening_;  // the lines that counted on no day when the file was read, sorted
  bool noticeShown_ = false;  // the bottom row holds a notice
  std::array<std::string, kRows + 1> shownFrom_;  // the line each window row was drawn from
  int top_ = 0;
  int row_ = 3;
  int column_ = kTextColumn;
  bool typedAtLast_ = false;  // a character was just typed into column 75
  bool restoreRequested_ = false;
  bool edited_ = false;  // a key changed a line since the editor opened
  bool saveFailed_ = false;  // a save failed: the next leave goes, the lines kept beside the file
  std::string recovery_;     // where they were kept, for the month view's status line
  bool toSettings_ = false;
  enum class Help { None, AtOpening, OnRequest };
  Help help_ = Help::None;  // the help box is shown and the next key closes it
  FileResult backup_;    // the backup copy made when the editor opened, or why there is none
  std::string read_;     // the file as the editor read it
  bool changedElsewhere_ = false;  // another program changed it meanwhile
  std::string message_;  // a failure, told on the bottom row until the next key
};

}  // namespace almanouk
