#include "diary/DiaryPages.h"

#include <cstdio>

#include "platform/Platform.h"

namespace almanouk {

std::string pageFileName(int day, int month, int year, int weekday, std::string_view diaryId) {
  char date[16];
  std::snprintf(date, sizeof date, "%04d%02d%02d", year % 10000, month % 100, day % 100);
  std::string id(diaryId);
  // The identifier comes from a user file: it must not lead out of the data folder.
  for (char& c : id)
    if (c == '/' || c == '\0') c = '_';
  return std::string(date) + ".D" + id + std::to_string(weekday);
}

bool diaryPageExists(Platform& platform, std::string_view name) {
  constexpr int kProbeFile = 3;
  platform.openFile(name, FileMode::Binary, kProbeFile);
  if (platform.lastError() != 0) return false;
  std::int64_t length = platform.fileLength(kProbeFile);
  platform.closeFile(kProbeFile);
  if (length == 0) platform.deleteFile(name);
  return length > 0;
}

}  // namespace almanouk
