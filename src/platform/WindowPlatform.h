#pragma once

#include <memory>
#include <stdexcept>
#include <string>

namespace almanouk {

class FileLayer;
class Platform;
class SoundPlayer;

// No display answers: there is nowhere to open a window.
struct NoDisplay : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The backend of this system's window (SDL here, the Windows API on Windows),
// started in the folder. Throws NoDisplay when no display answers, and
// std::runtime_error when no window can be shown for another reason.
std::unique_ptr<Platform> makeWindowPlatform(std::string startFolder);
// The window backend's sound player on its own, without a window (almanouk --speel).
std::unique_ptr<SoundPlayer> makeSoundPlayer(FileLayer& files);

}  // namespace almanouk
