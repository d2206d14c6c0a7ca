// Any bytes as an iCalendar file: imported into a calendar, the calendar still
// passes the start's check. The same bytes as a calendar: exported, and the
// export imported again.

#include "FuzzSupport.h"
#include "calendar/CalendarFile.h"
#include "calendar/CalendarInsert.h"
#include "calendar/ICalExport.h"
#include "calendar/ICalImport.h"

using namespace almanouk;

namespace {

const ImportClock kClock{*LocalDateTime::parse("2026-12-08 10:00:00"), "Europe/Amsterdam"};

std::string calendarWithHeaders() {
  std::string bytes = "Omschrijving.\r\n0\r\n7\r\n\r\n";
  for (int section = 0; section < kSectionCount; ++section) bytes += std::string(sectionHeader(section)) + "\r\n\r\n";
  return bytes + "Einde\r\n";
}

void importInto(const CalendarModel& calendar, std::string_view ics) {
  auto read = readICalendar(ics, kClock);
  const auto* events = std::get_if<ImportedEvents>(&read);
  if (!events) return;
  std::vector<NewEntry> entries;
  for (const ImportedEntry& entry : events->entries) {
    if (entry.line.size() > static_cast<std::size_t>(kLongestShownEntry)) __builtin_trap();
    entries.push_back({entry.section, entry.line});
  }
  if (!passesCalendarCheck(insertEntries(calendar, entries).lines)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  static const CalendarModel calendar(calendarWithHeaders());
  importInto(calendar, bytes);

  CalendarModel asCalendar{std::string(bytes)};
  ExportReport report;
  std::vector<ExportedCalendar> sources{{"FUZZ0000.AMN", asCalendar, true}};
  importInto(calendar, exportICalendar(sources, {kClock.today, kClock.timeZone}, report));
  return 0;
}
