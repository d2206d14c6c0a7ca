#pragma once

#include <memory>
#include <string>

namespace almanouk {

class FileLayer;
class Platform;
class SoundPlayer;

// The backend of this system's window (SDL here, the Windows API on Windows),
// started in the folder. Throws std::runtime_error when no window can be shown.
std::unique_ptr<Platform> makeWindowPlatform(std::string startFolder);
// The window backend's sound player on its own, without a window (almanouk --speel).
std::unique_ptr<SoundPlayer> makeSoundPlayer(FileLayer& files);

}  // namespace almanouk
