#pragma once
// The one copy of the program that works on a data folder. It holds the
// folder's lock while it lives, shows it with the marker "Almanouk.pyl", and
// lets both go when it ends, in whatever way. The program and the command
// line's work each hold one; a second copy of the program finds the lock
// held and asks the first to come forward.

#include <string>
#include <string_view>

#include "platform/FileResult.h"

namespace almanouk {

class Platform;

inline constexpr std::string_view kInstanceMarkerFile = "Almanouk.pyl";
// A second start's request to the running copy to bring its window forward.
inline constexpr std::string_view kRaiseRequestFile = "Almanouk.wek";

class InstanceGuard {
 public:
  enum class Outcome { Held, HeldElsewhere, Refused };

  explicit InstanceGuard(Platform& platform) : platform_(platform) {}
  // An end that is not in order (a crash) leaves the marker, which blocks
  // nothing: only the lock counts, and it goes with the program.
  ~InstanceGuard();
  InstanceGuard(const InstanceGuard&) = delete;
  InstanceGuard& operator=(const InstanceGuard&) = delete;

  // Takes the lock of the working folder (the data folder) and writes the marker.
  Outcome acquire();
  // Why it was refused, in Dutch: what, why and what to do.
  const std::string& reason() const { return reason_; }
  // A marker deleted by hand comes back; the lock never went with it.
  FileResult heartbeat();
  // Asks the copy that holds the lock to bring its window forward.
  void askRunningCopyToComeForward();
  // An orderly end: the lock goes, and the marker with it.
  void release();

 private:
  FileResult writeMarker();

  Platform& platform_;
  bool held_ = false;
  std::string reason_;
};

}  // namespace almanouk
