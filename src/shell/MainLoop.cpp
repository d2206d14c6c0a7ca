#include "shell/MainLoop.h"

#include <algorithm>

#include "calendar/CalendarList.h"
#include "diary/DiaryEditor.h"
#include "editors/ListEditor.h"
#include "editors/SettingsScreen.h"
#include "help/HelpBox.h"
#include "help/ReadmeViewer.h"
#include "platform/Keys.h"
#include "platform/NumberedFiles.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "screen/FatalError.h"
#include "screen/MonthDecorations.h"
#include "screen/SubScreen.h"
#include "settings/SettingsFile.h"
#include "shell/AppState.h"

namespace almanouk {
namespace {

constexpr BarStyle kClockBar{0xC8C8C8, 0x1D1DE2, 78, 78, 255, 0xC8C8C8};

}  // namespace

// In the order the keys are tried; each row tests the key code as the
// previous rows left it.
const MainLoop::DispatchRow MainLoop::kDispatch[] = {
    {keys::kF5, &LoopState::diaryAgain, &MainLoop::openDiary},
    {keys::kLeft, nullptr, &MainLoop::dayBackKey},
    {keys::kRight, nullptr, &MainLoop::dayForwardKey},
    {keys::kUp, nullptr, &MainLoop::weekBackKey},
    {keys::kDown, nullptr, &MainLoop::weekForwardKey},
    {keys::kPageDown, nullptr, &MainLoop::monthForwardKey},
    {keys::kPageUp, nullptr, &MainLoop::monthBackKey},
    {keys::kCtrlPageDown, nullptr, &MainLoop::yearForwardKey},
    {keys::kCtrlPageUp, nullptr, &MainLoop::yearBackKey},
    {keys::kF4, &LoopState::settingsAgain, &MainLoop::openSettings},
    {keys::kF2, nullptr, &MainLoop::openListEditor},
    {keys::kF3, nullptr, &MainLoop::todayKey},
    {keys::kF6, nullptr, &MainLoop::openReadme},
    {keys::kAltX, nullptr, &MainLoop::quit},
    {keys::kF7, nullptr, &MainLoop::toggleAllCalendars},
    {keys::kClose, nullptr, &MainLoop::quit},
    {keys::kF1, nullptr, &MainLoop::openHelp},
};

MainLoop::End MainLoop::run() {
  LoopState& loop = app_.loop;
  do {
    pass();
  } while (loop.currentKey != keys::kQuit && !loop.reloadRequested && !loop.reinitRequested);
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
  if (!subScreenAgain) app_.buffer.renderBuffer();
  obtainKey();
  dispatch();
  refreshOrRecompute();
}

void MainLoop::drawTitleBar() { app_.buffer.drawBar(1, 1, app_.titleText, kRedBar); }

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
  if (platform.currentDate() != loop.waitDate) loop.currentKey = keys::kMidnight;
  app_.alarms.alarmScan();
  loop.shiftState = platform.shiftHeld() ? 3 : 0;
  if (platform.isKeyDown(keys::kAltScan) && platform.isKeyDown(keys::kF4Scan)) loop.currentKey = keys::kQuit;
  // Nothing is due before the next second (clock, marker, date, alarms) unless a key comes.
  if (loop.currentKey.empty()) platform.awaitInput(platform.msToNextSecond());
}

void MainLoop::drawClock(const std::string& hhmm) {
  app_.alarm.alarmMinuteDone = 0;
  app_.buffer.drawBar(3, 38, hhmm, kClockBar);
  app_.loop.shownClock = hhmm;
}

// A second copy that starts waits for the marker to come back: while this
// copy waits for a key it re-creates the marker once a second.
void MainLoop::markerHeartbeat(const std::string& time) {
  if (time == app_.loop.lastSecond) return;
  app_.loop.lastSecond = time;
  bool missing = !InputFile(app_.platform, kInstanceMarkerFile, 1).isOpen();
  if (missing) writeInstanceMarker(app_.platform);
}

void MainLoop::dispatch() {
  LoopState& loop = app_.loop;
  if (keys::isCharacter(loop.currentKey.substr(0, 1), keys::kEnter)) loop.currentKey = keys::kDiary;
  if (loop.currentKey.size() == 2) {
    loop.keyCode = keys::extendedCode(loop.currentKey);
    for (const DispatchRow& row : kDispatch)
      if (loop.keyCode == row.keyCode || (row.orFlag && loop.*row.orFlag)) (this->*row.action)();
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

ScreenResult MainLoop::runScreen(SubScreen& screen) {
  ScreenResult result = screen.run();
  apply(result);
  return result;
}

void MainLoop::apply(const ScreenResult& result) {
  LoopState& loop = app_.loop;
  if (result.nextKey) loop.currentKey = *result.nextKey;
  if (result.skipWait > 0) loop.skipWait = result.skipWait;
  if (result.diaryAgain) loop.diaryAgain = true;
  if (result.settingsAgain) loop.settingsAgain = true;
  if (result.reinitRequested) loop.reinitRequested = true;
  if (result.reloadRequested) loop.reloadRequested = true;
  loop.diaryExitKey = result.exitKeyCode;
  if (result.redrawMonthView) {
    app_.buffer.clearBuffer();
    app_.monthView.drawMonthFrame();
  }
}

// The key that ends the message stays queued, so F7 here also leaves the view.
void MainLoop::showAllCalendarsMessage() {
  Platform& platform = app_.platform;
  platform.setColours(0xFFFFFF, 0xDD0000);
  const char* lines[] = {"                           ", "   Zet eerst gezamelijke   ", "   almanouks uit met F7.   ",
                         "                           "};
  for (int i = 0; i < 4; ++i) {
    platform.moveCursor(11 + i, 27);
    platform.printText(lines[i]);
  }
  platform.pause(-1);
}

void MainLoop::openDiary() {
  LoopState& loop = app_.loop;
  if (app_.settings.allCalendarsView()) {
    showAllCalendarsMessage();
    return;
  }
  loop.diaryAgain = false;
  app_.monthView.monthViewHidden = false;
  DiaryEditor diary(app_.platform, app_.buffer, app_.settings, app_.date);
  ScreenResult result = diary.run();
  // While the editor is to open again the month view stays hidden.
  app_.monthView.monthViewHidden = result.diaryAgain;
  apply(result);
  if (result.exitWithShift && loop.diaryExitKey == keys::kPageUp) stepDayBack(app_.date, *this);
  if (result.exitWithShift && loop.diaryExitKey == keys::kPageDown) stepDayForward(app_.date, *this);
}

void MainLoop::dayBackKey() { dayBack(app_.date, *this); }

void MainLoop::dayForwardKey() {
  LoopState& loop = app_.loop;
  if (loop.currentKey != keys::kMidnight) {
    dayForward(app_.date, *this);
    return;
  }
  // Midnight: today is tomorrow; the next pass handles it as F3.
  loop.skipWait = 1;
  loop.currentKey = keys::kToday;
  stepDayForward(app_.date, *this);
}

void MainLoop::weekBackKey() { weekBack(app_.date, *this); }

void MainLoop::weekForwardKey() { weekForward(app_.date, *this); }

// Shift with Page Up or Page Down moves by a day in the diary only.
void MainLoop::monthForwardKey() {
  if (app_.loop.shiftState == 0 && monthForward(app_.date)) app_.loop.recomputePending = true;
}

void MainLoop::monthBackKey() {
  if (app_.loop.shiftState == 0 && monthBack(app_.date)) app_.loop.recomputePending = true;
}

void MainLoop::yearForwardKey() {
  if (yearForward(app_.date)) app_.loop.recomputePending = true;
}

void MainLoop::yearBackKey() {
  if (yearBack(app_.date)) app_.loop.recomputePending = true;
}

// Whatever the settings screen changed, the program is initialised again
// after it, with the key the screen handed back.
void MainLoop::openSettings() {
  LoopState& loop = app_.loop;
  Settings& settings = app_.settings;
  loop.settingsAgain = false;
  if (settings.allCalendarsView()) {
    settings.calFile = settings.savedCalFile;
    settings.savedCalFile.clear();
  }
  SettingsScreen screen(app_.platform, app_.buffer, settings, app_.settingsField);
  runScreen(screen);
  loop.reinitRequested = true;
  backupAndValidateCalendar(app_.platform, settings.calFile);
  loop.keyCode = -1;
}

void MainLoop::openListEditor() {
  if (app_.settings.allCalendarsView()) {
    showAllCalendarsMessage();
    return;
  }
  ListEditor editor(app_.platform, app_.buffer, app_.settings, app_.date, app_.listClipboard);
  runScreen(editor);
  app_.loop.keyCode = -1;  // the key is done with
}

void MainLoop::todayKey() {
  goToday(app_.date, app_.platform.currentDate());
  app_.loop.recomputePending = true;
}

void MainLoop::openReadme() {
  ReadmeViewer viewer(app_.platform);
  runScreen(viewer);
}

void MainLoop::quit() { app_.loop.currentKey = keys::kQuit; }

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

void MainLoop::openHelp() {
  HelpBox help(app_.platform, app_.buffer);
  runScreen(help);
}

void MainLoop::refreshOrRecompute() {
  LoopState& loop = app_.loop;
  if (loop.reloadRequested) return;
  if (!loop.recomputePending) {
    buildDayList(app_.days, app_.date, app_.settings.daysAhead);
    app_.monthView.drawEventList(app_.days, app_.settings.daysAhead, app_.alarms, loop.skipWait == 0);
    drawStatusLine();
  } else {
    loop.skipWait = 1;
    loop.currentKey = keys::kOneMorePass;
    recompute(app_.date, *this);
    loop.recomputePending = false;
  }
}

void MainLoop::drawStatusLine() {
  app_.buffer.putText(0, 0, app_.blankLine);
  std::string text = " Huidige almanouk: ";
  text += app_.settings.allCalendarsView() ? "Alle almanouks" : app_.settings.description;
  text += ' ';
  text = padRight(text, std::max<int>(52, static_cast<int>(text.size())));
  text += " Stoppen: kruisje of Alt-F4 ";
  app_.buffer.drawBar(25, 1, text, kRedBar);
}

void MainLoop::monthCrossed() {
  app_.monthView.clearDayCells();
  app_.loop.interludeKey = keys::kInterlude;
}

void MainLoop::dateRecomputed() { app_.monthView.drawMonthFrame(); }

}  // namespace almanouk
