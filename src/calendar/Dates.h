#pragma once
// The selected date and all date arithmetic, 1901 to 2099: weekdays, month
// tables, ISO week numbers of the month grid, the moves with their bounds and
// the day list of the selected date and the days after it.

#include <array>
#include <string>
#include <string_view>

#include "platform/LocalTime.h"

namespace almanouk {

inline constexpr int kFirstYear = 1901;
inline constexpr int kLastYear = 2099;

struct SelectedDate {
  int day = 1;
  int month = 1;
  int year = 2000;
  int weekday = 6;           // 1 = Monday ... 7 = Sunday
  int daysInMonth = 31;
  int daysBeforeMonth = 0;   // days of the year before the 1st of the month
  std::string monthName = "januari";  // lower case; doubles as the calendar section key
  std::string monthNamePad = " ";     // blanks written before the name in the month header
  bool monthChanged = false;          // a day or week move crossed into another month
};

// What the month view does when the date crosses a month or is recomputed;
// the main loop plugs the month view in here.
class DateListener {
 public:
  virtual ~DateListener() = default;
  // A day step crossed into another month: clear the day cells and ask for an interlude pass.
  virtual void monthCrossed() = 0;
  // recompute ran: redraw the month frame and grid.
  virtual void dateRecomputed() = 0;
};

struct MonthInfo {
  std::string_view name;  // "januari" ... "december"
  std::string_view pad;   // 0 to 3 blanks
  int days = 31;
};

struct CalendarDay {
  int day = 1, month = 1, year = 2000;
  bool operator==(const CalendarDay&) const = default;
};

// February has 29 days under the full Gregorian rule.
bool isLeapYear(int year);
// 1 = Monday ... 7 = Sunday, by the program's two-leap-rule formula (exact 1901-2100).
int weekdayOf(int day, int month, int year);
// Days of the year before the 1st of the month (full Gregorian rule).
int daysBeforeMonth(int month, int year);
MonthInfo monthInfo(int month, int year);
// "Ma", "Di", "Wo", "Do", "Vr", "Za", "Zo" for weekday 1..7; "" outside.
std::string_view weekdayAbbreviation(int weekday);
// The section header of a month as written in calendar files: "Januari" ... "December".
std::string_view monthSectionName(int month);

// ISO week of the 1st of a month, 0 when it belongs to the previous year's last week.
int weekOfMonthStart(int daysBeforeMonth, int weekdayOfFirst);
// ISO week of 31 December of the year before.
int weekOfPreviousYearEnd(int year);

// The day of a local date and time.
CalendarDay calendarDay(const LocalDateTime& time);
// "dd-mm-yyyy", as the screens show a day.
std::string dayText(const CalendarDay& day);

// Sets weekday, month name, pad, days in month and days before month from day, month and year.
void setDate(SelectedDate& date, int day, int month, int year);

// The rollovers of the day steps: to the last day of the previous month or
// the 1st of the next; the weekday is left as the day step set it. Both tell
// the listener first and set monthChanged.
void previousMonth(SelectedDate& date, DateListener& listener);
void nextMonth(SelectedDate& date, DateListener& listener);

// Unbounded single day steps with rollover and weekday (the diary's day
// moves and the midnight roll-over use these).
void stepDayBack(SelectedDate& date, DateListener& listener);
void stepDayForward(SelectedDate& date, DateListener& listener);

// The user's moves. Each returns false and changes nothing at its bound:
// backward moves stop at 1 January 1901, forward moves at 31 December 2099.
bool dayBack(SelectedDate& date, DateListener& listener);
bool dayForward(SelectedDate& date, DateListener& listener);
bool weekBack(SelectedDate& date, DateListener& listener);
bool weekForward(SelectedDate& date, DateListener& listener);
// Month and year moves change month or year only; the caller runs recompute
// (the main loop does so at the end of its pass).
bool monthBack(SelectedDate& date);
bool monthForward(SelectedDate& date);
// From 1901 the year stays 1901 and false is returned (nothing to recompute).
bool yearBack(SelectedDate& date);
bool yearForward(SelectedDate& date);
// Day, month and year of today; the caller runs recompute.
void goToday(SelectedDate& date, const CalendarDay& today);
// New month information, the day clamped to the month, the weekday, then the listener's redraw.
void recompute(SelectedDate& date, DateListener& listener);

// The selected date (entry 0) and the days after it.
struct DayList {
  static constexpr int kMaxDaysAhead = 30;
  std::array<int, kMaxDaysAhead + 1> listDay{};
  std::array<int, kMaxDaysAhead + 1> listMonth{};
  std::array<int, kMaxDaysAhead + 1> listYear{};
};

// Entry `to` becomes the calendar day after entry `from` (plain every-fourth-year February).
void stepDayList(DayList& list, int from, int to);
// Entry 0 the selected date, entries 1..n the n days after it; n is clamped to 1..30.
void buildDayList(DayList& list, const SelectedDate& date, int n);

}  // namespace almanouk
