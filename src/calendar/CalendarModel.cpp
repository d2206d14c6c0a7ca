#include "calendar/CalendarModel.h"

#include <algorithm>

#include "calendar/CalendarEntry.h"
#include "calendar/CalendarFile.h"
#include "calendar/Dates.h"

namespace almanouk {
namespace {

static_assert(kSections == kSectionCount);

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The weekday whose abbreviation and a blank begin the line, in any case.
int weekdayNamed(std::string_view line) {
  if (line.size() < 3 || line[2] != ' ') return 0;
  for (int weekday = 1; weekday <= 7; ++weekday) {
    std::string_view name = weekdayAbbreviation(weekday);
    if (lower(line[0]) == lower(name[0]) && lower(line[1]) == lower(name[1])) return weekday;
  }
  return 0;
}

// hh:mm (00:00-23:59) at the start, then a blank or the end: minutes after midnight.
std::optional<int> timeAtStart(std::string_view text) {
  if (text.size() < 5 || text[2] != ':' || (text.size() > 5 && text[5] != ' ')) return std::nullopt;
  for (std::size_t i : {0, 1, 3, 4})
    if (!isDigit(text[i])) return std::nullopt;
  int hour = (text[0] - '0') * 10 + (text[1] - '0');
  int minute = (text[3] - '0') * 10 + (text[4] - '0');
  if (hour > 23 || minute > 59) return std::nullopt;
  return hour * 60 + minute;
}

// Line ends as the numbered-file reader takes them: LF, one CR before it dropped.

// The first line that is each section's header, in any case.
std::array<std::optional<std::size_t>, kSections> findHeaders(const std::vector<std::string_view>& lines) {
  std::array<std::string, kSections> names;
  for (int section = 0; section < kSections; ++section) {
    std::string_view header = sectionHeader(section);
    for (char c : header) names[static_cast<std::size_t>(section)] += lower(c);
  }
  std::array<std::optional<std::size_t>, kSections> headers;
  int missing = kSections;
  for (std::size_t i = 0; i < lines.size() && missing > 0; ++i) {
    std::string_view line = lines[i];
    for (std::size_t section = 0; section < names.size(); ++section) {
      const std::string& name = names[section];
      if (headers[section] || line.size() != name.size()) continue;
      bool same = true;
      for (std::size_t k = 0; k < name.size() && same; ++k) same = lower(line[k]) == name[k];
      if (same) {
        headers[section] = i;
        --missing;
      }
    }
  }
  return headers;
}

}  // namespace

std::vector<std::string_view> textLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    std::string_view line = bytes.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return lines;
}

Section monthSection(int month) { return static_cast<Section>(static_cast<int>(Section::January) + month - 1); }

Entry::Entry(Section section, std::string_view line, int lineNumber)
    : section(section), line(line), lineNumber(lineNumber) {
  // The alarm scan's entry step drops one leading blank before it looks at the year.
  std::string_view stepped = entry::withoutLeadingBlank(line);
  namedYear_ = entry::yearAfterFirstBlank(stepped);
  dueYear_ = entry::dueYear(stepped);
  leadingNumber_ = entry::leadingNumber(line);
  alignment_ = entry::needsAlignment(line) ? 1 : 0;

  std::string_view rest;
  if (section == Section::Daily) {
    // Daily entries are the ones the alarm scan takes: hh:mm and a blank first.
    if (!entry::startsWithTime(line)) {
      text = line;
      return;
    }
    rest = line;
  } else {
    day = section == Section::Weekly ? weekdayNamed(line) : entry::day(line);
    // The event list's aligned line less one blank: the day or weekday, then a blank.
    std::string_view listed = alignment_ ? line : stepped;
    std::size_t blank = listed.substr(0, 3).find(' ');
    if (blank != 1 && blank != 2) {
      text = listed;
      return;
    }
    rest = listed.substr(blank + 1);
    if (int named = entry::yearAfterDay(listed)) {
      year = named;
      rest = rest.substr(5);
    }
  }
  time = timeAtStart(rest);
  if (time) rest = rest.substr(std::min<std::size_t>(6, rest.size()));
  if (rest.starts_with("# ")) command = rest.substr(2);
  text = rest;
}

std::string Entry::aligned() const { return std::string(static_cast<std::size_t>(alignment_), ' ') + std::string(line); }

bool Entry::isDayCommand() const { return entry::isDayCommand(line, alignment_); }

CalendarModel::CalendarModel(std::string bytes)
    : bytes_(std::move(bytes)), lines_(textLines(bytes_)) {
  const std::array<std::optional<std::size_t>, kSections> headers = findHeaders(lines_);
  std::array<std::pair<std::size_t, std::size_t>, kSections> runs{};
  std::size_t total = 0;
  for (std::size_t section = 0; section < runs.size(); ++section) {
    if (!headers[section]) continue;
    std::size_t first = *headers[section] + 1;
    while (first < lines_.size() && lines_[first].empty()) ++first;
    std::size_t end = first;
    while (end < lines_.size() && !lines_[end].empty()) ++end;
    runs[section] = {first, end};
    total += end - first;
  }
  // All entries in place first: the indexes point into entries_.
  entries_.reserve(total);
  for (std::size_t section = 0; section < runs.size(); ++section) {
    sections_[section].first = entries_.size();
    for (std::size_t i = runs[section].first; i < runs[section].second; ++i)
      entries_.emplace_back(static_cast<Section>(section), lines_[i], static_cast<int>(i + 1));
    sections_[section].end = entries_.size();
  }
  for (SectionIndex& index : sections_) {
    for (std::size_t i = index.first; i < index.end; ++i) {
      const Entry& entry = entries_[i];
      if (entry.day >= 1 && entry.day <= kDays) index.byDay[static_cast<std::size_t>(entry.day)].push_back(&entry);
      if (entry.time) timed_.push_back(&entry);
    }
  }
}

std::span<const Entry> CalendarModel::entries(Section section) const {
  const SectionIndex& index = sections_[indexOf(section)];
  return std::span<const Entry>(entries_).subspan(index.first, index.end - index.first);
}

std::span<const Entry* const> CalendarModel::on(Section section, int day) const {
  if (day < 1 || day > kDays) return {};
  return sections_[indexOf(section)].byDay[static_cast<std::size_t>(day)];
}

bool CalendarModel::listsSection(Section section) const {
  std::span<const Entry> listed = entries(section);
  return !listed.empty() && listed.front().day > 0;
}

namespace {

bool sameIgnoringCase(std::string_view line, std::string_view name) {
  return line.size() == name.size() &&
         std::equal(line.begin(), line.end(), name.begin(), [](char a, char b) { return lower(a) == lower(b); });
}

}  // namespace

bool isHeaderLine(std::string_view line) {
  for (int section = 0; section < kSections; ++section)
    if (sameIgnoringCase(line, sectionHeader(section))) return true;
  return isEndLine(line);
}

bool isEndLine(std::string_view line) { return sameIgnoringCase(line, "Einde"); }

bool listedWeekly(const Entry& entry) {
  return entry.day >= 1 && entry.line.starts_with(weekdayAbbreviation(entry.day)) && entry.line.size() > 2 &&
         entry.line[2] == ' ';
}

void forEachListed(const CalendarModel& calendar, const ListedDay& day, const std::function<void(const Entry&)>& visit) {
  auto listed = [&](const Entry& entry) {
    if (entry.listedYear() == 0 || entry.listedYear() == day.year) visit(entry);
  };
  for (Section section : {monthSection(day.month), Section::Monthly})
    if (calendar.listsSection(section))
      for (const Entry* entry : calendar.on(section, day.day)) listed(*entry);
  if (day.weekday == 0) return;
  for (const Entry* entry : calendar.on(Section::Weekly, day.weekday))
    if (listedWeekly(*entry)) listed(*entry);
}

}  // namespace almanouk
