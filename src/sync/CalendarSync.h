#pragma once
// One sync of a calendar with the collection it is linked to. The server's
// changes come in first; then what changed here goes out (changes as
// patches of the server's event, only over the version last seen; new
// entries as new events that cannot overwrite anything); then the calendar
// is written, in day order and versioned, and last the state. Every step can
// be cut short: the next sync finds an event it already sent by its lines or
// its identity, and finishes the job without losing or doubling anything.

#include <optional>
#include <string>
#include <vector>

#include "platform/FileResult.h"
#include "platform/Http.h"
#include "platform/LocalTime.h"
#include "sync/SyncState.h"

namespace almanouk {

class CalendarModel;
class Platform;

struct SyncReport {
  int sent = 0;       // new events on the server
  int received = 0;   // new entries here
  int changed = 0;    // changes passed either way
  int deleted = 0;    // deletions passed either way
  int conflicts = 0;  // events changed on both sides: both kept
  std::vector<std::string> errors;  // why the sync did not finish (Dutch)
  std::vector<std::string> notes;   // what the user should know: conflicts, lines not sent
};

struct SyncClock {
  LocalDateTime now;
  std::string timeZone;
};

struct SyncResult {
  SyncReport report;
  SyncState state;                                        // to be kept beside the calendar
  std::optional<std::vector<std::string>> calendarLines;  // the calendar's new lines, when it changed
};

// One sync of a calendar's text (code page 437 bytes) with its state: the
// server is changed, the calendar file and state are not yet.
SyncResult syncInMemory(const std::string& calendarFile, const std::string& calendar, SyncState state,
                        HttpClient& http, const std::optional<HttpLogin>& login, const SyncClock& clock);

// Writes what the sync made: the calendar (its earlier version as the
// backup, and in Versies), then the state. `before`: the calendar as the sync read it.
FileResult saveSyncResult(Platform& platform, const std::string& calendarFile, const CalendarModel& before,
                          const SyncResult& result);

// Syncs the calendar file of the data folder (the working folder) once.
SyncReport syncCalendar(Platform& platform, const std::string& calendarFile, HttpClient& http,
                        const std::optional<HttpLogin>& login, const SyncClock& clock);

}  // namespace almanouk
