#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/FileResult.h"
#include "platform/SystemName.h"

namespace almanouk {

class Platform;

inline constexpr std::string_view kReadmeFile = "Almanouk145.txt";
// Who made the program: completes the title lines and the readme's first line.
inline constexpr std::string_view kMakerLine = "(c) Almanouk-ontwikkelaars";

// The 144 lines of the readme file, in code page 437.
const std::vector<std::string>& readmeLines();
// The same for the given system: each tells how it is started and what it needs.
std::vector<std::string> readmeLinesFor(SystemKind system);
// Writes the readme file into the working folder.
FileResult writeReadme(Platform& platform);

}  // namespace almanouk
