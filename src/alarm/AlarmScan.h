#pragma once
// The alarm clock: every poll of the month view reads the active calendar
// (monthly, weekly, daily, then the current month's section) and fires the
// first entry whose day is today and whose text holds the current hh:mm.
// Firing starts a time command ("... # command") or announces an alarm with
// the chosen popup, the MP3 sound and a speaker tone.

#include <string>

#include "calendar/DayCommandLauncher.h"

namespace almanouk {

class Platform;
class ScreenBuffer;
class CalendarReader;
struct AlarmState;
struct Settings;

class AlarmScanner : public DayCommandLauncher {
 public:
  AlarmScanner(Platform& platform, const Settings& settings, AlarmState& state, ScreenBuffer& buffer,
               const std::string& soundFolder);
  AlarmScanner(const AlarmScanner&) = delete;
  AlarmScanner& operator=(const AlarmScanner&) = delete;

  void alarmScan();
  // Starts the first day command the event list meets (once, until PopUp
  // changes or the program restarts); never with PopUp "uit".
  bool launchDayCommand(const std::string& line) override;

 private:
  struct Scan;
  enum class Pass { Monthly, Weekly, Daily, Month };
  void runPass(Scan& scan, Pass pass);
  void entryStep(Scan& scan);
  void dayRun(Scan& scan);
  void fire(Scan& scan);
  void startTimeCommand(const std::string& line);
  void announce(Scan& scan);
  void cleanUp(Scan& scan);
  int* mark(const Scan& scan);

  Platform& platform_;
  const Settings& settings_;
  AlarmState& state_;
  ScreenBuffer& buffer_;
  const std::string& soundFolder_;
};

}  // namespace almanouk
