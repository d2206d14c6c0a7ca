#include "calendar/CalendarInsert.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <set>
#include <tuple>

#include "calendar/CalendarFile.h"
#include "calendar/Dates.h"
#include "platform/Text.h"

namespace almanouk {
namespace {

constexpr std::string_view kEndLine = "Einde";
// The blank lines after a header that is made, as the upgrade of older files writes them.
constexpr int kBlankLinesAfterNewHeader = 3;

int sectionNumber(Section section) { return static_cast<int>(section); }

// Where an entry goes among the others of its section: by day (weekday), then time.
int orderOf(Section section, std::string_view line) {
  Entry entry(section, line, 0);
  int minute = entry.time ? *entry.time + 1 : 0;
  return section == Section::Daily ? minute : entry.day * (24 * 60 + 1) + minute;
}

// An entry's text as an import brings it: a "#" comes in as "nr.", so that
// an exported command comes back as the entry it was.
std::string importedText(std::string_view text) {
  std::string out;
  for (char c : text) out += c == '#' ? std::string("nr.") : std::string(1, c);
  return out;
}

// What makes two entries one: the same day (weekday), year, time and text,
// however the day is written ("1 Een", " 1 Een" and "01 Een" are one).
using EntryKey = std::tuple<int, int, int, std::string>;
EntryKey keyOf(Section section, std::string_view line) {
  const Entry entry(section, line, 0);
  return {entry.day, entry.listedYear(), entry.time.value_or(-1), importedText(entry.text)};
}

class Inserter {
 public:
  explicit Inserter(const CalendarModel& calendar) : calendar_(calendar) {
    lines_.reserve(calendar.lines().size() + 64);
    for (std::string_view line : calendar.lines()) lines_.emplace_back(line);
  }

  void insert(Section section, const std::vector<std::size_t>& chosen, const std::vector<NewEntry>& entries,
              std::vector<bool>& added) {
    std::size_t header = headerOf(section);
    std::size_t first = header + 1;
    while (first < lines_.size() && lines_[first].empty()) ++first;
    std::size_t end = first;
    while (end < lines_.size() && !lines_[end].empty() && !isHeaderLine(lines_[end])) ++end;

    std::vector<std::string> merged(lines_.begin() + static_cast<std::ptrdiff_t>(first),
                                    lines_.begin() + static_cast<std::ptrdiff_t>(end));
    std::set<EntryKey> present;
    for (const std::string& line : merged) present.insert(keyOf(section, line));
    std::vector<std::pair<int, std::size_t>> fresh;
    for (std::size_t index : chosen) {
      const std::string& line = entries[index].line;
      added[index] = !listedAlready(section, line) && present.insert(keyOf(section, line)).second;
      if (added[index]) fresh.emplace_back(orderOf(section, line), index);
    }
    if (fresh.empty()) return;
    std::stable_sort(fresh.begin(), fresh.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    merged = mergeInOrder(section, std::move(merged), fresh, entries);

    // An empty section's entries come after the header's first blank line, its other blank lines after them.
    std::size_t at = first;
    if (first == end && first > header + 1) at = end = header + 2;
    // Blank lines around the entries: one after the header, one before whatever follows.
    if (at == header + 1) merged.insert(merged.begin(), std::string());
    if (end < lines_.size() && !lines_[end].empty()) merged.emplace_back();
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(at), lines_.begin() + static_cast<std::ptrdiff_t>(end));
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), merged.begin(), merged.end());
  }

  // An older calendar without the weekly and daily sections gets them, as the start would give them.
  void makeRecurringSections() {
    headerOf(Section::Weekly);
    headerOf(Section::Daily);
  }

  std::vector<std::string> finish() {
    if (std::none_of(lines_.begin(), lines_.end(), [](const std::string& line) { return isEndLine(line); })) {
      if (!lines_.empty() && !lines_.back().empty()) lines_.emplace_back();
      lines_.emplace_back(kEndLine);
      lines_.resize(lines_.size() + kBlankLinesAfterEnd);
    }
    return std::move(lines_);
  }

 private:
  std::optional<std::size_t> find(Section section) const {
    const std::string name = lowerAscii(sectionHeader(sectionNumber(section)));
    for (std::size_t i = 0; i < lines_.size(); ++i)
      if (lines_[i].size() == name.size() && lowerAscii(lines_[i]) == name) return i;
    return std::nullopt;
  }

  // The section's header line, made where it belongs when missing: before the
  // next section that has one, else before the end line, else at the end.
  std::size_t headerOf(Section section) {
    if (std::optional<std::size_t> header = find(section)) return *header;
    std::optional<std::size_t> at;
    for (int later = sectionNumber(section) + 1; later < kSections && !at; ++later) at = find(static_cast<Section>(later));
    if (!at) {
      auto end = std::find_if(lines_.begin(), lines_.end(), [](const std::string& line) { return isEndLine(line); });
      if (end != lines_.end()) at = static_cast<std::size_t>(end - lines_.begin());
    }
    std::size_t position = at.value_or(lines_.size());
    std::vector<std::string> block;
    if (position > 0 && !lines_[position - 1].empty()) block.emplace_back();
    block.emplace_back(sectionHeader(sectionNumber(section)));
    block.resize(block.size() + kBlankLinesAfterNewHeader);
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(position), block.begin(), block.end());
    return position + block.size() - kBlankLinesAfterNewHeader - 1;
  }

  // The old entries in their order, each new one after the last old one that
  // comes before it or on its day.
  static std::vector<std::string> mergeInOrder(Section section, std::vector<std::string> old,
                                               const std::vector<std::pair<int, std::size_t>>& fresh,
                                               const std::vector<NewEntry>& entries) {
    // The least order from each old entry to the end: a new entry goes before
    // the first old entry from which on all come after it.
    std::vector<int> leastFrom(old.size() + 1, std::numeric_limits<int>::max());
    for (std::size_t i = old.size(); i-- > 0;) leastFrom[i] = std::min(leastFrom[i + 1], orderOf(section, old[i]));
    std::vector<std::string> merged;
    merged.reserve(old.size() + fresh.size());
    std::size_t next = 0;
    for (const auto& [order, index] : fresh) {
      std::size_t at = static_cast<std::size_t>(
          std::upper_bound(leastFrom.begin(), leastFrom.end() - 1, order) - leastFrom.begin());
      for (; next < at; ++next) merged.push_back(std::move(old[next]));
      merged.push_back(entries[index].line);
    }
    for (; next < old.size(); ++next) merged.push_back(std::move(old[next]));
    return merged;
  }

  // A dated entry whose day the calendar lists already with its time and
  // text, from a line of any kind ("Wo 19:00 Koor" holds "14 2027 19:00 Koor"):
  // the same occurrence, so no new one.
  bool listedAlready(Section section, std::string_view line) const {
    const Entry entry(section, line, 0);
    const int month = static_cast<int>(section) - static_cast<int>(Section::January) + 1;
    if (month < 1 || month > 12 || entry.listedYear() == 0 || entry.day < 1 || entry.day > monthInfo(month, entry.listedYear()).days)
      return false;
    bool found = false;
    forEachListed(calendar_, {entry.day, month, entry.listedYear(), weekdayOf(entry.day, month, entry.listedYear())},
                  [&](const Entry& listed) {
                    found = found || (listed.time == entry.time && importedText(listed.text) == importedText(entry.text));
                  });
    return found;
  }

  const CalendarModel& calendar_;
  std::vector<std::string> lines_;
};

}  // namespace

Insertion insertEntries(const CalendarModel& calendar, const std::vector<NewEntry>& entries) {
  Inserter inserter(calendar);
  inserter.makeRecurringSections();
  std::vector<bool> added(entries.size(), false);
  std::vector<std::vector<std::size_t>> bySection(kSections);
  for (std::size_t i = 0; i < entries.size(); ++i)
    bySection[static_cast<std::size_t>(entries[i].section)].push_back(i);
  for (int section = 0; section < kSections; ++section)
    if (!bySection[static_cast<std::size_t>(section)].empty())
      inserter.insert(static_cast<Section>(section), bySection[static_cast<std::size_t>(section)], entries, added);
  return {inserter.finish(), std::move(added)};
}

}  // namespace almanouk
