#include "settings/SettingsFile.h"

#include <algorithm>
#include <vector>

#include "calendar/CalendarFile.h"
#include "calendar/CalendarList.h"
#include "calendar/CalendarModel.h"
#include "platform/FatalError.h"
#include "platform/Platform.h"
#include "platform/TemporaryFiles.h"
#include "platform/Text.h"
#include "screen/ScreenBuffer.h"
#include "settings/Settings.h"

namespace almanouk {
namespace {

constexpr std::string_view kEndLine = "Einde.";
constexpr std::size_t kMaxChoices = kMostCalendarChoices;
constexpr int kHeaderLines = 15;
constexpr int kDescriptionColumn = 19;
constexpr int kDescriptionWidth = 25;
constexpr int kMinDaysAhead = 1;
constexpr int kMaxDaysAhead = 30;

struct CalendarChoice {
  std::string name;
  std::string description;
  int daysAhead = 0;
};

CalendarChoice readCalendarChoice(Platform& platform, const std::string& name) {
  CalendarChoice choice;
  choice.name = name;
  CalendarReader reader(platform, name, 1);
  reader.next(choice.description);
  reader.nextLine();
  choice.daysAhead = intValue(reader.nextLine());
  return choice;
}

// Name, description and days ahead of the first nine calendar files.
std::vector<CalendarChoice> readCalendarChoices(Platform& platform) {
  std::vector<CalendarChoice> choices;
  for (const std::string& name : calendarFileNames(platform)) {
    if (choices.size() == kMaxChoices) break;
    choices.push_back(readCalendarChoice(platform, name));
  }
  return choices;
}

// Marker, name, " = ", the description cut to fit, and the days ahead ending in column 47.
std::string choiceLine(const CalendarChoice& choice, bool marked) {
  std::string daysAhead = toText(choice.daysAhead);
  std::string text = (marked ? "-> " : "   ") + choice.name + " = " + choice.description + repeat(' ', 35);
  return left(text, kChoiceLineWidth - static_cast<int>(daysAhead.size())) + daysAhead;
}

PopupMode popupModeOf(Platform& platform, const std::string& line) {
  for (PopupMode mode : {PopupMode::Off, PopupMode::Notepad, PopupMode::Message})
    if (line == popupLine(mode)) return mode;
  settingsFileError(platform);
}

bool switchOf(Platform& platform, const std::string& line, const std::string& key) {
  if (line == key + "aan") return true;
  if (line == key + "uit") return false;
  settingsFileError(platform);
}

void applyTheme(Settings& settings) {
  if (settings.themeLine == "0") {
    settings.themeFg = 0, settings.themeBg = 15, settings.themeBarFg = 15;
  } else if (settings.themeLine == "1") {
    settings.themeFg = 7, settings.themeBg = 0, settings.themeBarFg = 7;
  } else {
    return;
  }
  settings.textColour = 12;
  settings.diaryDayColour = 13;
}

bool endsChoiceList(const std::string& line) { return line.empty() || line == kEndLine; }

void takeChoice(Settings& settings, const std::string& line, int position) {
  settings.chosenPosition = position;
  settings.calFile = mid(line, 4, 12);
  std::string description = mid(line, kDescriptionColumn, kDescriptionWidth);
  while (!description.empty() && description.back() == ' ') description.pop_back();
  settings.description = description;
  settings.daysAhead = intValue(right(line, 2));
}

// A choice line names a calendar file: eight characters and ".AMN", no path.
// Other lines cannot be chosen, so that no hand-edited line leads outside the data folder.
bool namesACalendar(const std::string& line) { return isCalendarFileName(mid(line, 4, 12)); }

// The marked choice line (the last one when several are); the first line when
// none is marked, and the default calendar when the list is empty.

void readChosenCalendar(InputFile& file, Settings& settings) {
  std::string first;
  int firstPosition = 0;
  bool marked = false;
  for (int position = 1;; ++position) {
    std::string line = file.nextLine();
    if (endsChoiceList(line)) break;
    if (!namesACalendar(line)) continue;
    if (first.empty()) first = line, firstPosition = position;
    if (left(line, 3) == "-> ") {
      takeChoice(settings, line, position);
      marked = true;
    }
  }
  if (marked) return;
  if (!first.empty()) {
    takeChoice(settings, first, firstPosition);
    return;
  }
  settings.calFile = std::string(kDefaultCalendarFile);
  settings.description.clear();
  settings.chosenPosition = 0;
}

}  // namespace

std::string popupLine(PopupMode mode) {
  switch (mode) {
    case PopupMode::Off: return "PopUp=uit";
    case PopupMode::Notepad: return "PopUp=ntp";
    case PopupMode::Message: break;
  }
  return "PopUp=msg";
}

FileResult migratePopupValue(Platform& platform) {
  {
    InputFile settings(platform, kSettingsFile, 1);
    settings.nextLine();
    if (settings.nextLine() != "PopUp=aan") return {};
  }
  InputFile old(platform, kSettingsFile, 1);
  FileReplacement migrated(platform, kSettingsFile, temporary::kSettings, 2);
  migrated.line(old.nextLine());
  old.nextLine();
  migrated.line("PopUp=ntp");
  std::string line;
  while (old.next(line)) migrated.line(line);
  old.close();
  return migrated.commit();
}

bool settingsFileMissingOrEmpty(Platform& platform) {
  InputFile settings(platform, kSettingsFile, 1);
  return settings.atEnd();
}

FileResult writeDefaultSettings(Platform& platform, const Settings& settings) {
  std::vector<CalendarChoice> choices = readCalendarChoices(platform);
  // A chosen position past the list (a calendar was deleted) marks the first line, as no position does.
  int marked = settings.chosenPosition >= 1 && settings.chosenPosition <= static_cast<int>(choices.size())
                   ? settings.chosenPosition
                   : 1;
  SettingsFileLines lines;
  lines.popup = popupLine(settings.popupMode);
  lines.speaker = settings.speakerOn ? "PC-Speaker=aan" : "PC-Speaker=uit";
  lines.sound = settings.soundOn ? "Sound=aan" : "Sound=uit";
  lines.themeLine = "1";
  lines.textColour = settings.textColour;
  lines.diaryDayColour = settings.diaryDayColour;
  for (std::size_t i = 0; i < choices.size(); ++i)
    lines.choices.push_back(choiceLine(choices[i], static_cast<int>(i) + 1 == marked));
  return writeSettingsFile(platform, lines);
}

std::vector<std::string> settingsFileText(const SettingsFileLines& lines) {
  std::vector<std::string> text = {"[Aan/Uit]",
                                   lines.popup,
                                   lines.speaker,
                                   lines.sound,
                                   "",
                                   "[Kleurthema]",
                                   lines.themeLine,
                                   "",
                                   "[Tekstkleur]",
                                   toText(lines.textColour),
                                   "",
                                   "[Dagboekdagkleur]",
                                   toText(lines.diaryDayColour),
                                   "",
                                   "[Almanoukkeuze]"};
  text.insert(text.end(), lines.choices.begin(), lines.choices.end());
  text.emplace_back();
  text.emplace_back(kEndLine);
  return text;
}

FileResult writeSettingsFile(Platform& platform, const SettingsFileLines& lines) {
  FileReplacement file(platform, kSettingsFile, temporary::kSettings, 1);
  for (const std::string& line : settingsFileText(lines)) file.line(line);
  return file.commit();
}

FileResult addCalendarChoice(Platform& platform, const std::string& calFile) {
  std::optional<std::string> bytes = platform.files().contents(kSettingsFile);
  if (!bytes || bytes->empty()) return {};
  std::vector<std::string> lines;
  for (std::string_view line : textLines(*bytes)) lines.emplace_back(line);
  std::size_t end = std::min<std::size_t>(kHeaderLines, lines.size());
  for (; end < lines.size() && !endsChoiceList(lines[end]); ++end)
    if (lowerAscii(lines[end]).find(lowerAscii(calFile)) != std::string::npos) return {};
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(end), choiceLine(readCalendarChoice(platform, calFile), false));
  return replaceLinesIfChanged(platform, kSettingsFile, temporary::kSettings, lines);
}

SettingsFileLines readSettingsFileLines(Platform& platform, const Settings& settings) {
  SettingsFileLines lines;
  InputFile file(platform, kSettingsFile, 1);
  file.nextLine();
  lines.popup = file.nextLine();
  lines.speaker = file.nextLine();
  lines.sound = file.nextLine();
  file.nextLine();
  file.nextLine();
  lines.themeLine = file.nextLine();
  for (int skipped = 8; skipped <= kHeaderLines; ++skipped) file.nextLine();
  lines.textColour = settings.textColour;
  lines.diaryDayColour = settings.diaryDayColour;
  for (std::string line; file.next(line) && !line.empty();) lines.choices.push_back(line);
  return lines;
}

std::vector<std::string> calendarChoiceLines(Platform& platform, std::string_view activeCalFile) {
  std::vector<CalendarChoice> choices = readCalendarChoices(platform);
  auto active = std::find_if(choices.begin(), choices.end(), [&](const CalendarChoice& choice) {
    return lowerAscii(choice.name) == lowerAscii(activeCalFile);
  });
  std::vector<std::string> lines;
  for (auto choice = choices.begin(); choice != choices.end(); ++choice)
    lines.push_back(choiceLine(*choice, active == choices.end() ? choice == choices.begin() : choice == active));
  return lines;
}

FileResult readSettings(Platform& platform, Settings& settings, ScreenBuffer& buffer) {
  {
    InputFile file(platform, kSettingsFile, 1);
    auto skip = [&file](int lines) {
      for (int i = 0; i < lines; ++i) file.nextLine();
    };
    skip(1);
    settings.popupMode = popupModeOf(platform, file.nextLine());
    settings.speakerOn = switchOf(platform, file.nextLine(), "PC-Speaker=");
    settings.soundOn = switchOf(platform, file.nextLine(), "Sound=");
    skip(2);
    settings.themeLine = file.nextLine();
    applyTheme(settings);
    skip(2);
    settings.textColour = intValue(file.nextLine());
    skip(2);
    settings.diaryDayColour = intValue(file.nextLine());
    skip(2);
    buffer.clearBuffer();
    readChosenCalendar(file, settings);
  }
  FileResult checked = backupAndValidateCalendar(platform, settings.calFile);
  settings.daysAhead = readDaysAhead(platform);
  return checked;
}

std::string activeCalendarFile(Platform& platform) {
  InputFile file(platform, kSettingsFile, 1);
  for (int skipped = 1; skipped <= kHeaderLines; ++skipped) file.nextLine();
  Settings settings;
  readChosenCalendar(file, settings);
  return settings.calFile;
}

void readAlarmSettings(Platform& platform, Settings& settings) {
  std::vector<std::string> lines;
  {
    InputFile file(platform, kSettingsFile, 1);
    for (int line = 1; line <= 4; ++line) lines.push_back(file.nextLine());
  }
  for (PopupMode mode : {PopupMode::Off, PopupMode::Notepad, PopupMode::Message})
    if (lines[1] == popupLine(mode)) settings.popupMode = mode;
  for (bool on : {true, false}) {
    if (lines[2] == std::string("PC-Speaker=") + (on ? "aan" : "uit")) settings.speakerOn = on;
    if (lines[3] == std::string("Sound=") + (on ? "aan" : "uit")) settings.soundOn = on;
  }
  settings.calFile = activeCalendarFile(platform);
}

std::string backupName(std::string_view calFile) {
  std::string name(calFile);
  if (!name.empty()) name.back() = '2';
  return name;
}

std::string syncStateName(std::string_view calFile) {
  return std::string(calFile.substr(0, calFile.rfind('.'))) + ".SYN";
}

// The calendar is checked first: only a calendar that fails stops the
// program. A backup that is missing or fails the check (cut short by a crash,
// say) is made anew from the calendar; a missing calendar gets none.
FileResult backupAndValidateCalendar(Platform& platform, std::string_view calFile) {
  FileResult checked = validateCalendarFile(platform, calFile);
  std::string backup = backupName(calFile);
  if (platform.fileExists(backup) && passesCalendarCheck(platform, backup)) {
    return checked.andThen(validateCalendarFile(platform, backup));  // upgrades a backup of the older layout
  }
  if (platform.fileExists(calFile)) return checked.andThen(copyCalendarFile(platform, calFile, backup));
  return checked;
}

int readDaysAhead(Platform& platform) {
  InputFile file(platform, kSettingsFile, 1);
  std::string line, firstChoice;
  bool marked = false;
  while (!marked && file.next(line)) {
    bool choice = file.lineNumber() > kHeaderLines && namesACalendar(line);
    marked = choice && left(line, 2) == "->";
    if (choice && firstChoice.empty()) firstChoice = line;
  }
  file.close();
  if (!marked) {
    if (firstChoice.empty()) return kTemplateDaysAhead;
    line = firstChoice;
  }
  return std::clamp(intValue(right(line, 2)), kMinDaysAhead, kMaxDaysAhead);
}

}  // namespace almanouk
