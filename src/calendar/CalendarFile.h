#pragma once
// The calendar file: description, diary key and days ahead on lines 1-3,
// then the sections "Maandelijks", "Wekelijks", "Dagelijks", "Januari" ...
// "December", each a header, blank lines, entries and blank lines, and the
// end line "Einde". Code page 437, CR LF.

#include <string>
#include <string_view>

#include "platform/NumberedFiles.h"

namespace almanouk {

class Platform;

inline constexpr std::string_view kDefaultCalendarFile = "ALMANOUK.AMN";
// The days ahead the template writes, and the fallback when a file holds none.
inline constexpr int kTemplateDaysAhead = 7;
// The temporary file a calendar copy is written to before it takes its name.
inline constexpr std::string_view kCalendarCopyTempFile = "AlmanTmp.cpy";
// Blank lines after the "Einde" line of every calendar the program writes.
inline constexpr int kBlankLinesAfterEnd = 25;

// The fifteen sections in file order: "Maandelijks", "Wekelijks", "Dagelijks", "Januari" ... "December".
inline constexpr int kSectionCount = 15;
std::string_view sectionHeader(int section);

// The end line "Einde" and the 25 empty lines after it that every calendar file closes with.
void writeCalendarEnd(OutputFile& file);

// Writes the file anew with the 109-line template; false (and the old file
// kept) when it could not be written.
bool writeCalendarTemplate(Platform& platform, std::string_view fileName, std::string_view diaryKey);

// Copies a calendar file line by line (with CR LF line ends) over another in
// one step; false, and the target as it was, when the copy could not be made.
bool copyCalendarFile(Platform& platform, std::string_view from, std::string_view to);

// Writes a calendar's description (line 1, when given) and days ahead (line 3)
// through "afd3.txt", which then takes the file's place; false when it could not.
bool rewriteCalendarHeader(Platform& platform, std::string_view fileName, const std::string* description,
                           std::string_view daysAhead);

// Checks the three recurring headers before "Januari": a file of the older
// layout (only "Maandelijks") is upgraded in place and accepted; a complete
// one is accepted; anything else shows "  Fout in almanoukfile " + the name,
// waits for a key, deletes the instance marker and ends the program.
void validateCalendarFile(Platform& platform, std::string_view fileName);
// The same check without its consequences: true when the file would be accepted.
bool passesCalendarCheck(Platform& platform, std::string_view fileName);

// A calendar file read line by line; a line read past the end is blank.
class CalendarReader : public InputFile {
 public:
  CalendarReader(Platform& platform, std::string_view fileName, int number = 1)
      : InputFile(platform, fileName, number) {}
};

}  // namespace almanouk
