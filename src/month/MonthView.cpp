#include "month/MonthView.h"

#include <algorithm>

#include "calendar/CalendarCache.h"
#include "calendar/CalendarModel.h"
#include "calendar/Dates.h"
#include "calendar/DayCommandLauncher.h"
#include "diary/DiaryStore.h"
#include "platform/Keys.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "screen/MonthDecorations.h"
#include "screen/ScreenBuffer.h"
#include "settings/Settings.h"

namespace almanouk {
namespace {

// Where things stand, in screen rows and columns.
constexpr int kHeaderRow = 2;       // the bar with year, month and clock
constexpr int kHeaderColumn = 3;
constexpr int kHeaderWidth = 41;
constexpr int kYearColumn = 4;
constexpr int kMonthColumn = 19;
constexpr int kClockColumn = 37;
constexpr int kColumnHeadRow = 4;   // "week   ma   di ..."
constexpr int kGridColumn = 8;      // the box of the grid
constexpr int kFirstWeekRow = 6;    // week rows 6, 8, ..., 16
constexpr int kLastWeekRow = 16;
constexpr int kWeekNumberColumn = 3;
// The event list: first below the grid, then in the right-hand column.
constexpr int kLowerRow = 19, kLowerColumn = 4, kLowerWidth = 40;
constexpr int kRightRow = 2, kRightColumn = 47, kRightWidth = 30;
constexpr int kListEndRow = ScreenBuffer::kStatusRow;
constexpr int kSelectedFg = 15;
constexpr int kSelectedBg = 9;
constexpr int kBarBg = 1;
constexpr int kTitleBg = 4;
constexpr BarStyle kClockBar{0xC8C8C8, 0x1D1DE2, 78, 78, 255, 0xC8C8C8};
const std::string kContinuation = "   ";

// Screen column of the day cell of a weekday (1 = Monday).
int dayColumn(int weekday) { return 5 * weekday + 4; }

}  // namespace

// Where the next event-list line goes (screen rows and columns).
struct MonthView::ListCursor {
  int row = kLowerRow;
  int column = kLowerColumn;
  int width = kLowerWidth;
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
    buffer_.putText(kColumnHeadRow, kWeekNumberColumn, "week   ma   di   wo   do   vr   za   zo");
    buffer_.putText(kFirstWeekRow - 1, kGridColumn, cp437("┌────┬────┬────┬────┬────┬────┬────┐"));
    static const std::string kDays = cp437("│    │    │    │    │    │    │    │");
    static const std::string kDivider = cp437("├────┼────┼────┼────┼────┼────┼────┤");
    for (int row = kFirstWeekRow; row <= kLastWeekRow; ++row)
      buffer_.putText(row, kGridColumn, (row - kFirstWeekRow) % 2 == 0 ? kDays : kDivider);
    buffer_.putText(kLastWeekRow + 1, kGridColumn, cp437("└────┴────┴────┴────┴────┴────┴────┘"));
  }
  buffer_.renderBuffer();
}

void MonthView::fillMonthGrid() {
  // The digits of the fifth and sixth week numbers.
  for (int row : {kLastWeekRow - 2, kLastWeekRow})
    for (int column : {kWeekNumberColumn + 1, kWeekNumberColumn + 2}) buffer_.at(row, column) = buffer_.blankCell();
  if (!monthViewHidden) {
    buffer_.curFg = settings_.themeBarFg;
    buffer_.curBg = kBarBg;
    buffer_.putText(kHeaderRow, kHeaderColumn, repeat(' ', kHeaderWidth));
    buffer_.putText(kHeaderRow, kYearColumn, " " + toText(date_.year));
    buffer_.putText(kHeaderRow, kMonthColumn, date_.monthNamePad + date_.monthName);
    buffer_.putText(kHeaderRow, kClockColumn, left(platform_.now().clockText(), 5));
  }
  if (titleCalls_ < 2) {
    ++titleCalls_;
    buffer_.curFg = settings_.themeBarFg;
    buffer_.curBg = kTitleBg;
    buffer_.putText(ScreenBuffer::kTitleRow, 0, titleText_);
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
        buffer_.putText(row, kWeekNumberColumn, " " + toText(week) + " ");
      } else {
        buffer_.putText(row, kWeekNumberColumn, " " + toText(weekOfPreviousYearEnd(date_.year)));
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
    buffer_.putText(row, dayColumn(weekday), right("  " + toText(day) + " ", 4));
  }
  buffer_.curFg = settings_.themeFg;
  if (selected) buffer_.curBg = settings_.themeBg;
}

void MonthView::drawClock(const LocalDateTime& now) {
  buffer_.drawBar(kHeaderRow, kClockColumn, left(now.clockText(), 5), kClockBar);
}

void MonthView::clearDayCells() {
  if (monthViewHidden) return;
  for (int row = kFirstWeekRow; row <= kLastWeekRow; row += 2)
    for (int weekday = 1; weekday <= 7; ++weekday) buffer_.putText(row, dayColumn(weekday), "    ");
  // The fifth and sixth week numbers' digits.
  buffer_.putText(kLastWeekRow - 2, kWeekNumberColumn + 1, "  ");
  buffer_.putText(kLastWeekRow, kWeekNumberColumn + 1, "  ");
}

void MonthView::drawEventList(const DayList& days, int daysAhead, DayCommandLauncher& launcher, bool launch) {
  if (!monthViewHidden) {
    for (int row = kLowerRow; row < kListEndRow; ++row)
      buffer_.putText(row, kHeaderColumn, repeat(' ', ScreenBuffer::kColumns - kHeaderColumn));
    for (int row = kRightRow; row < kLowerRow; ++row)
      buffer_.putText(row, kRightColumn, repeat(' ', ScreenBuffer::kColumns - kRightColumn));
  }
  buffer_.putText(kListEndRow, 0, repeat(' ', ScreenBuffer::kColumns));
  for (int index = kListEndRow * ScreenBuffer::kColumns; index < ScreenBuffer::kCells; ++index)
    buffer_.cell(index) = buffer_.blankCell();
  overflow_.clear();
  scrollIndex_ = 0;

  std::shared_ptr<const CalendarModel> calendar = calendars_.get(settings_.calFile);
  ListCursor cursor;
  if (launch) cursor.launcher = &launcher;
  listDay(*calendar, {date_.day, date_.month, date_.year, weekdayOf(date_.day, date_.month, date_.year)}, cursor);
  for (int i = 1; i <= daysAhead && i <= DayList::kMaxDaysAhead; ++i)
    listDay(*calendar, {days.listDay[i], days.listMonth[i], days.listYear[i]}, cursor);
}

void MonthView::listDay(const CalendarModel& calendar, const ListedDay& day, ListCursor& cursor) {
  forEachListed(calendar, day, [&](const Entry& entry) {
    if (!entry.isDayCommand()) {
      printEntry(entry.line, static_cast<std::size_t>(entry.alignment()), cursor);
    } else if (cursor.launcher && cursor.launcher->launchDayCommand(entry.aligned())) {
      buffer_.putText(cursor.row, cursor.column, " ");
    }
  });
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
    bool overflowing = cursor.width == kRightWidth && cursor.row >= kListEndRow;
    if (overflowing && overflow_.size() >= kOverflowLines) return;
    auto width = static_cast<std::size_t>(cursor.width - indent);
    std::string text = (indent ? kContinuation : std::string()) + piece(position, width);
    if (overflowing) {
      overflow_.push_back(std::move(text));
    } else {
      buffer_.putText(cursor.row, cursor.column, text);
    }
    position += width;
    if (position < size && (position < alignment ? ' ' : line[position - alignment]) == ' ') ++position;
    indent = 3;
    if (++cursor.row == kListEndRow && cursor.width == kLowerWidth)
      cursor = ListCursor{kRightRow, kRightColumn, kRightWidth, cursor.launcher};
  } while (position < size);
}

void MonthView::scrollOneLine() {
  const Cell blank = buffer_.blankCell();
  // Buffer rows and columns: the lower list and the right-hand column, which
  // runs on below the screen through the work rows.
  const int lower = kLowerRow, lowerLeft = kLowerColumn, lowerRight = lowerLeft + kLowerWidth - 1;
  const int last = kListEndRow - 1, rightLeft = kRightColumn, rightRight = rightLeft + kRightWidth - 1;
  for (int row = lower; row < last; ++row)
    for (int column = lowerLeft; column <= lowerRight; ++column) buffer_.at(row, column) = buffer_.at(row + 1, column);
  for (int k = 0; k < kRightWidth; ++k) buffer_.at(last, lowerLeft + k) = buffer_.at(kRightRow, rightLeft + k);
  for (int column = lowerLeft + kRightWidth; column <= lowerRight; ++column) buffer_.at(last, column) = blank;
  for (int row = kRightRow; row < ScreenBuffer::kRows - 5; ++row)
    for (int column = rightLeft; column <= rightRight; ++column) buffer_.at(row, column) = buffer_.at(row + 1, column);
  for (int column = rightLeft; column <= rightRight; ++column) buffer_.at(last, column) = blank;
  AttributeColours colours = coloursOf(blank.attribute);
  platform_.setColours(colours.foreground, colours.background);
  printAt(platform_, last, rightLeft, repeat(' ', kRightWidth));

  buffer_.curFg = settings_.textColour;
  buffer_.curBg = settings_.themeBg;
  if (scrollIndex_ < overflow_.size()) buffer_.putText(last, rightLeft, overflow_[scrollIndex_]);
  ++scrollIndex_;
}

}  // namespace almanouk
