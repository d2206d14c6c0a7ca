#pragma once
// The alarm clock's watch over time, the same for the program's month view
// and for the watcher that stands in while the program is closed: at each
// look, what passed unseen since the last one comes (one by one after a
// screen or box was open, listed in one box after a closed program or a
// machine that slept), this minute's alarms are told, the desktop's answers
// taken and snoozed alarms brought back; and the moment is kept in the data
// folder for whoever watches next.

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/FileResult.h"
#include "platform/LocalTime.h"

namespace almanouk {

class AlarmScanner;
class CalendarCache;
class Platform;
struct MissedAlarm;
struct Settings;

class AlarmWatch {
 public:
  AlarmWatch(Platform& platform, CalendarCache& calendars, const Settings& settings, AlarmScanner& alarms)
      : platform_(platform), calendars_(calendars), settings_(settings), alarms_(alarms) {}

  // Watching begins at this moment: alarms from its minute on count as
  // missed while a box of the start was open, not as passed while closed.
  void begin(const LocalDateTime& startedAt) { startedAt_ = startedAt, watched_.reset(); }

  struct Look {
    bool toldAlarm = false;  // an alarm (not a time command) was told on time
    FileResult kept;         // keeping the moment in the data folder
  };
  // One look at the clock. clockJumped: it moved on much further than the
  // wait since the last look (the machine slept, the time was set).
  Look look(const LocalDateTime& now, bool clockJumped);

  // Keeps the last moment watched, for the next run; nothing when nothing was watched yet.
  FileResult keep();

 private:
  void catchUp(const LocalDateTime& now, bool clockJumped);
  void tellUnseen(const std::vector<MissedAlarm>& missed);

  Platform& platform_;
  CalendarCache& calendars_;
  const Settings& settings_;
  AlarmScanner& alarms_;
  LocalDateTime startedAt_;
  // The last moment the alarms were watched: what came between it and the next look was missed.
  std::optional<LocalDateTime> watched_;
  std::int64_t keptMinute_ = -1;  // the minute last kept in the file
};

}  // namespace almanouk
