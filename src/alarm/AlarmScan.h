#pragma once
// The alarm clock: every poll of the month view goes through the active
// calendar's model (monthly, weekly, daily, then the current month's section)
// and fires the first entry whose day is today and whose text holds the
// current hh:mm.
// Firing starts a time command ("... # command") or announces an alarm with
// the chosen popup, the MP3 sound and a speaker tone.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "alarm/MissedAlarms.h"
#include "calendar/Dates.h"
#include "calendar/DayCommandLauncher.h"
#include "platform/FileLayer.h"

namespace almanouk {

class CalendarCache;
class CalendarModel;
class Platform;
class ScreenBuffer;
struct AlarmState;
struct Settings;
enum class Section : std::uint8_t;

class AlarmScanner : public DayCommandLauncher {
 public:
  AlarmScanner(Platform& platform, const Settings& settings, AlarmState& state, ScreenBuffer& buffer,
               const std::string& soundFolder, CalendarCache& calendars);
  AlarmScanner(const AlarmScanner&) = delete;
  AlarmScanner& operator=(const AlarmScanner&) = delete;

  // Runs the four passes, unless nothing they look at changed since a scan
  // that changed nothing: the same file version, minute and alarm state.
  void alarmScan(const LocalDateTime& at);
  // Starts the first day command the event list meets (once, until PopUp
  // changes or the program restarts); never with PopUp "uit".
  bool launchDayCommand(const std::string& line) override;
  // Tells alarms whose minute passed while another screen or a box was open,
  // one by one, each with its own time; a time command is not started late.
  void tellLate(const std::vector<MissedAlarm>& missed);
  // Tells the alarms put off with "Sluimeren" whose five minutes are over.
  void tellSnoozed(const LocalDateTime& now);
  // What the status line is to say since the last call (a sound that could not start).
  std::string takeNotice();

 private:
  struct Scan;
  // Everything a scan depends on.
  struct Inputs {
    std::string calFile;
    std::optional<FileVersion> version;
    std::string minute;
    CalendarDay today;
    bool alarmMinuteDone, commandArmed, speakerEnabled;
    int toneFrequency;
    std::string lastCommandLine;
    bool operator==(const Inputs&) const = default;
  };
  Inputs inputs(const CalendarDay& today, const std::string& minute);
  void scanPasses(const CalendarDay& today, const std::string& minute);
  void runPass(Scan& scan, const CalendarModel& calendar, Section section);
  void entryStep(Scan& scan);
  void dayRun(Scan& scan);
  void fire(Scan& scan);
  void startTimeCommand(const std::string& line);
  void announce(Scan& scan);
  // The popup (when withPopup), the sound and the speaker tone of an alarm.
  void tell(const std::string& line, bool withPopup);
  void showBox(const std::string& line);
  void playSound();
  void cleanUp(Scan& scan);
  bool* mark(const Scan& scan);

  Platform& platform_;
  const Settings& settings_;
  AlarmState& state_;
  ScreenBuffer& buffer_;
  const std::string& soundFolder_;
  CalendarCache& calendars_;
  std::optional<Inputs> unchanged_;  // a scan with these inputs changes nothing
  bool marksChanged_ = false;
  std::string notice_;
};

}  // namespace almanouk
