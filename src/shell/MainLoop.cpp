#include "shell/MainLoop.h"

#include "calendar/CalendarList.h"
#include "help/Help.h"
#include "platform/Keys.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "screen/MonthDecorations.h"
#include "shell/AppState.h"
#include "shell/Fatal.h"

namespace almanouk {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBarRed = 0xE21D1D;
constexpr std::uint32_t kClockGrey = 0xC8C8C8;
constexpr std::uint32_t kClockBlue = 0x1D1DE2;
constexpr int kPollMs = 30;

// Pseudo keys the loop feeds itself.
const std::string kMidnightKey = " M";     // handled as Right
const std::string kTodayKey = " =";        // handled as F3
const std::string kDiaryKey{'\0', '?'};    // Enter: handled as F5
const std::string kRecomputeKey = "b";     // matches nothing; one more pass

}  // namespace

MainLoop::End MainLoop::run() {
  LoopState& loop = app_.loop;
  do {
    pass();
  } while (loop.currentKey != keys::quitKey() && !loop.reloadRequested && !loop.reinitRequested);
  if (loop.reinitRequested) return End::Reinitialise;
  if (loop.reloadRequested) return End::Reload;
  return End::Quit;
}

void MainLoop::pass() {
  LoopState& loop = app_.loop;
  bool subScreenAgain = loop.diaryAgain || loop.settingsAgain;
  drawTitleBar();
  loop.reinitRequested = false;
  if (!subScreenAgain) app_.monthView.fillMonthGrid();
  if (loop.restoreHeldKey) {
    loop.restoreHeldKey = false;
    loop.currentKey = loop.heldKey;
  }
  if (!subScreenAgain) app_.buffer.renderBuffer(loop.keyCode);
  obtainKey();
  dispatch();
  refreshOrRecompute();
}

void MainLoop::drawTitleBar() {
  Platform& platform = app_.platform;
  platform.moveCursor(1, 1);
  platform.setColours(kWhite, kBarRed);
  platform.printText(app_.titleText);
  gradientBar(platform, 0, 255, 78, 78, 0, 639, kWhite);
}

void MainLoop::obtainKey() {
  LoopState& loop = app_.loop;
  if (app_.date.monthChanged) {
    // The interlude pass after a month crossing: its own key, the real one held back a pass.
    loop.heldKey = loop.currentKey;
    loop.currentKey = loop.interludeKey;
    app_.date.monthChanged = false;
    loop.restoreHeldKey = true;
  } else if (loop.skipWait > 0) {
    --loop.skipWait;
  } else {
    keyWait();
  }
}

void MainLoop::keyWait() {
  Platform& platform = app_.platform;
  app_.loop.waitDate = platform.currentDate();
  drawGridLines(platform);
  drawDayBox(platform, app_.buffer.dayBoxLeft, app_.buffer.dayBoxTop, app_.settings.allCalendarsView());
  drawLogo(platform);
  app_.loop.currentKey.clear();
  do {
    poll();
  } while (app_.loop.currentKey.empty());
}

void MainLoop::poll() {
  Platform& platform = app_.platform;
  LoopState& loop = app_.loop;
  loop.currentKey = platform.readKey();
  std::string time = platform.currentTime();
  if (left(time, 5) != loop.shownClock) drawClock(left(time, 5));
  markerHeartbeat(time);
  if (platform.currentDate() != loop.waitDate) loop.currentKey = kMidnightKey;
  app_.alarms.alarmScan();
  loop.shiftState = platform.shiftHeld() ? 3 : 0;
  if (platform.isKeyDown(keys::kAltScan) && platform.isKeyDown(keys::kF4Scan)) loop.currentKey = keys::quitKey();
  platform.pause(kPollMs);
}

void MainLoop::drawClock(const std::string& hhmm) {
  Platform& platform = app_.platform;
  app_.alarm.alarmMinuteDone = 0;
  platform.moveCursor(3, 38);
  platform.setColours(kClockGrey, kClockBlue);
  platform.printText(hhmm);
  gradientBar(platform, 32, 78, 78, 255, 296, 335, kClockGrey);
  app_.buffer.curFg = app_.settings.themeFg;
  app_.buffer.curBg = app_.settings.themeBg;
  app_.loop.shownClock = hhmm;
}

// A second copy that starts waits for the marker to come back: while this
// copy waits for a key it re-creates the marker once a second.
void MainLoop::markerHeartbeat(const std::string& time) {
  Platform& platform = app_.platform;
  if (time == app_.loop.lastSecond) return;
  app_.loop.lastSecond = time;
  constexpr int kFile = 1;
  platform.openFile(kInstanceMarkerFile, FileMode::Input, kFile);
  bool missing = platform.lastError() != 0;
  platform.closeFile(kFile);
  if (missing) writeInstanceMarker(platform);
}

void MainLoop::dispatch() {
  LoopState& loop = app_.loop;
  if (!loop.currentKey.empty() && loop.currentKey[0] == keys::kEnter) loop.currentKey = kDiaryKey;
  if (loop.currentKey.size() == 2) {
    loop.keyCode = static_cast<unsigned char>(loop.currentKey[1]);
    dispatchExtended();
  } else if (loop.currentKey.size() == 1) {
    std::string key = lowerAscii(loop.currentKey);
    if (key == "s") {
      loop.currentKey = app_.monthView.scrollEventList();
      loop.skipWait = 1;
    } else if (key == " ") {
      app_.alarm.speakerEnabled = 0;
    }
  }
}

void MainLoop::dispatchExtended() {
  LoopState& loop = app_.loop;
  SelectedDate& date = app_.date;
  const int code = loop.keyCode;
  const bool shift = loop.shiftState != 0;
  if (code == keys::kF5 || loop.diaryAgain) {
    // The diary opens here outside the all-calendars view.
    if (app_.settings.allCalendarsView()) showAllCalendarsMessage();
  }
  if (code == keys::kLeft) dayBack(date, *this);
  if (code == keys::kRight) {
    if (loop.currentKey == kMidnightKey) {
      // Midnight: today is tomorrow; the next pass handles it as F3.
      loop.skipWait = 1;
      loop.currentKey = kTodayKey;
      stepDayForward(date, *this);
    } else {
      dayForward(date, *this);
    }
  }
  if (code == keys::kUp) weekBack(date, *this);
  if (code == keys::kDown) weekForward(date, *this);
  if (code == keys::kPageDown && !shift && monthForward(date)) loop.recomputePending = true;
  if (code == keys::kPageUp && !shift && monthBack(date)) loop.recomputePending = true;
  if (code == keys::kCtrlPageDown && yearForward(date)) loop.recomputePending = true;
  if (code == keys::kCtrlPageUp && yearBack(date)) loop.recomputePending = true;
  // F4 opens the settings screen here.
  if (code == keys::kF2 && app_.settings.allCalendarsView()) showAllCalendarsMessage();
  if (code == keys::kF3) {
    goToday(date, app_.platform.currentDate());
    loop.recomputePending = true;
  }
  if (code == keys::kF6) {
    showReadme(app_.platform);
    loop.currentKey.clear();
    app_.buffer.clearBuffer(app_.settings.themeFg, app_.settings.themeBg);
    app_.monthView.drawMonthFrame();
  }
  if (code == keys::kAltX) loop.currentKey = keys::quitKey();
  if (code == keys::kF7) toggleAllCalendars();
  if (code == keys::kClose) loop.currentKey = keys::quitKey();
  if (code == keys::kF1) loop.currentKey = showHelp(app_.platform, app_.buffer, app_.settings.themeBg);
}

void MainLoop::toggleAllCalendars() {
  Settings& settings = app_.settings;
  if (settings.allCalendarsView()) {
    settings.calFile = settings.savedCalFile;
    settings.savedCalFile.clear();
  } else if (mergeAllCalendars(app_.platform) != -1) {
    settings.savedCalFile = settings.calFile;
    settings.calFile = std::string(kMergedCalendarFile);
  }
}

// The key that ends the message stays queued, so F7 here also leaves the view.
void MainLoop::showAllCalendarsMessage() {
  Platform& platform = app_.platform;
  platform.setColours(kWhite, 0xDD0000);
  const char* lines[] = {"                           ", "   Zet eerst gezamelijke   ", "   almanouks uit met F7.   ",
                         "                           "};
  for (int i = 0; i < 4; ++i) {
    platform.moveCursor(11 + i, 27);
    platform.printText(lines[i]);
  }
  platform.pause(-1);
}

void MainLoop::refreshOrRecompute() {
  LoopState& loop = app_.loop;
  if (loop.reloadRequested) return;
  if (!loop.recomputePending) {
    buildDayList(app_.days, app_.date, app_.settings.daysAhead);
    app_.monthView.drawEventList(app_.days, app_.settings.daysAhead, app_.alarms);
    drawStatusLine();
  } else {
    loop.skipWait = 1;
    loop.currentKey = kRecomputeKey;
    recompute(app_.date, *this);
    loop.recomputePending = false;
  }
}

void MainLoop::drawStatusLine() {
  Platform& platform = app_.platform;
  app_.buffer.putText(0, 0, app_.blankLine);
  std::string text = " Huidige almanouk: ";
  text += app_.settings.allCalendarsView() ? "Alle almanouks" : app_.settings.description;
  text += ' ';
  text = padRight(text, std::max<int>(52, static_cast<int>(text.size())));
  text += " Stoppen: kruisje of Alt-F4 ";
  platform.moveCursor(25, 1);
  platform.setColours(kWhite, kBarRed);
  platform.printText(text);
  gradientBar(platform, 384, 255, 78, 78, 0, 639, kWhite);
  app_.buffer.curFg = app_.settings.themeFg;
  app_.buffer.curBg = app_.settings.themeBg;
}

void MainLoop::monthCrossed() {
  app_.monthView.clearDayCells();
  app_.loop.interludeKey.assign(1, ' ');  // one blank: the interlude pass acts as the space key
}

void MainLoop::dateRecomputed() { app_.monthView.drawMonthFrame(); }

}  // namespace almanouk
