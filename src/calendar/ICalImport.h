#pragma once
// Events from iCalendar (RFC 5545) text as calendar entries, the way back of
// the export: a yearly event becomes a month's "dd [hh:mm] text", a monthly
// one "Maandelijks", a weekly one "Wekelijks", a daily one with an alarm
// "Dagelijks", a single one a month's "dd yyyy [hh:mm] text", and an event on
// extra dates (RDATE) one such line for each. What the format cannot hold
// (other intervals, counts, exceptions, several rules, several days, several
// days of the week, other time zones' summer time, a rule that has not begun
// by the import day) is written out: its occurrences in the next two years
// become single entries. Times come in the local clock; a zone the database
// knows is taken from it, whatever the file's own definition covers. A
// reminder shortly before the event goes into its text ("(herinnering 10:45)"),
// so that the alarm rings then too. The text is the summary, with " - " and
// the location; a "#" never comes in, so an entry from elsewhere can never
// start a program.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "calendar/CalendarModel.h"
#include "platform/LocalTime.h"

namespace almanouk {

struct ImportedEntry {
  Section section;
  std::string line;   // code page 437
  std::size_t event;  // which event of the file it came from, counted from 0
  bool writtenOut;    // one of the single dates of an event the format cannot hold
};

struct SkippedEvent {
  std::string summary;  // UTF-8
  std::string why;
};

// What an event brought in that is not exactly what the file says, for the
// user to check: written out as dates (and until when, and why), a reminder
// put into the text or left out.
struct EventNote {
  std::size_t event;
  std::string summary;  // UTF-8
  std::string what;
};

struct ImportedEvents {
  std::string calendarName;  // X-WR-CALNAME as a calendar's description: code page 437, trimmed, short
  std::vector<ImportedEntry> entries;
  std::vector<SkippedEvent> skipped;
  std::vector<EventNote> notes;
  // Events after the one that would have taken more entries than a calendar holds: not read.
  std::size_t notRead = 0;
};

// Why the events past the limit are not there.
inline constexpr std::string_view kTooManyEntries = "te veel afspraken in één bestand";

struct ImportClock {
  LocalDateTime today;   // the written-out dates start here
  std::string timeZone;  // where the calendar's times are local
};

// The largest file the import reads: each event is read on its own, so what
// it takes in memory beyond the file is bounded by the largest event.
inline constexpr std::int64_t kLargestICalendar = 64LL << 20;

// At most this many entries come from one file; the events past it are skipped.
inline constexpr std::size_t kMostImportedEntries = 100'000;

// False in a build without libical, which can neither import nor export.
bool iCalendarAvailable();

// The events of the text, or why it holds none at all (not iCalendar).
std::variant<ImportedEvents, std::string> readICalendar(std::string_view text, const ImportClock& clock);

}  // namespace almanouk
