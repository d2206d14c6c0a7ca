#pragma once
// What a calendar's link to a server remembers between syncs, in a small
// file beside the calendar ("ALMANOUK.SYN" for "ALMANOUK.AMN"): where the
// collection is, who logs in (never the password), the server's sync token,
// and for every event the entry lines it was as last synced, with its href,
// etag, identity and the event itself as the server had it (so that a local
// change patches it, keeping what the calendar cannot show).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/CalendarModel.h"
#include "platform/FileResult.h"
#include "settings/SettingsFile.h"

namespace almanouk {

class Platform;

struct SyncLine {
  Section section;
  std::string text;  // code page 437
  bool operator==(const SyncLine&) const = default;
};

struct SyncRecord {
  std::string href;
  std::string etag;
  std::string uid;
  // One line that stands for the whole event; false for an event the
  // calendar cannot hold exactly, written out as dated lines the server owns.
  bool exact = true;
  std::vector<SyncLine> lines;  // in the calendar's order
  std::string event;            // the iCalendar text as the server last had it
  // Where each line stood among all synced lines of the calendar: an
  // event's lines need not stand together (January's and December's dates).
  std::vector<std::size_t> places;
};

struct SyncLink {
  std::string url;              // the collection
  std::string user;             // empty: the server asks for no login
  std::string passwordCommand;  // prints the password; empty: the environment gives it
};

struct SyncState {
  SyncLink link;
  std::string token;
  std::vector<SyncRecord> records;
};

std::string writeSyncState(const SyncState& state);
// Nothing when the text is not a sync state this program wrote.
std::optional<SyncState> readSyncState(std::string_view text);

// The state beside a calendar of the data folder; nothing when it is missing or unreadable.
std::optional<SyncState> readSyncStateOf(Platform& platform, std::string_view calendarFile);
// Replaces it in one step; a state that holds this already is not written again.
FileResult writeSyncStateOf(Platform& platform, std::string_view calendarFile, const SyncState& state);

}  // namespace almanouk
