#pragma once
// Random keys through every screen, and what must hold whatever they were:
// no calendar the start refuses is written, nothing is written outside the
// data and start folders, no temporary file is left, a diary page holds only
// typed or old bytes, and the next start works. Shared by the test suite
// (a few hundred scripts) and a fuzz target (as many as time allows).

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace almanouk::test {

// A start folder and a data folder with two calendars and diary pages in them.
void prepareStormFolder(const std::filesystem::path& root);
// A key script of one key per byte, drawn from the keys the screens answer.
std::string stormScript(std::string_view bytes);
// Runs the keys on the prepared folder; returns what did not hold (nothing when all did).
std::vector<std::string> runStorm(const std::filesystem::path& root, std::string_view bytes);

}  // namespace almanouk::test
