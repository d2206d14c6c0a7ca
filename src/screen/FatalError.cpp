#include "screen/FatalError.h"

#include "platform/NumberedFiles.h"
#include "platform/Platform.h"
#include "platform/ProgramExit.h"

namespace almanouk {

void writeInstanceMarker(Platform& platform) {
  OutputFile marker(platform, kInstanceMarkerFile, 1);
  marker.line("pyl");
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
