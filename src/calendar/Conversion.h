#pragma once

namespace almanouk {

class Platform;

// Brings every calendar file and the settings file into the current layouts;
// runs at every initialisation and normalises current files too.
void convertOlderData(Platform& platform);

}  // namespace almanouk
