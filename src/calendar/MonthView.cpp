#include "calendar/MonthView.h"

#include <algorithm>

#include "calendar/CalendarCache.h"
#include "calendar/CalendarModel.h"
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
                     const std::string& titleText, CalendarCache& calendars)
    : platform_(platform),
      buffer_(buffer),
      settings_(settings),
      date_(date),
      titleText_(titleText),
      calendars_(calendars) {}

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

  std::shared_ptr<const CalendarModel> calendar = calendars_.get(settings_.calFile);
  ListCursor cursor;
  if (launch) cursor.launcher = &launcher;
  listDay(*calendar, date_.day, date_.month, date_.year, weekdayOf(date_.day, date_.month, date_.year), true, cursor);
  for (int i = 1; i <= daysAhead && i <= DayList::kMaxDaysAhead; ++i)
    listDay(*calendar, days.listDay[i], days.listMonth[i], days.listYear[i], 0, false, cursor);
}

void MonthView::listDay(const CalendarModel& calendar, int day, int month, int year, int weekday, bool withWeekly,
                        ListCursor& cursor) {
  listDatedSection(calendar, monthSection(month), day, year, cursor);
  listDatedSection(calendar, Section::Monthly, day, year, cursor);
  if (withWeekly) listWeeklySection(calendar, weekday, year, cursor);
}

void MonthView::listDatedSection(const CalendarModel& calendar, Section section, int day, int year,
                                 ListCursor& cursor) {
  std::span<const Entry> entries = calendar.entries(section);
  // A section whose first line is no day number (or the next header) lists nothing.
  if (entries.empty() || entries.front().day <= 0) return;
  for (const Entry* entry : calendar.on(section, day)) listEntry(*entry, year, cursor);
}

// The alarm scan takes a weekday in any case; the list only as written, "Do ".
void MonthView::listWeeklySection(const CalendarModel& calendar, int weekday, int year, ListCursor& cursor) {
  std::string prefix = std::string(weekdayAbbreviation(weekday)) + " ";
  for (const Entry* entry : calendar.on(Section::Weekly, weekday))
    if (entry->line.starts_with(prefix)) listEntry(*entry, year, cursor);
}

void MonthView::listEntry(const Entry& entry, int year, ListCursor& cursor) {
  int named = entry.listedYear();
  if (named != 0 && named != year) return;
  if (entry.isDayCommand()) {
    if (cursor.launcher && cursor.launcher->launchDayCommand(entry.aligned()))
      buffer_.putText(cursor.row - 1, cursor.column - 1, " ");
    return;
  }
  printEntry(entry.line, static_cast<std::size_t>(entry.alignment()), cursor);
}

// Wraps the entry over the list's lines: continuation lines start with three
// blanks and drop one blank at the break. Lines past the right-hand column go
// to the overflow store; once that is full the rest cannot be shown. The
// entry is the line with `alignment` blanks in front, taken piece by piece:
// a line can be long, and only its first few thousand characters can show.
void MonthView::printEntry(std::string_view line, std::size_t alignment, ListCursor& cursor) {
  buffer_.curFg = settings_.textColour;
  buffer_.curBg = settings_.themeBg;
  const std::size_t size = alignment + line.size();
  auto piece = [&](std::size_t from, std::size_t count) {
    std::string text(from < alignment ? std::min(alignment - from, count) : 0, ' ');
    std::size_t start = std::max(from, alignment) - alignment;
    if (start < line.size()) text += line.substr(start, count - text.size());
    return text;
  };
  std::size_t position = 0;
  int indent = 0;
  do {
    bool overflowing = cursor.width == 30 && cursor.row >= 25;
    if (overflowing && overflow_.size() >= kOverflowLines) return;
    auto width = static_cast<std::size_t>(cursor.width - indent);
    std::string text = (indent ? kContinuation : std::string()) + piece(position, width);
    if (overflowing) {
      overflow_.push_back(std::move(text));
    } else {
      buffer_.putText(cursor.row - 1, cursor.column - 1, text);
    }
    position += width;
    if (position < size && (position < alignment ? ' ' : line[position - alignment]) == ' ') ++position;
    indent = 3;
    if (++cursor.row == 25 && cursor.width == 40) cursor = ListCursor{3, 48, 30, cursor.launcher};
  } while (position < size);
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
