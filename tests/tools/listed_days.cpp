// Prints what the month view lists on every day of a year (or of the days
// FROM to TO, both yyyy-mm-dd), from calendar files: "yyyy-mm-dd<TAB>hh:mm
// or -<TAB>text<TAB>description", UTF-8. Day commands are started, never
// listed, and are left out. With --dagelijks the daily entries come too, on
// every day: they are never listed, but they ring. The iCalendar tests set
// independent readers against this.

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "calendar/CalendarModel.h"
#include "calendar/Dates.h"
#include "platform/Text.h"

using namespace almanouk;

namespace {

std::string clock(const Entry& entry) {
  if (!entry.time) return "-";
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", *entry.time / 60 % 100, *entry.time % 60);
  return text;
}

std::optional<CalendarDay> dayOf(const std::string& text) {
  CalendarDay day;
  if (std::sscanf(text.c_str(), "%d-%d-%d", &day.year, &day.month, &day.day) != 3) return std::nullopt;
  return day;
}

CalendarDay next(CalendarDay day) {
  if (++day.day > monthInfo(day.month, day.year).days) {
    day.day = 1;
    if (++day.month > 12) {
      day.month = 1;
      ++day.year;
    }
  }
  return day;
}

bool after(const CalendarDay& a, const CalendarDay& b) {
  return a.year != b.year ? a.year > b.year : a.month != b.month ? a.month > b.month : a.day > b.day;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const bool daily = !args.empty() && args[0] == "--dagelijks";
  if (daily) args.erase(args.begin());
  if (args.size() < 2) {
    std::fprintf(stderr, "usage: listed_days [--dagelijks] YEAR|FROM:TO CALENDAR-FILE...\n");
    return 2;
  }
  CalendarDay first{1, 1, std::atoi(args[0].c_str())}, last{31, 12, first.year};
  if (const std::size_t colon = args[0].find(':'); colon != std::string::npos) {
    const auto from = dayOf(args[0].substr(0, colon)), to = dayOf(args[0].substr(colon + 1));
    if (!from || !to) return 2;
    first = *from;
    last = *to;
  }
  for (std::size_t file = 1; file < args.size(); ++file) {
    std::ostringstream bytes;
    bytes << std::ifstream(args[file], std::ios::binary).rdbuf();
    CalendarModel calendar(bytes.str());
    const std::string description = calendar.lines().empty() ? "" : cp437ToUtf8(calendar.lines()[0]);
    auto print = [&](const CalendarDay& day, const Entry& entry) {
      std::printf("%04d-%02d-%02d\t%s\t%s\t%s\n", day.year, day.month, day.day, clock(entry).c_str(),
                  cp437ToUtf8(entry.text).c_str(), description.c_str());
    };
    for (CalendarDay day = first; !after(day, last); day = next(day)) {
      forEachListed(calendar, {day.day, day.month, day.year, weekdayOf(day.day, day.month, day.year)},
                    [&](const Entry& entry) {
                      if (!entry.isDayCommand()) print(day, entry);
                    });
      if (daily)
        for (const Entry& entry : calendar.entries(Section::Daily))
          if (entry.time) print(day, entry);
    }
  }
  return 0;
}
