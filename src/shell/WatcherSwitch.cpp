#include "shell/WatcherSwitch.h"

#include "platform/NumberedFiles.h"
#include "platform/Paths.h"
#include "platform/Platform.h"

namespace almanouk {
namespace {

constexpr std::string_view kTemporaryEntry = "almanouk-wachter.desktop~";

std::string inAutostart(Platform& platform, std::string_view name) {
  return autostartFolder(platform) + std::string(1, kPathSeparator) + std::string(name);
}

// A program path in the entry's Exec key: quoted, its own quotes, backquotes,
// dollars and backslashes escaped (the backslash itself escaped once more in
// the file), a percent sign doubled.
std::string quotedForExec(const std::string& path) {
  std::string quoted = "\"";
  for (char c : path) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += "\\\\";
    if (c == '%') quoted += '%';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

std::string autostartFolder(Platform& platform) {
  const std::string config = platform.environmentValue("XDG_CONFIG_HOME");
  const std::string base = !config.empty() ? config : platform.environmentValue("HOME") + kPathSeparator + ".config";
  return base + kPathSeparator + "autostart";
}

std::string autostartEntryText(const std::string& programPath) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Almanouk-wachter\n"
         "Comment=De alarmen van Almanouk terwijl het programma dicht is\n"
         "Exec=" + quotedForExec(programPath) + " --wachter\n"
         "Icon=almanouk\n"
         "Terminal=false\n"
         "NoDisplay=true\n"
         "X-GNOME-Autostart-enabled=true\n";
}

FileResult writeAutostartEntry(Platform& platform, const std::string& programPath) {
  platform.makeFolder(autostartFolder(platform));
  FileReplacement entry(platform, inAutostart(platform, kAutostartEntry), inAutostart(platform, kTemporaryEntry), 1);
  entry.text(autostartEntryText(programPath));
  return entry.commit();
}

FileResult removeAutostartEntry(Platform& platform) {
  const std::string entry = inAutostart(platform, kAutostartEntry);
  return platform.fileExists(entry) ? platform.deleteFile(entry) : FileResult{};
}

void askWatcherToEnd(Platform& platform) {
  OutputFile request(platform, platform.dataFolder() + kPathSeparator + std::string(kWatcherStopFile), 1);
  request.line("1");
  static_cast<void>(request.close());  // no watcher that could read it, or it ends at the next login
}

}  // namespace almanouk
