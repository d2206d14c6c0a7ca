#include "diary/DiaryEditor.h"

#include <algorithm>
#include <array>

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
constexpr int kHelpRow = 6, kHelpColumn = 16;  // the help box's top left corner

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

DiaryEditor::DiaryEditor(Platform& platform, ScreenBuffer& buffer, const Settings& settings, const SelectedDate& date,
                         std::optional<std::int64_t> startPosition)
    : platform_(platform), buffer_(buffer), settings_(settings), date_(date), startPosition_(startPosition) {}

DiaryEditor::~DiaryEditor() = default;

void DiaryEditor::open() {
  buffer_.clearBuffer();
  drawHeader();
  buffer_.putText(ScreenBuffer::kStatusRow, 0, repeat(' ', ScreenBuffer::kColumns));
  name_ = pageFileName(date_, settings_.diaryId);
  page_ = std::make_unique<BinaryFile>(platform_, name_, 1);
  home();
  if (startPosition_) showPosition(*startPosition_);
  written_ = platform_.files().version(name_);
}

void DiaryEditor::draw() {
  drawStatusLine();
  if (helpShown_) return;  // not over the help box
  drawCursor(kCursorForeground, kCursorBackground);
  focusAt(platform_, cursorRow_, cursorColumn_);
}

bool DiaryEditor::handle(Key key) {
  if (helpShown_) {
    // The key that closes the help box is taken; the render removes the box.
    helpShown_ = false;
    buffer_.renderBuffer();
    return true;
  }
  drawCursor(kTextForeground, kTextBackground);
  if (key.isExtended()) {
    leave_ = handleExtended(key);
  } else if (key.is(keys::kEscape)) {
    leave_ = Leave::Close;
  } else if (key.isCharacter()) {
    handleCharacter(key.character());
  }
  return leave_ == Leave::Stay;
}

ScreenResult DiaryEditor::result() {
  ScreenResult result;
  // A page another program changed meanwhile (a sync tool, a second machine)
  // is theirs now: it is neither cut nor deleted.
  if (changedElsewhere()) {
    static_cast<void>(page_->close());
    result.message = name_ + " was elders gewijzigd en blijft zoals die is";
  } else if (FileResult saved = savePage(platform_, *page_, name_); !saved) {
    result.message = saveFailedMessage(saved.error());
  }
  page_.reset();
  result.redrawMonthView = true;
  switch (leave_) {
    case Leave::Stay:
    case Leave::Close: return result;
    case Leave::PreviousDay: result.dayStep = -1; break;
    case Leave::NextDay: result.dayStep = 1; break;
    case Leave::Today: result.date = calendarDay(platform_.now()); break;
    case Leave::PreviousPage:
    case Leave::NextPage: {
      Direction direction = leave_ == Leave::PreviousPage ? Direction::Previous : Direction::Next;
      if (auto target = findWrittenPage(platform_, settings_.diaryId, name_, direction)) result.date = pageDay(*target);
      break;
    }
  }
  // The main loop opens the diary again on the new date.
  result.next = Input{{}, Command::Diary};
  return result;
}

void DiaryEditor::drawHeader() {
  const std::string date = dayText({date_.day, date_.month, date_.year});
  std::string header = "  " + left(settings_.calFile, 8) + std::string(22, ' ') + "[" +
                       std::string(weekdayAbbreviation(date_.weekday)) + "," + date + "]" + std::string(22, ' ') +
                       "[F1=Help]  ";
  buffer_.drawTitleBar(header, kDiaryBar);
}

// Padded to the whole row: a shorter text must not leave the end of a longer one behind.
void DiaryEditor::drawStatusLine() {
  std::int64_t line = (viewTop_ - 1) / kLineLength + cursorRow_;
  std::string text = "  [" + std::to_string(line) + "," + toText(cursorColumn_ + 1) + "]   ";
  buffer_.drawStatusBar(padRight(text + message_, ScreenBuffer::kColumns), kDiaryBar);
}

void DiaryEditor::drawCursor(std::uint32_t foreground, std::uint32_t background) {
  platform_.setColours(foreground, background);
  const auto shown = static_cast<char>(buffer_.at(cursorRow_, cursorColumn_).character);
  printAt(platform_, cursorRow_, cursorColumn_, std::string(1, shown));
}

// Right past the end of a line goes on as Down, Left before its start as Up.
DiaryEditor::Leave DiaryEditor::handleExtended(Key key) {
  switch (key.code()) {
    case KeyCode::Right:
      if (++cursorColumn_ > kLastColumn) {
        cursorColumn_ = 0;
        moveDown();
      }
      break;
    case KeyCode::Left:
      if (--cursorColumn_ < 0) {
        cursorColumn_ = kLastColumn;
        moveUp();
      }
      break;
    case KeyCode::Up: moveUp(); break;
    case KeyCode::Down: moveDown(); break;
    case KeyCode::PageUp:
      // Shift+Page Up: the previous day, except before 1 January 1901.
      if (key.shift()) return isFirstDay(date_) ? Leave::Stay : Leave::PreviousDay;
      for (int i = 0; i < kPageRepeat; ++i) moveUp();
      break;
    case KeyCode::PageDown:
      if (key.shift()) return isLastDay(date_) ? Leave::Stay : Leave::NextDay;
      for (int i = 0; i < kPageRepeat; ++i) moveDown();
      break;
    case KeyCode::Home: home(); break;
    case KeyCode::End: end(); break;
    case KeyCode::CtrlPageUp: return Leave::PreviousPage;
    case KeyCode::CtrlPageDown: return Leave::NextPage;
    case KeyCode::F3: return Leave::Today;
    case KeyCode::F1: showHelp(); break;
    case KeyCode::Insert: shiftLine(true); break;
    case KeyCode::Delete: shiftLine(false); break;
    default: break;
  }
  return Leave::Stay;
}

void DiaryEditor::moveUp() {
  if (--cursorRow_ >= 1) return;
  cursorRow_ = 1;
  scrollUp();
}

void DiaryEditor::moveDown() {
  if (++cursorRow_ <= kTextRows) return;
  cursorRow_ = kTextRows;
  scrollDown();
}

void DiaryEditor::handleCharacter(char c) {
  switch (c) {
    case keys::kBackspace.character():
      if (--cursorColumn_ < 0) {
        cursorColumn_ = kLastColumn;
        moveUp();
      }
      static_cast<void>(putCells(cursorRow_, cursorColumn_, " "));  // told on the status line
      break;
    case keys::kEnter.character():
      // The next paragraph starts one empty line lower, indented by two.
      cursorColumn_ = 2;
      cursorRow_ += 2;
      for (int i = 0; i < 2 && cursorRow_ > kTextRows; ++i) {
        scrollDown();
        --cursorRow_;
      }
      break;
    case keys::kCtrlL.character(): clearView(); break;
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
  // Padding that cannot be written only leaves the page shorter: the view shows blanks all the same.
  if (length < kViewBytes)
    static_cast<void>(page_->write(length + 1, std::string(static_cast<std::size_t>(kViewBytes - length), ' ')).andThen(page_->flush()));
  showView();
}

// The cursor on a position of the page, its line in the middle of the view where the page allows.
void DiaryEditor::showPosition(std::int64_t position) {
  const std::int64_t line = std::clamp<std::int64_t>((position - 1) / kLineLength, 0, (kLastViewTop - 1) / kLineLength + kTextRows - 1);
  const std::int64_t top = std::clamp<std::int64_t>(line - kTextRows / 2, 0, (kLastViewTop - 1) / kLineLength);
  viewTop_ = 1 + top * kLineLength;
  cursorRow_ = static_cast<int>(line - top) + 1;
  cursorColumn_ = static_cast<int>((position - 1) % kLineLength);
  showView();
}

// The view on the last 23 lines of the page; the cursor keeps its place.
void DiaryEditor::end() {
  std::int64_t length = page_->length();
  std::int64_t rounded = length == 0 ? 0 : kLineLength + kLineLength * ((length - 1) / kLineLength);
  if (rounded > length) {
    static_cast<void>(page_->write(length + 1, std::string(static_cast<std::size_t>(rounded - length), ' ')).andThen(page_->flush()));
    written_ = platform_.files().version(name_);
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
  if (!changedElsewhere()) return writeCells(row, column, text);
  // Another program wrote the page meanwhile: it is theirs, and nothing more is written into it.
  message_ = "De pagina is elders gewijzigd";
  buffer_.useTheme();
  int index = row * kLineLength + column;
  for (char c : text) buffer_.cell(index++) = Cell{static_cast<unsigned char>(c), buffer_.currentAttribute()};
  return false;
}

bool DiaryEditor::changedElsewhere() {
  std::optional<FileVersion> now = platform_.files().version(name_);
  return !now || !written_ || !now->sameAs(*written_);
}

bool DiaryEditor::writeCells(int row, int column, std::string_view text) {
  std::int64_t at = position(row, column);
  std::int64_t length = page_->length();
  std::string bytes(text);
  if (!changed_) {
    platform_.files().keepVersion(name_);  // the page as it was before this visit changed it
    changed_ = true;
  }
  if (at > length + 1) {
    bytes.insert(0, static_cast<std::size_t>(at - length - 1), ' ');
    at = length + 1;
  }
  FileResult written = page_->write(at, bytes).andThen(page_->flush());
  written_ = platform_.files().version(name_);
  // What was typed stays on the screen; the status line says it is not in the page.
  message_ = written ? std::string() : "Pagina niet opgeslagen (" + std::string(describe(written.error().problem)) + ")";
  buffer_.useTheme();
  int index = row * kLineLength + column;  // the view's rows follow each other in the buffer as in the page
  for (char c : text) buffer_.cell(index++) = Cell{static_cast<unsigned char>(c), buffer_.currentAttribute()};
  return written.ok();
}

void DiaryEditor::type(char c) {
  static_cast<void>(putCells(cursorRow_, cursorColumn_, std::string(1, c)));
  platform_.setColours(kTextForeground, kTextBackground);
  printAt(platform_, cursorRow_, cursorColumn_, std::string(1, c));
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
  static_cast<void>(putCells(cursorRow_, cursorColumn_, line));  // told on the status line
  buffer_.renderBuffer();
}

// Ctrl+L: the 23 lines shown become blank; text above or below them stays.
void DiaryEditor::clearView() {
  static_cast<void>(putCells(1, 0, std::string(kViewBytes, ' ')));  // told on the status line
  buffer_.renderBuffer();
}

// The next key closes the box.
void DiaryEditor::showHelp() {
  platform_.setColours(kHelpForeground, kHelpBackground);
  for (std::size_t i = 0; i < kHelpLines.size(); ++i)
    printAt(platform_, kHelpRow + static_cast<int>(i), kHelpColumn, cp437(kHelpLines[i]));
  helpShown_ = true;
}

}  // namespace almanouk
