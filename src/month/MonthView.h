#pragma once
// The main screen: the month grid with its header bar, week numbers, the
// selected day and the diary days, and around it the event list of the
// selected day and the days ahead, from the model of the active calendar.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace almanouk {

class CalendarCache;
class CalendarModel;
class DayCommandLauncher;
class Platform;
struct ListedDay;
struct LocalDateTime;
class ScreenBuffer;
struct Settings;
struct SelectedDate;
struct DayList;

class MonthView {
 public:
  static constexpr std::size_t kOverflowLines = 100;

  MonthView(Platform& platform, ScreenBuffer& buffer, const Settings& settings, const SelectedDate& date,
            const std::string& titleText, CalendarCache& calendars);
  MonthView(const MonthView&) = delete;
  MonthView& operator=(const MonthView&) = delete;

  // Set while the diary covers the screen: frame, grid and cell clearing then write nothing.
  bool monthViewHidden = false;

  // Column header and grid box, then the whole buffer is rendered.
  void drawMonthFrame();
  // Header bar (year, month, clock), the title line on the first two calls,
  // week numbers and day numbers with their colours.
  void fillMonthGrid();
  // The header bar's clock, printed and shaded at once.
  void drawClock(const LocalDateTime& now);
  void clearDayCells();
  // Lists the entries of the selected day and the days ahead. Day commands
  // are never listed; they go to the launcher unless this drawing follows a
  // navigation or another screen (launch false).
  void drawEventList(const DayList& days, int daysAhead, DayCommandLauncher& launcher, bool launch);
  // Moves the list up a line in the buffer, bringing in the next line that did not fit.
  void scrollOneLine();
  // The next list starts unscrolled.
  void endScroll() { scrollIndex_ = 0; }

  const std::vector<std::string>& overflow() const { return overflow_; }

 private:
  struct ListCursor;
  void listDay(const CalendarModel& calendar, const ListedDay& day, ListCursor& cursor);
  void printEntry(std::string_view line, std::size_t alignment, ListCursor& cursor);
  void writeDayNumber(int row, int weekday, int day);

  Platform& platform_;
  ScreenBuffer& buffer_;
  const Settings& settings_;
  const SelectedDate& date_;
  const std::string& titleText_;
  CalendarCache& calendars_;
  int titleCalls_ = 0;
  std::vector<std::string> overflow_;
  std::size_t scrollIndex_ = 0;
};

}  // namespace almanouk
