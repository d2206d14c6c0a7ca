#pragma once
// The settings file "Almanouk.ini": fixed lines for the popup, speaker and
// sound switches, the colour theme and two colour codes, then one choice line
// per calendar (marker "-> ", 12-character name, " = ", description, days
// ahead ending in column 47), an empty line and "Einde.".

#include <string>
#include <string_view>

namespace almanouk {

class Platform;
class ScreenBuffer;
struct Settings;

inline constexpr std::string_view kSettingsFile = "Almanouk.ini";

// Rewrites an obsolete "PopUp=aan" on line 2 as "PopUp=ntp".
void migratePopupValue(Platform& platform);
// True when the settings file is missing or empty.
bool settingsFileMissingOrEmpty(Platform& platform);
// Rebuilds the file from the settings and the calendar files present (at most nine).
void writeDefaultSettings(Platform& platform, const Settings& settings);
// Reads the file into the settings: switches (a bad line is fatal:
// "  Fout in INI-file."), theme and colours (clearing the screen buffer in the
// new theme), the marked calendar with its description, then the backup copy
// and check of that calendar and the days ahead from the first marked line.
void readSettings(Platform& platform, Settings& settings, ScreenBuffer& buffer);
// The backup of a calendar file: its name with the last character replaced by "2".
std::string backupName(std::string_view calFile);
// Creates the backup as a line-by-line copy when it is missing, then checks the backup and the calendar.
void backupAndValidateCalendar(Platform& platform, std::string_view calFile);
// Days ahead from the first line that starts with "->", clamped to 1..30;
// the first choice line counts as marked when none is.
int readDaysAhead(Platform& platform);

}  // namespace almanouk
