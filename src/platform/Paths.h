#pragma once
// Paths as this system writes them.

namespace almanouk {

// '/' here, '\' on Windows. Paths read from the user may hold either.
extern const char kPathSeparator;

}  // namespace almanouk
