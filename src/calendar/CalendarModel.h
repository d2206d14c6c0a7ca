#pragma once
// A calendar file parsed once per version: its lines, the lines the readers
// take as each section's entries, those entries taken apart, and indexes by
// day. The event list and the alarm scan query it in memory; CalendarCache
// hands out the model of a file's current version.

#include <algorithm>
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

// The section a header line names, in any case ("Maandelijks" is 0,
// "December" 14), kEndSection for the end line "Einde", -1 for any other line.
inline constexpr int kEndSection = kSections;
int headerSection(std::string_view line);
// A section header or the end line, in any case.
inline bool isHeaderLine(std::string_view line) { return headerSection(line) >= 0; }
// The end line "Einde", in any case.
inline bool isEndLine(std::string_view line) { return headerSection(line) == kEndSection; }

// Where a calendar's structure lies among its lines, as every reader finds
// it: each section's header is the first line, from the first line after the
// calendar's three header lines up to the end line, that is the section's name
// in any case; a section's entries run from the first non-blank line after
// the header up to the next blank line or header line.
struct SectionLayout {
  // Lines 1-3 are the description, diary key and days ahead, never a header.
  static constexpr std::size_t kFirstSectionLine = 3;

  std::size_t firstLine = kFirstSectionLine;  // the first line that can be a header
  std::array<std::optional<std::size_t>, kSections> headers{};
  std::optional<std::size_t> end;  // the first end line
  struct Run {
    std::size_t first = 0, end = 0;  // [first, end)
  };
  std::array<Run, kSections> runs{};

  // lines[first] is the first line that can be a header.
  template <typename Lines>
  static SectionLayout of(const Lines& lines, std::size_t first = kFirstSectionLine);

  // The section whose entry the line is, or -1.
  int sectionOfEntry(std::size_t line) const;
  // The section whose header is the nearest one above the line, or -1.
  int sectionAbove(std::size_t line) const;
};

// How a line of a calendar stands: counted as an entry of its section, or
// why it counts on no day. The list editor shows it; the export and the
// import name the lines that count nowhere.
enum class Standing : std::uint8_t {
  Counts,      // an entry of its section, in the shape its section asks for
  Blank,
  Header,      // a section's header or the end line, as the readers find them
  BelowBlank,  // under a blank line that closed its section's entries
  HeaderCopy,  // a second line with a section's name: the first one is its header
  UnderCopy,   // under such a second copy
  Outside,     // above the first section's header
  AfterEnd,    // after the end line: nothing there is kept
  NoDay,       // in its section, but without the day (weekday, time) it asks for
};
struct LineStanding {
  Standing standing = Standing::Blank;
  int section = -1;  // the section of the nearest header above, or -1
  bool counts() const { return standing == Standing::Counts; }
  // Neither blank nor structure, and counting on no day.
  bool dead() const;
};
// How lines [first, first + count) stand, in one pass.
template <typename Lines>
std::vector<LineStanding> standingsOf(const SectionLayout& layout, const Lines& lines, std::size_t first,
                                      std::size_t count);
template <typename Lines>
LineStanding standingOf(const SectionLayout& layout, const Lines& lines, std::size_t line);
// Whether an entry line of the section has the shape the section asks for:
// a day that the month has (Februari: up to 29), a weekday, or in
// "Dagelijks" a time hh:mm.
bool hasSectionShape(Section section, std::string_view line);
// Why a line counts on no day, for the list editor's bottom row; empty when it counts.
std::string standingReason(const LineStanding& standing);

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

  // A section's entries as SectionLayout finds them; a section whose header
  // is missing, or followed only by blank lines, has none.
  std::span<const Entry> entries(Section section) const;
  // All sections' entries, "Maandelijks" first.
  std::span<const Entry> entries() const { return entries_; }
  // The entries of a section whose day is 1-31 (in "Wekelijks" the weekday 1-7), in file order.
  std::span<const Entry* const> on(Section section, int day) const;
  // Every entry with a time, in the order of entries().
  std::span<const Entry* const> timed() const { return timed_; }
  // Where the sections lie.
  const SectionLayout& layout() const { return layout_; }

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
  SectionLayout layout_;
};

// A line of a calendar's sections that counts on no day, and why: what the
// export and the import name, so that the user can mend it.
struct DeadLine {
  int lineNumber;  // 1-based
  std::string_view line;
  std::string why;
};
// Lines after the end line are no part of the calendar and are not named.
std::vector<DeadLine> deadLines(const CalendarModel& calendar);

// A day as the event list lists it: its month's section, "Maandelijks" and,
// for the selected day only (weekday 1-7; 0 for the days ahead), "Wekelijks".
struct ListedDay {
  int day = 1, month = 1, year = 2000;
  int weekday = 0;
};
// The entries the event list lists for the day, in its order: one-off entries
// only in their year; day commands among them (the list starts those rather
// than show them).
void forEachListed(const CalendarModel& calendar, const ListedDay& day, const std::function<void(const Entry&)>& visit);

template <typename Lines>
SectionLayout SectionLayout::of(const Lines& lines, std::size_t first) {
  SectionLayout layout;
  layout.firstLine = first;
  std::size_t limit = lines.size();
  for (std::size_t i = first; i < limit; ++i) {
    const int section = headerSection(lines[i]);
    if (section == kEndSection) {
      layout.end = i;
      limit = i;
    } else if (section >= 0 && !layout.headers[static_cast<std::size_t>(section)]) {
      layout.headers[static_cast<std::size_t>(section)] = i;
    }
  }
  for (std::size_t section = 0; section < layout.headers.size(); ++section) {
    if (!layout.headers[section]) continue;
    std::size_t entry = *layout.headers[section] + 1;
    while (entry < limit && std::string_view(lines[entry]).empty()) ++entry;
    std::size_t end = entry;
    while (end < limit && !std::string_view(lines[end]).empty() && !isHeaderLine(lines[end])) ++end;
    layout.runs[section] = {entry, end};
  }
  return layout;
}

template <typename Lines>
std::vector<LineStanding> standingsOf(const SectionLayout& layout, const Lines& lines, std::size_t first,
                                      std::size_t count) {
  // What closed the entries above the first line: a blank line or a copy of
  // a header (under the calendar's own header the lines are its entries).
  Standing closer = Standing::Outside;
  for (std::size_t i = first; i-- > layout.firstLine;) {
    const std::string_view before = lines[i];
    if (before.empty() || isHeaderLine(before)) {
      closer = before.empty() ? Standing::BelowBlank : Standing::UnderCopy;
      break;
    }
  }
  // The headers and the runs in line order, passed by as the lines go by.
  std::vector<std::pair<std::size_t, int>> headers, runs;
  for (std::size_t section = 0; section < layout.headers.size(); ++section) {
    if (!layout.headers[section]) continue;
    headers.emplace_back(*layout.headers[section], static_cast<int>(section));
    if (layout.runs[section].first < layout.runs[section].end)
      runs.emplace_back(layout.runs[section].first, static_cast<int>(section));
  }
  std::sort(headers.begin(), headers.end());
  std::sort(runs.begin(), runs.end());
  auto header = headers.begin();
  auto run = runs.begin();
  int above = -1;
  std::vector<LineStanding> standings;
  standings.reserve(count);
  for (std::size_t line = first; line < first + count && line < lines.size(); ++line) {
    for (; header != headers.end() && header->first < line; ++header) above = header->second;
    for (; run != runs.end() && layout.runs[static_cast<std::size_t>(run->second)].end <= line; ++run) {
    }
    const bool inRun = run != runs.end() && run->first <= line;
    const std::string_view text = lines[line];
    LineStanding standing{closer, above};
    if (text.empty()) {
      standing.standing = Standing::Blank;
      closer = Standing::BelowBlank;
    } else if (layout.end && line >= *layout.end) {
      standing = line == *layout.end ? LineStanding{Standing::Header, kEndSection} : LineStanding{Standing::AfterEnd, above};
    } else if (const int section = headerSection(text); section >= 0) {
      const bool own = layout.headers[static_cast<std::size_t>(section)] == line;
      standing = {own ? Standing::Header : Standing::HeaderCopy, section};
      closer = own ? Standing::BelowBlank : Standing::UnderCopy;
    } else if (inRun) {
      standing = {hasSectionShape(static_cast<Section>(run->second), text) ? Standing::Counts : Standing::NoDay,
                  run->second};
    } else if (above < 0 || line < layout.firstLine) {
      standing.standing = Standing::Outside;
    }
    standings.push_back(standing);
  }
  return standings;
}

template <typename Lines>
LineStanding standingOf(const SectionLayout& layout, const Lines& lines, std::size_t line) {
  return line < lines.size() ? standingsOf(layout, lines, line, 1).front() : LineStanding{};
}

}  // namespace almanouk
