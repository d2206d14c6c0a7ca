#pragma once
// The calendar files of the data folder: the throw-away list file
// "ALMANOUK.TMP" and the merge of all calendars into "allamn.srt" (F7).

#include <optional>
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

// A typed name (code page 437) as a calendar file name that every system and
// tool can use: a letter with an accent as its plain letter ("café" gives
// CAFE0000.AMN), in upper case, cut to 8 characters or filled up with "0",
// then ".AMN". Characters a name cannot hold stay, for the refusal to name.
std::string calendarFileNameFor(std::string_view typed);
// The calendar among the file names that a typed name (code page 437) names:
// the file name itself or the name made of the typed one, in any case and
// with or without accents, on either side ("café", "CAFE", "cafe0000.amn"
// find CAFÉ000.AMN as well as CAFE0000.AMN). A name that is exactly a file's
// wins over one that only folds to it.
std::optional<std::string> findCalendarFile(const std::vector<std::string>& names, std::string_view typed);

struct Merge {
  int lines = -1;      // the tagged lines merged; -1: fewer than two calendars, nothing merged
  FileResult written;  // "allamn.srt" in place, or why not
  bool made() const { return lines >= 0 && written.ok(); }
};
// Merges every calendar into "allamn.srt".
Merge mergeAllCalendars(Platform& platform);

}  // namespace almanouk
