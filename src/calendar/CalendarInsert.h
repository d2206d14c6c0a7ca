#pragma once
// New entries into a calendar's lines, the file kept as the start checks it:
// each section's entries in day order (weekday, time in "Dagelijks") with
// the new ones after the old ones of their day, blank lines around every
// section's entries, a missing header made, "Einde" at the end.

#include <string>
#include <vector>

#include "calendar/CalendarModel.h"

namespace almanouk {

struct NewEntry {
  Section section;
  std::string line;
};

struct Insertion {
  std::vector<std::string> lines;  // the whole calendar, to be written
  std::vector<bool> added;         // per new entry: false when the section holds that line already
};

Insertion insertEntries(const CalendarModel& calendar, const std::vector<NewEntry>& entries);

}  // namespace almanouk
