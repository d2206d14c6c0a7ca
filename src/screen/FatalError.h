#pragma once
// How the program ends from deep inside on a file it cannot use, and the
// instance marker that such an end, like every orderly end, removes.

#include <string_view>

#include "platform/FileResult.h"

namespace almanouk {

class Platform;

inline constexpr std::string_view kInstanceMarkerFile = "Almanouk.pyl";

// Creates the instance marker holding "pyl": a copy that starts while it exists ends at once.
FileResult writeInstanceMarker(Platform& platform);

// The program's fatal file errors: clears the screen, shows the message
// after one empty line with the cursor on, waits for any key, deletes the
// instance marker and ends the program with status 0.
[[noreturn]] void fatalFileError(Platform& platform, std::string_view message);
// The two messages the start-up shows: a calendar file, and the settings file.
[[noreturn]] void calendarFileError(Platform& platform, std::string_view fileName);
[[noreturn]] void settingsFileError(Platform& platform);

}  // namespace almanouk
