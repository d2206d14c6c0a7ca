#include "editors/CalendarManagement.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "calendar/CalendarFile.h"
#include "calendar/CalendarList.h"
#include "diary/DiaryStore.h"
#include "platform/TemporaryFiles.h"
#include "platform/NumberedFiles.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "settings/SettingsFile.h"

namespace almanouk {
namespace {

constexpr std::string_view kForbidden = "/\\:*?\"<>|. ";

std::string diaryKeyOf(Platform& platform, std::string_view fileName) {
  InputFile calendar(platform, fileName, 1);
  calendar.nextLine();
  return calendar.nextLine();
}

std::vector<std::string> diaryKeys(Platform& platform) {
  std::vector<std::string> keys;
  for (const std::string& name : calendarFileNames(platform)) keys.push_back(diaryKeyOf(platform, name));
  return keys;
}

}  // namespace

std::string nextFreeDiaryKey(Platform& platform) {
  // A key that pages carry is not free either: they would become the new calendar's diary.
  std::vector<std::string> used = diaryKeys(platform);
  for (char key : pageKeys(platform)) used.emplace_back(1, key);
  for (int code = '0'; code < 256; ++code) {
    std::string key(1, static_cast<char>(code));
    // Past "9" (more than ten calendars) characters a file name cannot hold are passed over.
    if (kForbidden.find(key[0]) != std::string_view::npos) continue;
    if (std::find(used.begin(), used.end(), key) == used.end()) return key;
  }
  return "0";
}

std::string refusalOf(Platform& platform, std::string_view fileName) {
  std::string_view name = fileName.substr(0, 8);
  bool forbidden = std::any_of(name.begin(), name.end(), [](char c) {
    return static_cast<unsigned char>(c) < 32 || kForbidden.find(c) != std::string_view::npos;
  });
  if (forbidden) return "Geen / \\ : * ? \" < > | . of spatie";
  if (std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
    return "Alleen letters, cijfers en tekens";
  if (platform.fileExists(fileName) || findCalendarFile(calendarFileNames(platform), fileName))
    return "Die naam bestaat al";
  return {};
}

std::string copyNameFromClock(Platform& platform) {
  const LocalDateTime now = platform.now();
  char name[32];
  std::snprintf(name, sizeof name, "%02d%02d%02d%02d.AMN", now.day % 100, now.hour % 100, now.minute % 100,
                now.second % 100);
  return name;
}

FileResult copyCalendar(Platform& platform, std::string_view source, std::string_view target) {
  const std::string sourceKey = diaryKeyOf(platform, source);
  const std::string newKey = nextFreeDiaryKey(platform);
  {
    CalendarReader reader(platform, source, 1);
    if (!reader.isOpen()) return FileResult(source, FileProblem::NotFound);
    FileReplacement copy(platform, target, temporary::kCalendarCopy, 2);
    copy.line(reader.nextLine());
    reader.nextLine();
    copy.line(newKey);
    for (std::string line; reader.next(line) && line != "Einde";) copy.line(line);
    writeCalendarEnd(copy);
    reader.close();
    if (FileResult copied = copy.commit(); !copied) return copied;
  }
  FileResult pages = copyPages(platform, sourceKey, newKey);
  if (!pages) {
    // Half a copy is no copy: what was made goes again.
    for (const std::string& page : pageNames(platform, newKey)) platform.discardFile(page);
    platform.discardFile(target);
  }
  return pages;
}

namespace {

FileResult deleteCalendarAndDiary(Platform& platform, std::string_view fileName, const std::string& key) {
  FileResult deleted = platform.deleteFile(fileName);
  if (!deleted) return deleted;
  deleted = platform.deleteFile(backupName(fileName));
  // Its link to a calendar server goes along: a new calendar under the name starts unlinked.
  deleted = deleted.andThen(platform.deleteFile(syncStateName(fileName)));
  std::vector<std::string> others = diaryKeys(platform);
  if (std::find(others.begin(), others.end(), key) == others.end()) deleted = deleted.andThen(deletePages(platform, key));
  return deleted;
}

}  // namespace

// What is to be deleted is written down first: a delete cut short (the
// program killed, the machine off) is finished at the next start, so no
// diary is left without its calendar for a new calendar to take over.
FileResult deleteCalendar(Platform& platform, std::string_view fileName) {
  const std::string key = diaryKeyOf(platform, fileName);
  FileReplacement intent(platform, kDeleteIntentFile, temporary::kDeleteIntent, 1);
  intent.line(fileName);
  intent.line(key);
  if (FileResult written = intent.commit(); !written) return written;
  FileResult deleted = deleteCalendarAndDiary(platform, fileName, key);
  if (deleted) platform.discardFile(kDeleteIntentFile);
  return deleted;
}

FileResult finishInterruptedDelete(Platform& platform) {
  InputFile intent(platform, kDeleteIntentFile, 1);
  if (!intent.isOpen()) return {};
  const std::string fileName = intent.nextLine();
  const std::string key = intent.nextLine();
  intent.close();
  FileResult deleted = isCalendarFileName(fileName) ? deleteCalendarAndDiary(platform, fileName, key) : FileResult();
  if (deleted) platform.discardFile(kDeleteIntentFile);
  return deleted;
}

}  // namespace almanouk
