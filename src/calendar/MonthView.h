#pragma once
// The main screen: the month grid with its header bar, week numbers, the
// selected day and the diary days, and around it the event list of the
// selected day and the days ahead, read from the active calendar file.

#include <string>
#include <string_view>
#include <vector>

namespace almanouk {

class Platform;
class ScreenBuffer;
struct Settings;
struct SelectedDate;
struct DayList;

// Starts the day commands the event list meets (an entry with "#" just after
// its day number or year). Returns true when the command was started, so the
// list blanks the place where the entry would have stood.
class DayCommandLauncher {
 public:
  virtual ~DayCommandLauncher() = default;
  virtual bool launchDayCommand(const std::string& entry) = 0;
};

class MonthView {
 public:
  static constexpr std::size_t kOverflowLines = 100;

  // keyCode is the main loop's: the renderer leaves the header gradient out for F4.
  MonthView(Platform& platform, ScreenBuffer& buffer, const Settings& settings, const SelectedDate& date,
            const std::string& titleText, const int& keyCode);

  // Set by the diary while it covers the screen: frame, grid and cell clearing then write nothing.
  bool monthViewHidden = false;

  // Column header and grid box, then the whole buffer is rendered.
  void drawMonthFrame();
  // Header bar (year, month, clock), the title line on the first two calls,
  // week numbers and day numbers with their colours.
  void fillMonthGrid();
  void clearDayCells();
  // Lists the entries of the selected day and the days ahead; day commands go
  // to the launcher instead of the list.
  void drawEventList(const DayList& days, int daysAhead, DayCommandLauncher& launcher);
  // Scrolls the list one line per "s"; returns the key that ended scrolling.
  std::string scrollEventList();

  const std::vector<std::string>& overflow() const { return overflow_; }

 private:
  struct ListCursor;
  void listDay(int day, int month, int year, int weekday, bool withWeekly, DayCommandLauncher& launcher,
               ListCursor& cursor);
  void listDatedSection(std::string_view section, int day, int year, DayCommandLauncher& launcher,
                        ListCursor& cursor);
  void listWeeklySection(int weekday, int year, DayCommandLauncher& launcher, ListCursor& cursor);
  void listEntry(std::string entry, int year, DayCommandLauncher& launcher, ListCursor& cursor);
  void printEntry(std::string entry, ListCursor& cursor);
  void writeDayNumber(int row, int weekday, int day);
  void scrollOneLine();

  Platform& platform_;
  ScreenBuffer& buffer_;
  const Settings& settings_;
  const SelectedDate& date_;
  const std::string& titleText_;
  const int& keyCode_;
  int titleCalls_ = 0;
  std::vector<std::string> overflow_;
  std::size_t scrollIndex_ = 0;
};

}  // namespace almanouk
