#include "calendar/Dates.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace almanouk;
namespace chr = std::chrono;

namespace {

struct CountingListener : DateListener {
  int crossed = 0;
  int recomputed = 0;
  void monthCrossed() override { ++crossed; }
  void dateRecomputed() override { ++recomputed; }
};

SelectedDate dateOf(int day, int month, int year) {
  SelectedDate date;
  setDate(date, day, month, year);
  return date;
}

void expectDate(const SelectedDate& date, int day, int month, int year) {
  EXPECT_EQ(date.day, day);
  EXPECT_EQ(date.month, month);
  EXPECT_EQ(date.year, year);
  EXPECT_EQ(date.weekday, weekdayOf(day, month, year)) << day << "-" << month << "-" << year;
  EXPECT_EQ(date.daysInMonth, monthInfo(month, year).days);
  EXPECT_EQ(date.daysBeforeMonth, daysBeforeMonth(month, year));
}

chr::year_month_day ymd(int day, int month, int year) {
  return chr::year{year} / chr::month{static_cast<unsigned>(month)} / chr::day{static_cast<unsigned>(day)};
}

// ISO 8601 week: the week of a day is the one holding its Thursday.
int isoWeek(int day, int month, int year) {
  chr::sys_days date{ymd(day, month, year)};
  unsigned iso = chr::weekday{date}.iso_encoding();
  chr::sys_days thursday = date + chr::days{4 - static_cast<int>(iso)};
  chr::year thursdayYear = chr::year_month_day{thursday}.year();
  return static_cast<int>((thursday - chr::sys_days{thursdayYear / 1 / 1}).count() / 7 + 1);
}

}  // namespace

TEST(Dates, WeekdayCheckValuesAndLeapYears) {
  EXPECT_EQ(weekdayOf(1, 1, 1901), 2);
  EXPECT_EQ(weekdayOf(1, 1, 2012), 7);
  EXPECT_EQ(weekdayOf(29, 2, 2000), 2);
  EXPECT_EQ(weekdayOf(31, 12, 2100), 5);
  EXPECT_TRUE(isLeapYear(2000));
  EXPECT_FALSE(isLeapYear(1900));
  EXPECT_FALSE(isLeapYear(2100));
  EXPECT_EQ(monthInfo(2, 2000).days, 29);
  EXPECT_EQ(monthInfo(2, 2100).days, 28);
  EXPECT_EQ(daysBeforeMonth(3, 2012), 60);
}

TEST(Dates, WeekdayMatchesTheCalendarOnEveryDay) {
  for (int year = kFirstYear; year <= kLastYear + 1; ++year)
    for (int month = 1; month <= 12; ++month)
      for (int day = 1; day <= monthInfo(month, year).days; ++day) {
        unsigned expected = chr::weekday{chr::sys_days{ymd(day, month, year)}}.iso_encoding();
        ASSERT_EQ(weekdayOf(day, month, year), static_cast<int>(expected)) << day << "-" << month << "-" << year;
      }
}

TEST(Dates, GridRowsShowIsoWeeksForEveryMonth) {
  for (int year = kFirstYear; year <= kLastYear; ++year)
    for (int month = 1; month <= 12; ++month) {
      int first = weekdayOf(1, month, year);
      int start = weekOfMonthStart(daysBeforeMonth(month, year), first);
      int days = monthInfo(month, year).days;
      // Row n begins with the 1st (n = 0) or with its Monday.
      for (int n = 0, rowStart = 1; rowStart <= days; ++n, rowStart = 2 - first + 7 * n) {
        int shown = start + n;
        if (start == 0 && n == 0) shown = weekOfPreviousYearEnd(year);
        if (month == 12 && rowStart >= 29) shown = 1;
        int rowEnd = std::min(days, rowStart + (n == 0 ? 7 - first : 6));
        for (int day = rowStart; day <= rowEnd; ++day)
          ASSERT_EQ(shown, isoWeek(day, month, year)) << day << "-" << month << "-" << year;
      }
    }
  EXPECT_EQ(weekOfPreviousYearEnd(2010), 53);
  EXPECT_EQ(weekOfPreviousYearEnd(2016), 53);
  EXPECT_EQ(weekOfPreviousYearEnd(2011), 52);
}

TEST(Dates, BackwardMovesStopAtTheFirstOf1901) {
  CountingListener listener;
  SelectedDate date = dateOf(1, 1, 1901);
  EXPECT_FALSE(dayBack(date, listener));
  EXPECT_FALSE(monthBack(date));
  EXPECT_FALSE(yearBack(date));
  for (int day = 1; day <= 7; ++day) {
    date = dateOf(day, 1, 1901);
    EXPECT_FALSE(weekBack(date, listener));
    expectDate(date, day, 1, 1901);
  }
  date = dateOf(31, 1, 1901);
  EXPECT_FALSE(monthBack(date));
  EXPECT_FALSE(yearBack(date));
  expectDate(date, 31, 1, 1901);
  EXPECT_EQ(listener.crossed, 0);

  date = dateOf(8, 1, 1901);
  EXPECT_TRUE(weekBack(date, listener));
  expectDate(date, 1, 1, 1901);
  date = dateOf(2, 1, 1901);
  EXPECT_TRUE(dayBack(date, listener));
  expectDate(date, 1, 1, 1901);
  date = dateOf(15, 2, 1901);
  EXPECT_TRUE(monthBack(date));
  EXPECT_EQ(date.month, 1);
  for (int month = 1; month <= 12; ++month) {
    date = dateOf(1, month, 1902);
    EXPECT_TRUE(yearBack(date));
    recompute(date, listener);
    expectDate(date, 1, month, 1901);
  }
}

TEST(Dates, ForwardMovesStopAtTheEndOf2099) {
  CountingListener listener;
  SelectedDate date = dateOf(31, 12, 2099);
  EXPECT_FALSE(dayForward(date, listener));
  EXPECT_FALSE(monthForward(date));
  EXPECT_FALSE(yearForward(date));
  expectDate(date, 31, 12, 2099);
  for (int day = 25; day <= 31; ++day) {
    date = dateOf(day, 12, 2099);
    EXPECT_FALSE(weekForward(date, listener));
    expectDate(date, day, 12, 2099);
  }
  date = dateOf(1, 12, 2099);
  EXPECT_FALSE(monthForward(date));
  date = dateOf(1, 1, 2099);
  EXPECT_FALSE(yearForward(date));
  EXPECT_EQ(date.year, 2099);
  EXPECT_EQ(listener.crossed, 0);

  date = dateOf(24, 12, 2099);
  EXPECT_TRUE(weekForward(date, listener));
  expectDate(date, 31, 12, 2099);
  date = dateOf(30, 11, 2099);
  EXPECT_TRUE(monthForward(date));
  EXPECT_EQ(date.month, 12);
  date = dateOf(31, 12, 2098);
  EXPECT_TRUE(yearForward(date));
  EXPECT_EQ(date.year, 2099);

  // The midnight roll-over and the diary step on regardless.
  date = dateOf(31, 12, 2099);
  stepDayForward(date, listener);
  expectDate(date, 1, 1, 2100);
  EXPECT_EQ(date.weekday, 5);
  stepDayBack(date, listener);
  stepDayBack(date, listener);
  expectDate(date, 30, 12, 2099);
}

TEST(Dates, DayMovesRollOverMonthsAndTellTheListener) {
  CountingListener listener;
  SelectedDate date = dateOf(31, 12, 2012);
  EXPECT_TRUE(dayForward(date, listener));
  expectDate(date, 1, 1, 2013);
  EXPECT_EQ(date.weekday, 2);
  EXPECT_EQ(date.monthName, "januari");
  EXPECT_TRUE(date.monthChanged);
  EXPECT_EQ(listener.crossed, 1);

  date.monthChanged = false;
  EXPECT_TRUE(dayBack(date, listener));
  expectDate(date, 31, 12, 2012);
  EXPECT_TRUE(date.monthChanged);
  EXPECT_EQ(listener.crossed, 2);

  date = dateOf(15, 6, 2012);
  EXPECT_TRUE(dayForward(date, listener));
  EXPECT_FALSE(date.monthChanged);
  EXPECT_EQ(listener.crossed, 2);
}

TEST(Dates, WeekMovesAcrossLeapFebruary) {
  CountingListener listener;
  SelectedDate date = dateOf(3, 3, 2012);
  EXPECT_TRUE(weekBack(date, listener));
  expectDate(date, 25, 2, 2012);
  EXPECT_EQ(listener.crossed, 1);
  EXPECT_TRUE(weekForward(date, listener));
  expectDate(date, 3, 3, 2012);

  date = dateOf(3, 3, 2013);
  EXPECT_TRUE(weekBack(date, listener));
  expectDate(date, 24, 2, 2013);
  date = dateOf(26, 2, 2000);
  EXPECT_TRUE(weekForward(date, listener));
  expectDate(date, 4, 3, 2000);
}

TEST(Dates, MonthAndYearMovesClampTheDay) {
  CountingListener listener;
  SelectedDate date = dateOf(31, 1, 2012);
  EXPECT_TRUE(monthForward(date));
  recompute(date, listener);
  expectDate(date, 29, 2, 2012);
  EXPECT_EQ(date.weekday, 3);
  EXPECT_EQ(listener.recomputed, 1);
  EXPECT_EQ(listener.crossed, 0);

  EXPECT_TRUE(yearForward(date));
  recompute(date, listener);
  expectDate(date, 28, 2, 2013);

  date = dateOf(31, 3, 2013);
  EXPECT_TRUE(monthForward(date));
  recompute(date, listener);
  expectDate(date, 30, 4, 2013);

  date = dateOf(31, 1, 2013);
  EXPECT_TRUE(monthBack(date));
  recompute(date, listener);
  expectDate(date, 31, 12, 2012);
  EXPECT_EQ(date.monthName, "december");
}

TEST(Dates, TodayIsTheLocalDate) {
  LocalDateTime now = *LocalDateTime::parse("2000-02-29 23:59:59");
  CountingListener listener;
  SelectedDate date = dateOf(5, 7, 1950);
  goToday(date, calendarDay(now));
  recompute(date, listener);
  expectDate(date, 29, 2, 2000);
}

TEST(Dates, DayListRunsThroughLeapDayAndYearEnd) {
  DayList list;
  buildDayList(list, dateOf(20, 2, 2000), 30);
  EXPECT_EQ(list.listDay[0], 20);
  EXPECT_EQ(list.listDay[9], 29);
  EXPECT_EQ(list.listMonth[9], 2);
  EXPECT_EQ(list.listDay[10], 1);
  EXPECT_EQ(list.listMonth[10], 3);
  EXPECT_EQ(list.listDay[30], 21);
  EXPECT_EQ(list.listMonth[30], 3);

  buildDayList(list, dateOf(28, 2, 2013), 1);
  EXPECT_EQ(list.listDay[1], 1);
  EXPECT_EQ(list.listMonth[1], 3);

  buildDayList(list, dateOf(25, 12, 2012), 10);
  EXPECT_EQ(list.listDay[6], 31);
  EXPECT_EQ(list.listDay[7], 1);
  EXPECT_EQ(list.listMonth[7], 1);
  EXPECT_EQ(list.listYear[7], 2013);
  EXPECT_EQ(list.listDay[10], 4);
}

TEST(Dates, DayListLengthIsClampedToOneToThirty) {
  DayList list;
  list.listDay.fill(-1);
  buildDayList(list, dateOf(30, 4, 2012), 0);
  EXPECT_EQ(list.listDay[1], 1);
  EXPECT_EQ(list.listMonth[1], 5);
  EXPECT_EQ(list.listDay[2], -1);

  buildDayList(list, dateOf(1, 1, 2012), 99);
  EXPECT_EQ(list.listDay[30], 31);
  EXPECT_EQ(list.listMonth[30], 1);
}
