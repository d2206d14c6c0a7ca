#include "calendar/Conversion.h"

#include <string>
#include <vector>

#include "calendar/CalendarFile.h"
#include "calendar/CalendarList.h"
#include "settings/SettingsFile.h"
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

void writeCalendar(Platform& platform, const std::string& name, const ConvertedCalendar& calendar) {
  FileReplacement converted(platform, name, kConversionTempFile, 2);
  converted.line(calendar.description);
  converted.line(calendar.diaryKey);
  converted.line(calendar.thirdLine);
  converted.blankLines(kBlankLinesAfterHeader);
  bool addRecurringSections = weeklyDailyCount(calendar.body) == 0;
  for (const std::string& line : calendar.body) {
    if (line == "Einde" || line == "einde") break;
    if (addRecurringSections && line == "Januari") {
      for (std::string_view header : {"Wekelijks", "Dagelijks"}) {
        converted.line(header);
        converted.blankLines(3);
      }
      addRecurringSections = false;
    }
    converted.line(line);
  }
  writeCalendarEnd(converted);
  converted.commit();
}

void convertCalendars(Platform& platform) {
  int oldKeyCounter = -1;
  for (const std::string& name : calendarFileNames(platform)) {
    if (!platform.fileExists(name)) continue;
    writeCalendar(platform, name, readCalendar(platform, name, oldKeyCounter));
  }
}

// The settings file's new version, written line by line from the old one,
// with one line that can be given back to be read again.
class SettingsCopy {
 public:
  explicit SettingsCopy(Platform& platform)
      : old_(platform, kSettingsFile, 1), new_(platform, kSettingsFile, kCalendarListFile, 2) {}

  // The next line; empty past the end.
  std::string read() {
    if (givenBack_) {
      givenBack_ = false;
      return std::move(pending_);
    }
    return old_.nextLine();
  }
  void giveBack(std::string line) {
    pending_ = std::move(line);
    givenBack_ = true;
  }
  void write(std::string_view line) { new_.line(line); }
  void copy() { write(read()); }
  void copyRest() {
    while (givenBack_ || !old_.atEnd()) copy();
  }
  void commit() {
    old_.close();
    new_.commit();
  }

 private:
  InputFile old_;
  FileReplacement new_;
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
  settings.commit();
}

}  // namespace

void convertOlderData(Platform& platform) {
  convertCalendars(platform);
  convertSettings(platform);
}

}  // namespace almanouk
