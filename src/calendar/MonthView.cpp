#include "calendar/MonthView.h"

#include "calendar/CalendarEntry.h"
#include "calendar/CalendarFile.h"
#include "calendar/DayCommandLauncher.h"
#include "calendar/Dates.h"
#include "diary/DiaryStore.h"
#include "settings/Settings.h"
#include "platform/Keys.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "screen/MonthDecorations.h"
#include "screen/ScreenBuffer.h"

namespace almanouk {
namespace {

constexpr int kFirstWeekRow = 7;   // screen rows 7, 9, ..., 17
constexpr int kLastWeekRow = 17;
constexpr int kSelectedFg = 15;
constexpr int kSelectedBg = 9;
constexpr int kBarBg = 1;
constexpr int kTitleBg = 4;
const std::string kContinuation = "   ";

// Screen column of the day cell of a weekday (1 = Monday).
int dayColumn(int weekday) { return 5 * weekday + 5; }

}  // namespace

// Where the next event-list line goes (screen rows and columns).
struct MonthView::ListCursor {
  int row = 20;
  int column = 5;
  int width = 40;
  DayCommandLauncher* launcher = nullptr;  // none: day commands are left alone
};

MonthView::MonthView(Platform& platform, ScreenBuffer& buffer, const Settings& settings, const SelectedDate& date,
                     const std::string& titleText)
    : platform_(platform), buffer_(buffer), settings_(settings), date_(date), titleText_(titleText) {}

void MonthView::drawMonthFrame() {
  buffer_.useTheme();
  if (!monthViewHidden) {
    buffer_.putText(4, 3, "week   ma   di   wo   do   vr   za   zo");
    buffer_.putText(5, 8, cp437("┌────┬────┬────┬────┬────┬────┬────┐"));
    static const std::string kDays = cp437("│    │    │    │    │    │    │    │");
    static const std::string kDivider = cp437("├────┼────┼────┼────┼────┼────┼────┤");
    for (int row = kFirstWeekRow; row <= kLastWeekRow; ++row) buffer_.putText(row - 1, 8, row % 2 ? kDays : kDivider);
    buffer_.putText(17, 8, cp437("└────┴────┴────┴────┴────┴────┴────┘"));
  }
  buffer_.renderBuffer();
}

void MonthView::fillMonthGrid() {
  for (int row : {14, 16})
    for (int column : {4, 5}) buffer_.at(row, column) = buffer_.blankCell();
  if (!monthViewHidden) {
    buffer_.curFg = settings_.themeBarFg;
    buffer_.curBg = kBarBg;
    buffer_.putText(2, 3, repeat(' ', 41));
    buffer_.putText(2, 4, " " + toText(date_.year));
    buffer_.putText(2, 19, date_.monthNamePad + date_.monthName);
    buffer_.putText(2, 37, left(platform_.currentTime(), 5));
  }
  if (titleCalls_ < 2) {
    ++titleCalls_;
    buffer_.curFg = settings_.themeBarFg;
    buffer_.curBg = kTitleBg;
    buffer_.putText(0, 0, titleText_);
  }
  buffer_.useTheme();

  // The weekday of the 1st, counted back from the selected day.
  int day = date_.day;
  int weekday = date_.weekday;
  while (day >= 1) day -= 7;
  day += 7;
  for (; day > 1; --day) --weekday;
  if (weekday < 1) weekday += 7;
  int week = weekOfMonthStart(date_.daysBeforeMonth, weekday);

  int d = 1;
  for (int row = kFirstWeekRow; row <= kLastWeekRow && d <= date_.daysInMonth; row += 2) {
    if (!monthViewHidden) {
      if (week != 0) {
        if (date_.month == 12 && d > 28) week = 1;
        buffer_.putText(row - 1, 3, " " + toText(week) + " ");
      } else {
        buffer_.putText(row - 1, 3, " " + toText(weekOfPreviousYearEnd(date_.year)));
      }
    }
    ++week;
    for (int w = row == kFirstWeekRow ? weekday : 1; w <= 7 && d <= date_.daysInMonth; ++w, ++d) writeDayNumber(row, w, d);
  }
}

void MonthView::writeDayNumber(int row, int weekday, int day) {
  bool selected = day == date_.day;
  if (selected) {
    buffer_.curFg = kSelectedFg;
    buffer_.curBg = kSelectedBg;
  }
  if (!monthViewHidden) {
    std::string page = pageFileName(day, date_.month, date_.year, weekday, settings_.diaryId);
    if (diaryPageExists(platform_.files(), page)) buffer_.curFg = settings_.diaryDayColour;
    buffer_.putText(row - 1, dayColumn(weekday) - 1, right("  " + toText(day) + " ", 4));
  }
  buffer_.curFg = settings_.themeFg;
  if (selected) buffer_.curBg = settings_.themeBg;
}

void MonthView::clearDayCells() {
  if (monthViewHidden) return;
  for (int row = kFirstWeekRow; row <= kLastWeekRow; row += 2)
    for (int weekday = 1; weekday <= 7; ++weekday) buffer_.putText(row - 1, dayColumn(weekday) - 1, "    ");
  buffer_.putText(14, 4, "  ");
  buffer_.putText(16, 4, "  ");
}

void MonthView::drawEventList(const DayList& days, int daysAhead, DayCommandLauncher& launcher, bool launch) {
  if (!monthViewHidden) {
    for (int row = 20; row <= 24; ++row) buffer_.putText(row - 1, 3, repeat(' ', 77));
    for (int row = 3; row <= 19; ++row) buffer_.putText(row - 1, 47, repeat(' ', 33));
  }
  buffer_.putText(24, 0, repeat(' ', 80));
  for (int index = 24 * ScreenBuffer::kColumns; index < ScreenBuffer::kCells; ++index)
    buffer_.cell(index) = buffer_.blankCell();
  overflow_.clear();
  scrollIndex_ = 0;

  ListCursor cursor;
  if (launch) cursor.launcher = &launcher;
  listDay(date_.day, date_.month, date_.year, weekdayOf(date_.day, date_.month, date_.year), true, cursor);
  for (int i = 1; i <= daysAhead && i <= DayList::kMaxDaysAhead; ++i)
    listDay(days.listDay[i], days.listMonth[i], days.listYear[i], 0, false, cursor);
}

void MonthView::listDay(int day, int month, int year, int weekday, bool withWeekly, ListCursor& cursor) {
  listDatedSection(lowerAscii(monthSectionName(month)), day, year, cursor);
  listDatedSection("maandelijks", day, year, cursor);
  if (withWeekly) listWeeklySection(weekday, year, cursor);
}

void MonthView::listDatedSection(std::string_view section, int day, int year, ListCursor& cursor) {
  CalendarReader reader(platform_, settings_.calFile);
  std::string line;
  // A section whose first line is no day number (or the next header) lists nothing.
  if (!reader.findSection(section, line) || entry::day(line) <= 0) return;
  while (!line.empty()) {
    if (entry::day(line) == day) listEntry(line, year, cursor);
    reader.next(line);
  }
}

void MonthView::listWeeklySection(int weekday, int year, ListCursor& cursor) {
  CalendarReader reader(platform_, settings_.calFile);
  std::string line;
  if (!reader.findSection("wekelijks", line)) return;
  std::string prefix = std::string(weekdayAbbreviation(weekday)) + " ";
  while (!line.empty()) {
    if (left(line, 3) == prefix) listEntry(line, year, cursor);
    reader.next(line);
  }
}

void MonthView::listEntry(std::string line, int year, ListCursor& cursor) {
  line = entry::withAlignedDay(std::move(line));
  int named = entry::listedYear(line);
  if (named != 0 && named != year) return;
  if (entry::isDayCommand(line)) {
    if (cursor.launcher && cursor.launcher->launchDayCommand(line))
      buffer_.putText(cursor.row - 1, cursor.column - 1, " ");
    return;
  }
  printEntry(line, cursor);
}

// Wraps the entry over the list's lines: continuation lines start with three
// blanks and drop one blank at the break. Lines past the right-hand column go
// to the overflow store; once that is full the rest cannot be shown.
void MonthView::printEntry(const std::string& entry, ListCursor& cursor) {
  buffer_.curFg = settings_.textColour;
  buffer_.curBg = settings_.themeBg;
  std::size_t position = 0;
  int indent = 0;
  do {
    bool overflowing = cursor.width == 30 && cursor.row >= 25;
    if (overflowing && overflow_.size() >= kOverflowLines) return;
    auto width = static_cast<std::size_t>(cursor.width - indent);
    std::string line = (indent ? kContinuation : std::string()) + entry.substr(position, width);
    if (overflowing) {
      overflow_.push_back(std::move(line));
    } else {
      buffer_.putText(cursor.row - 1, cursor.column - 1, line);
    }
    position += width;
    if (position < entry.size() && entry[position] == ' ') ++position;
    indent = 3;
    if (++cursor.row == 25 && cursor.width == 40) cursor = ListCursor{3, 48, 30, cursor.launcher};
  } while (position < entry.size());
}

void MonthView::scrollOneLine() {
  const Cell blank = buffer_.blankCell();
  for (int row = 20; row <= 23; ++row)
    for (int column = 4; column <= 43; ++column) buffer_.at(row - 1, column) = buffer_.at(row, column);
  for (int k = 0; k < 30; ++k) buffer_.at(23, 4 + k) = buffer_.at(2, 47 + k);
  for (int column = 34; column <= 43; ++column) buffer_.at(23, column) = blank;
  for (int row = 3; row <= 45; ++row)
    for (int column = 47; column <= 76; ++column) buffer_.at(row - 1, column) = buffer_.at(row, column);
  for (int column = 47; column <= 76; ++column) buffer_.at(23, column) = blank;
  AttributeColours colours = coloursOf(blank.attribute);
  platform_.setColours(colours.foreground, colours.background);
  platform_.moveCursor(24, 48);
  platform_.printText(repeat(' ', 30));

  buffer_.curFg = settings_.textColour;
  buffer_.curBg = settings_.themeBg;
  if (scrollIndex_ < overflow_.size()) buffer_.putText(23, 47, overflow_[scrollIndex_]);
  ++scrollIndex_;
}

}  // namespace almanouk
