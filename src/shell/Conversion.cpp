#include "shell/Conversion.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "calendar/CalendarFile.h"
#include "calendar/CalendarList.h"
#include "platform/NumberedFiles.h"
#include "platform/Platform.h"
#include "platform/TemporaryFiles.h"
#include "platform/Text.h"
#include "settings/SettingsFile.h"

namespace almanouk {
namespace {

constexpr std::string_view kBirthdayMark = "Verjaardagsalmanouk. Aan het einde moet na een lege regel '";
constexpr int kBlankLinesAfterHeader = 3;

// Numbers written with blanks before them lose them all, so that converting
// a converted file changes nothing.
std::string withoutLeadingBlanks(std::string line) {
  line.erase(0, std::min(line.find_first_not_of(' '), line.size()));
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
  bool olderLayout = false;       // no diary key, or an old birthday calendar
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
    calendar.olderLayout = true;
  }
  // The mark is looked for after the blanks, as they are cut off anyway: an
  // indented mark would otherwise be recognised only at the next start.
  calendar.thirdLine = withoutLeadingBlanks(third);
  if (left(calendar.thirdLine, static_cast<int>(kBirthdayMark.size())) == kBirthdayMark) {
    calendar.thirdLine = toText(birthdayDaysAhead(reader));
    calendar.olderLayout = true;
  }
  std::string line;
  while (reader.next(line) && line.empty()) continue;
  if (!line.empty()) calendar.body.push_back(line);
  while (reader.next(line)) calendar.body.push_back(line);
  return calendar;
}

std::vector<std::string> convertedLines(const ConvertedCalendar& calendar) {
  std::vector<std::string> lines = {calendar.description, calendar.diaryKey, calendar.thirdLine};
  lines.insert(lines.end(), kBlankLinesAfterHeader, "");
  bool addRecurringSections = weeklyDailyCount(calendar.body) == 0;
  for (const std::string& line : calendar.body) {
    if (line == "Einde" || line == "einde") break;
    if (addRecurringSections && line == "Januari") {
      for (const char* header : {"Wekelijks", "Dagelijks"}) {
        lines.push_back(header);
        lines.insert(lines.end(), 3, "");
      }
      addRecurringSections = false;
    }
    lines.push_back(line);
  }
  lines.push_back("Einde");
  lines.insert(lines.end(), kBlankLinesAfterEnd, "");
  return lines;
}

// The file's lines as the reader gives them, each of which must end in CR LF
// as the conversion writes them.
class WrittenLines {
 public:
  explicit WrittenLines(std::string_view bytes) : rest_(bytes) {}
  bool atEnd() const { return rest_.empty(); }
  // False at the end of the file or at a line that does not end in CR LF.
  bool next(std::string_view& line) {
    const std::size_t newline = rest_.find('\n');
    if (newline == std::string_view::npos || newline == 0 || rest_[newline - 1] != '\r') return false;
    line = rest_.substr(0, newline - 1);
    rest_.remove_prefix(newline + 1);
    return true;
  }

 private:
  std::string_view rest_;
};

// True when the conversion would write the calendar back byte for byte: of
// the current layout and already normalised. One pass over the bytes read,
// nothing built; false whenever in doubt, as the whole conversion decides then.
bool alreadyConverted(std::string_view bytes) {
  WrittenLines lines(bytes);
  std::string_view line;
  if (!lines.next(line) || !lines.next(line) || !hasDiaryKey(std::string(line))) return false;
  if (!lines.next(line) || line.starts_with(' ') || line.starts_with(kBirthdayMark)) return false;
  for (int i = 0; i < kBlankLinesAfterHeader; ++i)
    if (!lines.next(line) || !line.empty()) return false;
  // The first line after them is not blank, or the blanks would be folded.
  if (!lines.next(line) || line.empty()) return false;
  int weeklyDaily = 0;
  bool beforeJanuary = true;
  do {
    if (line == "Einde" || line == "einde") break;
    beforeJanuary = beforeJanuary && line != "Januari";
    if (beforeJanuary && line == "Maandelijks") weeklyDaily = 0;
    if (beforeJanuary && (line == "Wekelijks" || line == "Dagelijks")) ++weeklyDaily;
  } while (lines.next(line));
  if (line != "Einde" || weeklyDaily == 0) return false;
  for (int i = 0; i < kBlankLinesAfterEnd; ++i)
    if (!lines.next(line) || !line.empty()) return false;
  return lines.atEnd();
}

// Every calendar is tried; the first failure is the one told, a file the
// program cannot read as it is before any other.
Conversion convertCalendars(Platform& platform) {
  int oldKeyCounter = -1;
  Conversion all;
  for (const std::string& name : calendarFileNames(platform)) {
    if (!platform.fileExists(name)) continue;
    const std::optional<std::string> bytes = platform.files().contents(name);
    if (bytes && alreadyConverted(*bytes)) continue;
    ConvertedCalendar calendar = readCalendar(platform, name, oldKeyCounter);
    all.note(replaceLinesIfChanged(platform, name, temporary::kConversion, convertedLines(calendar)), calendar.olderLayout);
  }
  return all;
}

// The value under a section header: its first non-empty line, its leading
// blanks taken off; nothing when the header or a value is missing.
std::optional<std::string> sectionValue(const std::vector<std::string>& lines, std::size_t from, std::string_view header) {
  auto at = std::find(lines.begin() + static_cast<long>(from), lines.end(), header);
  if (at == lines.end()) return std::nullopt;
  auto value = std::find_if(at + 1, lines.end(), [](const std::string& line) { return !line.empty(); });
  if (value == lines.end()) return std::nullopt;
  std::string text = withoutLeadingBlanks(*value);
  if (text.empty() || text[0] == '[') return std::nullopt;
  return text;
}

// The theme line; an older section of two value lines means the dark theme.
std::string themeLine(const std::vector<std::string>& lines, std::size_t from) {
  std::optional<std::string> theme = sectionValue(lines, from, "[Kleurthema]");
  if (!theme) return "1";
  auto at = std::find(lines.begin() + static_cast<long>(from), lines.end(), "[Kleurthema]");
  auto value = std::find_if(at + 1, lines.end(), [](const std::string& line) { return !line.empty(); });
  bool secondValue = value + 1 != lines.end() && !(value + 1)->empty() && (*(value + 1))[0] != '[';
  return secondValue ? "1" : *theme;
}

// The settings file in the current layout, from any earlier one: the switch
// lines, then the sections found by their headers wherever they stand (blank
// lines the user added do not matter), missing ones with their defaults, and
// the calendar list as it was.
std::vector<std::string> settingsInCurrentLayout(const std::vector<std::string>& old) {
  auto line = [&](std::size_t i) { return i < old.size() ? old[i] : std::string(); };
  std::vector<std::string> lines = {"[Aan/Uit]"};
  std::size_t from = 4;
  if (line(0) == "[PopUp]") {
    // A value of none of the three stays as it was, for the reader to refuse.
    std::string popup = right(line(1), 3);
    bool known = popup == "uit" || popup == "ntp" || popup == "msg";
    lines.push_back(known ? "PopUp=" + popup : line(1));
    lines.insert(lines.end(), {"PC-Speaker=aan", "Sound=aan"});
    from = 2;
  } else {
    lines = {line(0), line(1), line(2), line(3)};
  }
  from = std::min(from, old.size());
  lines.insert(lines.end(), {"", "[Kleurthema]", themeLine(old, from), "", "[Tekstkleur]",
                             sectionValue(old, from, "[Tekstkleur]").value_or("12"), "", "[Dagboekdagkleur]",
                             sectionValue(old, from, "[Dagboekdagkleur]").value_or("13"), "", "[Almanoukkeuze]"});
  auto list = std::find(old.begin() + static_cast<long>(from), old.end(), "[Almanoukkeuze]");
  if (list == old.end()) {
    lines.push_back("Einde.");  // an empty list
    return lines;
  }
  auto first = std::find_if(list + 1, old.end(), [](const std::string& l) { return !l.empty() && l != "   "; });
  lines.insert(lines.end(), first, old.end());
  return lines;
}

Conversion convertSettings(Platform& platform) {
  if (settingsFileMissingOrEmpty(platform)) return {};
  std::vector<std::string> old;
  {
    InputFile settings(platform, kSettingsFile, 1);
    for (std::string line; settings.next(line);) old.push_back(line);
  }
  std::vector<std::string> current = settingsInCurrentLayout(old);
  // The reader finds its values by line number: a file whose values stand elsewhere cannot be read as it is.
  bool olderLayout = old.size() < 15 || std::vector<std::string>(old.begin(), old.begin() + 15) !=
                                            std::vector<std::string>(current.begin(), current.begin() + 15);
  Conversion conversion;
  conversion.note(replaceLinesIfChanged(platform, kSettingsFile, temporary::kSettingsConversion, current), olderLayout);
  return conversion;
}

}  // namespace

void Conversion::note(const FileResult& result, bool needed) {
  if (result) return;
  // A file that had to change outranks one that was only tidied.
  if (written.ok() || (needed && !required)) {
    written = result;
    required = needed;
  }
}

Conversion convertOlderData(Platform& platform) {
  Conversion conversion = convertCalendars(platform);
  Conversion settings = convertSettings(platform);
  conversion.note(settings.written, settings.required);
  return conversion;
}

}  // namespace almanouk
