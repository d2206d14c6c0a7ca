#pragma once
// The rules by which the readers take a calendar entry line apart: a day
// number or weekday, an optional four-digit year, an optional hh:mm time and
// an optional "# " command. They work on the line as a reader holds it (as
// written, with one leading blank dropped, or put on today's day), so they
// take text; CalendarModel's Entry applies them to the forms each reader sees.

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
// The line without its first character when that is a blank.
std::string_view withoutLeadingBlank(std::string_view line);

// A one-digit day written as the digit and a blank gets a blank in front in
// the event list, so that it lines up with two-digit days: "1 Een" is listed
// as " 1 Een".
bool needsAlignment(std::string_view line);

// The year named by the four characters after the line's first blank when a
// blank follows them and the year is one of kWrittenYears; 0 otherwise.
int yearAfterFirstBlank(std::string_view line);
// The same, but only when the first blank follows a day or weekday (position 2 or 3).
int yearAfterDay(std::string_view line);
// The alarm scan's year test of a line due today: the number from character 3
// on, when it is one of kDueYears; 0 otherwise.
int dueYear(std::string_view line);

// A day command ("12 # c:\..."): the first "#" at positions 4 to 9 of a line
// whose one-digit day has been aligned (pass the blank put in front, 0 or 1).
bool isDayCommand(std::string_view line, int alignment = 0);
// A time command ("20 10:30 # defrag c:"): the line holds " # ".
bool isTimeCommand(std::string_view line);
// The command: the text from two characters after the first "#".
std::string commandText(std::string_view line);

// A daily entry: hh:mm and a blank at the start of the line.
bool startsWithTime(std::string_view line);
// The minute hh:mm stands anywhere in the line.
bool mentionsMinute(std::string_view line, std::string_view hhmm);

}  // namespace almanouk::entry
