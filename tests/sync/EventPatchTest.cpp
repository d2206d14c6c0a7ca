// A line changed here patches the server's event: only what the line says
// changes, whatever else the event holds stays.

#include <gtest/gtest.h>

#include "calendar/CalendarModel.h"
#include "calendar/ICalExport.h"
#include "sync/EventPatch.h"

using namespace almanouk;

namespace {

const char* kServerEvent =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:phone\r\nBEGIN:VEVENT\r\nUID:phone-1\r\n"
    "DTSTAMP:20261201T080000Z\r\nDTSTART:20261215T093000\r\nDTEND:20261215T103000\r\n"
    "SUMMARY:Tandarts\r\nLOCATION:Kliniek\r\nDESCRIPTION:Gebit nakijken\r\n"
    "ATTENDEE;CN=Jan:mailto:jan@example.org\r\nSEQUENCE:4\r\n"
    "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT15M\r\nDESCRIPTION:x\r\nEND:VALARM\r\n"
    "END:VEVENT\r\nEND:VCALENDAR\r\n";

std::string eventOf(const char* line) {
  const ExportClock clock{{2026, 12, 9, 8, 0, 0, 0}, "Europe/Amsterdam"};
  return exportEntry(Entry(Section::December, line, 0), "phone-1", clock).ics;
}

std::string patched(const char* before, const char* after) {
  return patchedEvent(kServerEvent, eventOf(before), eventOf(after));
}

bool has(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(EventPatch, WhatTheLineSaysChangesTheRestStays) {
  const struct {
    const char* name;
    const char* before;
    const char* after;
    std::vector<const char*> present;
    std::vector<const char*> absent;
  } rows[] = {
      {"a new text: the summary, without the location and reminder the line shows",
       "15 2026 09:30 Tandarts - Kliniek (herinnering 09:15)", "15 2026 09:30 Kaakchirurg - Kliniek (herinnering 09:15)",
       {"SUMMARY:Kaakchirurg\r\n", "DTSTART:20261215T093000", "DTEND:20261215T103000"},
       {"SUMMARY:Tandarts", "herinnering"}},
      {"a new time: the start moves and the event keeps its length",
       "15 2026 09:30 Tandarts - Kliniek", "15 2026 11:00 Tandarts - Kliniek",
       {"DTSTART:20261215T110000", "DTEND:20261215T120000", "SUMMARY:Tandarts\r\n"}, {"T093000"}},
      {"a new day", "15 2026 09:30 Tandarts - Kliniek", "17 2026 09:30 Tandarts - Kliniek",
       {"DTSTART:20261217T093000", "DTEND:20261217T103000"}, {"20261215"}},
      {"a one-off becomes yearly: the rule comes, the length stays", "15 2026 09:30 Tandarts - Kliniek",
       "15 09:30 Tandarts - Kliniek", {"RRULE:FREQ=YEARLY", "DTEND:"}, {}},
      {"timed becomes a whole day: no end of another kind", "15 2026 09:30 Tandarts - Kliniek",
       "15 2026 Tandarts - Kliniek", {"DTSTART;VALUE=DATE:20261215"}, {"DTEND"}},
      {"a text that no longer ends in the location keeps it all", "15 2026 09:30 Tandarts - Kliniek",
       "15 2026 09:30 Tandarts elders", {"SUMMARY:Tandarts elders\r\n", "LOCATION:Kliniek"}, {}},
  };
  for (const auto& row : rows) {
    const std::string event = patched(row.before, row.after);
    for (const char* kept : {"UID:phone-1", "LOCATION:Kliniek", "DESCRIPTION:Gebit nakijken", "ATTENDEE;CN=Jan",
                             "TRIGGER:-PT15M", "SEQUENCE:5", "PRODID:phone"})
      EXPECT_TRUE(has(event, kept)) << row.name << ": " << kept << "\n" << event;
    for (const char* part : row.present) EXPECT_TRUE(has(event, part)) << row.name << ": " << part << "\n" << event;
    for (const char* part : row.absent) EXPECT_FALSE(has(event, part)) << row.name << ": " << part << "\n" << event;
  }
}

TEST(EventPatch, AnEventThatCannotBeReadIsLeftAsItIs) {
  EXPECT_EQ(patchedEvent("not iCalendar", eventOf("15 A"), eventOf("16 A")), "not iCalendar");
  EXPECT_EQ(uidOfEvent(kServerEvent), "phone-1");
  EXPECT_EQ(uidOfEvent("BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n"), "");
}
