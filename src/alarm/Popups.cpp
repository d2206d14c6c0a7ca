#include "alarm/Popups.h"

#include "platform/Platform.h"
#include "platform/Text.h"

namespace almanouk {

void writeAlarmPage(Platform& platform, const std::string& alarmLine) {
  constexpr int kFile = 1;
  constexpr int kPageWidth = 94;
  int indent = roundToInt((kPageWidth - static_cast<int>(alarmLine.size())) / 2.0);
  platform.openFile(kAlarmPageFile, FileMode::Output, kFile);
  for (int i = 0; i < 11; ++i) platform.writeLine(kFile, "");
  platform.writeLine(kFile, repeat(' ', indent) + alarmLine);
  platform.closeFile(kFile);
}

// The calendar is code page 437; the box shows it as the user wrote it.
void showAlarmBox(Platform& platform, const std::string& alarmLine) {
  const std::string margin(8, ' ');
  platform.showMessageBox(margin + cp437ToUtf8(alarmLine) + margin, "Almanouk");
}

}  // namespace almanouk
