#include "calendar/CalendarList.h"

#include <algorithm>
#include <array>

#include "calendar/CalendarFile.h"
#include "calendar/Dates.h"
#include "platform/Platform.h"
#include "platform/Text.h"

namespace almanouk {
namespace {

constexpr std::string_view kMergeNamesFile = "amn's.dat";
constexpr std::string_view kJoinedFile = "allamn.dat";
constexpr std::string_view kUntaggedFile = "allamnm.srt";

constexpr int kBlankLinesAfterEnd = 23;

// Two-digit sort tag: a header carries its own number, an entry the number of the header after it.
std::string tag(int number) { return (number < 10 ? "0" : "") + toText(number); }
std::string taggedHeader(int section) { return tag(section) + std::string(sectionHeader(section)); }

// "a" ... "z", then "aa", "ab", ... like spreadsheet columns; lower case only,
// since file names match without regard to case.
std::string tagCopyName(int index) {
  std::string name;
  for (int n = index + 1; n > 0; n = (n - 1) / 26) name.insert(name.begin(), static_cast<char>('a' + (n - 1) % 26));
  return name;
}

// A later header than the current section, or the current section when the
// line is none. Missing headers are skipped over rather than waited for.
int laterSection(const std::string& line, int section) {
  for (int later = section + 1; later < kSectionCount; ++later)
    if (line == sectionHeader(later)) return later;
  return section;
}

// A one-digit day sorts as its two-digit form: " 1" and "1 " both become "01".
std::string normaliseDay(std::string entry) {
  if (entry[0] == ' ') entry[0] = '0';
  if (entry.size() > 1 && entry[1] == ' ') entry.insert(entry.begin(), '0');
  return entry;
}

// One calendar's sections as tagged lines. Every copy holds each of the 15
// tagged headers exactly once, in order: a missing header is written empty,
// and the copy ends at "Einde" or at the end of the file.
void writeTaggedCopy(Platform& platform, const std::string& calendar, const std::string& copy) {
  CalendarReader reader(platform, calendar, 1);
  OutputFile tagged(platform, copy, 2);
  std::string line;
  while (reader.next(line) && line != "Maandelijks") continue;
  tagged.line(taggedHeader(0));
  int section = 0;
  while (reader.next(line) && line != "Einde") {
    if (line.empty()) continue;
    int later = laterSection(line, section);
    if (later == section) {
      tagged.line(tag(section + 1) + normaliseDay(line));
      continue;
    }
    while (section < later) tagged.line(taggedHeader(++section));
  }
  while (section + 1 < kSectionCount) tagged.line(taggedHeader(++section));
}

// Tagged copies of every calendar named in the names file; returns how many.
int writeTaggedCopies(Platform& platform) {
  int copies = 0;
  {
    InputFile names(platform, kMergeNamesFile, 3);
    std::string name;
    while (names.next(name)) writeTaggedCopy(platform, name, tagCopyName(copies++));
  }
  platform.deleteFile(kMergeNamesFile);
  return copies;
}

// Joins the copies from the last back to the first, deleting each; returns the number of lines.
int joinTaggedCopies(Platform& platform, int copies) {
  OutputFile joined(platform, kJoinedFile, 2);
  int lines = 0;
  for (int index = copies - 1; index >= 0; --index) {
    std::string copy = tagCopyName(index);
    {
      CalendarReader reader(platform, copy, 1);
      std::string line;
      while (reader.next(line)) {
        joined.line(line);
        ++lines;
      }
    }
    platform.deleteFile(copy);
  }
  return lines;
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

void sortJoinedLines(Platform& platform) {
  std::vector<std::string> headers;
  for (int section = 0; section < kSectionCount; ++section) headers.push_back(taggedHeader(section));
  std::vector<TaggedLine> lines;
  {
    CalendarReader reader(platform, kJoinedFile, 1);
    std::string line;
    while (reader.next(line)) {
      bool header = std::find(headers.begin(), headers.end(), line) != headers.end();
      lines.push_back({std::move(line), header});
    }
  }
  platform.deleteFile(kJoinedFile);
  std::stable_sort(lines.begin(), lines.end(), mergeOrder);
  OutputFile sorted(platform, kMergedCalendarFile, 2);
  for (const TaggedLine& line : lines) sorted.line(line.text);
}

void removeTags(Platform& platform) {
  CalendarReader reader(platform, kMergedCalendarFile, 1);
  OutputFile untagged(platform, kUntaggedFile, 2);
  std::string line;
  while (reader.next(line)) untagged.line(mid(line, 3));
}

// The sorted lines hold each header once per calendar, after the entries of
// the section before it; every section gets its header once and its entries.
void writeMergedCalendar(Platform& platform, int calendars) {
  {
    CalendarReader reader(platform, kUntaggedFile, 1);
    OutputFile merged(platform, kMergedCalendarFile, 2);
    merged.line("Alle Almanouks");
    merged.line("F");
    merged.line("7");
    std::string line;
    int copiesLeft = calendars;
    for (int section = 0; section < kSectionCount; ++section) {
      for (; copiesLeft > 0; --copiesLeft) reader.next(line);
      merged.blankLines(2);
      merged.line(sectionHeader(section));
      merged.blankLines(1);
      std::string_view nextHeader = section + 1 < kSectionCount ? sectionHeader(section + 1) : std::string_view();
      copiesLeft = calendars;
      while (reader.next(line)) {
        if (line == nextHeader) {
          --copiesLeft;
          break;
        }
        merged.line(line);
      }
    }
    merged.blankLines(2);
    merged.line("Einde");
    merged.blankLines(kBlankLinesAfterEnd);
  }
  platform.deleteFile(kUntaggedFile);
}

}  // namespace

bool isCalendarFileName(std::string_view name) {
  if (name.size() != 12 || lowerAscii(name.substr(8)) != ".amn") return false;
  // A control character (a line end above all) would break the files that list the names, and a
  // name from the settings file with a separator would lead out of the data folder.
  return std::none_of(name.begin(), name.begin() + 8,
                      [](char c) { return static_cast<unsigned char>(c) < 32 || c == '/' || c == '\\'; });
}

std::vector<std::string> calendarFileNames(Platform& platform) {
  std::vector<std::string> names;
  for (std::string name = platform.findFirst("*.AMN"); !name.empty(); name = platform.findNext())
    if (isCalendarFileName(name)) names.push_back(name);
  return names;
}

void buildCalendarList(Platform& platform) {
  std::vector<std::string> names = calendarFileNames(platform);
  OutputFile list(platform, kCalendarListFile, 3);
  for (const std::string& name : names) list.line(name);
}

int mergeAllCalendars(Platform& platform) {
  platform.deleteFile(kMergedCalendarFile);
  std::vector<std::string> names = calendarFileNames(platform);
  if (names.size() < 2) return -1;
  {
    OutputFile list(platform, kMergeNamesFile, 3);
    for (const std::string& name : names) list.line(name);
  }
  int copies = writeTaggedCopies(platform);
  int lines = joinTaggedCopies(platform, copies);
  sortJoinedLines(platform);
  removeTags(platform);
  writeMergedCalendar(platform, copies);
  return lines;
}

}  // namespace almanouk
