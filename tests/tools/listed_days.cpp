// Prints what the month view lists on every day of a year, from calendar
// files: "yyyy-mm-dd<TAB>hh:mm or -<TAB>text<TAB>description", UTF-8. Day
// commands are started, never listed, and are left out. The iCalendar test
// sets an independent reader of the export against this.

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "calendar/CalendarModel.h"
#include "calendar/Dates.h"
#include "platform/Text.h"

using namespace almanouk;

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: listed_days YEAR CALENDAR-FILE...\n");
    return 2;
  }
  const int year = std::stoi(argv[1]);
  for (int file = 2; file < argc; ++file) {
    std::ostringstream bytes;
    bytes << std::ifstream(argv[file], std::ios::binary).rdbuf();
    CalendarModel calendar(bytes.str());
    const std::string description = calendar.lines().empty() ? "" : cp437ToUtf8(calendar.lines()[0]);
    for (int month = 1; month <= 12; ++month)
      for (int day = 1; day <= monthInfo(month, year).days; ++day)
        forEachListed(calendar, {day, month, year, weekdayOf(day, month, year)}, [&](const Entry& entry) {
          if (entry.isDayCommand()) return;
          std::string time = entry.time ? std::to_string(*entry.time / 60 + 100).substr(1) + ":" +
                                              std::to_string(*entry.time % 60 + 100).substr(1)
                                        : "-";
          std::printf("%04d-%02d-%02d\t%s\t%s\t%s\n", year, month, day, time.c_str(), cp437ToUtf8(entry.text).c_str(),
                      description.c_str());
        });
  }
  return 0;
}
