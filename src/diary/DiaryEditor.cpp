#include "diary/DiaryEditor.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "calendar/Dates.h"
#include "diary/DiaryStore.h"
#include "platform/Keys.h"
#include "platform/NumberedFiles.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "screen/ScreenBuffer.h"
#include "settings/Settings.h"

namespace almanouk {
namespace {

constexpr BarStyle kDiaryBar{0x000000, 0xE2961D, 255, 179, 78, 0x000000};
constexpr std::uint32_t kCursorForeground = 0x000000;
constexpr std::uint32_t kCursorBackground = 0xFF00FF;
constexpr std::uint32_t kTextForeground = 0xC8C8C8;
constexpr std::uint32_t kTextBackground = 0x000000;
constexpr std::uint32_t kHelpForeground = 0x07AE2C;
constexpr std::uint32_t kHelpBackground = 0x010628;
constexpr int kPageRepeat = 21;
constexpr int kLastColumn = DiaryEditor::kLineLength - 1;

constexpr std::array<const char*, 11> kHelpLines = {
    "┌──────────────────────────────────────────────┐", "│ De dagboekfunctie is een mooie toepassing om │",
    "│ uw hele leven in te vermelden. De pagina kan │", "│ beschreven worden en met Ctrl-L leeg gemaakt │",
    "│ worden. Met PgUp/PgDn kan een page verder of │", "│ terug gebladerd worden en met Shft-PgUp/PgDn │",
    "│ naar de vorige  of de volgende dag bladeren. │", "│ Met Ctrl-PgUp/PgDn  naar de  vorige/volgende │",
    "│ beschreven pagina springen.  En met F3 terug │", "│ naar vandaag. Met Esc weer naar de almanouk. │",
    "└──────────────────────────────────────────────┘"};

bool isFirstDay(const SelectedDate& date) { return date.year == kFirstYear && date.month == 1 && date.day == 1; }
bool isLastDay(const SelectedDate& date) {
  return date.year > kLastYear || (date.year == kLastYear && date.month == 12 && date.day == 31);
}

}  // namespace

ScreenResult DiaryEditor::run() {
  buffer_.clearBuffer();
  drawHeader();
  buffer_.putText(24, 0, repeat(' ', kLineLength));
  const std::string name = pageFileName(date_, settings_.diaryId);
  BinaryFile page(platform_, name, 1);
  page_ = &page;
  repeatCount_ = 0;
  exitKeyCode_ = 0;
  home();
  Flow flow = Flow::Stay;
  while (flow == Flow::Stay) {
    drawStatusLine();
    drawCursor(kCursorForeground, kCursorBackground);
    if (repeatCount_ == 0) key_ = platform_.waitForKey(3);
    drawCursor(kTextForeground, kTextBackground);
    shift_ = platform_.shiftHeld();
    repeatCount_ = std::max(repeatCount_ - 1, 0);
    if (key_.size() == 2) {
      flow = handleExtended(keys::extendedCode(key_));
    } else if (keys::isCharacter(key_, keys::kEscape)) {
      flow = Flow::Close;
    } else if (key_.size() == 1) {
      handleCharacter(key_[0]);
    }
  }
  savePage(platform_, page, name);
  page_ = nullptr;

  ScreenResult result;
  result.exitKeyCode = exitKeyCode_;
  result.redrawMonthView = true;
  if (flow == Flow::Leave) {
    if (exitKeyCode_ == keys::kCtrlPageUp || exitKeyCode_ == keys::kCtrlPageDown) {
      Direction direction = exitKeyCode_ == keys::kCtrlPageUp ? Direction::Previous : Direction::Next;
      if (auto target = findWrittenPage(platform_, settings_.diaryId, name, direction)) {
        CalendarDay day = *pageDay(*target);
        setDate(date_, day.day, day.month, day.year);
      }
    }
    // The main loop reopens the editor on the new date; Shift+Page Up/Down still has to move it.
    result.exitWithShift = shift_;
    result.diaryAgain = true;
    result.skipWait = 1;
    result.nextKey = keys::kNothing;
  }
  return result;
}

void DiaryEditor::drawHeader() {
  char date[16];
  std::snprintf(date, sizeof date, "%02d-%02d-%04d", date_.day % 100, date_.month % 100, date_.year % 10000);
  std::string header = "  " + left(settings_.calFile, 8) + std::string(22, ' ') + "[" +
                       std::string(weekdayAbbreviation(date_.weekday)) + "," + date + "]" + std::string(22, ' ') +
                       "[F1=Help]  ";
  buffer_.drawBar(1, 1, padRight(header, kLineLength), kDiaryBar);
}

// Padded to the whole row: a shorter text must not leave the end of a longer one behind.
void DiaryEditor::drawStatusLine() {
  std::int64_t line = (viewTop_ - 1) / kLineLength + cursorRow_;
  std::string text = "  [" + std::to_string(line) + "," + toText(cursorColumn_ + 1) + "]   ";
  buffer_.drawBar(25, 1, padRight(text, kLineLength), kDiaryBar);
}

void DiaryEditor::drawCursor(std::uint32_t foreground, std::uint32_t background) {
  platform_.moveCursor(cursorRow_ + 1, cursorColumn_ + 1);
  platform_.setColours(foreground, background);
  platform_.printText(std::string(1, static_cast<char>(buffer_.at(cursorRow_, cursorColumn_).character)));
}

// The rows are tried in this order, so that one key may lead into the next:
// Right past the end of a line goes on as Down, Left before its start as Up.
DiaryEditor::Flow DiaryEditor::handleExtended(int code) {
  exitKeyCode_ = code;
  if (code == keys::kRight && ++cursorColumn_ > kLastColumn) {
    cursorColumn_ = 0;
    code = keys::kDown;
  }
  if (code == keys::kLeft && --cursorColumn_ < 0) {
    cursorColumn_ = kLastColumn;
    code = keys::kUp;
  }
  if (code == keys::kUp && --cursorRow_ < 1) {
    cursorRow_ = 1;
    scrollUp();
  }
  if (code == keys::kDown && ++cursorRow_ > kTextRows) {
    cursorRow_ = kTextRows;
    scrollDown();
  }
  if ((code == keys::kPageUp || code == keys::kPageDown) && !shift_) {
    // The next passes move line by line without reading keys.
    repeatCount_ = kPageRepeat;
    code = code == keys::kPageUp ? keys::kUp : keys::kDown;
    key_ = keys::extended(code);
  }
  switch (code) {
    case keys::kHome: home(); break;
    case keys::kEnd: end(); break;
    case keys::kCtrlPageUp:
    case keys::kCtrlPageDown: return Flow::Leave;
    case keys::kF3: {
      CalendarDay today = readSystemDate(platform_.currentDate());
      setDate(date_, today.day, today.month, today.year);
      return Flow::Leave;
    }
    case keys::kF1: showHelp(); break;
    case keys::kPageUp:
      if (!isFirstDay(date_)) return Flow::Leave;
      key_ = keys::kNothing;  // nothing before 1 January 1901
      exitKeyCode_ = 0;
      break;
    case keys::kPageDown:
      if (!isLastDay(date_)) return Flow::Leave;
      key_ = keys::kNothing;  // nothing after 31 December 2099
      exitKeyCode_ = 0;
      break;
    case keys::kInsert: shiftLine(true); break;
    case keys::kDelete: shiftLine(false); break;
    default: break;
  }
  return Flow::Stay;
}

void DiaryEditor::handleCharacter(char c) {
  switch (c) {
    case keys::kBackspace:
      if (--cursorColumn_ < 0) {
        cursorColumn_ = kLastColumn;
        if (--cursorRow_ < 1) {
          cursorRow_ = 1;
          scrollUp();
        }
      }
      putCells(cursorRow_, cursorColumn_, " ");
      break;
    case keys::kEnter:
      // The next paragraph starts one empty line lower, indented by two.
      cursorColumn_ = 2;
      cursorRow_ += 2;
      for (int i = 0; i < 2 && cursorRow_ > kTextRows; ++i) {
        scrollDown();
        --cursorRow_;
      }
      break;
    case keys::kCtrlL: clearView(); break;
    default:
      if (static_cast<unsigned char>(c) >= 32) type(c);
      break;
  }
}

char DiaryEditor::pageByte(std::int64_t position, const std::string& bytes, std::int64_t from) const {
  std::int64_t index = position - from;
  if (index < 0 || index >= static_cast<std::int64_t>(bytes.size()) || bytes[static_cast<std::size_t>(index)] == '\0')
    return ' ';
  return bytes[static_cast<std::size_t>(index)];
}

void DiaryEditor::showView() {
  const std::string bytes = page_->read(viewTop_, kViewBytes);
  buffer_.useTheme();
  const int attribute = buffer_.currentAttribute();
  for (int row = 1; row <= kTextRows; ++row)
    for (int column = 0; column < kLineLength; ++column)
      buffer_.at(row, column) = Cell{static_cast<unsigned char>(pageByte(position(row, column), bytes, viewTop_)), attribute};
  buffer_.renderBuffer();
}

// An open page is at least 23 lines long, so every cell shown has its byte.
void DiaryEditor::home() {
  viewTop_ = 1;
  cursorRow_ = 2;
  cursorColumn_ = 2;
  std::int64_t length = page_->length();
  if (length < kViewBytes) {
    page_->write(length + 1, std::string(static_cast<std::size_t>(kViewBytes - length), ' '));
    page_->flush();
  }
  showView();
}

// The view on the last 23 lines of the page; the cursor keeps its place.
void DiaryEditor::end() {
  std::int64_t length = page_->length();
  std::int64_t rounded = length == 0 ? 0 : kLineLength + kLineLength * ((length - 1) / kLineLength);
  if (rounded > length) {
    page_->write(length + 1, std::string(static_cast<std::size_t>(rounded - length), ' '));
    page_->flush();
  }
  viewTop_ = std::clamp<std::int64_t>(rounded - (kViewBytes - 1), 1, kLastViewTop);
  showView();
}

void DiaryEditor::scrollDown() {
  if (viewTop_ + kLineLength > kLastViewTop) {
    buffer_.renderBuffer();  // the page cannot grow past line 3792
    return;
  }
  viewTop_ += kLineLength;
  for (int row = 1; row < kTextRows; ++row)
    for (int column = 0; column < kLineLength; ++column)
      buffer_.at(row, column).character = buffer_.at(row + 1, column).character;
  std::int64_t first = position(kTextRows, 0);
  const std::string bytes = page_->read(first, kLineLength);
  for (int column = 0; column < kLineLength; ++column)
    buffer_.at(kTextRows, column) = Cell{static_cast<unsigned char>(pageByte(first + column, bytes, first)),
                                         buffer_.theme().themeBg * 16};
  buffer_.renderBuffer();
}

void DiaryEditor::scrollUp() {
  if (viewTop_ - kLineLength < 1) {
    viewTop_ = 1;
    buffer_.renderBuffer();
    return;
  }
  viewTop_ -= kLineLength;
  for (int row = kTextRows; row > 1; --row)
    for (int column = 0; column < kLineLength; ++column)
      buffer_.at(row, column).character = buffer_.at(row - 1, column).character;
  const std::string bytes = page_->read(viewTop_, kLineLength);
  for (int column = 0; column < kLineLength; ++column)
    buffer_.at(1, column).character = static_cast<unsigned char>(pageByte(viewTop_ + column, bytes, viewTop_));
  buffer_.renderBuffer();
}

// Bytes beyond the page's end are written with blanks before them, so no gap
// of zero bytes ever stands in a page; the bytes reach the file before the
// next key is read.
bool DiaryEditor::putCells(int row, int column, std::string_view text) {
  std::int64_t at = position(row, column);
  std::int64_t length = page_->length();
  std::string bytes(text);
  if (at > length + 1) {
    bytes.insert(0, static_cast<std::size_t>(at - length - 1), ' ');
    at = length + 1;
  }
  if (!page_->write(at, bytes) || !page_->flush()) return false;
  buffer_.useTheme();
  int index = row * kLineLength + column;  // the view's rows follow each other in the buffer as in the page
  for (char c : text) buffer_.cell(index++) = Cell{static_cast<unsigned char>(c), buffer_.currentAttribute()};
  return true;
}

void DiaryEditor::type(char c) {
  if (!putCells(cursorRow_, cursorColumn_, std::string(1, c))) return;  // a page that cannot be written takes nothing
  platform_.moveCursor(cursorRow_ + 1, cursorColumn_ + 1);
  platform_.setColours(kTextForeground, kTextBackground);
  platform_.printText(std::string(1, c));
  moveRight();
}

void DiaryEditor::moveRight() {
  if (++cursorColumn_ <= kLastColumn) return;
  cursorColumn_ = 0;
  if (++cursorRow_ > kTextRows) {
    cursorRow_ = kTextRows;
    scrollDown();
  }
}

// Ins opens a blank at the cursor (the line's last character is lost); Del
// closes it up (the line's last cell becomes blank). Nothing moves to another line.
void DiaryEditor::shiftLine(bool right) {
  std::string line;
  for (int column = cursorColumn_; column < kLineLength; ++column)
    line += static_cast<char>(buffer_.at(cursorRow_, column).character);
  if (right) {
    line.insert(line.begin(), ' ');
    line.pop_back();
  } else {
    line.erase(line.begin());
    line += ' ';
  }
  putCells(cursorRow_, cursorColumn_, line);
  buffer_.renderBuffer();
}

// Ctrl+L: the 23 lines shown become blank; text above or below them stays.
void DiaryEditor::clearView() {
  putCells(1, 0, std::string(kViewBytes, ' '));
  buffer_.renderBuffer();
}

// The key that closes the box is taken; the next render removes the box.
void DiaryEditor::showHelp() {
  platform_.setColours(kHelpForeground, kHelpBackground);
  for (std::size_t i = 0; i < kHelpLines.size(); ++i) {
    platform_.moveCursor(7 + static_cast<int>(i), 17);
    platform_.printText(cp437(kHelpLines[i]));
  }
  platform_.waitForKey(3);
  buffer_.renderBuffer();
}

}  // namespace almanouk
