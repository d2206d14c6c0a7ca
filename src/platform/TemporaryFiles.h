#pragma once
// The names under which new versions of files are written before they take
// their place. A run that was killed can leave one behind: the next start
// removes them all.

#include <array>
#include <string_view>

namespace almanouk::temporary {

inline constexpr std::string_view kPage = "AlmTMP.TMP";            // a diary page or a copy of one
inline constexpr std::string_view kCalendarUpgrade = "AlmanTmp.dat";
inline constexpr std::string_view kCalendarTemplate = "AlmanTmp.new";
inline constexpr std::string_view kCalendarCopy = "AlmanTmp.cpy";  // backups and copies of calendars
inline constexpr std::string_view kCalendarSave = "AlmanTmp.lst";  // the calendar editor's save
inline constexpr std::string_view kCalendarHeader = "afd3.txt";    // description and days ahead
inline constexpr std::string_view kConversion = "CONVER.TMP";
inline constexpr std::string_view kSettingsConversion = "ALMANOUK.TMP";
inline constexpr std::string_view kSettings = "almanouk.tm2";
inline constexpr std::string_view kMerge = "allamnm.srt";
inline constexpr std::string_view kSound = "roster.tmp";
inline constexpr std::string_view kReadme = "Almanouk145.tmp";
inline constexpr std::string_view kDeleteIntent = "Almanouk.de~";
inline constexpr std::string_view kLastWatched = "Almanouk.ti~";
inline constexpr std::string_view kWindowPlacement = "Almanouk.ve~";
inline constexpr std::string_view kSyncState = "Almanouk.sy~";

inline constexpr std::array kAll = {kPage,          kCalendarUpgrade, kCalendarTemplate,   kCalendarCopy,
                                    kCalendarSave,  kCalendarHeader,  kConversion,         kSettingsConversion,
                                    kSettings,      kMerge,           kSound,              kReadme,
                                    kDeleteIntent,  kLastWatched,     kWindowPlacement,    kSyncState};

}  // namespace almanouk::temporary
