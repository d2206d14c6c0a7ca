#include "calendar/CalendarList.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "calendar/CalendarFile.h"
#include "calendar/CalendarModel.h"
#include "calendar/Dates.h"
#include "platform/TemporaryFiles.h"
#include "platform/Platform.h"
#include "platform/Text.h"

namespace almanouk {
namespace {

// The merged file ends with fewer blank lines than a calendar the program writes.
constexpr int kBlankLinesAfterMergedEnd = 23;

// Two-digit sort tag: a header carries its own number, an entry the number of the header after it.
std::string tag(int number) { return (number < 10 ? "0" : "") + toText(number); }
std::string taggedHeader(int section) { return tag(section) + std::string(sectionHeader(section)); }

// A one-digit day sorts as its two-digit form: " 1" and "1 " both become "01".
std::string normaliseDay(std::string entry) {
  if (entry[0] == ' ') entry[0] = '0';
  if (entry.size() > 1 && entry[1] == ' ') entry.insert(entry.begin(), '0');
  return entry;
}

// One calendar's sections as tagged lines: each of the 15 tagged headers
// once, in order, each followed by the entries its section counts, as every
// reader of the calendar finds them.
void appendTaggedCopy(const CalendarModel& calendar, std::vector<std::string>& tagged) {
  for (int section = 0; section < kSectionCount; ++section) {
    tagged.push_back(taggedHeader(section));
    for (const Entry& entry : calendar.entries(static_cast<Section>(section)))
      tagged.push_back(tag(section + 1) + normaliseDay(std::string(entry.line)));
  }
}

struct TaggedLine {
  std::string text;
  bool header = false;
};

// By tag; within a tag the entries (in byte order) before the header.
bool mergeOrder(const TaggedLine& a, const TaggedLine& b) {
  int byTag = a.text.compare(0, 2, b.text, 0, 2);
  if (byTag != 0) return byTag < 0;
  if (a.header != b.header) return b.header;
  return a.text < b.text;
}

// The calendars' tagged copies joined from the last back to the first, sorted, untagged.
std::vector<std::string> sortedUntaggedLines(Platform& platform, const std::vector<std::string>& names) {
  std::vector<std::string> headers;
  for (int section = 0; section < kSectionCount; ++section) headers.push_back(taggedHeader(section));
  std::vector<TaggedLine> lines;
  for (auto name = names.rbegin(); name != names.rend(); ++name) {
    std::vector<std::string> tagged;
    appendTaggedCopy(CalendarModel(platform.files().contents(*name).value_or(std::string())), tagged);
    for (std::string& line : tagged) {
      bool header = std::find(headers.begin(), headers.end(), line) != headers.end();
      lines.push_back({std::move(line), header});
    }
  }
  std::stable_sort(lines.begin(), lines.end(), mergeOrder);
  std::vector<std::string> untagged;
  untagged.reserve(lines.size());
  for (const TaggedLine& line : lines) untagged.push_back(mid(line.text, 3));
  return untagged;
}

// The sorted lines hold each header once per calendar, after the entries of
// the section before it; every section gets its header once and its entries.
FileResult writeMergedCalendar(Platform& platform, const std::vector<std::string>& sorted, int calendars) {
  FileReplacement merged(platform, kMergedCalendarFile, temporary::kMerge, 2);
  merged.line("Alle Almanouks");
  merged.line("F");
  merged.line("7");
  auto line = sorted.begin();
  int copiesLeft = calendars;
  for (int section = 0; section < kSectionCount; ++section) {
    for (; copiesLeft > 0 && line != sorted.end(); --copiesLeft) ++line;
    merged.blankLines(2);
    merged.line(sectionHeader(section));
    merged.blankLines(1);
    std::string_view nextHeader = section + 1 < kSectionCount ? sectionHeader(section + 1) : std::string_view();
    copiesLeft = calendars;
    for (; line != sorted.end(); ++line) {
      if (*line == nextHeader) {
        ++line;
        --copiesLeft;
        break;
      }
      merged.line(*line);
    }
  }
  merged.blankLines(2);
  merged.line("Einde");
  merged.blankLines(kBlankLinesAfterMergedEnd);
  return merged.commit();
}

}  // namespace

bool isCalendarFileName(std::string_view name) {
  if (name.size() != 12 || lowerAscii(name.substr(8)) != ".amn") return false;
  // A control character (a line end above all) would break the files that list the names, and a
  // name from the settings file with a separator would lead out of the data folder.
  return std::none_of(name.begin(), name.begin() + 8,
                      [](char c) { return static_cast<unsigned char>(c) < 32 || c == '/' || c == '\\'; });
}

namespace {

// A name's stem as upper-case plain letters without the "0"s that fill it
// up: a name on disk in UTF-8 (as other programs write them) or in the code
// page (as older versions did), or a typed one.
std::string plainStem(std::string_view name, bool onDisk) {
  const std::string text = onDisk && isValidUtf8(name) ? utf8ToCp437(name) : std::string(name);
  std::string stem = lowerAscii(text).ends_with(".amn") ? text.substr(0, text.size() - 4) : text;
  std::string plain;
  for (char c : left(stem, 8)) plain += static_cast<char>(std::toupper(static_cast<unsigned char>(plainLower(c))));
  plain.erase(plain.find_last_not_of('0') + 1);
  return plain;
}

}  // namespace

std::string calendarFileNameFor(std::string_view typed) {
  std::string name;
  for (char c : left(typed, 8)) name += static_cast<char>(std::toupper(static_cast<unsigned char>(plainLower(c))));
  name.resize(8, '0');
  return name + ".AMN";
}

std::optional<std::string> findCalendarFile(const std::vector<std::string>& names, std::string_view typed) {
  if (typed.empty()) return std::nullopt;
  for (const std::string& name : names)
    if (lowerAscii(name) == lowerAscii(typed) || lowerAscii(name) == lowerAscii(calendarFileNameFor(typed))) return name;
  const std::string wanted = plainStem(typed, false);
  for (const std::string& name : names)
    if (plainStem(name, true) == wanted) return name;
  return std::nullopt;
}

std::vector<std::string> calendarFileNames(Platform& platform) {
  std::vector<std::string> names;
  for (std::string name = platform.findFirst("*.AMN"); !name.empty(); name = platform.findNext())
    if (isCalendarFileName(name)) names.push_back(name);
  return names;
}

Merge mergeAllCalendars(Platform& platform) {
  platform.discardFile(kMergedCalendarFile);
  std::vector<std::string> names = calendarFileNames(platform);
  if (names.size() < 2) return {};
  std::vector<std::string> sorted = sortedUntaggedLines(platform, names);
  Merge merge{static_cast<int>(sorted.size()), writeMergedCalendar(platform, sorted, static_cast<int>(names.size()))};
  return merge;
}

}  // namespace almanouk
