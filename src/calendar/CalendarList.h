#pragma once
// The calendar files of the data folder: the throw-away list file
// "ALMANOUK.TMP" and the merge of all calendars into "allamn.srt" (F7).

#include <string>
#include <string_view>
#include <vector>

namespace almanouk {

class Platform;

inline constexpr std::string_view kCalendarListFile = "ALMANOUK.TMP";
inline constexpr std::string_view kMergedCalendarFile = "allamn.srt";

// Calendar files are NAME.AMN with a NAME of exactly 8 characters (any case);
// other *.AMN files are left out everywhere, so they can never break the
// fixed columns of the settings file.
bool isCalendarFileName(std::string_view name);
// The calendar files of the working folder in directory order.
std::vector<std::string> calendarFileNames(Platform& platform);
// Writes "ALMANOUK.TMP": one calendar file name per line.
void buildCalendarList(Platform& platform);

// Merges every calendar into "allamn.srt". Returns -1 (and merges nothing)
// with fewer than two calendar files, else the number of lines processed.
int mergeAllCalendars(Platform& platform);

}  // namespace almanouk
