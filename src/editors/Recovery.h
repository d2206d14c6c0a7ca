#pragma once
// What a screen could not save, kept where it can be when the user leaves
// all the same: beside the file as NAME.herstel, else in the system's
// temporary folder. The file itself is left as it was.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace almanouk {

class Platform;

// The recovery file's name, beside the file it stands for.
std::string recoveryName(std::string_view fileName);
// Where the lines were kept: the name beside the file, or the whole path
// elsewhere; nothing when no place would take them.
std::optional<std::string> keepForRecovery(Platform& platform, std::string_view fileName,
                                           const std::vector<std::string>& lines);
// "Niet opgeslagen; uw regels staan in PATH", or why they are nowhere.
std::string recoveryMessage(const std::optional<std::string>& path);

}  // namespace almanouk
