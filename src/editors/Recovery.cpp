#include "editors/Recovery.h"

#include "platform/NumberedFiles.h"
#include "platform/Paths.h"
#include "platform/Platform.h"

namespace almanouk {
namespace {

// The system's folder for temporary files, as its environment names it.
std::string temporaryFolder(Platform& platform) {
  for (const char* variable : {"TMPDIR", "TEMP", "TMP"}) {
    std::string folder = platform.environmentValue(variable);
    if (!folder.empty()) return folder;
  }
  return "/tmp";
}

bool keepIn(Platform& platform, const std::string& path, const std::vector<std::string>& lines) {
  FileReplacement file(platform, path, path + "~", 3);
  for (const std::string& line : lines) file.line(line);
  return static_cast<bool>(file.commit());
}

}  // namespace

std::string recoveryName(std::string_view fileName) { return std::string(fileName) + ".herstel"; }

std::optional<std::string> keepForRecovery(Platform& platform, std::string_view fileName,
                                           const std::vector<std::string>& lines) {
  const std::string name = recoveryName(fileName);
  // Beside the file, it is named as the user knows the file; elsewhere, with its whole path.
  if (keepIn(platform, platform.files().workingFolder() + kPathSeparator + name, lines)) return name;
  const std::string elsewhere = temporaryFolder(platform) + kPathSeparator + name;
  if (keepIn(platform, elsewhere, lines)) return elsewhere;
  return std::nullopt;
}

std::string recoveryMessage(const std::optional<std::string>& path) {
  return path ? "Niet opgeslagen; uw regels staan in " + *path : "Niet opgeslagen, ook niet elders: de wijzigingen zijn weg";
}

}  // namespace almanouk
