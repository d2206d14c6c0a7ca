#pragma once
// The alarms whose minute passed unseen: while another screen or an alarm's
// box was open (told one by one when the month view waits again), or while
// the program was closed or the machine asleep (told together in one box).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileResult.h"
#include "platform/LocalTime.h"

namespace almanouk {

class CalendarModel;
class Platform;

struct MissedAlarm {
  LocalDateTime at;      // the minute it was due
  std::string line;      // the entry as written
  bool command = false;  // a time command: it is not started late
};

// Days further back are not looked at: what was missed a week ago is past telling.
inline constexpr int kMissedDaysBack = 7;

// The alarms due (by the one rule of DueAlarms.h) in the minutes after
// `after` and before `before` (each minute itself excluded), in time order,
// scan order within a minute.
std::vector<MissedAlarm> alarmsBetween(const CalendarModel& calendar, const LocalDateTime& after,
                                       const LocalDateTime& before);
// "Gemist om 11:54: 13 11:54 Tandarts." as an alarm tells it when it comes late.
std::string lateAlarmText(const MissedAlarm& alarm);
// The lines of the "Gemiste alarmen" box: date, time and text of each, in UTF-8 for the box.
std::string missedListUtf8(const std::vector<MissedAlarm>& alarms);

// When the program last watched the clock, kept in the data folder across
// runs so that the next start can tell what passed while it was closed.
inline constexpr std::string_view kLastWatchedFile = "Almanouk.tijd";
std::optional<LocalDateTime> readLastWatched(Platform& platform);
// The moment never goes back: a later one kept already stays.
FileResult writeLastWatched(Platform& platform, const LocalDateTime& time);

}  // namespace almanouk
