#include "calendar/CalendarEntry.h"

#include "platform/Text.h"

namespace almanouk::entry {

int day(std::string_view line) { return intValue(left(line, 2)); }

int leadingNumber(std::string_view line) { return intValue(line); }

std::string withAlignedDay(std::string line) {
  if (day(line) < 10 && mid(line, 2, 1) == " ") line.insert(line.begin(), ' ');
  return line;
}

namespace {

int yearAfterBlank(std::string_view line, int blank) {
  int year = intValue(mid(line, blank + 1, 5));
  return kWrittenYears.contains(year) && mid(line, blank + 5, 1) == " " ? year : 0;
}

}  // namespace

int namedYear(std::string_view line) { return yearAfterBlank(line, find(line, " ")); }

int listedYear(std::string_view line) {
  if (!line.empty() && line[0] == ' ') line.remove_prefix(1);
  int blank = find(line, " ");
  return blank == 2 || blank == 3 ? yearAfterBlank(line, blank) : 0;
}

int dueYear(std::string_view line) {
  int year = intValue(mid(line, 3));
  return kDueYears.contains(year) ? year : 0;
}

bool isDayCommand(std::string_view alignedLine) {
  int hash = find(alignedLine, "#");
  return hash >= 4 && hash <= 9;
}

bool isTimeCommand(std::string_view line) { return find(line, " # ") > 0; }

std::string commandText(std::string_view line) { return mid(line, find(line, "#") + 2); }

bool startsWithTime(std::string_view line) { return mid(line, 3, 1) == ":" && mid(line, 6, 1) == " "; }

bool mentionsMinute(std::string_view line, std::string_view hhmm) { return find(line, hhmm) > 0; }

}  // namespace almanouk::entry
