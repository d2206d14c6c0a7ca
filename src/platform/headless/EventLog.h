#pragma once

#include <string>
#include <vector>

#include "platform/LocalTime.h"

namespace almanouk {

// What the headless program did to the outside world, one line per event:
// the virtual time, then "msgbox CAPTION|TEXT", "run LINE", "sound PATH",
// "tone HZ MS", "exit STATUS" or "end script".
class EventLog {
 public:
  void add(const LocalDateTime& when, const std::string& event) { lines_.push_back(when.logStamp() + " " + event); }
  const std::vector<std::string>& lines() const { return lines_; }
  // The events without their time stamps.
  std::vector<std::string> events() const;
  std::string text() const;

 private:
  std::vector<std::string> lines_;
};

}  // namespace almanouk
