#include "editors/ListEditor.h"

#include <algorithm>
#include <utility>

#include "calendar/CalendarCache.h"
#include "calendar/CalendarFile.h"
#include "calendar/Dates.h"
#include "help/HelpBox.h"
#include "platform/TemporaryFiles.h"
#include "platform/Keys.h"
#include "platform/NumberedFiles.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "calendar/CalendarModel.h"
#include "editors/Recovery.h"
#include "screen/Notice.h"
#include "screen/ScreenBuffer.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"

namespace almanouk {
namespace {

constexpr int kPageRows = 22;
constexpr int kClipboardLength = 79;       // columns 0 to 78 of a row, margin included
constexpr int kLastInsertColumn = 74;      // Ins and End look at columns up to here
constexpr int kProtectedLines = 2;         // the two empty lines before "Maandelijks"
constexpr char kMoreMarker = '\xAF';       // in column 79: the line goes on past what is shown
constexpr int kDeadForeground = 8;         // dark grey: a line that counts on no day
constexpr int kDeadForegroundOnGrey = 7;
constexpr std::string_view kAfterEnd = "na Einde";

// The calendar's headers with a blank line before and after them, as the
// format has them: an entry typed right under "December" is December's for
// every reader, and a blank line keeps it so for readers that want one.
void appendWithBlankLinesAroundHeaders(std::vector<std::string>& file, std::span<const std::string> lines,
                                       const SectionLayout& layout) {
  auto isHeader = [&layout](std::size_t i) {
    return std::find(layout.headers.begin(), layout.headers.end(), i) != layout.headers.end();
  };
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const bool header = isHeader(i);
    if (header && i > 0 && !file.back().empty()) file.emplace_back();
    file.push_back(lines[i]);
    if (header && i + 1 < lines.size() && !lines[i + 1].empty()) file.emplace_back();
  }
  if (!lines.empty() && !lines.back().empty()) file.emplace_back();
}

std::string withoutTrailingBlanks(std::string text) {
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

}  // namespace

void ListEditor::open() {
  calFile_ = settings_.calFile;
  buffer_.clearBuffer();
  // The calendar as the month view read it, unless it changed since: read once, copied and shown.
  std::shared_ptr<const CalendarModel> calendar = calendars_.get(calFile_);
  read_ = calendar->bytes();
  backup_ = platform_.fileExists(calFile_) ? writeCalendarLines(platform_, backupName(calFile_), calendar->lines())
                                           : FileResult(calFile_, FileProblem::NotFound);
  if (!backup_) message_ = backupFailedMessage();
  load(calendar->lines());
  placeWindow();
  drawWindow();
  help_ = Help::AtOpening;
}

void ListEditor::draw() {
  buffer_.colourKeywords();
  storeWindow();
  const std::vector<LineStanding> shown =
      standingsOf(SectionLayout::of(lines_, 0), lines_, static_cast<std::size_t>(top_), kRows);
  markLinesThatDoNotCount(shown);
  buffer_.renderBuffer();
  const std::string notice = message_.empty() ? standingReason(shown[static_cast<std::size_t>(row_ - 1)]) : message_;
  if (!notice.empty()) {
    drawNotice(buffer_, notice);
  } else if (noticeShown_) {
    clearNotice(buffer_);
  }
  noticeShown_ = !notice.empty();
  buffer_.repaintCell(row_, column_);
  if (help_ != Help::None) drawEditorHelp(platform_, buffer_);
}

bool ListEditor::handle(Key key) {
  message_.clear();
  const Help help = std::exchange(help_, Help::None);
  // The key that closes the box at opening is handled as the first key; on
  // F1 a character is handled, an extended key dropped.
  if (help == Help::OnRequest && key.isExtended()) return true;
  if (handleKey(key)) return true;
  if (restoreRequested_) {
    restore();
    return true;
  }
  // Nothing edited, nothing written: the file stays exactly as it is.
  if (!edited_) return false;
  // A save that fails keeps the editor open with the user's lines: space
  // can be freed and Esc pressed again, or F3 throws the changes away. A
  // second failure lets the user go: the lines are kept beside the file.
  storeWindow();
  if (typedEndAboveLines()) {
    message_ = "Niet opgeslagen: onder de getypte Einde staan nog regels; haal Einde weg of F3";
  } else if (FileResult saved = save(); saved) {
    return false;
  } else {
    message_ = saveFailedMessage(saved.error());
  }
  if (std::exchange(saveFailed_, true)) {
    recovery_ = recoveryMessage(keepForRecovery(platform_, calFile_, fileLines()));
    return false;
  }
  toSettings_ = false;
  return true;
}

ScreenResult ListEditor::result() {
  ScreenResult result;
  result.message = typedDeadLinesMessage();
  if (changedElsewhere_) result.message = changedElsewhereMessage(calFile_);
  if (!recovery_.empty()) result.message = recovery_;
  result.settings.daysAhead = readDaysAhead(platform_);
  result.redrawMonthView = true;
  result.listClipboard = clipboard_;
  if (toSettings_) result.next = Input{{}, Command::Settings};
  return result;
}

// The save ends at the first end line: one typed above other lines would take them with it.
bool ListEditor::typedEndAboveLines() const {
  const std::optional<std::size_t> end = SectionLayout::of(lines_, 0).end;
  return end && !fixed_[*end] &&
         std::any_of(lines_.begin() + static_cast<std::ptrdiff_t>(*end) + 1, lines_.end(),
                     [](const std::string& line) { return !line.empty(); });
}

// Header lines aside; every further line of the file in the list, which
// holds at least 4000 lines so that the window can go past the file's end.
void ListEditor::load(std::span<const std::string_view> file) {
  for (std::size_t i = 0; i < header_.size(); ++i) header_[i] = i < file.size() ? std::string(file[i]) : std::string();
  lines_.assign(file.begin() + static_cast<std::ptrdiff_t>(std::min(file.size(), header_.size())), file.end());
  if (lines_.size() < kMinLines) lines_.resize(kMinLines);
  const SectionLayout layout = SectionLayout::of(lines_, 0);
  fixed_.assign(lines_.size(), false);
  for (std::size_t i = 0; i < lines_.size() && i < kProtectedLines; ++i) fixed_[i] = true;
  for (const std::optional<std::size_t>& header : layout.headers)
    if (header) fixed_[*header] = true;
  if (layout.end) fixed_[*layout.end] = true;
  deadAtOpening_.clear();
  const std::vector<LineStanding> standings = standingsOf(layout, lines_, 0, lines_.size());
  for (std::size_t i = 0; i < lines_.size(); ++i)
    if (standings[i].dead()) deadAtOpening_.push_back(lines_[i]);
  std::sort(deadAtOpening_.begin(), deadAtOpening_.end());
}

// After the keyword colours, which colour by the first letters alone.
void ListEditor::markLinesThatDoNotCount(const std::vector<LineStanding>& shown) {
  const int foreground = buffer_.theme().themeBg == kDeadForeground ? kDeadForegroundOnGrey : kDeadForeground;
  const int attribute = buffer_.theme().themeBg * 16 + foreground;
  for (int row = 1; row <= kRows; ++row) {
    if (!shown[static_cast<std::size_t>(row - 1)].dead()) continue;
    for (int column = kTextColumn; column <= kLastReadColumn; ++column) buffer_.at(row, column).attribute = attribute;
  }
}

// The lines that count on no day and did not when the editor opened, as
// the places they stand: the section above them, or "na Einde" for those
// the save drops.
std::vector<std::string> ListEditor::newDeadLinePlaces() const {
  const std::vector<LineStanding> standings = standingsOf(SectionLayout::of(lines_, 0), lines_, 0, lines_.size());
  std::vector<std::string> places;
  std::vector<std::string> known = deadAtOpening_;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const LineStanding& standing = standings[i];
    if (!standing.dead()) continue;
    auto old = std::lower_bound(known.begin(), known.end(), lines_[i]);
    if (old != known.end() && *old == lines_[i]) {
      known.erase(old);
      continue;
    }
    if (standing.standing == Standing::AfterEnd) {
      places.emplace_back(kAfterEnd);
    } else if (standing.standing == Standing::Outside) {
      places.emplace_back("boven Maandelijks");
    } else {
      places.emplace_back(sectionHeader(standing.section));
    }
  }
  return places;
}

// "Let op: 2 regels na Einde zijn niet bewaard, 1 regel telt niet mee (December); F2 toont waarom".
std::string ListEditor::typedDeadLinesMessage() const {
  if (!edited_) return {};  // nothing typed: every line stands as it did at the opening
  std::vector<std::string> places = newDeadLinePlaces();
  const auto lost = static_cast<std::size_t>(std::count(places.begin(), places.end(), kAfterEnd));
  std::erase(places, kAfterEnd);
  std::string message;
  if (lost > 0) message = std::to_string(lost) + (lost == 1 ? " regel na Einde is" : " regels na Einde zijn") + " niet bewaard";
  if (!places.empty()) {
    const std::size_t count = places.size();
    places.erase(std::unique(places.begin(), places.end()), places.end());
    std::string where;
    for (const std::string& place : places) where += (where.empty() ? "" : ", ") + place;
    message += (message.empty() ? "" : ", ") + std::to_string(count) + (count == 1 ? " regel telt" : " regels tellen") +
               " niet mee (" + where + "); F2 toont waarom";
  }
  return message.empty() ? message : "Let op: " + message;
}


// The current month's section line in the first row, the cursor two rows below it.
void ListEditor::placeWindow() {
  row_ = 3;
  column_ = kTextColumn;
  top_ = 0;
  const std::string month = mid(date_.monthName, 2);
  for (std::size_t index = 1; index < lines_.size(); ++index) {
    if (mid(lines_[index], 2) == month) {
      top_ = static_cast<int>(index);
      break;
    }
  }
  top_ = std::min(top_, topLimit());
}

void ListEditor::drawWindow() {
  for (int row = 1; row <= kRows; ++row) drawRow(row, lines_[static_cast<std::size_t>(top_ + row - 1)]);
}

// Three blanks, the line's first 76 characters, and a mark in column 79 when there is more.
void ListEditor::drawRow(int row, const std::string& text) {
  shownFrom_[static_cast<std::size_t>(row)] = text;
  buffer_.useTheme();
  bool more = static_cast<int>(text.size()) > kShownLength;
  buffer_.putText(row, 0, "   " + padRight(text, kShownLength) + (more ? kMoreMarker : ' '));
}

std::string ListEditor::readBack(int row) const {
  std::string text;
  for (int column = kTextColumn; column <= kLastReadColumn; ++column)
    text += static_cast<char>(buffer_.at(row, column).character);
  return withoutTrailingBlanks(text);
}

// A long line whose shown part was not changed keeps the part that was not shown.
void ListEditor::storeRow(int row) {
  std::string text = readBack(row);
  const std::string& shown = shownFrom_[static_cast<std::size_t>(row)];
  if (static_cast<int>(shown.size()) > kShownLength && text == withoutTrailingBlanks(left(shown, kShownLength)))
    text = shown;
  lines_[static_cast<std::size_t>(top_ + row - 1)] = text;
  shownFrom_[static_cast<std::size_t>(row)] = text;
}

void ListEditor::storeWindow() {
  for (int row = 1; row <= kRows; ++row) storeRow(row);
}

bool ListEditor::handleKey(Key key) {
  const bool afterLastColumn = std::exchange(typedAtLast_, false);
  if (key.is(keys::kF3)) restoreRequested_ = true;
  if (key.is(keys::kF4)) toSettings_ = true;
  if (key.is(keys::kF3) || key.is(keys::kF4) || key.is(keys::kEscape)) return false;
  if (key.is(keys::kF1)) {
    help_ = Help::OnRequest;
  } else if (key.isExtended()) {
    handleExtended(key);
  } else {
    handleCharacter(key.character(), afterLastColumn);
  }
  return true;
}

void ListEditor::handleExtended(Key key) {
  switch (key.code()) {
    case KeyCode::Left:
      if (--column_ < kTextColumn) {
        column_ = kLastTypedColumn;
        if (--row_ < 1) row_ = kRows;
      }
      break;
    case KeyCode::Right:
      if (++column_ > kLastTypedColumn) {
        column_ = kTextColumn;
        if (++row_ > kRows) row_ = 1;
      }
      break;
    case KeyCode::Up: moveUp(); break;
    case KeyCode::Down: moveDown(); break;
    case KeyCode::PageUp:
      if (!key.shift())
        for (int i = 0; i < kPageRows; ++i) moveUp();
      break;
    case KeyCode::PageDown:
      if (!key.shift())
        for (int i = 0; i < kPageRows; ++i) moveDown();
      break;
    case KeyCode::Home: column_ = kTextColumn; break;
    case KeyCode::End: {
      column_ = kTextColumn;
      for (int column = kLastInsertColumn; column >= kTextColumn; --column)
        if (buffer_.at(row_, column).character != ' ') {
          column_ = std::min(column + 1, kLastTypedColumn);
          break;
        }
      break;
    }
    case KeyCode::Insert:
    case KeyCode::Delete:
      if (!isProtected(cursorIndex())) shiftCells(key.is(keys::kInsert));
      break;
    default: break;  // other extended keys never type anything
  }
}

// Section lines and the two lines above "Maandelijks" take no edit at all:
// one key there could leave a calendar the start refuses.
void ListEditor::handleCharacter(char c, bool afterLastColumn) {
  const int index = cursorIndex();
  if (isProtected(index) && index >= kProtectedLines) return;
  const bool editable = !isProtected(index);
  switch (c) {
    case keys::kCtrlK.character(): {
      clipboard_.clear();
      for (int column = 0; column < kClipboardLength; ++column)
        clipboard_ += static_cast<char>(buffer_.at(row_, column).character);
      break;
    }
    case keys::kCtrlP.character():
      if (!editable || static_cast<int>(clipboard_.size()) != kClipboardLength) break;
      insertLine(index);
      buffer_.useTheme();
      buffer_.putText(row_, 0, clipboard_);
      shownFrom_[static_cast<std::size_t>(row_)].clear();
      break;
    case keys::kTab.character():
      if (editable) insertLine(index);
      break;
    case keys::kCtrlD.character():
      if (editable) deleteLine(index);
      break;
    case keys::kBackspace.character():
      if (!editable) break;
      // Right after a character went into column 75 the cursor is still on it.
      if (!afterLastColumn) column_ = std::max(column_ - 1, kTextColumn);
      buffer_.at(row_, column_).character = ' ';
      edited_ = true;
      break;
    case keys::kEnter.character():
      if (editable) newLine();
      break;
    default:
      if (editable && static_cast<unsigned char>(c) >= 32) typeCharacter(c);
      break;
  }
}

void ListEditor::typeCharacter(char c) {
  edited_ = true;
  buffer_.useTheme();
  buffer_.at(row_, column_) = Cell{static_cast<unsigned char>(c), buffer_.currentAttribute()};
  if (column_ < kLastTypedColumn)
    ++column_;
  else
    typedAtLast_ = true;
}

// Above row 1 the window scrolls down a line, down to the first line.
void ListEditor::moveUp() {
  if (--row_ >= 1) return;
  row_ = 1;
  if (top_ == 0) return;
  storeRow(kRows);
  --top_;
  for (int row = kRows; row > 1; --row) {
    for (int column = 0; column < ScreenBuffer::kColumns; ++column) buffer_.at(row, column) = buffer_.at(row - 1, column);
    shownFrom_[static_cast<std::size_t>(row)] = shownFrom_[static_cast<std::size_t>(row - 1)];
  }
  drawRow(1, lines_[static_cast<std::size_t>(top_)]);
}

// Below row 23 the window scrolls up a line, until the last line is in its last row.
void ListEditor::moveDown() {
  if (++row_ <= kRows) return;
  row_ = kRows;
  if (top_ >= topLimit()) return;
  storeRow(1);
  ++top_;
  for (int row = 1; row < kRows; ++row) {
    for (int column = 0; column < ScreenBuffer::kColumns; ++column) buffer_.at(row, column) = buffer_.at(row + 1, column);
    shownFrom_[static_cast<std::size_t>(row)] = shownFrom_[static_cast<std::size_t>(row + 1)];
  }
  drawRow(kRows, lines_[static_cast<std::size_t>(top_ + kRows - 1)]);
}

// An empty line at the index; the list only grows when its last line is not
// empty, so no line is ever pushed out of it.
void ListEditor::insertLine(int index) {
  edited_ = true;
  storeWindow();
  lines_.insert(lines_.begin() + index, std::string());
  fixed_.insert(fixed_.begin() + index, false);
  if (lines_.size() > kMinLines && lines_.back().empty() && !fixed_.back()) {
    lines_.pop_back();
    fixed_.pop_back();
  }
  drawWindow();
}

void ListEditor::deleteLine(int index) {
  edited_ = true;
  storeWindow();
  lines_.erase(lines_.begin() + index);
  fixed_.erase(fixed_.begin() + index);
  if (lines_.size() < kMinLines) {
    lines_.emplace_back();
    fixed_.push_back(false);
  }
  top_ = std::min(top_, topLimit());
  drawWindow();
}

// At column 3 the line moves down with the cursor and an empty line opens
// above it; elsewhere the empty line opens below and the cursor goes onto it.
void ListEditor::newLine() {
  insertLine(column_ == kTextColumn ? cursorIndex() : cursorIndex() + 1);
  column_ = kTextColumn;
  moveDown();
}

// Ins opens a blank at the cursor (column 75's character is lost); Del closes
// it up. Nothing moves past column 75, and the colours stay where they are.
void ListEditor::shiftCells(bool right) {
  edited_ = true;
  if (right) {
    for (int column = kLastTypedColumn; column > column_; --column)
      buffer_.at(row_, column).character = buffer_.at(row_, column - 1).character;
    buffer_.at(row_, column_).character = ' ';
  } else {
    for (int column = column_; column < kLastTypedColumn; ++column)
      buffer_.at(row_, column).character = buffer_.at(row_, column + 1).character;
    buffer_.at(row_, kLastTypedColumn).character = ' ';
  }
}

// F3: the file as it was when the editor opened, from the backup copy made
// then. Only that backup will do: an older one would bring back an older
// calendar. The file on disk follows when the editor is left.
void ListEditor::restore() {
  restoreRequested_ = false;
  if (!backup_) {
    message_ = backupFailedMessage();
    return;
  }
  // The file follows the restored lines when the editor is left, even where another program changed it meanwhile.
  edited_ = true;
  load(calendars_.get(backupName(calFile_))->lines());
  placeWindow();
  drawWindow();
}

std::string ListEditor::backupFailedMessage() const {
  return "Geen reservekopie (" + std::string(describe(backup_.error().problem)) + "): F3 herstelt niets";
}

// The header lines, the lines before the end line, then "Einde". A list
// that lost its end line still ends with one, after the last line kept:
// without it the next start would refuse the file. The calendar's headers
// keep a blank line on each side, as the format has them. A file that already
// holds exactly this is not written.
std::vector<std::string> ListEditor::fileLines() const {
  const SectionLayout layout = SectionLayout::of(lines_, 0);
  const std::size_t end =
      layout.end ? *layout.end
                 : static_cast<std::size_t>(
                       std::find_if(lines_.rbegin(), lines_.rend(), [](const std::string& line) { return !line.empty(); })
                           .base() -
                       lines_.begin());
  std::vector<std::string> file(header_.begin(), header_.end());
  appendWithBlankLinesAroundHeaders(file, std::span<const std::string>(lines_).first(end), layout);
  file.emplace_back("Einde");
  file.insert(file.end(), kBlankLinesAfterEnd, "");
  return file;
}

FileResult ListEditor::save() {
  const std::vector<std::string> file = fileLines();
  // The last defence: a calendar the next start would refuse is not written.
  if (!passesCalendarCheck(file)) return FileResult(calFile_, FileProblem::Unusable);
  // Another program's change since the editor opened stays in Versies: the replacement keeps what it replaces.
  const std::string current = platform_.files().contents(calFile_).value_or(std::string());
  FileResult saved = replaceLinesIfChanged(platform_, calFile_, temporary::kCalendarSave, file);
  changedElsewhere_ = saved && current != read_ && platform_.files().contents(calFile_) != current;
  return saved;
}

}  // namespace almanouk
