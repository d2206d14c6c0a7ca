#pragma once
// The parts of a calendar entry line: a day number or weekday, an optional
// four-digit year, an optional hh:mm time and an optional "# " command.
// The readers take the year by slightly different rules, each named here.

#include <string>
#include <string_view>

namespace almanouk::entry {

struct YearRange {
  int first;
  int last;
  bool contains(int year) const { return year >= first && year <= last; }
};
// A year written after the day or weekday ("11 2004 ...", "Vr 2008 ...").
inline constexpr YearRange kWrittenYears{1801, 2099};
// The alarm scan's second look at a line due today: the number after the day.
inline constexpr YearRange kDueYears{1901, 2099};

// The day of the month: the value of the first two characters ("01", " 1", "1 ").
int day(std::string_view line);
// The whole line's leading number, as the alarm scan reads a day.
int leadingNumber(std::string_view line);

// A one-digit day written as the digit and a blank gets a blank in front, so
// that it lines up with two-digit days: "1 Een" becomes " 1 Een".
std::string withAlignedDay(std::string line);

// The year named by the four characters after the line's first blank when a
// blank follows them and the year is one of kWrittenYears; 0 otherwise. The
// alarm scan reads a year wherever the first blank stands.
int namedYear(std::string_view line);
// The event list's rule: the same, but only right after a day or weekday (the
// first blank at position 2 or 3), and after one leading blank is dropped.
int listedYear(std::string_view line);
// The alarm scan's year test of a line due today: the number from character 3
// on, when it is one of kDueYears; 0 otherwise.
int dueYear(std::string_view line);

// A day command ("12 # c:\..."): the first "#" at positions 4 to 9 of a line
// whose one-digit day has been aligned.
bool isDayCommand(std::string_view alignedLine);
// A time command ("20 10:30 # defrag c:"): the line holds " # ".
bool isTimeCommand(std::string_view line);
// The command: the text from two characters after the first "#".
std::string commandText(std::string_view line);

// A daily entry: hh:mm and a blank at the start of the line.
bool startsWithTime(std::string_view line);
// The minute hh:mm stands anywhere in the line.
bool mentionsMinute(std::string_view line, std::string_view hhmm);

}  // namespace almanouk::entry
