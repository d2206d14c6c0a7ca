#include "alarm/Popups.h"

#include "platform/NumberedFiles.h"
#include "platform/Platform.h"
#include "platform/Text.h"

namespace almanouk {

FileResult writeAlarmPage(Platform& platform, const std::string& alarmLine) {
  constexpr int kPageWidth = 94;
  int indent = roundToInt((kPageWidth - static_cast<int>(alarmLine.size())) / 2.0);
  OutputFile page(platform, kAlarmPageFile, 2);  // the alarm scan reads the calendar as number 1
  page.text(platform.textViewerMark());
  page.blankLines(11);
  // The page is only there for the desktop's viewer to show: in the text it reads.
  page.line(platform.forTextViewer(repeat(' ', indent) + alarmLine));
  return page.close();
}

// The calendar is code page 437; the box shows it as the user wrote it.
AlarmAnswer showAlarmBox(Platform& platform, const std::string& alarmLine) {
  const std::string margin(8, ' ');
  int answer = platform.showMessageBox(margin + cp437ToUtf8(alarmLine) + margin, "Almanouk", {"OK", "Sluimeren 5 min"});
  return answer == 1 ? AlarmAnswer::Snooze : AlarmAnswer::Ok;
}

}  // namespace almanouk
