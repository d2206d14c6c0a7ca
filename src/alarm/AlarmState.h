#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace almanouk {

// What the alarm scan keeps from one poll to the next.
struct AlarmState {
  bool speakerEnabled = true;    // the space key silences the next alarm's tone
  int toneFrequency = 0;         // pitch of the last speaker tone
  bool dayCommandStarted = false;  // a day command was met: no other starts until PopUp changes
  bool soundFailureTold = false;   // the status line said the sound cannot start; told again after it worked
  struct Snoozed {
    std::int64_t dueMs;  // local milliseconds when it comes again
    std::string line;
  };
  std::vector<Snoozed> snoozed;  // alarms put off with "Sluimeren"
  std::map<std::uint32_t, std::string> notified;  // lines of the desktop notifications not answered yet
};

}  // namespace almanouk
