#pragma once
// Events from iCalendar (RFC 5545) text as calendar entries, the way back of
// the export: a yearly event becomes a month's "dd [hh:mm] text", a monthly
// one "Maandelijks", a weekly one "Wekelijks", a daily one with an alarm
// "Dagelijks", a single one a month's "dd yyyy [hh:mm] text". What the format
// cannot hold (other intervals, counts, exceptions, several days, several
// days of the week, other time zones' summer time) is written out: its
// occurrences in the next two years become single entries. The text is the
// summary, with " - " and the location; a "#" never comes in, so an entry
// from elsewhere can never start a program.

#include <cstddef>
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

struct ImportedEvents {
  std::string calendarName;  // X-WR-CALNAME as a calendar's description: code page 437, trimmed, short
  std::vector<ImportedEntry> entries;
  std::vector<SkippedEvent> skipped;
};

struct ImportClock {
  LocalDateTime today;   // the written-out dates start here
  std::string timeZone;  // where the calendar's times are local
};

// At most this many entries come from one file; the events past it are skipped.
inline constexpr std::size_t kMostImportedEntries = 100'000;

// False in a build without libical, which can neither import nor export.
bool iCalendarAvailable();

// The events of the text, or why it holds none at all (not iCalendar).
std::variant<ImportedEvents, std::string> readICalendar(std::string_view text, const ImportClock& clock);

}  // namespace almanouk
