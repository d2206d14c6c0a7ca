#include "shell/MainLoop.h"

#include <algorithm>
#include <utility>

#include "calendar/CalendarCache.h"
#include "calendar/CalendarList.h"
#include "diary/DiaryEditor.h"
#include "editors/ListEditor.h"
#include "editors/SettingsScreen.h"
#include "help/HelpBox.h"
#include "help/ReadmeViewer.h"
#include "month/AllCalendarsNote.h"
#include "month/EventListScroll.h"
#include "platform/FatalError.h"
#include "platform/Keys.h"
#include "platform/NumberedFiles.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "screen/MonthDecorations.h"
#include "screen/Notice.h"
#include "search/SearchScreen.h"
#include "settings/SettingsFile.h"
#include "shell/AppState.h"

namespace almanouk {
namespace {


constexpr int kQuitHintColumn = 52;  // on the status line, after the calendar's name

int minuteOfDay(const LocalDateTime& time) { return time.hour * 60 + time.minute; }
int secondOfDay(const LocalDateTime& time) { return minuteOfDay(time) * 60 + time.second; }

bool isCommand(const std::optional<Input>& input, Command command) { return input && input->command == command; }

}  // namespace

// One row per key, in the order of the month view's help; an input answers
// exactly one row.
const MainLoop::DispatchRow MainLoop::kDispatch[] = {
    {keys::kF5, Command::Diary, &MainLoop::openDiary},
    {keys::kEnter, {}, &MainLoop::openDiary},
    {keys::kLeft, {}, &MainLoop::dayBackKey},
    {keys::kRight, Command::Midnight, &MainLoop::dayForwardKey},
    {keys::kUp, {}, &MainLoop::weekBackKey},
    {keys::kDown, {}, &MainLoop::weekForwardKey},
    {keys::kPageDown, {}, &MainLoop::monthForwardKey},
    {keys::kPageUp, {}, &MainLoop::monthBackKey},
    {keys::kCtrlPageDown, {}, &MainLoop::yearForwardKey},
    {keys::kCtrlPageUp, {}, &MainLoop::yearBackKey},
    {keys::kF4, Command::Settings, &MainLoop::openSettings},
    {keys::kF2, Command::ListEditor, &MainLoop::openListEditor},
    {keys::kF3, Command::Today, &MainLoop::todayKey},
    {keys::kF6, {}, &MainLoop::openReadme},
    {keys::kAltX, Command::Quit, &MainLoop::quit},
    {keys::kF7, {}, &MainLoop::toggleAllCalendars},
    {keys::kClose, {}, &MainLoop::quit},
    {keys::kF1, {}, &MainLoop::openHelp},
    {keys::kF8, {}, &MainLoop::openSearch},
    {Key::character('s'), {}, &MainLoop::scrollEventList},
    {Key::character('S'), {}, &MainLoop::scrollEventList},
    {keys::kSpace, {}, &MainLoop::silenceSpeaker},
};

MainLoop::End MainLoop::run() {
  LoopState& loop = app_.loop;
  loop.end.reset();
  do {
    pass();
  } while (!loop.end);
  return *loop.end;
}

void MainLoop::pass() {
  LoopState& loop = app_.loop;
  // While the diary is to open again the month view is not drawn in between.
  const bool diaryAgain = isCommand(loop.next, Command::Diary);
  drawTitleBar();
  if (!diaryAgain) app_.monthView.fillMonthGrid();
  if (!diaryAgain) app_.buffer.renderBuffer();
  obtainInput();
  dispatch();
  refreshOrRecompute();
}

void MainLoop::drawTitleBar() { app_.buffer.drawTitleBar(app_.titleText, kRedBar); }

// A pass after a month crossing handles nothing (and keeps what is pending
// for the pass after it); a pending input is handled without a wait.
void MainLoop::obtainInput() {
  LoopState& loop = app_.loop;
  if (app_.date.monthChanged) {
    app_.date.monthChanged = false;
    loop.current = {};
  } else if (loop.next) {
    loop.current = *std::exchange(loop.next, std::nullopt);
  } else {
    keyWait();
  }
}

void MainLoop::keyWait() {
  Platform& platform = app_.platform;
  app_.loop.waitDay = calendarDay(platform.now());
  drawGridLines(platform);
  drawDayBox(platform, app_.buffer.dayBoxLeft, app_.buffer.dayBoxTop, app_.settings.allCalendarsView());
  drawLogo(platform);
  app_.loop.current = {};
  do {
    poll();
  } while (app_.loop.current.key.empty() && !app_.loop.current.command);
  if (app_.loop.current.command != Command::Redraw) app_.notice.clear();  // told: the user pressed a key after it
}

void MainLoop::poll() {
  Platform& platform = app_.platform;
  LoopState& loop = app_.loop;
  loop.current = Input{platform.readKey(), {}};
  const LocalDateTime now = platform.now();
  if (minuteOfDay(now) != loop.shownMinute) drawClock(now);
  markerHeartbeat(now);
  if (calendarDay(now) != loop.waitDay) loop.current = Input{{}, Command::Midnight};
  const AlarmWatch::Look look = app_.watch.look(now, std::exchange(loop.clockJumped, false));
  if (look.toldAlarm) app_.buffer.at(2, 63) = app_.buffer.blankCell();  // the silenced mark goes with its alarm
  app_.tell(look.kept);
  for (std::string notice : {app_.alarms.takeNotice(), app_.versions.takeNotice()}) {
    if (notice.empty()) continue;
    app_.notice = notice;
    drawStatusLine();
  }
  takeSyncNews(now);
  if (platform.isKeyDown(HeldKey::Alt) && platform.isKeyDown(HeldKey::F4)) loop.current = Input{{}, Command::Quit};
  if (loop.current.key.empty() && !loop.current.command) sleepUntilDue();
}

// Nothing is due before the next second (clock, marker, date, alarms) unless
// a key comes. A clock that moved on much further meanwhile (the machine
// slept, the time was set) leaves minutes nobody watched.
void MainLoop::sleepUntilDue() {
  constexpr std::int64_t kJumpMs = 60'000;  // a minute more than the wait
  Platform& platform = app_.platform;
  const int sleep = platform.msToNextSecond();
  const std::int64_t before = platform.now().toMilliseconds();
  platform.awaitInput(sleep);
  if (platform.now().toMilliseconds() - before > sleep + kJumpMs) app_.loop.clockJumped = true;
}

// A sync's outcome replaces only an earlier sync's on the status line; new
// entries it brought are drawn at once.
void MainLoop::takeSyncNews(const LocalDateTime& now) {
  std::optional<BackgroundSync::News> news = app_.sync.look(now.toMilliseconds());
  if (!news) return;
  if (app_.notice.empty() || app_.notice == app_.loop.syncNotice) {
    app_.notice = news->text;
    app_.loop.syncNotice = news->text;
    drawStatusLine();
  }
  if (news->calendarChanged && app_.loop.current.key.empty()) app_.loop.current.command = Command::Redraw;
}

void MainLoop::drawClock(const LocalDateTime& now) {
  app_.monthView.drawClock(now);
  app_.loop.shownMinute = minuteOfDay(now);
}

// A marker deleted by hand comes back within a second; the lock never went with it.
void MainLoop::markerHeartbeat(const LocalDateTime& now) {
  if (secondOfDay(now) == app_.loop.lastSecond) return;
  app_.loop.lastSecond = secondOfDay(now);
  app_.tell(app_.guard.heartbeat());
}

void MainLoop::dispatch() {
  const Input& input = app_.loop.current;
  for (const DispatchRow& row : kDispatch) {
    bool answers = input.command ? row.command == input.command : !input.key.empty() && row.key.is(input.key);
    if (answers) {
      (this->*row.action)();
      return;
    }
  }
}

void MainLoop::runScreen(Screen& screen) { apply(runModal(app_.platform, screen)); }

void MainLoop::apply(const ScreenResult& result) {
  LoopState& loop = app_.loop;
  app_.settings.apply(result.settings);
  // A changed popup kind may start a day command again.
  if (result.settings.popupMode) app_.alarm.dayCommandStarted = false;
  if (result.next) loop.next = result.next;
  if (result.date) setDate(app_.date, result.date->day, result.date->month, result.date->year);
  if (result.dayStep < 0) stepDayBack(app_.date, *this);
  if (result.dayStep > 0) stepDayForward(app_.date, *this);
  if (!result.message.empty()) app_.notice = result.message;
  app_.diaryPosition = result.diaryPosition;
  if (result.listClipboard) app_.listClipboard = *result.listClipboard;
  if (result.settingsLine) app_.settingsField = result.settingsLine;
  if (result.redrawMonthView) {
    app_.buffer.clearBuffer();
    app_.monthView.drawMonthFrame();
  }
}

// In the all-calendars view nothing may be edited: the note says how to leave it.
void MainLoop::showAllCalendarsNote() {
  AllCalendarsNote note(app_.platform);
  runScreen(note);
}

void MainLoop::openDiary() {
  if (app_.settings.allCalendarsView()) {
    showAllCalendarsNote();
    return;
  }
  app_.monthView.monthViewHidden = false;
  DiaryEditor diary(app_.platform, app_.buffer, app_.settings, app_.date, std::exchange(app_.diaryPosition, {}));
  ScreenResult result = runModal(app_.platform, diary);
  // While the editor is to open again the month view stays hidden.
  app_.monthView.monthViewHidden = isCommand(result.next, Command::Diary);
  apply(result);
}

void MainLoop::dayBackKey() { dayBack(app_.date, *this); }

void MainLoop::dayForwardKey() {
  if (app_.loop.current.command != Command::Midnight) {
    dayForward(app_.date, *this);
    return;
  }
  // Midnight: today is tomorrow; the next pass goes to today.
  app_.loop.next = Input{{}, Command::Today};
  stepDayForward(app_.date, *this);
}

void MainLoop::weekBackKey() { weekBack(app_.date, *this); }

void MainLoop::weekForwardKey() { weekForward(app_.date, *this); }

// Shift with Page Up or Page Down moves by a day in the diary only.
void MainLoop::monthForwardKey() {
  if (!app_.loop.current.key.shift() && monthForward(app_.date)) app_.loop.recomputePending = true;
}

void MainLoop::monthBackKey() {
  if (!app_.loop.current.key.shift() && monthBack(app_.date)) app_.loop.recomputePending = true;
}

void MainLoop::yearForwardKey() {
  if (yearForward(app_.date)) app_.loop.recomputePending = true;
}

void MainLoop::yearBackKey() {
  if (yearBack(app_.date)) app_.loop.recomputePending = true;
}

// Whatever the settings screen changed, the program is initialised again
// after it, with the command the screen handed back.
void MainLoop::openSettings() {
  Settings& settings = app_.settings;
  if (settings.allCalendarsView()) {
    settings.calFile = settings.savedCalFile;
    settings.savedCalFile.clear();
  }
  SettingsScreen screen(app_.platform, app_.buffer, settings, std::exchange(app_.settingsField, std::nullopt));
  runScreen(screen);
  app_.loop.end = End::Reinitialise;
  app_.tell(backupAndValidateCalendar(app_.platform, settings.calFile));
}

void MainLoop::openListEditor() {
  if (app_.settings.allCalendarsView()) {
    showAllCalendarsNote();
    return;
  }
  ListEditor editor(app_.platform, app_.buffer, app_.settings, app_.date, app_.calendars, app_.listClipboard);
  runScreen(editor);
  app_.sync.saved(app_.platform.now().toMilliseconds());
}

void MainLoop::todayKey() {
  goToday(app_.date, calendarDay(app_.platform.now()));
  app_.loop.recomputePending = true;
}

void MainLoop::openReadme() {
  ReadmeViewer viewer(app_.platform);
  runScreen(viewer);
}

void MainLoop::quit() { app_.loop.end = End::Quit; }

void MainLoop::toggleAllCalendars() {
  Settings& settings = app_.settings;
  if (settings.allCalendarsView()) {
    settings.calFile = settings.savedCalFile;
    settings.savedCalFile.clear();
  } else if (Merge merge = mergeAllCalendars(app_.platform); merge.made()) {
    settings.savedCalFile = settings.calFile;
    settings.calFile = std::string(kMergedCalendarFile);
  } else if (!merge.written) {
    app_.notice = "Alle almanouks: samenvoegen mislukt (" + std::string(describe(merge.written.error().problem)) + ")";
  }
}

void MainLoop::openSearch() {
  SearchScreen search(app_.platform, app_.buffer, app_.settings, app_.date, app_.calendars, app_.search);
  runScreen(search);
}

void MainLoop::openHelp() {
  HelpBox help(app_.platform, app_.buffer);
  runScreen(help);
}

void MainLoop::scrollEventList() {
  EventListScroll scroll(app_.platform, app_.buffer, app_.settings, app_.monthView);
  runScreen(scroll);
}

// The next alarm's speaker tone stays silent.
void MainLoop::silenceSpeaker() { app_.alarm.speakerEnabled = false; }

void MainLoop::refreshOrRecompute() {
  LoopState& loop = app_.loop;
  if (!loop.recomputePending) {
    buildDayList(app_.days, app_.date, app_.settings.daysAhead);
    app_.monthView.drawEventList(app_.days, app_.settings.daysAhead, app_.alarms, !loop.next);
    drawStatusLine();
  } else {
    loop.next = Input{};  // one more pass, without a wait, that handles nothing
    recompute(app_.date, *this);
    loop.recomputePending = false;
  }
}

void MainLoop::drawStatusLine() {
  const std::string calendar = app_.settings.allCalendarsView() ? "Alle almanouks" : app_.settings.description;
  // The window's title names the calendar too, for the task bar and the window list.
  app_.platform.setWindowTitle("Almanouk \u2014 " + cp437ToUtf8(calendar));
  app_.buffer.putText(ScreenBuffer::kTitleRow, 0, std::string(ScreenBuffer::kColumns, ' '));
  if (!app_.notice.empty()) {
    drawNotice(app_.buffer, app_.notice);
    return;
  }
  std::string text = " Huidige almanouk: ";
  text += calendar;
  text += ' ';
  text = padRight(text, std::max<int>(kQuitHintColumn, static_cast<int>(text.size())));
  text += " Stoppen: kruisje of Alt-F4 ";
  app_.buffer.drawStatusBar(text, kRedBar);
}

void MainLoop::monthCrossed() { app_.monthView.clearDayCells(); }

void MainLoop::dateRecomputed() { app_.monthView.drawMonthFrame(); }

}  // namespace almanouk
