#pragma once
// Which alarms are due: one rule for the alarm on time, the catch-up of
// alarms missed while another screen or a box was open, and the list of those
// missed while the program was closed. An entry is due in a minute when it
// counts on that day, as the event list takes its day, weekday and year (a
// daily entry: every day, when its line starts with hh:mm), and the minute,
// written hh:mm, stands anywhere in its line: "07 Tandarts om 10:01" rings at
// 10:01, "07 10:00 Overleg (herinnering 09:45)" at 9:45 and at 10:00.

#include <string>
#include <vector>

#include "calendar/Dates.h"

namespace almanouk {

class CalendarModel;
struct Entry;

struct DueAlarm {
  const Entry* entry;
  int minute;         // of the day
  std::string told;   // the line as the alarm shows it: a weekly or daily one put on its day ("14 Vr 15:45 Koor")
  bool command;       // a time command ("... # program"): started on time, never late
};

// Whether the entry counts on the day, as the alarms take it.
bool alarmCountsOn(const Entry& entry, const CalendarDay& day);
// The minutes of the day (0-1439) that stand as hh:mm in the line, in the order they stand.
std::vector<int> minutesNamedIn(std::string_view line);

// The alarms due in the minute of the day, in the order the scan always went:
// "Maandelijks", "Wekelijks", "Dagelijks", then the month's section; file
// order within each.
std::vector<DueAlarm> alarmsDue(const CalendarModel& calendar, const CalendarDay& day, int minute);

// The alarms due on the day, every minute, in time order (scan order within a minute).
std::vector<DueAlarm> alarmsDueOn(const CalendarModel& calendar, const CalendarDay& day);

}  // namespace almanouk
