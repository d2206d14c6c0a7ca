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

#include "platform/Http.h"
#include "platform/LocalTime.h"

namespace almanouk {

class Platform;

struct SyncReport {
  int sent = 0;       // new events on the server
  int received = 0;   // new entries here
  int changed = 0;    // changes passed either way
  int deleted = 0;    // deletions passed either way
  int conflicts = 0;  // events changed on both sides: both kept
  std::vector<std::string> errors;  // why the sync did not finish (Dutch)
  std::vector<std::string> notes;   // what the user should know: conflicts, lines not sent
  bool wroteCalendar = false;
};

struct SyncClock {
  LocalDateTime now;
  std::string timeZone;
};

// Syncs the calendar file of the data folder (the working folder) once.
SyncReport syncCalendar(Platform& platform, const std::string& calendarFile, HttpClient& http,
                        const std::optional<HttpLogin>& login, const SyncClock& clock);

}  // namespace almanouk
