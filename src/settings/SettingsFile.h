#pragma once
// The settings file "Almanouk.ini": fixed lines for the popup, speaker and
// sound switches, the colour theme and two colour codes, then one choice line
// per calendar (marker "-> ", 12-character name, " = ", description, days
// ahead ending in column 47), an empty line and "Einde.".

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileResult.h"

namespace almanouk {

class Platform;
class ScreenBuffer;
struct Settings;
enum class PopupMode;

inline constexpr std::string_view kSettingsFile = "Almanouk.ini";
// The settings screen offers this many calendars at most.
inline constexpr std::size_t kMostCalendarChoices = 9;
// A calendar choice line: name, description and days ahead in 47 characters.
inline constexpr int kChoiceLineWidth = 47;

// "PopUp=uit", "PopUp=ntp" or "PopUp=msg".
std::string popupLine(PopupMode mode);

// Rewrites an obsolete "PopUp=aan" on line 2 as "PopUp=ntp".
FileResult migratePopupValue(Platform& platform);
// True when the settings file is missing or empty.
bool settingsFileMissingOrEmpty(Platform& platform);
// Rebuilds the file from the settings and the calendar files present (at most nine).
FileResult writeDefaultSettings(Platform& platform, const Settings& settings);

// Offers a calendar made elsewhere than on the settings screen there too,
// unmarked, after the others. Without a settings file there is nothing to
// do: the start makes one from the calendar files.
FileResult addCalendarChoice(Platform& platform, const std::string& calFile);

// The lines of the file that carry values, as the settings screen keeps them.
struct SettingsFileLines {
  std::string popup;                 // line 2
  std::string speaker;               // line 3
  std::string sound;                 // line 4
  std::string themeLine;             // line 7
  int textColour = 12;               // line 10
  int diaryDayColour = 13;           // line 13
  std::vector<std::string> choices;  // the calendar choice lines
};
// Writes the whole file in one step; on a failure the old file is kept.
FileResult writeSettingsFile(Platform& platform, const SettingsFileLines& lines);
// The lines the settings file holds for them.
std::vector<std::string> settingsFileText(const SettingsFileLines& lines);
// Lines 2, 3, 4 and 7 and the choice lines up to the first empty line; the
// colour codes are the settings' own.
SettingsFileLines readSettingsFileLines(Platform& platform, const Settings& settings);
// The choice lines of the calendar files present (at most nine, in directory
// order), marking the one named, or the first when it is not among them.
std::vector<std::string> calendarChoiceLines(Platform& platform, std::string_view activeCalFile);
// Reads the file into the settings: switches (a bad line is fatal:
// "  Fout in INI-file."), theme and colours (clearing the screen buffer in the
// new theme), the marked calendar with its description, then the backup copy
// and check of that calendar and the days ahead from the first marked line.
// Returns a backup or upgrade that could not be written.
FileResult readSettings(Platform& platform, Settings& settings, ScreenBuffer& buffer);
// The calendar the settings file marks as the active one, as the start takes it.
std::string activeCalendarFile(Platform& platform);
// The alarm switches and the active calendar, for the watcher: only read,
// and a line it does not know keeps the setting as it was (the program
// tells what is wrong with the file when it starts).
void readAlarmSettings(Platform& platform, Settings& settings);
// The backup of a calendar file: its name with the last character replaced by "2".
std::string backupName(std::string_view calFile);
// What a calendar linked to a calendar server keeps of its sync: "ALMANOUK.SYN" for "ALMANOUK.AMN".
std::string syncStateName(std::string_view calFile);
// Creates the backup as a line-by-line copy when it is missing, then checks
// the backup and the calendar; returns a backup or upgrade that could not be written.
FileResult backupAndValidateCalendar(Platform& platform, std::string_view calFile);
// Days ahead from the first line that starts with "->", clamped to 1..30;
// the first choice line counts as marked when none is.
int readDaysAhead(Platform& platform);

}  // namespace almanouk
