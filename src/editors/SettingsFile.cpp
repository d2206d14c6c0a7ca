#include "editors/SettingsFile.h"

#include <algorithm>
#include <vector>

#include "calendar/CalendarFile.h"
#include "calendar/CalendarList.h"
#include "editors/Settings.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "screen/ScreenBuffer.h"
#include "shell/Fatal.h"

namespace almanouk {
namespace {

constexpr std::string_view kMigrationTempFile = "almanouk.tm2";
constexpr std::string_view kSettingsError = "  Fout in INI-file.";
constexpr std::string_view kEndLine = "Einde.";
constexpr std::size_t kMaxChoices = 9;
constexpr int kChoiceLineWidth = 47;
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

// Name, description and days ahead of the first nine calendar files.
std::vector<CalendarChoice> readCalendarChoices(Platform& platform) {
  buildCalendarList(platform);
  platform.openFile(kCalendarListFile, FileMode::Input, 3);
  std::vector<CalendarChoice> choices;
  while (choices.size() < kMaxChoices && !platform.atEnd(3)) {
    CalendarChoice choice;
    platform.readLine(3, choice.name);
    CalendarReader reader(platform, choice.name, 1);
    std::string diaryKey, daysAhead;
    reader.next(choice.description);
    reader.next(diaryKey);
    reader.next(daysAhead);
    choice.daysAhead = intValue(daysAhead);
    choices.push_back(std::move(choice));
  }
  platform.closeFile(3);
  platform.deleteFile(kCalendarListFile);
  return choices;
}

// Marker, name, " = ", the description cut to fit, and the days ahead ending in column 47.
std::string choiceLine(const CalendarChoice& choice, bool marked) {
  std::string daysAhead = toText(choice.daysAhead);
  std::string text = (marked ? "-> " : "   ") + choice.name + " = " + choice.description + repeat(' ', 35);
  return left(text, kChoiceLineWidth - static_cast<int>(daysAhead.size())) + daysAhead;
}

void writeSwitchAndColourLines(Platform& platform, const Settings& settings) {
  static constexpr std::string_view kPopupLines[] = {"PopUp=uit", "PopUp=ntp", "PopUp=msg"};
  platform.writeLine(1, "[Aan/Uit]");
  if (settings.popupMode >= 0 && settings.popupMode <= 2) platform.writeLine(1, kPopupLines[settings.popupMode]);
  platform.writeLine(1, settings.speakerOn ? "PC-Speaker=aan" : "PC-Speaker=uit");
  platform.writeLine(1, settings.soundOn ? "Sound=aan" : "Sound=uit");
  platform.writeLine(1, "");
  platform.writeLine(1, "[Kleurthema]");
  platform.writeLine(1, "1");
  platform.writeLine(1, "");
  platform.writeLine(1, "[Tekstkleur]");
  platform.writeLine(1, toText(settings.textColour));
  platform.writeLine(1, "");
  platform.writeLine(1, "[Dagboekdagkleur]");
  platform.writeLine(1, toText(settings.diaryDayColour));
  platform.writeLine(1, "");
  platform.writeLine(1, "[Almanoukkeuze]");
}

std::string nextLine(Platform& platform) {
  std::string line;
  platform.readLine(1, line);
  return line;
}

[[noreturn]] void settingsError(Platform& platform) { fatalFileError(platform, kSettingsError); }

int popupModeOf(Platform& platform, const std::string& line) {
  if (line == "PopUp=msg") return 2;
  if (line == "PopUp=ntp") return 1;
  if (line == "PopUp=uit") return 0;
  settingsError(platform);
}

int switchOf(Platform& platform, const std::string& line, const std::string& key) {
  if (line == key + "aan") return 1;
  if (line == key + "uit") return 0;
  settingsError(platform);
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

// The marked choice line (the last one when several are); the first line when
// none is marked, and the default calendar when the list is empty.
void readChosenCalendar(Platform& platform, Settings& settings) {
  std::string first;
  bool marked = false;
  for (int position = 1;; ++position) {
    std::string line = nextLine(platform);
    if (endsChoiceList(line)) break;
    if (position == 1) first = line;
    if (left(line, 3) == "-> ") {
      takeChoice(settings, line, position);
      marked = true;
    }
  }
  if (marked) return;
  if (!first.empty()) {
    takeChoice(settings, first, 1);
    return;
  }
  settings.calFile = std::string(kDefaultCalendarFile);
  settings.description.clear();
  settings.chosenPosition = 0;
}

void copyLines(Platform& platform, std::string_view from, std::string_view to) {
  CalendarReader reader(platform, from, 1);
  platform.openFile(to, FileMode::Output, 2);
  std::string line;
  while (reader.next(line)) platform.writeLine(2, line);
  platform.closeFile(2);
}

}  // namespace

void migratePopupValue(Platform& platform) {
  std::string first, second;
  platform.openFile(kSettingsFile, FileMode::Input, 1);
  platform.readLine(1, first);
  platform.readLine(1, second);
  platform.closeFile(1);
  if (second != "PopUp=aan") return;
  platform.openFile(kSettingsFile, FileMode::Input, 1);
  platform.openFile(kMigrationTempFile, FileMode::Output, 2);
  platform.writeLine(2, nextLine(platform));
  nextLine(platform);
  platform.writeLine(2, "PopUp=ntp");
  while (!platform.atEnd(1)) platform.writeLine(2, nextLine(platform));
  platform.closeFile(1);
  platform.closeFile(2);
  platform.replaceFile(kMigrationTempFile, kSettingsFile);
}

bool settingsFileMissingOrEmpty(Platform& platform) {
  platform.openFile(kSettingsFile, FileMode::Input, 1);
  bool empty = platform.atEnd(1);
  platform.closeFile(1);
  return empty;
}

void writeDefaultSettings(Platform& platform, const Settings& settings) {
  std::vector<CalendarChoice> choices = readCalendarChoices(platform);
  // A chosen position past the list (a calendar was deleted) marks the first line, as no position does.
  int marked = settings.chosenPosition >= 1 && settings.chosenPosition <= static_cast<int>(choices.size())
                   ? settings.chosenPosition
                   : 1;
  platform.openFile(kSettingsFile, FileMode::Output, 1);
  writeSwitchAndColourLines(platform, settings);
  for (std::size_t i = 0; i < choices.size(); ++i)
    platform.writeLine(1, choiceLine(choices[i], static_cast<int>(i) + 1 == marked));
  platform.writeLine(1, "");
  platform.writeLine(1, kEndLine);
  platform.closeFile(1);
}

void readSettings(Platform& platform, Settings& settings, ScreenBuffer& buffer) {
  platform.openFile(kSettingsFile, FileMode::Input, 1);
  nextLine(platform);
  settings.popupMode = popupModeOf(platform, nextLine(platform));
  settings.speakerOn = switchOf(platform, nextLine(platform), "PC-Speaker=");
  settings.soundOn = switchOf(platform, nextLine(platform), "Sound=");
  nextLine(platform);
  nextLine(platform);
  settings.themeLine = nextLine(platform);
  applyTheme(settings);
  nextLine(platform);
  nextLine(platform);
  settings.textColour = intValue(nextLine(platform));
  nextLine(platform);
  nextLine(platform);
  settings.diaryDayColour = intValue(nextLine(platform));
  nextLine(platform);
  nextLine(platform);
  buffer.clearBuffer(settings.themeFg, settings.themeBg);
  readChosenCalendar(platform, settings);
  platform.closeFile(1);
  backupAndValidateCalendar(platform, settings.calFile);
  settings.daysAhead = readDaysAhead(platform);
}

std::string backupName(std::string_view calFile) {
  std::string name(calFile);
  if (!name.empty()) name.back() = '2';
  return name;
}

void backupAndValidateCalendar(Platform& platform, std::string_view calFile) {
  std::string backup = backupName(calFile);
  // A missing calendar gets no empty backup: that would fail the check at every later start.
  if (platform.fileExists(calFile) && !platform.fileExists(backup)) copyLines(platform, calFile, backup);
  if (platform.fileExists(backup)) validateCalendarFile(platform, backup);
  validateCalendarFile(platform, calFile);
}

int readDaysAhead(Platform& platform) {
  platform.openFile(kSettingsFile, FileMode::Input, 1);
  std::string line, firstChoice;
  bool marked = false;
  for (int number = 1; !marked && !platform.atEnd(1); ++number) {
    line = nextLine(platform);
    marked = left(line, 2) == "->";
    if (number == kHeaderLines + 1) firstChoice = line;
  }
  platform.closeFile(1);
  if (!marked) {
    if (endsChoiceList(firstChoice)) return kTemplateDaysAhead;
    line = firstChoice;
  }
  return std::clamp(intValue(right(line, 2)), kMinDaysAhead, kMaxDaysAhead);
}

}  // namespace almanouk
