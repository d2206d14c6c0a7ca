#include "alarm/MissedAlarms.h"

#include <algorithm>
#include <cstdio>

#include "alarm/DueAlarms.h"
#include "calendar/CalendarModel.h"
#include "calendar/Dates.h"
#include "platform/NumberedFiles.h"
#include "platform/Text.h"
#include "platform/TemporaryFiles.h"

namespace almanouk {
namespace {

constexpr std::int64_t kMinuteMs = 60'000;
constexpr std::int64_t kDayMs = 24 * 60 * kMinuteMs;
// A box of more lines than this would not fit on the screen.
constexpr std::size_t kListedMost = 20;

std::int64_t minuteOf(const LocalDateTime& time) { return time.toMilliseconds() / kMinuteMs; }

std::string hhmm(const LocalDateTime& time) { return time.clockText().substr(0, 5); }

}  // namespace

std::vector<MissedAlarm> alarmsBetween(const CalendarModel& calendar, const LocalDateTime& after,
                                       const LocalDateTime& before) {
  const std::int64_t first = std::max(minuteOf(after) + 1, minuteOf(before) - kMissedDaysBack * kDayMs / kMinuteMs);
  const std::int64_t last = minuteOf(before) - 1;
  std::vector<MissedAlarm> missed;
  if (first > last) return missed;
  constexpr std::int64_t kDayMinutes = kDayMs / kMinuteMs;
  const std::int64_t firstDay = first - ((first % kDayMinutes) + kDayMinutes) % kDayMinutes;
  for (std::int64_t dayStart = firstDay; dayStart <= last; dayStart += kDayMinutes) {
    const CalendarDay day = calendarDay(LocalDateTime::fromMilliseconds(dayStart * kMinuteMs));
    for (const DueAlarm& due : alarmsDueOn(calendar, day)) {
      const std::int64_t minute = dayStart + due.minute;
      if (minute < first || minute > last) continue;
      missed.push_back({LocalDateTime::fromMilliseconds(minute * kMinuteMs), std::string(due.entry->line), due.command});
    }
  }
  return missed;
}

std::string lateAlarmText(const MissedAlarm& alarm) {
  return "Gemist om " + hhmm(alarm.at) + (alarm.command ? " (niet gestart): " : ": ") + alarm.line;
}

std::string missedListUtf8(const std::vector<MissedAlarm>& alarms) {
  std::string text;
  for (std::size_t i = 0; i < alarms.size() && i < kListedMost; ++i) {
    text += dayText(calendarDay(alarms[i].at)) + " " + hhmm(alarms[i].at) + (alarms[i].command ? " (niet gestart) " : " ") +
            cp437ToUtf8(alarms[i].line) + "\n";
  }
  if (alarms.size() > kListedMost) text += "... en " + std::to_string(alarms.size() - kListedMost) + " meer\n";
  if (!text.empty()) text.pop_back();
  return text;
}

std::optional<LocalDateTime> readLastWatched(Platform& platform) {
  InputFile file(platform, kLastWatchedFile, 1);
  return LocalDateTime::parse(file.nextLine() + ":00");
}

FileResult writeLastWatched(Platform& platform, const LocalDateTime& time) {
  // A clock set back must not hand the minutes after it to the next start a second time.
  if (std::optional<LocalDateTime> kept = readLastWatched(platform);
      kept && kept->toMilliseconds() / 60'000 >= time.toMilliseconds() / 60'000)
    return {};
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", time.year % 10000, time.month % 100, time.day % 100,
                time.hour % 100, time.minute % 100);
  FileReplacement file(platform, kLastWatchedFile, temporary::kLastWatched, 1);
  file.line(text);
  return file.commit();
}

}  // namespace almanouk
