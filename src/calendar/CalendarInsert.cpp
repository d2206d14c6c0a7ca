#include "calendar/CalendarInsert.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <unordered_set>

#include "calendar/CalendarFile.h"
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

class Inserter {
 public:
  explicit Inserter(const CalendarModel& calendar) {
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
    std::unordered_set<std::string> present(merged.begin(), merged.end());
    std::vector<std::pair<int, std::size_t>> fresh;
    for (std::size_t index : chosen) {
      added[index] = present.insert(entries[index].line).second;
      if (added[index]) fresh.emplace_back(orderOf(section, entries[index].line), index);
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
