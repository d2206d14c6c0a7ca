#pragma once
// Turning the watcher on and off (almanouk --wachter aan|uit): an entry in
// the desktop's autostart folder ($XDG_CONFIG_HOME/autostart, else
// ~/.config/autostart) starts it at every login; off, the entry goes and a
// watcher that runs is asked to end.

#include <string>
#include <string_view>

#include "platform/FileResult.h"

namespace almanouk {

class Platform;

inline constexpr std::string_view kAutostartEntry = "almanouk-wachter.desktop";
// In the data folder: a request to the watcher to end.
inline constexpr std::string_view kWatcherStopFile = "Almanouk.rust";

// The autostart folder, without a separator at the end.
std::string autostartFolder(Platform& platform);
// The autostart entry that starts the program at this path as the watcher.
std::string autostartEntryText(const std::string& programPath);
// Writes the entry (the folder made when missing); its failure names the file.
FileResult writeAutostartEntry(Platform& platform, const std::string& programPath);
// Removes the entry; nothing to do when there is none.
FileResult removeAutostartEntry(Platform& platform);
// Asks a watcher of the data folder that runs to end (it looks once a second).
void askWatcherToEnd(Platform& platform);

}  // namespace almanouk
