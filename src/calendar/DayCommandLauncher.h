#pragma once

#include <string>

namespace almanouk {

// Starts the day commands the event list meets (an entry with "#" just after
// its day number or year). Returns true when the command was started, so the
// list blanks the place where the entry would have stood.
class DayCommandLauncher {
 public:
  virtual ~DayCommandLauncher() = default;
  virtual bool launchDayCommand(const std::string& entry) = 0;
};

}  // namespace almanouk
