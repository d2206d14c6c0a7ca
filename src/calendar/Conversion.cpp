#include "calendar/Conversion.h"

#include <string>
#include <vector>

#include "calendar/CalendarFile.h"
#include "calendar/CalendarList.h"
#include "editors/SettingsFile.h"
#include "platform/Platform.h"
#include "platform/Text.h"

namespace almanouk {
namespace {

constexpr std::string_view kConversionTempFile = "CONVER.TMP";
constexpr std::string_view kBirthdayMark = "Verjaardagsalmanouk. Aan het einde moet na een lege regel '";
constexpr int kBlankLinesAfterHeader = 3;

std::string withoutLeadingBlank(std::string line) {
  if (!line.empty() && line[0] == ' ') line.erase(0, 1);
  return line;
}

bool hasDiaryKey(const std::string& line) { return line == "0" || numericValue(line) > 0; }

// An old birthday calendar keeps its days ahead after the first "[" of a later line.
int birthdayDaysAhead(CalendarReader& reader) {
  std::string line;
  while (reader.next(line)) {
    int bracket = find(line, "[");
    if (bracket > 0) return intValue(mid(line, bracket + 1));
  }
  return kTemplateDaysAhead;  // no "[" line: the template's value
}

// The "Wekelijks" and "Dagelijks" lines after the last "Maandelijks" before "Januari".
int weeklyDailyCount(const std::vector<std::string>& body) {
  int count = 0;
  for (const std::string& line : body) {
    if (line == "Januari") break;
    if (line == "Maandelijks") count = 0;
    if (line == "Wekelijks" || line == "Dagelijks") ++count;
  }
  return count;
}

struct ConvertedCalendar {
  std::string description;
  std::string diaryKey;
  std::string thirdLine;  // the days ahead in the current layout
  std::vector<std::string> body;  // from the first non-blank line after the header to the end
};

ConvertedCalendar readCalendar(Platform& platform, const std::string& name, int& oldKeyCounter) {
  ConvertedCalendar calendar;
  CalendarReader reader(platform, name, 1);
  reader.next(calendar.description);
  reader.next(calendar.diaryKey);
  std::string third;
  if (hasDiaryKey(calendar.diaryKey)) {
    reader.next(third);
  } else {
    third = calendar.diaryKey;
    calendar.diaryKey = toText(++oldKeyCounter);
  }
  if (left(third, static_cast<int>(kBirthdayMark.size())) == kBirthdayMark)
    calendar.thirdLine = toText(birthdayDaysAhead(reader));
  else
    calendar.thirdLine = withoutLeadingBlank(third);
  std::string line;
  while (reader.next(line) && line.empty()) continue;
  if (!line.empty()) calendar.body.push_back(line);
  while (reader.next(line)) calendar.body.push_back(line);
  return calendar;
}

void writeCalendar(Platform& platform, const ConvertedCalendar& calendar) {
  platform.openFile(kConversionTempFile, FileMode::Output, 2);
  platform.writeLine(2, calendar.description);
  platform.writeLine(2, calendar.diaryKey);
  platform.writeLine(2, calendar.thirdLine);
  writeBlankLines(platform, 2, kBlankLinesAfterHeader);
  bool addRecurringSections = weeklyDailyCount(calendar.body) == 0;
  for (const std::string& line : calendar.body) {
    if (line == "Einde" || line == "einde") break;
    if (addRecurringSections && line == "Januari") {
      for (std::string_view header : {"Wekelijks", "Dagelijks"}) {
        platform.writeLine(2, header);
        writeBlankLines(platform, 2, 3);
      }
      addRecurringSections = false;
    }
    platform.writeLine(2, line);
  }
  writeCalendarEnd(platform, 2);
  platform.closeFile(2);
}

void convertCalendars(Platform& platform) {
  buildCalendarList(platform);
  platform.openFile(kCalendarListFile, FileMode::Input, 3);
  int oldKeyCounter = -1;
  std::string name;
  while (!platform.atEnd(3)) {
    platform.readLine(3, name);
    if (!platform.fileExists(name)) continue;
    writeCalendar(platform, readCalendar(platform, name, oldKeyCounter));
    platform.replaceFile(kConversionTempFile, name);
  }
  platform.closeFile(3);
  platform.deleteFile(kCalendarListFile);
}

// The settings file copied into the calendar list file, line by line, with
// one line that can be given back to be read again.
class SettingsCopy {
 public:
  explicit SettingsCopy(Platform& platform) : platform_(platform) {
    platform_.openFile(kSettingsFile, FileMode::Input, 1);
    platform_.openFile(kCalendarListFile, FileMode::Output, 2);
  }
  ~SettingsCopy() {
    platform_.closeFile(1);
    platform_.closeFile(2);
  }
  SettingsCopy(const SettingsCopy&) = delete;
  SettingsCopy& operator=(const SettingsCopy&) = delete;

  // The next line; empty past the end.
  std::string read() {
    std::string line;
    if (givenBack_) {
      givenBack_ = false;
      return std::move(pending_);
    }
    platform_.readLine(1, line);
    return line;
  }
  void giveBack(std::string line) {
    pending_ = std::move(line);
    givenBack_ = true;
  }
  void write(std::string_view line) { platform_.writeLine(2, line); }
  void copy() { write(read()); }
  void copyRest() {
    while (givenBack_ || !platform_.atEnd(1)) copy();
  }

 private:
  Platform& platform_;
  std::string pending_;
  bool givenBack_ = false;
};

void writeSwitches(SettingsCopy& settings) {
  std::string first = settings.read();
  if (first != "[PopUp]") {
    settings.write(first);
    for (int line = 2; line <= 4; ++line) settings.copy();
    return;
  }
  settings.write("[Aan/Uit]");
  std::string popup = right(settings.read(), 3);
  if (popup == "uit" || popup == "ntp" || popup == "msg") settings.write("PopUp=" + popup);
  settings.write("PC-Speaker=aan");
  settings.write("Sound=aan");
}

// From the theme line after "[Kleurthema]" to the blank line after the diary-day colour.
void writeColourSections(SettingsCopy& settings) {
  std::string theme = settings.read();
  if (settings.read().empty()) {
    settings.write(theme);
  } else {
    settings.write("1");
    settings.read();
  }
  settings.write("");
  settings.copy();
  settings.write(withoutLeadingBlank(settings.read()));
  settings.copy();
  std::string next = settings.read();
  if (next == "[Dagboekdagkleur]") {
    settings.write(next);
    settings.write(withoutLeadingBlank(settings.read()));
    settings.read();
  } else {
    settings.write("[Dagboekdagkleur]");
    settings.write("13");
    settings.giveBack(next);
  }
  settings.write("");
}

void writeDefaultColourSections(SettingsCopy& settings) {
  for (std::string_view line : {"[Kleurthema]", "1", "", "[Tekstkleur]", "12", "", "[Dagboekdagkleur]", "13", ""})
    settings.write(line);
}

void convertSettings(Platform& platform) {
  if (settingsFileMissingOrEmpty(platform)) return;
  {
    SettingsCopy settings(platform);
    writeSwitches(settings);
    settings.read();
    settings.write("");
    std::string line = settings.read();
    bool coloursDone = false;
    if (line.empty()) {
      settings.write("[Kleurthema]");
      settings.write("1");
      for (int i = 0; i < 7; ++i) settings.copy();
      line = settings.read();
      coloursDone = true;
    }
    if (line == "[Kleurthema]") {
      settings.write(line);
      writeColourSections(settings);
      line = settings.read();
      coloursDone = true;
    }
    if (line == "[Almanoukkeuze]" && !coloursDone) writeDefaultColourSections(settings);
    settings.write(line);
    std::string first = settings.read();
    if (first.empty() || first == "   ") first = settings.read();
    settings.write(first);
    settings.copyRest();
  }
  platform.replaceFile(kCalendarListFile, kSettingsFile);
}

}  // namespace

void convertOlderData(Platform& platform) {
  convertCalendars(platform);
  convertSettings(platform);
}

}  // namespace almanouk
