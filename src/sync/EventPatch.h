#pragma once
// A change the user made to an entry's line, applied to the event as the
// server has it: only what the line says (the summary; when it happens) is
// replaced, so the location, attendees, reminders, description and whatever
// else the calendar cannot show stay as they were.

#include <string>

namespace almanouk {

// `before` and `after` are the line's own events (as exported) before and
// after the change; the server's event when it cannot be read.
std::string patchedEvent(const std::string& serverEvent, const std::string& before, const std::string& after);

// The identity (UID) of the main event of an iCalendar text; empty when none.
std::string uidOfEvent(const std::string& ics);

}  // namespace almanouk
