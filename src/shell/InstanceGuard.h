#pragma once
// The one copy of the program that works on a data folder. It holds the
// folder's lock while it lives, shows it with the marker "Almanouk.pyl", and
// lets both go when it ends, in whatever way. The program and the command
// line's work each hold one; a second copy of the program finds the lock
// held and asks the first to come forward.
//
// The watcher (almanouk --wachter) holds the lock too, but only while no
// program does: its marker says so, and a program that finds it there asks
// it to step aside ("Almanouk.wijk") and waits a moment for the lock.

#include <string>
#include <string_view>

#include "platform/FileResult.h"

namespace almanouk {

class Platform;

inline constexpr std::string_view kInstanceMarkerFile = "Almanouk.pyl";
// A second start's request to the running copy to bring its window forward.
inline constexpr std::string_view kRaiseRequestFile = "Almanouk.wek";
// A start's request to the watcher to let go of the folder.
inline constexpr std::string_view kStepAsideFile = "Almanouk.wijk";
// How long a start waits for the watcher to step aside.
inline constexpr int kStepAsideWaitMs = 10'000;

class InstanceGuard {
 public:
  enum class Outcome { Held, HeldElsewhere, Refused };
  enum class Holder { Program, Watcher };

  explicit InstanceGuard(Platform& platform, Holder holder = Holder::Program) : platform_(platform), holder_(holder) {}
  // An end that is not in order (a crash) leaves the marker, which blocks
  // nothing: only the lock counts, and it goes with the program.
  ~InstanceGuard();
  InstanceGuard(const InstanceGuard&) = delete;
  InstanceGuard& operator=(const InstanceGuard&) = delete;

  // Takes the lock of the working folder (the data folder) and writes the
  // marker. A program finding the watcher there asks it to step aside and
  // waits for it; the watcher never asks.
  Outcome acquire();
  bool held() const { return held_; }
  // Why it was refused, in Dutch: what, why and what to do.
  const std::string& reason() const { return reason_; }
  // Whether the one that holds the lock now is the watcher.
  bool watcherHolds();
  // A marker deleted by hand comes back; the lock never went with it.
  FileResult heartbeat();
  // Asks the copy that holds the lock to bring its window forward.
  void askRunningCopyToComeForward();
  // For the watcher: whether a start asks it to step aside.
  bool askedToStepAside();
  // An orderly end: the lock goes, and the marker with it.
  void release();

 private:
  Outcome take();
  // Asks the watcher to let go and waits for the lock; a watcher that does not is told.
  Outcome waitForTheWatcher();
  FileResult writeMarker();

  Platform& platform_;
  Holder holder_;
  bool held_ = false;
  std::string reason_;
};

}  // namespace almanouk
