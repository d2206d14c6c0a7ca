#include "calendar/CalendarFile.h"

#include <array>
#include <optional>

#include "calendar/CalendarModel.h"
#include "calendar/Dates.h"
#include "platform/FatalError.h"
#include "platform/Platform.h"
#include "platform/TemporaryFiles.h"
#include "platform/Text.h"

namespace almanouk {
namespace {


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

// Sum of the recurring headers before "Januari": 1 "Maandelijks", 2 "Wekelijks", 4 "Dagelijks".
template <typename Next>
int headerSumOf(Next next) {
  int sum = 0;
  std::string line;
  while (next(line) && line != "Januari") {
    if (line == "Maandelijks") sum += 1;
    if (line == "Wekelijks") sum += 2;
    if (line == "Dagelijks") sum += 4;
  }
  return sum;
}

int headerSum(Platform& platform, std::string_view fileName) {
  CalendarReader reader(platform, fileName);
  return headerSumOf([&reader](std::string& line) { return reader.next(line); });
}

// The older layout has only "Maandelijks" before "Januari": add the weekly and
// daily sections and a single end line.
FileResult upgradeOlderLayout(Platform& platform, std::string_view fileName) {
  CalendarReader reader(platform, fileName, 1);
  FileReplacement upgraded(platform, fileName, temporary::kCalendarUpgrade, 2);
  std::string line;
  while (reader.next(line) && line != "Januari") upgraded.line(line);
  for (std::string_view header : {"Wekelijks", "Dagelijks"}) {
    upgraded.line(header);
    upgraded.blankLines(3);
  }
  upgraded.line("Januari");
  while (reader.next(line))
    if (lowerAscii(line) != "einde") upgraded.line(line);
  upgraded.line("Einde");
  reader.close();
  return upgraded.commit();
}

}  // namespace

std::string withLineEnds(std::span<const std::string_view> lines) {
  std::size_t size = 0;
  for (std::string_view line : lines) size += line.size() + 2;
  std::string text;
  text.reserve(size);
  for (std::string_view line : lines) text.append(line).append("\r\n");
  return text;
}

std::string_view sectionHeader(int section) {
  static constexpr std::string_view kRecurring[] = {"Maandelijks", "Wekelijks", "Dagelijks"};
  if (section >= 0 && section < 3) return kRecurring[section];
  return monthSectionName(section - 2);
}

void writeCalendarEnd(OutputFile& file) {
  file.line("Einde");
  file.blankLines(kBlankLinesAfterEnd);
}

FileResult writeCalendarTemplate(Platform& platform, std::string_view fileName, std::string_view diaryKey) {
  FileReplacement calendar(platform, fileName, temporary::kCalendarTemplate, 1);
  calendar.line("Omschrijving.");
  calendar.line(diaryKey);
  calendar.line(toText(kTemplateDaysAhead));
  for (std::string_view line : kTemplateBody) calendar.line(cp437(line));
  for (int month = 2; month <= 12; ++month) {
    calendar.line(monthSectionName(month));
    calendar.blankLines(3);
  }
  writeCalendarEnd(calendar);
  return calendar.commit();
}

FileResult writeEmptyCalendar(Platform& platform, std::string_view fileName, std::string_view diaryKey,
                              std::string_view description) {
  FileReplacement calendar(platform, fileName, temporary::kCalendarTemplate, 1);
  calendar.line(description.empty() ? "Omschrijving." : description);
  calendar.line(diaryKey);
  calendar.line(toText(kTemplateDaysAhead));
  calendar.blankLines(2);
  for (int section = 0; section < kSectionCount; ++section) {
    calendar.line(sectionHeader(section));
    calendar.blankLines(3);
  }
  writeCalendarEnd(calendar);
  return calendar.commit();
}

FileResult copyCalendarFile(Platform& platform, std::string_view from, std::string_view to) {
  std::optional<std::string> bytes = platform.files().contents(from);
  if (!bytes) return FileResult(from, FileProblem::NotFound);
  return writeCalendarLines(platform, to, textLines(*bytes));
}

FileResult writeCalendarLines(Platform& platform, std::string_view fileName, std::span<const std::string_view> lines) {
  FileReplacement file(platform, fileName, temporary::kCalendarCopy, 2);
  file.text(withLineEnds(lines));
  return file.commit();
}

FileResult rewriteCalendarHeader(Platform& platform, std::string_view fileName, const std::string* description,
                                 std::string_view daysAhead) {
  CalendarReader reader(platform, fileName, 1);
  if (!reader.isOpen()) return FileResult(fileName, FileProblem::NotFound);
  FileReplacement file(platform, fileName, temporary::kCalendarHeader, 2);
  std::string line = reader.nextLine();
  file.line(description ? *description : line);
  file.line(reader.nextLine());
  reader.nextLine();
  file.line(daysAhead);
  while (reader.next(line)) file.line(line);
  reader.close();
  return file.commit();
}

FileResult validateCalendarFile(Platform& platform, std::string_view fileName) {
  int sum = headerSum(platform, fileName);
  if (sum == 1) return upgradeOlderLayout(platform, fileName);
  if (sum != 7) calendarFileError(platform, fileName);
  return {};
}

bool passesCalendarCheck(Platform& platform, std::string_view fileName) {
  int sum = headerSum(platform, fileName);
  return sum == 1 || sum == 7;
}

bool passesCalendarCheck(const std::vector<std::string>& lines) {
  auto line = lines.begin();
  int sum = headerSumOf([&](std::string& text) {
    if (line == lines.end()) return false;
    text = *line++;
    return true;
  });
  return sum == 1 || sum == 7;
}

}  // namespace almanouk
