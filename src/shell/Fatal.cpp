#include "shell/Fatal.h"

#include "platform/Platform.h"
#include "platform/ProgramExit.h"

namespace almanouk {

void writeInstanceMarker(Platform& platform) {
  constexpr int kFile = 1;
  platform.openFile(kInstanceMarkerFile, FileMode::Output, kFile);
  platform.writeLine(kFile, "pyl");
  platform.closeFile(kFile);
}

void fatalFileError(Platform& platform, std::string_view message) {
  platform.closeFile(0);
  platform.clearScreen();
  platform.moveCursor(0, 0, 1);
  platform.printText("", true);
  platform.printText(message, true);
  platform.waitForKey(3);
  platform.deleteFile(kInstanceMarkerFile);
  throw ProgramExit{0};
}

}  // namespace almanouk
