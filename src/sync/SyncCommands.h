#pragma once
// Linking calendars to a CalDAV server and syncing them, from the command
// line and from the running program.

#include <optional>
#include <string>
#include <vector>

#include "platform/Http.h"
#include "sync/CalendarSync.h"
#include "sync/SyncState.h"

namespace almanouk {

class Platform;

// False in a build without the HTTP and XML libraries.
bool syncAvailable();

struct SyncOutput {
  std::string out;  // UTF-8
  std::string err;
};

// Links the calendar file of the data folder to the collection at the
// address (found from a server's address); asks for a login at the terminal
// when the server wants one and the environment gives none. 0, or 1 on a failure.
int linkCalendar(Platform& platform, const std::string& address, const std::string& calendarFile, SyncOutput& output);

// The calendar files of the data folder that are linked.
std::vector<std::string> linkedCalendars(Platform& platform);

// The login a link needs now: from ALMANOUK_SYNC_USER and
// ALMANOUK_SYNC_PASSWORD, else the link's user with its password command's
// output; no login for a server that asks none. Why not, when there is none to be had.
std::optional<HttpLogin> loginFor(const SyncLink& link, std::string& whyNot);

// How long a silent server is waited for: ALMANOUK_SYNC_TIMEOUT seconds, 30 by default.
int syncTimeoutSeconds();

// Syncs every linked calendar once; 0, or 1 when one failed or none is linked.
int syncLinkedCalendars(Platform& platform, SyncOutput& output);

}  // namespace almanouk
