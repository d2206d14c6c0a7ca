#pragma once
// How the program ends from deep inside on a file it cannot use.

#include <string_view>

#include "platform/FileResult.h"

namespace almanouk {

class Platform;

// The program's fatal file errors: clears the screen, shows the message
// after one empty line with the cursor on, waits for any key and ends the
// program with status 0 (the instance guard lets the folder go as it unwinds).
[[noreturn]] void fatalFileError(Platform& platform, std::string_view message);
// The two messages the start-up shows: a calendar file, and the settings file.
[[noreturn]] void calendarFileError(Platform& platform, std::string_view fileName);
[[noreturn]] void settingsFileError(Platform& platform);

}  // namespace almanouk
