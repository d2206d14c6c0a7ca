#include "calendar/Dates.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "platform/Text.h"

namespace almanouk {
namespace {

struct MonthRow {
  std::string_view name;
  std::string_view pad;
  std::string_view section;
  int days;  // February without its leap day
};

constexpr std::array<MonthRow, 12> kMonths = {{
    {"januari", " ", "Januari", 31},
    {"februari", "", "Februari", 28},
    {"maart", "  ", "Maart", 31},
    {"april", "  ", "April", 30},
    {"mei", "   ", "Mei", 31},
    {"juni", "  ", "Juni", 30},
    {"juli", "  ", "Juli", 31},
    {"augustus", "", "Augustus", 31},
    {"september", "", "September", 30},
    {"oktober", " ", "Oktober", 31},
    {"november", "", "November", 30},
    {"december", "", "December", 31},
}};

constexpr std::array<std::string_view, 7> kWeekdays = {"Ma", "Di", "Wo", "Do", "Vr", "Za", "Zo"};

// A day count equal to this offset falls on a Tuesday, hence r + 2 below.
constexpr int kDayCountOffset = 657365;

const MonthRow& monthRow(int month) { return kMonths[static_cast<std::size_t>(std::clamp(month, 1, 12) - 1)]; }

// Years 1801..lastYear divisible by 4 (1900 counted, as the weekday formula wants).
int plainLeapCount(int lastYear) { return lastYear >= 1800 ? lastYear / 4 - 1800 / 4 : 0; }

int daysBeforeMonthWith(int month, bool leap) {
  int days = 0;
  for (int m = 1; m < std::clamp(month, 1, 13); ++m) days += monthRow(m).days + (m == 2 && leap ? 1 : 0);
  return days;
}

// 1 = Monday ... 7 = Sunday from the program's running day count.
int weekdayFromDayCount(long long count) {
  int r = static_cast<int>(((count - kDayCountOffset) % 7 + 7) % 7);
  int weekday = r + 2;
  return weekday > 7 ? weekday - 7 : weekday;
}

int wrapWeekday(int weekday) { return weekday < 1 ? weekday + 7 : (weekday > 7 ? weekday - 7 : weekday); }

void applyMonthInfo(SelectedDate& date) {
  MonthInfo info = monthInfo(date.month, date.year);
  date.monthName = info.name;
  date.monthNamePad = info.pad;
  date.daysInMonth = info.days;
  date.daysBeforeMonth = daysBeforeMonth(date.month, date.year);
}

auto ymd(const SelectedDate& date) { return std::tuple(date.year, date.month, date.day); }

bool onOrBefore(const SelectedDate& date, int year, int month, int day) {
  return ymd(date) <= std::tuple(year, month, day);
}

bool onOrAfter(const SelectedDate& date, int year, int month, int day) {
  return ymd(date) >= std::tuple(year, month, day);
}

void advanceMonth(int& month, int& year) {
  if (++month > 12) {
    month = 1;
    ++year;
  }
}

}  // namespace

bool isLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int daysBeforeMonth(int month, int year) { return daysBeforeMonthWith(month, isLeapYear(year)); }

int weekdayOf(int day, int month, int year) {
  long long count = 365LL * year + plainLeapCount(year - 1) + daysBeforeMonth(month, year) + day;
  return weekdayFromDayCount(count);
}

MonthInfo monthInfo(int month, int year) {
  const MonthRow& row = monthRow(month);
  return {row.name, row.pad, row.days + (month == 2 && isLeapYear(year) ? 1 : 0)};
}

std::string_view weekdayAbbreviation(int weekday) {
  return weekday >= 1 && weekday <= 7 ? kWeekdays[static_cast<std::size_t>(weekday - 1)] : std::string_view();
}

std::string_view monthSectionName(int month) { return monthRow(month).section; }

int weekOfMonthStart(int daysBeforeMonth, int weekdayOfFirst) {
  int a = daysBeforeMonth - weekdayOfFirst + 8;
  return a / 7 + (a % 7 > 3 ? 1 : 0);
}

int weekOfPreviousYearEnd(int year) {
  // 31 December of the year before, with that year's February counted by the
  // plain rule: this is what makes 31 December 1900 come out as a Monday.
  int previous = year - 1;
  int beforeDecember = daysBeforeMonthWith(12, previous % 4 == 0);
  int w = weekdayFromDayCount(365LL * previous + plainLeapCount(previous - 1) + beforeDecember + 31);
  int d = 31 + beforeDecember - w + 7;
  return d / 7 + (w > 3 && d % 7 > 3 ? 1 : 0);
}

CalendarDay calendarDay(const LocalDateTime& time) { return {time.day, time.month, time.year}; }

std::string dayText(const CalendarDay& day) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d-%02d-%04d", day.day % 100, day.month % 100, day.year % 10000);
  return text;
}

void setDate(SelectedDate& date, int day, int month, int year) {
  date.day = day;
  date.month = month;
  date.year = year;
  applyMonthInfo(date);
  date.weekday = weekdayOf(day, month, year);
}

void previousMonth(SelectedDate& date, DateListener& listener) {
  listener.monthCrossed();
  if (--date.month < 1) {
    date.month = 12;
    --date.year;
  }
  applyMonthInfo(date);
  date.day = date.daysInMonth;
  date.monthChanged = true;
}

void nextMonth(SelectedDate& date, DateListener& listener) {
  listener.monthCrossed();
  advanceMonth(date.month, date.year);
  applyMonthInfo(date);
  date.day = 1;
  date.monthChanged = true;
}

void stepDayBack(SelectedDate& date, DateListener& listener) {
  if (--date.day < 1) previousMonth(date, listener);
  date.weekday = wrapWeekday(date.weekday - 1);
}

void stepDayForward(SelectedDate& date, DateListener& listener) {
  if (++date.day > date.daysInMonth) nextMonth(date, listener);
  date.weekday = wrapWeekday(date.weekday + 1);
}

bool dayBack(SelectedDate& date, DateListener& listener) {
  if (onOrBefore(date, kFirstYear, 1, 1)) return false;
  stepDayBack(date, listener);
  return true;
}

bool dayForward(SelectedDate& date, DateListener& listener) {
  if (onOrAfter(date, kLastYear, 12, 31)) return false;
  stepDayForward(date, listener);
  return true;
}

bool weekBack(SelectedDate& date, DateListener& listener) {
  if (onOrBefore(date, kFirstYear, 1, 7)) return false;
  for (int i = 0; i < 7; ++i) stepDayBack(date, listener);
  return true;
}

bool weekForward(SelectedDate& date, DateListener& listener) {
  if (onOrAfter(date, kLastYear, 12, 25)) return false;
  for (int i = 0; i < 7; ++i) stepDayForward(date, listener);
  return true;
}

bool monthBack(SelectedDate& date) {
  if (std::tuple(date.year, date.month) <= std::tuple(kFirstYear, 1)) return false;
  if (--date.month < 1) {
    date.month = 12;
    --date.year;
  }
  return true;
}

bool monthForward(SelectedDate& date) {
  if (std::tuple(date.year, date.month) >= std::tuple(kLastYear, 12)) return false;
  advanceMonth(date.month, date.year);
  return true;
}

bool yearBack(SelectedDate& date) {
  if (date.year <= kFirstYear) return false;
  --date.year;
  return true;
}

bool yearForward(SelectedDate& date) {
  if (date.year >= kLastYear) return false;
  ++date.year;
  return true;
}

void goToday(SelectedDate& date, const CalendarDay& today) {
  date.day = today.day;
  date.month = today.month;
  date.year = today.year;
}

void recompute(SelectedDate& date, DateListener& listener) {
  // A garbled system date must not leave a month or day the tables cannot hold.
  date.month = std::clamp(date.month, 1, 12);
  applyMonthInfo(date);
  date.day = std::clamp(date.day, 1, date.daysInMonth);
  date.weekday = weekdayOf(date.day, date.month, date.year);
  listener.dateRecomputed();
}

void stepDayList(DayList& list, int from, int to) {
  if (from < 0 || to < 0 || from > DayList::kMaxDaysAhead || to > DayList::kMaxDaysAhead) return;
  auto f = static_cast<std::size_t>(from), t = static_cast<std::size_t>(to);
  int day = list.listDay[f] + 1;
  int month = list.listMonth[f];
  int year = list.listYear[f];
  auto nextMonthStart = [&] {
    day = 1;
    advanceMonth(month, year);
  };
  if (month == 2 && ((year % 4 != 0 && day == 29) || (year % 4 == 0 && day == 30))) nextMonthStart();
  if ((month == 1 || month == 3 || month == 5 || month == 7 || month == 8 || month == 10 || month == 12) &&
      day == 32)
    nextMonthStart();
  if ((month == 4 || month == 6 || month == 9 || month == 11) && day == 31) nextMonthStart();
  list.listDay[t] = day;
  list.listMonth[t] = month;
  list.listYear[t] = year;
}

void buildDayList(DayList& list, const SelectedDate& date, int n) {
  n = std::clamp(n, 1, DayList::kMaxDaysAhead);
  list.listDay[0] = date.day;
  list.listMonth[0] = date.month;
  list.listYear[0] = date.year;
  for (int i = 0; i < n; ++i) stepDayList(list, i, i + 1);
}

}  // namespace almanouk
