#pragma once

#include <memory>
#include <string>

namespace almanouk {

class Platform;

// The backend of this system's window (SDL here, the Windows API on Windows),
// started in the folder. Throws std::runtime_error when no window can be shown.
std::unique_ptr<Platform> makeWindowPlatform(std::string startFolder);

}  // namespace almanouk
