#include "calendar/CalendarModel.h"

#include <algorithm>

#include "calendar/CalendarEntry.h"
#include "calendar/CalendarFile.h"
#include "calendar/Dates.h"
#include "platform/Text.h"

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

bool sameIgnoringCase(std::string_view line, std::string_view name) {
  return line.size() == name.size() &&
         std::equal(line.begin(), line.end(), name.begin(), [](char a, char b) { return lower(a) == lower(b); });
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
    : bytes_(std::move(bytes)), lines_(textLines(bytes_)), layout_(SectionLayout::of(lines_)) {
  std::size_t total = 0;
  for (const SectionLayout::Run& run : layout_.runs) total += run.end - run.first;
  // All entries in place first: the indexes point into entries_.
  entries_.reserve(total);
  for (std::size_t section = 0; section < layout_.runs.size(); ++section) {
    sections_[section].first = entries_.size();
    for (std::size_t i = layout_.runs[section].first; i < layout_.runs[section].end; ++i)
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

int headerSection(std::string_view line) {
  // No name is shorter than "Mei" or longer than "Maandelijks": most lines are told apart by length alone.
  if (line.size() < 3 || line.size() > 11) return -1;
  for (int section = 0; section < kSections; ++section)
    if (sameIgnoringCase(line, sectionHeader(section))) return section;
  return sameIgnoringCase(line, "Einde") ? kEndSection : -1;
}

int SectionLayout::sectionOfEntry(std::size_t line) const {
  for (std::size_t section = 0; section < runs.size(); ++section)
    if (line >= runs[section].first && line < runs[section].end) return static_cast<int>(section);
  return -1;
}

int SectionLayout::sectionAbove(std::size_t line) const {
  int nearest = -1;
  for (std::size_t section = 0; section < headers.size(); ++section)
    if (headers[section] && *headers[section] < line &&
        (nearest < 0 || *headers[section] > *headers[static_cast<std::size_t>(nearest)]))
      nearest = static_cast<int>(section);
  return nearest;
}

bool LineStanding::dead() const {
  return standing != Standing::Counts && standing != Standing::Blank && standing != Standing::Header;
}

// What an Entry would make of the line's day, weekday or time, without taking the rest apart.
bool hasSectionShape(Section section, std::string_view line) {
  switch (section) {
    case Section::Daily: return entry::startsWithTime(line) && timeAtStart(line).has_value();
    case Section::Weekly: return weekdayNamed(line) >= 1;
    case Section::Monthly: return entry::day(line) >= 1 && entry::day(line) <= 31;
    default: {
      const int month = static_cast<int>(section) - static_cast<int>(Section::January) + 1;
      const int day = entry::day(line);
      return day >= 1 && day <= (month == 2 ? 29 : monthInfo(month, 2001).days);
    }
  }
}

std::string standingReason(const LineStanding& standing) {
  const bool inMonth = standing.section >= static_cast<int>(Section::January) && standing.section < kSections;
  const std::string name =
      standing.section >= 0 && standing.section < kSections ? std::string(sectionHeader(standing.section)) : "";
  switch (standing.standing) {
    case Standing::Counts:
    case Standing::Blank:
    case Standing::Header: return {};
    case Standing::BelowBlank:
      return "telt niet mee: een lege regel erboven sluit " + (inMonth ? std::string("de maand") : name) + " af";
    case Standing::HeaderCopy: return "telt niet mee: " + name + " staat er al eerder; alleen de eerste is een kop";
    case Standing::UnderCopy: return "telt niet mee: de kop erboven staat er al eerder; alleen de eerste telt";
    case Standing::Outside: return "telt niet mee: staat boven Maandelijks";
    case Standing::AfterEnd: return "telt niet mee: staat na Einde en wordt niet bewaard";
    case Standing::NoDay: break;
  }
  if (standing.section == static_cast<int>(Section::Daily)) return "telt niet mee: begint niet met een tijd uu:mm";
  if (standing.section == static_cast<int>(Section::Weekly))
    return "telt niet mee: begint niet met Ma, Di, Wo, Do, Vr, Za of Zo";
  return inMonth ? "telt niet mee: begint niet met een dag die " + lowerAscii(name) + " heeft"
                 : "telt niet mee: begint niet met een dag 1 tot 31";
}

std::vector<DeadLine> deadLines(const CalendarModel& calendar) {
  const SectionLayout& layout = calendar.layout();
  const auto& lines = calendar.lines();
  if (lines.size() <= layout.firstLine) return {};
  std::vector<DeadLine> dead;
  const std::vector<LineStanding> standings =
      standingsOf(layout, lines, layout.firstLine, layout.end.value_or(lines.size()) - layout.firstLine);
  for (std::size_t i = 0; i < standings.size(); ++i) {
    if (!standings[i].dead()) continue;
    const std::size_t line = layout.firstLine + i;
    dead.push_back({static_cast<int>(line + 1), lines[line], standingReason(standings[i])});
  }
  return dead;
}

void forEachListed(const CalendarModel& calendar, const ListedDay& day, const std::function<void(const Entry&)>& visit) {
  auto listed = [&](const Entry& entry) {
    if (entry.listedYear() == 0 || entry.listedYear() == day.year) visit(entry);
  };
  for (Section section : {monthSection(day.month), Section::Monthly})
    for (const Entry* entry : calendar.on(section, day.day)) listed(*entry);
  if (day.weekday == 0) return;
  for (const Entry* entry : calendar.on(Section::Weekly, day.weekday)) listed(*entry);
}

}  // namespace almanouk
