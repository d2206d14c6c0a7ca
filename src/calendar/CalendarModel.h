#pragma once
// A calendar file parsed once per version: its lines, the lines the readers
// take as each section's entries, those entries taken apart, and indexes by
// day. The event list and the alarm scan query it in memory; CalendarCache
// hands out the model of a file's current version.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace almanouk {

// The fifteen sections in file order.
enum class Section : std::uint8_t {
  Monthly,
  Weekly,
  Daily,
  January,
  February,
  March,
  April,
  May,
  June,
  July,
  August,
  September,
  October,
  November,
  December,
};
inline constexpr int kSections = 15;
// The section of month 1-12.
Section monthSection(int month);

// The lines of a text file without their line ends (LF or CR LF), as a file
// is read line by line: a last line without an end counts too.
std::vector<std::string_view> textLines(std::string_view bytes);

// One line of a section as the readers take it, with its fields after the
// format: day or weekday, [year], [hh:mm], then text or "# " and a command.
// A line that fits no shape (the next header of an empty section among them)
// is an entry all the same, with no day and no fields: the readers see it.
// The views point into the model, which outlives its entries.
struct Entry {
  Entry(Section section, std::string_view line, int lineNumber);

  Section section;
  // The value of the first two characters in the month sections and
  // "Maandelijks"; in "Wekelijks" the weekday 1-7 that the first three
  // characters name in any case ("Do ", "do "); 0 for none, and in "Dagelijks".
  int day = 0;
  std::optional<int> year;                  // a one-off entry's year
  std::optional<int> time;                  // hh:mm as minutes after midnight
  std::optional<std::string_view> command;  // what follows "# " after those fields
  std::string_view text;                    // the rest of the line after day, year and time
  std::string_view line;                    // the whole line as written
  int lineNumber = 0;                       // 1-based, as the alarm scan counts for its marks

  // Three readers take a year by three rules, and each must keep its own:
  // The event list's rule, the format's: four digits right after the day or weekday (the year field).
  int listedYear() const { return year.value_or(0); }
  // The alarm scan's entry step: after the line's first blank wherever it stands ("100 2008 x" names 2008).
  int namedYear() const { return namedYear_; }
  // The alarm scan's day run on a line due today: any 1901-2099 from the third character on ("05 2008x" counts).
  int dueYear() const { return dueYear_; }
  // The alarm scan's day: the whole line's leading number (" 5", "5x" and "05" are all 5).
  int leadingNumber() const { return leadingNumber_; }

  // The event list puts a blank in front of a one-digit day written as the digit and a blank.
  int alignment() const { return alignment_; }
  std::string aligned() const;
  // The event list starts the command of an entry with "#" right after its day or year.
  bool isDayCommand() const;

 private:
  int namedYear_ = 0;
  int dueYear_ = 0;
  int leadingNumber_ = 0;
  int alignment_ = 0;
};

class CalendarModel {
 public:
  // The bytes of a calendar file, code page 437, lines ended by CR LF or LF.
  explicit CalendarModel(std::string bytes);
  // The views into bytes_ must not move.
  CalendarModel(const CalendarModel&) = delete;
  CalendarModel& operator=(const CalendarModel&) = delete;

  const std::string& bytes() const { return bytes_; }
  // Without their line ends; a last line without one counts too.
  const std::vector<std::string_view>& lines() const { return lines_; }

  // A section's entries, found as the readers always found them: after the
  // first line whose text, lower-cased (A-Z only), is the section's name, and
  // past the blank lines after it, up to the next blank line. An empty
  // section's entries therefore start at the next header; a section whose
  // header is missing, or followed only by blank lines, has none.
  std::span<const Entry> entries(Section section) const;
  // All sections' entries, "Maandelijks" first.
  std::span<const Entry> entries() const { return entries_; }
  // The entries of a section whose day is 1-31 (in "Wekelijks" the weekday 1-7), in file order.
  std::span<const Entry* const> on(Section section, int day) const;
  // Every entry with a time, in the order of entries().
  std::span<const Entry* const> timed() const { return timed_; }
  // Whether the event list reads a dated section at all: not when its first
  // entry has no day (an empty section's "entry" is the next header).
  bool listsSection(Section section) const;

 private:
  static constexpr int kDays = 31;
  struct SectionIndex {
    std::size_t first = 0, end = 0;  // in entries_
    std::array<std::vector<const Entry*>, kDays + 1> byDay;
  };

  static std::size_t indexOf(Section section) { return static_cast<std::size_t>(section); }

  std::string bytes_;
  std::vector<std::string_view> lines_;
  std::vector<Entry> entries_;
  std::array<SectionIndex, kSections> sections_;
  std::vector<const Entry*> timed_;
};

// A section header or the end line, in any case: where a section's entries end at the latest.
bool isHeaderLine(std::string_view line);
// The end line "Einde", in any case.
bool isEndLine(std::string_view line);

// A day as the event list lists it: its month's section, "Maandelijks" and,
// for the selected day only (weekday 1-7; 0 for the days ahead), "Wekelijks".
struct ListedDay {
  int day = 1, month = 1, year = 2000;
  int weekday = 0;
};
// The event list takes a weekly entry only when its weekday is written as in
// "Do ", where the alarm scan takes any case.
bool listedWeekly(const Entry& entry);
// The entries the event list lists for the day, in its order: one-off entries
// only in their year; day commands among them (the list starts those rather
// than show them).
void forEachListed(const CalendarModel& calendar, const ListedDay& day, const std::function<void(const Entry&)>& visit);

}  // namespace almanouk
