#pragma once
// The watcher (almanouk --wachter): the alarm clock of the active calendar
// while the program is closed, without a window. Its alarms are the
// desktop's notifications, with the sound. It holds the data folder's lock
// only while no program does: a start asks it to step aside, and when the
// program ends it takes over. Both keep the same watched moment, so an alarm
// is told once, by one of them, and none is lost between them.

#include <optional>
#include <string>

#include "alarm/AlarmScan.h"
#include "alarm/AlarmState.h"
#include "alarm/AlarmWatch.h"
#include "calendar/CalendarCache.h"
#include "platform/FileLayer.h"
#include "settings/Settings.h"
#include "shell/InstanceGuard.h"

namespace almanouk {

class Platform;

class Watcher {
 public:
  explicit Watcher(Platform& platform);
  Watcher(const Watcher&) = delete;
  Watcher& operator=(const Watcher&) = delete;

  // Watches until the process is ended. 1 when the data folder cannot be
  // used; 0 at once when another watcher watches it already.
  int run();

 private:
  // Whether a program's start is on its way in: the watcher keeps out meanwhile.
  bool programComing();
  bool takeOver();
  void stepAside();
  // One look at the clock, then a sleep until the next one is due.
  void look();
  int msToNextLook(const LocalDateTime& now) const;
  // What the watcher cannot do, on the error output, once until it changes.
  void tell(const std::string& problemUtf8);

  Platform& platform_;
  Settings settings_;
  AlarmState state_;
  CalendarCache calendars_;
  std::string soundFolder_;  // none: the data folder's own sound
  AlarmScanner alarms_;
  AlarmWatch watch_;
  InstanceGuard guard_;
  std::optional<FileVersion> settingsVersion_;
  std::optional<double> steppedAsideAt_;  // elapsed seconds
  bool clockJumped_ = false;              // the clock moved on much further than the last wait
  std::string told_;
};

}  // namespace almanouk
