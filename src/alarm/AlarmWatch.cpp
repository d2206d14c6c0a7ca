#include "alarm/AlarmWatch.h"

#include "alarm/AlarmScan.h"
#include "alarm/MissedAlarms.h"
#include "calendar/CalendarCache.h"
#include "platform/Platform.h"
#include "settings/Settings.h"

namespace almanouk {
namespace {

constexpr std::int64_t kMinuteMs = 60'000;

std::int64_t minuteOf(const LocalDateTime& time) { return time.toMilliseconds() / kMinuteMs; }

}  // namespace

AlarmWatch::Look AlarmWatch::look(const LocalDateTime& now, bool clockJumped) {
  catchUp(now, clockJumped);
  Look look;
  look.toldAlarm = alarms_.alarmScan(now);
  alarms_.takeNotificationAnswers();
  alarms_.tellSnoozed(now);
  watched_ = now;
  if (minuteOf(now) != keptMinute_) {
    keptMinute_ = minuteOf(now);
    look.kept = writeLastWatched(platform_, now);
  }
  return look;
}

FileResult AlarmWatch::keep() { return watched_ ? writeLastWatched(platform_, *watched_) : FileResult{}; }

void AlarmWatch::catchUp(const LocalDateTime& now, bool clockJumped) {
  const CalendarModel& calendar = *calendars_.get(settings_.calFile);
  if (!watched_) {
    // The first look. Nothing to tell after a first start, which knows no earlier moment.
    watched_ = LocalDateTime::fromMilliseconds(startedAt_.toMilliseconds() - kMinuteMs);
    if (std::optional<LocalDateTime> closed = readLastWatched(platform_)) {
      tellUnseen(alarmsBetween(calendar, *closed, startedAt_));
      // Whoever watched before, in this very minute, told its alarms already.
      if (closed->toMilliseconds() > watched_->toMilliseconds()) watched_ = closed;
      if (minuteOf(*closed) >= minuteOf(now)) alarms_.toldElsewhere(now);
    }
  }
  // Only a minute that began and ended after the last look can have passed unseen.
  if (minuteOf(now) - minuteOf(*watched_) < 2) return;
  const std::vector<MissedAlarm> missed = alarmsBetween(calendar, *watched_, now);
  if (clockJumped) {
    tellUnseen(missed);
  } else if (!missed.empty()) {
    alarms_.tellLate(missed);
  }
}

void AlarmWatch::tellUnseen(const std::vector<MissedAlarm>& missed) {
  if (!missed.empty()) platform_.showMessageBox(missedListUtf8(missed), "Gemiste alarmen");
}

}  // namespace almanouk
