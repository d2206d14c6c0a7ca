#pragma once
// The calendar file: description, diary key and days ahead on lines 1-3,
// then the sections "Maandelijks", "Wekelijks", "Dagelijks", "Januari" ...
// "December", each a header, blank lines, entries and blank lines, and the
// end line "Einde". Code page 437, CR LF.

#include <string>
#include <string_view>

namespace almanouk {

class Platform;

inline constexpr std::string_view kDefaultCalendarFile = "ALMANOUK.AMN";
// The days ahead the template writes, and the fallback when a file holds none.
inline constexpr int kTemplateDaysAhead = 7;

// Writes count empty lines to an open numbered file.
void writeBlankLines(Platform& platform, int number, int count);
// The end line "Einde" and the 25 empty lines after it that every calendar file closes with.
void writeCalendarEnd(Platform& platform, int number);

// Creates or overwrites the file with the 109-line template.
void writeCalendarTemplate(Platform& platform, std::string_view fileName, std::string_view diaryKey);

// Checks the three recurring headers before "Januari": a file of the older
// layout (only "Maandelijks") is upgraded in place and accepted; a complete
// one is accepted; anything else shows "  Fout in almanoukfile " + the name,
// waits for a key, deletes the instance marker and ends the program.
void validateCalendarFile(Platform& platform, std::string_view fileName);

// A calendar file opened as a numbered input file and read line by line; the
// number is closed again when the reader goes away. A line read past the end
// is blank.
class CalendarReader {
 public:
  CalendarReader(Platform& platform, std::string_view fileName, int number = 1);
  ~CalendarReader();
  CalendarReader(const CalendarReader&) = delete;
  CalendarReader& operator=(const CalendarReader&) = delete;

  // The next line; false (and an empty line) past the end.
  bool next(std::string& line);
  bool atEnd();
  // Lines read so far: the 1-based number of the line last read.
  int lineNumber() const { return lineNumber_; }
  // Reads to the line whose lower-cased text equals lowerName, then past the
  // blank lines after it: line is the first entry, or the next header when
  // the section is empty. False (line empty) when the file ends first.
  bool findSection(std::string_view lowerName, std::string& line);

 private:
  Platform& platform_;
  int number_;
  int lineNumber_ = 0;
};

}  // namespace almanouk
