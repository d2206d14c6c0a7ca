#include "diary/DiaryPages.h"

#include <cstdio>

#include "platform/FileLayer.h"

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

bool diaryPageExists(FileLayer& files, std::string_view name) { return files.fileSize(name) > 0; }

}  // namespace almanouk
