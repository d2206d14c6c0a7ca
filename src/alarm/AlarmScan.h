#pragma once
// The alarm clock: while the month view waits, every alarm of the active
// calendar due in the current minute (DueAlarms.h) is told once: a time
// command ("... # command") is started, any other alarm announced with the
// chosen popup, the MP3 sound and a speaker tone. Alarms that came due while
// another screen or a box was open are told late, each with its own time.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "alarm/MissedAlarms.h"
#include "calendar/Dates.h"
#include "calendar/DayCommandLauncher.h"
#include "platform/FileLayer.h"

namespace almanouk {

class CalendarCache;
class Platform;
struct AlarmState;
struct DueAlarm;
struct Settings;

class AlarmScanner : public DayCommandLauncher {
 public:
  AlarmScanner(Platform& platform, const Settings& settings, AlarmState& state, const std::string& soundFolder,
               CalendarCache& calendars);
  AlarmScanner(const AlarmScanner&) = delete;
  AlarmScanner& operator=(const AlarmScanner&) = delete;

  // Tells the alarms due in this minute that were not told yet: looked for
  // once a minute, and again when the calendar changed. Whether an alarm
  // (not a time command) was told.
  bool alarmScan(const LocalDateTime& now);
  // Counts the alarms due in this minute as told: a run that ended in this
  // same minute told them already.
  void toldElsewhere(const LocalDateTime& now);
  // Starts the first day command the event list meets (once, until PopUp
  // changes or the program restarts); never with PopUp "uit".
  bool launchDayCommand(const std::string& line) override;
  // Tells alarms whose minute passed while another screen or a box was open,
  // one by one, each with its own time; a time command is not started late.
  void tellLate(const std::vector<MissedAlarm>& missed);
  // Tells the alarms put off with "Sluimeren" whose five minutes are over.
  void tellSnoozed(const LocalDateTime& now);
  // Takes what the user chose in the desktop's notifications: "Sluimeren" puts the alarm off.
  void takeNotificationAnswers();
  // What the status line is to say since the last call (a sound that could not start).
  std::string takeNotice();

 private:
  // The alarms due in this minute not told yet; from now on they count as told.
  std::vector<DueAlarm> untold(const LocalDateTime& now);
  void perform(const DueAlarm& due);
  void startTimeCommand(const std::string& line);
  // The popup (when withPopup), the sound and the speaker tone of an alarm.
  void tell(const std::string& line, bool withPopup);
  void showBox(const std::string& line);
  void snooze(const std::string& line);
  void playSound();

  Platform& platform_;
  const Settings& settings_;
  AlarmState& state_;
  const std::string& soundFolder_;
  CalendarCache& calendars_;
  // What was looked at in this minute, so that each alarm is told once.
  std::int64_t scannedMinute_ = -1;
  std::string scannedFile_;
  std::optional<FileVersion> scannedVersion_;
  std::set<std::string> told_;
  std::string notice_;
};

}  // namespace almanouk
