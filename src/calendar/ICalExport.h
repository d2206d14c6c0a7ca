#pragma once
// Calendars as iCalendar (RFC 5545) for other programs: every entry the
// month view lists or the alarm scan rings becomes an event that recurs as
// the entry does.
//
//   "Maandelijks" dd [yyyy] [hh:mm] text  monthly on day dd (with a year: in that year only)
//   "Wekelijks"   Wd [yyyy] [hh:mm] text  weekly on that weekday (the same)
//   a month       dd [yyyy] [hh:mm] text  yearly on that date; with a year once
//   "Dagelijks"   hh:mm text              daily at that time
// A time makes a timed event (local floating time, no length) with an alarm
// at its start; without one the event lasts the day. A "#" command goes
// along as the description and X-ALMANOUK-COMMAND, without an alarm: the
// program starts it rather than shows it. Recurring events start in the year
// of the export (a yearly 29 February in the next leap year).

#include <span>
#include <string>
#include <vector>

#include "platform/LocalTime.h"

namespace almanouk {

class CalendarModel;
struct Entry;

struct ExportedCalendar {
  std::string name;  // "ALMANOUK.AMN": part of every event's identity
  const CalendarModel& calendar;
  bool categorised = false;  // each event carries the calendar's description as its category
};

struct ExportReport {
  int events = 0;
  std::vector<std::string> skipped;  // "ALMANOUK.AMN regel 12: 30 februari bestaat niet"
};

// The clock of the export: its year, and the stamp every event carries.
struct ExportClock {
  LocalDateTime now;
  std::string timeZone;  // of now, as the zone database names it
};

// The calendars as one iCalendar text (UTF-8, CR LF).
std::string exportICalendar(std::span<const ExportedCalendar> calendars, const ExportClock& clock, ExportReport& report);

// One entry as an iCalendar text of its own event with that identity, for a
// calendar server; no text, and why, when the entry has no event.
struct EntryEvent {
  std::string ics;
  std::string whyNot;
};
EntryEvent exportEntry(const Entry& entry, const std::string& uid, const ExportClock& clock);

}  // namespace almanouk
