#pragma once

#include <string>
#include <vector>

namespace almanouk {

// The 144 lines of the readme file, in code page 437.
const std::vector<std::string>& readmeLines();

}  // namespace almanouk
