#pragma once

#include <array>
#include <string>

namespace almanouk {

// What the alarm scan keeps from one poll to the next.
struct AlarmState {
  static constexpr int kMarkedLines = 4000;

  int alarmMinuteDone = 0;  // 1 once an entry fired in the current minute
  std::array<int, kMarkedLines> firedMarks{};  // by calendar line number: fired, clean-up pending
  int commandArmed = 1;     // a time command may be started
  std::string lastCommandLine;
  int speakerEnabled = 1;   // the space key silences the next alarm's tone
  int toneFrequency = 0;    // pitch of the last speaker tone
  std::string dayCommandMarker;  // "stop" once a day command was met
};

}  // namespace almanouk
