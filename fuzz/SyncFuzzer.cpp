// Any bytes as a server's answer, as a sync state beside a calendar, and as
// an event the server holds: read without harm; a state read is written back
// the same; the line diff of the state against the bytes as a calendar keeps
// every index in bounds.

#include "FuzzSupport.h"
#include "calendar/CalendarModel.h"
#include "calendar/ICalExport.h"
#include "sync/DavXml.h"
#include "sync/EventPatch.h"
#include "sync/SyncPlan.h"
#include "sync/SyncState.h"

using namespace almanouk;

namespace {

void diffAgainst(const SyncState& state, std::string_view bytes) {
  const CalendarModel calendar{std::string(bytes)};
  std::vector<SyncLine> current;
  for (const Entry& entry : calendar.entries()) current.push_back({entry.section, std::string(entry.line)});
  const LocalDiff diff = diffLocal(state.records, current);
  if (diff.records.size() != state.records.size() || diff.ownerOf.size() != current.size()) __builtin_trap();
  for (std::ptrdiff_t owner : diff.ownerOf)
    if (owner >= static_cast<std::ptrdiff_t>(state.records.size())) __builtin_trap();
  for (std::ptrdiff_t line : diff.lineOf)
    if (line >= static_cast<std::ptrdiff_t>(current.size())) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  dav::parseMultiStatus(bytes);
  if (std::optional<SyncState> state = readSyncState(bytes)) {
    const std::string written = writeSyncState(*state);
    std::optional<SyncState> again = readSyncState(written);
    if (!again || writeSyncState(*again) != written) __builtin_trap();
    diffAgainst(*state, bytes);
  }
  const ExportClock clock{*LocalDateTime::parse("2026-12-08 10:00:00"), "Europe/Amsterdam"};
  const std::string before = exportEntry(Entry(Section::May, "05 10:00 Vergadering", 0), "u", clock).ics;
  const std::string after = exportEntry(Entry(Section::May, "06 Vergadering elders", 0), "u", clock).ics;
  patchedEvent(std::string(bytes), before, after);
  uidOfEvent(std::string(bytes));
  return 0;
}
