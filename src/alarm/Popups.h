#pragma once
// How an alarm announces itself: a page in the text viewer ("alarm.txt") or a
// message box.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/FileResult.h"

namespace almanouk {

class Platform;

inline constexpr std::string_view kAlarmPageFile = "alarm.txt";

// Writes eleven empty lines and the alarm line centred on a width of 94.
FileResult writeAlarmPage(Platform& platform, const std::string& alarmLine);
enum class AlarmAnswer { Ok, Snooze };
// Five minutes, once per press.
inline constexpr std::int64_t kSnoozeMs = 5 * 60'000;
// Shows the alarm line with eight blanks each side in a message box captioned
// "Almanouk", with "Sluimeren 5 min" beside OK.
AlarmAnswer showAlarmBox(Platform& platform, const std::string& alarmLine);

}  // namespace almanouk
