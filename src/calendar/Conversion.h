#pragma once

#include <optional>
#include <string>

namespace almanouk {

class Platform;

// Brings every calendar file and the settings file into the current layouts;
// runs at every initialisation and normalises current files too. A file that
// needs no change is not written. Stops at the first file whose new version
// could not be written (a full disk, say) and returns its name: that file is
// as it was, and the start must not go on with it.
std::optional<std::string> convertOlderData(Platform& platform);

}  // namespace almanouk
