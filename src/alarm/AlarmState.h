#pragma once

#include <array>
#include <string>

namespace almanouk {

// What the alarm scan keeps from one poll to the next.
struct AlarmState {
  static constexpr int kMarkedLines = 4000;

  bool alarmMinuteDone = false;  // an entry fired in the current minute
  std::array<bool, kMarkedLines> firedMarks{};  // by calendar line number: fired, clean-up pending
  bool commandArmed = true;      // a time command may be started
  std::string lastCommandLine;
  bool speakerEnabled = true;    // the space key silences the next alarm's tone
  int toneFrequency = 0;         // pitch of the last speaker tone
  bool dayCommandStarted = false;  // a day command was met: no other starts until PopUp changes
};

}  // namespace almanouk
