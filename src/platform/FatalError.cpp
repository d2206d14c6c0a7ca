#include "platform/FatalError.h"

#include <string>

#include "platform/NumberedFiles.h"
#include "platform/Platform.h"
#include "platform/ProgramExit.h"

namespace almanouk {

void fatalFileError(Platform& platform, std::string_view message) {
  platform.closeAllFiles();
  platform.clearScreen();
  platform.showCursor();
  platform.printText("", true);
  platform.printText(message, true);
  static_cast<void>(platform.waitForKey());  // any key ends it
  throw ProgramExit{0};
}

void calendarFileError(Platform& platform, std::string_view fileName) {
  fatalFileError(platform, "  Fout in almanoukfile " + std::string(fileName));
}

void settingsFileError(Platform& platform) { fatalFileError(platform, "  Fout in INI-file."); }

}  // namespace almanouk
