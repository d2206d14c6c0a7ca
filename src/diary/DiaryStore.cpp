#include "diary/DiaryStore.h"

#include <algorithm>
#include <cstdio>

#include "platform/TemporaryFiles.h"
#include "platform/FileLayer.h"
#include "platform/NumberedFiles.h"
#include "platform/Platform.h"
#include "platform/Text.h"

namespace almanouk {
namespace {

constexpr std::string_view kStartSentinelDate = "19010101";
constexpr std::string_view kEndSentinelDate = "21000101";

// The identifier comes from a user file: it must not lead out of the data folder.
std::string safeIdentifier(std::string_view diaryId) {
  std::string id(diaryId);
  for (char& c : id)
    if (c == '/' || c == '\0') c = '_';
  return id;
}

bool isDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool isSentinel(std::string_view name) {
  std::string_view date = name.substr(0, 8);
  return date == kStartSentinelDate || date == kEndSentinelDate;
}

}  // namespace

std::string pageFileName(int day, int month, int year, int weekday, std::string_view diaryId) {
  char date[16];
  std::snprintf(date, sizeof date, "%04d%02d%02d", year % 10000, month % 100, day % 100);
  return std::string(date) + ".D" + safeIdentifier(diaryId) + std::to_string(weekday);
}

std::string pageFileName(const SelectedDate& date, std::string_view diaryId) {
  return pageFileName(date.day, date.month, date.year, date.weekday, diaryId);
}

std::string startSentinelName(std::string_view diaryId) { return pageFileName(1, 1, 1901, 2, diaryId); }

std::string endSentinelName(std::string_view diaryId) { return pageFileName(1, 1, 2100, 5, diaryId); }

std::optional<CalendarDay> pageDay(std::string_view name) {
  if (name.size() < 11 || lowerAscii(name.substr(8, 2)) != ".d" || !isDigits(name.substr(0, 8))) return std::nullopt;
  CalendarDay day{intValue(name.substr(6, 2)), intValue(name.substr(4, 2)), intValue(name.substr(0, 4))};
  bool inRange = day.year >= kFirstYear && (day.year <= kLastYear || name.substr(0, 8) == kEndSentinelDate);
  if (!inRange || day.month < 1 || day.month > 12 || day.day < 1 || day.day > monthInfo(day.month, day.year).days)
    return std::nullopt;
  if (name.back() != static_cast<char>('0' + weekdayOf(day.day, day.month, day.year))) return std::nullopt;
  return day;
}

bool diaryPageExists(FileLayer& files, std::string_view name) { return files.fileSize(name) > 0; }

std::vector<std::string> pageNames(Platform& platform, std::string_view diaryId) {
  // The pattern's wildcards would also take an identifier's own "*" or "?" as
  // wildcards: only names that carry the identifier itself are kept.
  // Names compare without regard to case, as everywhere in the data folder.
  const std::string marker = ".D" + safeIdentifier(diaryId);
  const std::string lowerMarker = lowerAscii(marker);
  std::vector<std::string> names;
  for (std::string name = platform.findFirst("*" + marker + "?"); !name.empty(); name = platform.findNext())
    if (name.size() == 8 + marker.size() + 1 && lowerAscii(name.substr(8, marker.size())) == lowerMarker)
      names.push_back(name);
  // The folder's names come sorted without regard to case, which for page names is nearly always this order too.
  if (!std::is_sorted(names.begin(), names.end())) std::sort(names.begin(), names.end());
  return names;
}

std::string pageKeys(Platform& platform) {
  std::string keys;
  for (std::string name = platform.findFirst("*.D??"); !name.empty(); name = platform.findNext())
    if (name.size() == 12 && isDigits(name.substr(0, 8)) && keys.find(name[10]) == std::string::npos) keys += name[10];
  return keys;
}

std::vector<std::string> buildDiaryIndex(Platform& platform, std::string_view diaryId) {
  std::vector<std::string> names = pageNames(platform, diaryId);
  OutputFile index(platform, kDiaryIndexFile, 3);
  index.line("");
  for (const std::string& name : names) index.line(name);
  // The program goes by the names in memory; the index is only there for
  // whoever looks into the folder, so a failed write changes nothing.
  static_cast<void>(index.close());
  return names;
}

FileResult ensureSentinelPages(Platform& platform, std::string_view diaryId) {
  FileResult all;
  for (const std::string& name : {startSentinelName(diaryId), endSentinelName(diaryId)}) {
    if (platform.fileExists(name)) continue;
    FileReplacement sentinel(platform, name, temporary::kPage, 3);
    sentinel.text(" ");
    all = all.andThen(sentinel.commit());
  }
  return all;
}

FileResult savePage(Platform& platform, BinaryFile& page, const std::string& name) {
  const std::string bytes = page.read(1, static_cast<std::size_t>(page.length()));
  const bool writable = page.writable();
  FileResult closed = page.close();
  if (!writable) return {};  // a page the user made read-only is left exactly as it is
  const std::size_t last = bytes.find_last_not_of(std::string_view("\0 ", 2));
  const std::size_t keep = last == std::string::npos ? 0 : last + 1;
  if (keep == 0 && !isSentinel(name)) return closed.andThen(platform.deleteFile(name));
  if (keep == bytes.size()) return closed;  // nothing to cut
  // Cut in place: a crash leaves at worst the blanks, and no copy of a page that only lost them.
  return closed.andThen(platform.files().truncateFile(name, static_cast<std::int64_t>(keep)));
}

FileResult copyPages(Platform& platform, std::string_view fromId, std::string_view toId) {
  const std::size_t idAt = 10;  // after "yyyymmdd.D"
  FileResult copied;
  for (const std::string& name : pageNames(platform, fromId)) {
    std::string bytes;
    {
      BinaryFile page(platform, name, 1);
      bytes = page.read(1, static_cast<std::size_t>(page.length()));
    }
    std::string copy = name.substr(0, idAt) + safeIdentifier(toId) + name.back();
    FileReplacement target(platform, copy, temporary::kPage, 2);
    target.text(bytes);
    copied = copied.andThen(target.commit());
  }
  return copied;
}

FileResult deletePages(Platform& platform, std::string_view diaryId) {
  FileResult deleted;
  for (const std::string& name : pageNames(platform, diaryId)) deleted = deleted.andThen(platform.deleteFile(name));
  return deleted;
}

std::optional<std::string> findWrittenPage(Platform& platform, std::string_view diaryId, const std::string& name,
                                           Direction direction) {
  std::vector<std::string> names = buildDiaryIndex(platform, diaryId);
  std::erase_if(names, [](const std::string& page) { return !pageDay(page); });
  // An empty file is no page (a page being made when the program was killed), but a sentinel always counts.
  auto written = [&](const std::string& page) { return isSentinel(page) || diaryPageExists(platform.files(), page); };
  if (direction == Direction::Next) {
    auto later = std::find_if(std::upper_bound(names.begin(), names.end(), name), names.end(), written);
    if (later == names.end()) return std::nullopt;
    return *later;
  }
  auto earlier = std::find_if(std::make_reverse_iterator(std::lower_bound(names.begin(), names.end(), name)),
                              names.rend(), written);
  if (earlier == names.rend()) return std::nullopt;
  return *earlier;
}

}  // namespace almanouk
