#include "sync/SyncPlan.h"

#include <algorithm>
#include <cstdint>
#include <map>

namespace almanouk {
namespace {

// The longest common subsequence is found exactly up to this many lines
// between the unchanged start and end; past it, equal lines are paired in order.
constexpr std::size_t kLargestExactDiff = 2000;

struct Flat {
  std::size_t record;
  const SyncLine* line;
};

// For every old line, the current line it is unchanged as (-1: none).
std::vector<std::ptrdiff_t> matchLines(const std::vector<Flat>& old, const std::vector<SyncLine>& current) {
  std::vector<std::ptrdiff_t> match(old.size(), -1);
  std::size_t head = 0;
  while (head < old.size() && head < current.size() && *old[head].line == current[head]) {
    match[head] = static_cast<std::ptrdiff_t>(head);
    ++head;
  }
  std::size_t tail = 0;
  while (tail < old.size() - head && tail < current.size() - head &&
         *old[old.size() - 1 - tail].line == current[current.size() - 1 - tail]) {
    match[old.size() - 1 - tail] = static_cast<std::ptrdiff_t>(current.size() - 1 - tail);
    ++tail;
  }
  const std::size_t n = old.size() - head - tail;
  const std::size_t m = current.size() - head - tail;
  if (n == 0 || m == 0) return match;
  if (n > kLargestExactDiff || m > kLargestExactDiff) {
    std::multimap<std::pair<Section, std::string>, std::size_t> waiting;
    for (std::size_t j = head; j < head + m; ++j) waiting.emplace(std::pair{current[j].section, current[j].text}, j);
    for (std::size_t i = head; i < head + n; ++i) {
      auto found = waiting.find({old[i].line->section, old[i].line->text});
      if (found == waiting.end()) continue;
      match[i] = static_cast<std::ptrdiff_t>(found->second);
      waiting.erase(found);
    }
    return match;
  }
  // lengths[i][j]: the longest common run of old[head+i..] and current[head+j..].
  std::vector<std::uint16_t> lengths((n + 1) * (m + 1), 0);
  auto at = [&lengths, m](std::size_t i, std::size_t j) -> std::uint16_t& { return lengths[i * (m + 1) + j]; };
  for (std::size_t i = n; i-- > 0;)
    for (std::size_t j = m; j-- > 0;)
      at(i, j) = *old[head + i].line == current[head + j] ? static_cast<std::uint16_t>(at(i + 1, j + 1) + 1)
                                                          : std::max(at(i + 1, j), at(i, j + 1));
  for (std::size_t i = 0, j = 0; i < n && j < m;) {
    if (*old[head + i].line == current[head + j]) {
      match[head + i] = static_cast<std::ptrdiff_t>(head + j);
      ++i, ++j;
    } else if (at(i + 1, j) >= at(i, j + 1)) {
      ++i;
    } else {
      ++j;
    }
  }
  return match;
}

}  // namespace

LocalDiff diffLocal(const std::vector<SyncRecord>& records, const std::vector<SyncLine>& current) {
  // The records' order is the calendar's order of their first lines; the
  // written-out lines of an event the calendar cannot hold exactly stand
  // spread between others, so only the one-line events are diffed in order.
  std::vector<Flat> old;
  for (std::size_t r = 0; r < records.size(); ++r)
    if (records[r].exact)
      for (const SyncLine& line : records[r].lines) old.push_back({r, &line});
  const std::vector<std::ptrdiff_t> match = matchLines(old, current);

  LocalDiff diff;
  diff.records.assign(records.size(), LocalChange::Unchanged);
  diff.lineOf.assign(records.size(), -1);
  diff.ownerOf.assign(current.size(), -1);
  for (std::size_t i = 0; i < old.size(); ++i)
    if (match[i] >= 0) diff.ownerOf[static_cast<std::size_t>(match[i])] = static_cast<std::ptrdiff_t>(old[i].record);
  // The written-out lines are found by their text among the lines left; one missing: touched.
  std::multimap<std::pair<Section, std::string>, std::size_t> left;
  for (std::size_t line = 0; line < current.size(); ++line)
    if (diff.ownerOf[line] < 0) left.emplace(std::pair{current[line].section, current[line].text}, line);
  for (std::size_t r = 0; r < records.size(); ++r) {
    if (records[r].exact) continue;
    for (const SyncLine& line : records[r].lines) {
      auto found = left.find({line.section, line.text});
      if (found == left.end()) {
        diff.records[r] = LocalChange::Touched;
        continue;
      }
      diff.ownerOf[found->second] = static_cast<std::ptrdiff_t>(r);
      left.erase(found);
    }
  }

  // Between two unchanged lines, the old lines that went and the new ones
  // that came pair up in order, within a section: each pair is a change.
  std::size_t next = 0;  // the first current line not yet passed
  for (std::size_t i = 0; i < old.size();) {
    if (match[i] >= 0) {
      next = static_cast<std::size_t>(match[i]) + 1;
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < old.size() && match[end] < 0) ++end;
    const std::size_t limit = end < old.size() ? static_cast<std::size_t>(match[end]) : current.size();
    std::size_t candidate = next;
    for (; i < end; ++i) {
      const std::size_t record = old[i].record;
      const bool exact = records[record].exact;
      while (candidate < limit && (current[candidate].section != old[i].line->section || diff.ownerOf[candidate] >= 0))
        ++candidate;
      if (candidate < limit && exact) {
        diff.records[record] = LocalChange::Modified;
        diff.lineOf[record] = static_cast<std::ptrdiff_t>(candidate);
        diff.ownerOf[candidate++] = static_cast<std::ptrdiff_t>(record);
      } else {
        // A server-owned line changed: its new text is a new entry of the user's; the old comes back.
        diff.records[record] = exact ? LocalChange::Deleted : LocalChange::Touched;
        if (!exact && candidate < limit) ++candidate;
      }
    }
    next = limit;
  }
  for (std::size_t line = 0; line < current.size(); ++line) {
    const std::ptrdiff_t owner = diff.ownerOf[line];
    if (owner >= 0 && records[static_cast<std::size_t>(owner)].exact) diff.lineOf[static_cast<std::size_t>(owner)] = static_cast<std::ptrdiff_t>(line);
  }
  return diff;
}

Action decide(LocalChange local, RemoteChange remote, bool same) {
  switch (local) {
    case LocalChange::Unchanged:
      return remote == RemoteChange::Unchanged ? Action::Nothing
             : remote == RemoteChange::Changed ? Action::TakeRemote
                                               : Action::DeleteLocal;
    case LocalChange::Modified:
      if (remote == RemoteChange::Unchanged) return Action::SendChange;
      if (remote == RemoteChange::Changed) return same ? Action::Adopt : Action::KeepBoth;
      return Action::SendAsNew;
    case LocalChange::Deleted:
      return remote == RemoteChange::Unchanged ? Action::DeleteRemote
             : remote == RemoteChange::Changed ? Action::RestoreLocal
                                               : Action::Forget;
    case LocalChange::Touched:
      return remote == RemoteChange::Deleted ? Action::DeleteLocal : Action::RestoreLocal;
  }
  return Action::Nothing;
}

}  // namespace almanouk
