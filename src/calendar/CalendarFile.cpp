#include "calendar/CalendarFile.h"

#include <array>

#include "calendar/Dates.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "shell/Fatal.h"

namespace almanouk {
namespace {

constexpr std::string_view kUpgradeTempFile = "AlmanTmp.dat";

// Template lines 4 to 39, from the blank lines after the header up to the two after
// January; written in code page 437.
constexpr std::array<std::string_view, 36> kTemplateBody = {
    "",
    "",
    "Maandelijks",
    "",
    "01 Voorbeelden. Nu alleen een notitie.",
    "02 18:30 Elke maand popupt deze op de tijd én wordt getoond.",
    "04 2008 12:30 Nu alleen in 2008.",
    "06 2008 Nu alleen een notitie in 2008.",
    "",
    "",
    "Wekelijks",
    "",
    "Do 01:26 Elke week popupt deze op de tijd én wordt getoond.",
    "Vr 2008 15:45 Nu alleen in 2008.",
    "Za 2008 Nu alleen een notitie in 2008.",
    "Zo Nu alleen een notitie.",
    "",
    "",
    "Dagelijks",
    "",
    "01:28 Elke dag popupt deze op de tijd en wordt niet getoond.",
    "",
    "",
    "Januari",
    "",
    "1 Een voorbeeld.",
    " 2 Nog een voorbeeld (netter).",
    "10 Weer een voorbeeld.",
    "11 2004 Voorbeeld met jaartal.",
    "12 # c:\\windows\\notepad.exe",
    "13 10:25 Tijdvoorbeeld.",
    "20 10:30 # defrag c:",
    "22 2008 10:30 # defrag c:",
    "30 2012 19:00 # notepad c:\\info\\belangrijk.txt",
    "",
    "",
};

constexpr int kBlankLinesAfterEnd = 25;

// Sum of the recurring headers before "Januari": 1 "Maandelijks", 2 "Wekelijks", 4 "Dagelijks".
int headerSum(Platform& platform, std::string_view fileName) {
  CalendarReader reader(platform, fileName);
  int sum = 0;
  std::string line;
  while (reader.next(line) && line != "Januari") {
    if (line == "Maandelijks") sum += 1;
    if (line == "Wekelijks") sum += 2;
    if (line == "Dagelijks") sum += 4;
  }
  return sum;
}

// The older layout has only "Maandelijks" before "Januari": add the weekly and
// daily sections and a single end line.
void upgradeOlderLayout(Platform& platform, std::string_view fileName) {
  {
    CalendarReader reader(platform, fileName, 1);
    platform.openFile(kUpgradeTempFile, FileMode::Output, 2);
    std::string line;
    while (reader.next(line) && line != "Januari") platform.writeLine(2, line);
    platform.writeLine(2, "Wekelijks");
    writeBlankLines(platform, 2, 3);
    platform.writeLine(2, "Dagelijks");
    writeBlankLines(platform, 2, 3);
    platform.writeLine(2, "Januari");
    while (reader.next(line))
      if (lowerAscii(line) != "einde") platform.writeLine(2, line);
    platform.writeLine(2, "Einde");
    platform.closeFile(2);
  }
  platform.replaceFile(kUpgradeTempFile, fileName);
}

}  // namespace

void writeBlankLines(Platform& platform, int number, int count) {
  for (int i = 0; i < count; ++i) platform.writeLine(number, "");
}

void writeCalendarEnd(Platform& platform, int number) {
  platform.writeLine(number, "Einde");
  writeBlankLines(platform, number, kBlankLinesAfterEnd);
}

void writeCalendarTemplate(Platform& platform, std::string_view fileName, std::string_view diaryKey) {
  platform.openFile(fileName, FileMode::Output, 1);
  platform.writeLine(1, "Omschrijving.");
  platform.writeLine(1, diaryKey);
  platform.writeLine(1, toText(kTemplateDaysAhead));
  for (std::string_view line : kTemplateBody) platform.writeLine(1, cp437(line));
  for (int month = 2; month <= 12; ++month) {
    platform.writeLine(1, monthSectionName(month));
    writeBlankLines(platform, 1, 3);
  }
  writeCalendarEnd(platform, 1);
  platform.closeFile(1);
}

void validateCalendarFile(Platform& platform, std::string_view fileName) {
  int sum = headerSum(platform, fileName);
  if (sum == 1) upgradeOlderLayout(platform, fileName);
  if (sum == 1 || sum == 7) return;
  fatalFileError(platform, "  Fout in almanoukfile " + std::string(fileName));
}

CalendarReader::CalendarReader(Platform& platform, std::string_view fileName, int number)
    : platform_(platform), number_(number) {
  platform_.openFile(fileName, FileMode::Input, number_);
}

CalendarReader::~CalendarReader() { platform_.closeFile(number_); }

bool CalendarReader::next(std::string& line) {
  if (platform_.atEnd(number_)) {
    line.clear();
    return false;
  }
  platform_.readLine(number_, line);
  ++lineNumber_;
  return true;
}

bool CalendarReader::atEnd() { return platform_.atEnd(number_); }

bool CalendarReader::findSection(std::string_view lowerName, std::string& line) {
  bool found = false;
  while (!found && next(line)) found = lowerAscii(line) == lowerName;
  if (!found) return false;
  while (next(line) && line.empty()) continue;
  return !line.empty();
}

}  // namespace almanouk
