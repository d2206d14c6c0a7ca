#pragma once

#include <optional>
#include <vector>

#include "calendar/Dates.h"
#include "platform/LocalTime.h"
#include "shell/LoopState.h"
#include "ui/Screen.h"

namespace almanouk {

struct AppState;

// The month view's event loop and the program's dispatcher: each pass draws
// the title bar and the month view, waits for a key while keeping the clock,
// the instance marker, the date and the alarms up to date, and carries the
// key out through the dispatch table.
class MainLoop : private DateListener {
 public:
  using End = LoopState::End;

  explicit MainLoop(AppState& app) : app_(app) {}
  MainLoop(const MainLoop&) = delete;
  MainLoop& operator=(const MainLoop&) = delete;

  End run();

 private:
  // One row of the dispatch: the key it answers, the command that leads to
  // the same action, and the action.
  struct DispatchRow {
    Key key;
    std::optional<Command> command;
    void (MainLoop::*action)();
  };
  static const DispatchRow kDispatch[];

  void pass();
  void drawTitleBar();
  void obtainInput();
  void keyWait();
  void poll();
  void sleepUntilDue();
  void takeSyncNews(const LocalDateTime& now);
  void drawClock(const LocalDateTime& now);
  void markerHeartbeat(const LocalDateTime& now);
  void dispatch();
  void refreshOrRecompute();
  void drawStatusLine();

  // Runs a screen and applies what it hands back, in one place.
  void runScreen(Screen& screen);
  void apply(const ScreenResult& result);

  // The dispatch table's actions, in its order.
  void openDiary();
  void dayBackKey();
  void dayForwardKey();
  void weekBackKey();
  void weekForwardKey();
  void monthForwardKey();
  void monthBackKey();
  void yearForwardKey();
  void yearBackKey();
  void openSettings();
  void openListEditor();
  void todayKey();
  void openReadme();
  void quit();
  void toggleAllCalendars();
  void openHelp();
  void openSearch();
  void scrollEventList();
  void silenceSpeaker();
  void showAllCalendarsNote();

  void monthCrossed() override;
  void dateRecomputed() override;

  AppState& app_;
};

}  // namespace almanouk
