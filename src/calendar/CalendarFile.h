#pragma once
// The calendar file: description, diary key and days ahead on lines 1-3,
// then the sections "Maandelijks", "Wekelijks", "Dagelijks", "Januari" ...
// "December", each a header, blank lines, entries and blank lines, and the
// end line "Einde". Code page 437, CR LF.

#include <string>
#include <span>
#include <string_view>
#include <vector>

#include "platform/NumberedFiles.h"

namespace almanouk {

class Platform;

inline constexpr std::string_view kDefaultCalendarFile = "ALMANOUK.AMN";
// The days ahead the template writes, and the fallback when a file holds none.
inline constexpr int kTemplateDaysAhead = 7;
// Blank lines after the "Einde" line of every calendar the program writes.
inline constexpr int kBlankLinesAfterEnd = 25;

// The longest entry line the list editor shows whole: what the program writes into a calendar stays within it.
inline constexpr int kLongestShownEntry = 76;

// The fifteen sections in file order: "Maandelijks", "Wekelijks", "Dagelijks", "Januari" ... "December".
inline constexpr int kSectionCount = 15;
std::string_view sectionHeader(int section);

// The end line "Einde" and the 25 empty lines after it that every calendar file closes with.
void writeCalendarEnd(OutputFile& file);

// Writes the file anew with the 109-line template; on a failure the old file is kept.
FileResult writeCalendarTemplate(Platform& platform, std::string_view fileName, std::string_view diaryKey);

// Writes the file anew with the sections only, for entries from elsewhere: the
// description, the diary key, the template's days ahead, each header between blank lines, the end.
FileResult writeEmptyCalendar(Platform& platform, std::string_view fileName, std::string_view diaryKey,
                              std::string_view description);

// The lines, each ended by CR LF, as a calendar file holds them.
std::string withLineEnds(std::span<const std::string_view> lines);

// Copies a calendar file line by line (with CR LF line ends) over another in
// one step; on a failure the target is as it was.
FileResult copyCalendarFile(Platform& platform, std::string_view from, std::string_view to);
// Writes the lines as the file's new version in one step.
FileResult writeCalendarLines(Platform& platform, std::string_view fileName, std::span<const std::string_view> lines);

// Writes a calendar's description (line 1, when given) and days ahead (line 3)
// through "afd3.txt", which then takes the file's place.
FileResult rewriteCalendarHeader(Platform& platform, std::string_view fileName, const std::string* description,
                           std::string_view daysAhead);

// Checks the three recurring headers before "Januari": a file of the older
// layout (only "Maandelijks") is upgraded in place and accepted; a complete
// one is accepted; anything else shows "  Fout in almanoukfile " + the name,
// waits for a key, deletes the instance marker and ends the program. An
// upgrade that cannot be written leaves the file as it was, still accepted
// (its readers find no weekly or daily entries), and is returned.
FileResult validateCalendarFile(Platform& platform, std::string_view fileName);
// The same check without its consequences: true when the file would be accepted.
bool passesCalendarCheck(Platform& platform, std::string_view fileName);
// The check of a calendar's lines about to be written.
bool passesCalendarCheck(const std::vector<std::string>& lines);

// A calendar file read line by line; a line read past the end is blank.
class CalendarReader : public InputFile {
 public:
  CalendarReader(Platform& platform, std::string_view fileName, int number = 1)
      : InputFile(platform, fileName, number) {}
};

}  // namespace almanouk
