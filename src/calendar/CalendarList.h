#pragma once
// The calendar files of the data folder: the throw-away list file
// "ALMANOUK.TMP" and the merge of all calendars into "allamn.srt" (F7).

#include <string>
#include <string_view>
#include <vector>

#include "platform/FileResult.h"

namespace almanouk {

class Platform;

inline constexpr std::string_view kMergedCalendarFile = "allamn.srt";

// Calendar files are NAME.AMN with a NAME of exactly 8 characters (any case);
// other *.AMN files are left out everywhere, so they can never break the
// fixed columns of the settings file.
bool isCalendarFileName(std::string_view name);
// The calendar files of the working folder in directory order.
std::vector<std::string> calendarFileNames(Platform& platform);

struct Merge {
  int lines = -1;      // the tagged lines merged; -1: fewer than two calendars, nothing merged
  FileResult written;  // "allamn.srt" in place, or why not
  bool made() const { return lines >= 0 && written.ok(); }
};
// Merges every calendar into "allamn.srt".
Merge mergeAllCalendars(Platform& platform);

}  // namespace almanouk
