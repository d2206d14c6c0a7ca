#include "calendar/CalendarEntry.h"

#include "platform/Text.h"

namespace almanouk::entry {
namespace {

// Characters from the 1-based position on, without copying: entry lines can be long.
std::string_view from(std::string_view line, std::size_t position) {
  return position <= line.size() ? line.substr(position - 1) : std::string_view();
}

}  // namespace

int day(std::string_view line) { return intValue(line.substr(0, 2)); }

int leadingNumber(std::string_view line) { return intValue(line); }

std::string_view withoutLeadingBlank(std::string_view line) {
  return !line.empty() && line[0] == ' ' ? line.substr(1) : line;
}

bool needsAlignment(std::string_view line) { return day(line) < 10 && line.size() >= 2 && line[1] == ' '; }

int yearAfterFirstBlank(std::string_view line) {
  std::size_t blank = line.find(' ');
  if (blank == std::string_view::npos) return 0;
  // Positions past the blank, 0-based: four characters of year, then a blank.
  int year = intValue(line.substr(blank + 1, 4));
  return kWrittenYears.contains(year) && line.size() > blank + 5 && line[blank + 5] == ' ' ? year : 0;
}

int yearAfterDay(std::string_view line) {
  std::size_t blank = line.substr(0, 3).find(' ');
  return blank == 1 || blank == 2 ? yearAfterFirstBlank(line) : 0;
}

int dueYear(std::string_view line) {
  int year = intValue(from(line, 3));
  return kDueYears.contains(year) ? year : 0;
}

bool isDayCommand(std::string_view line, int alignment) {
  // Only the first nine characters of the aligned line can hold such a "#".
  std::size_t hash = line.substr(0, static_cast<std::size_t>(9 - alignment)).find('#');
  if (hash == std::string_view::npos) return false;
  std::size_t position = hash + 1 + static_cast<std::size_t>(alignment);
  return position >= 4 && position <= 9;
}

bool isTimeCommand(std::string_view line) { return line.find(" # ") != std::string_view::npos; }

std::string commandText(std::string_view line) {
  std::size_t hash = line.find('#');
  return std::string(from(line, hash == std::string_view::npos ? 2 : hash + 3));
}

bool startsWithTime(std::string_view line) { return line.size() >= 6 && line[2] == ':' && line[5] == ' '; }

bool mentionsMinute(std::string_view line, std::string_view hhmm) { return line.find(hhmm) != std::string_view::npos; }

}  // namespace almanouk::entry
