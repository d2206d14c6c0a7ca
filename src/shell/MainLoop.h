#pragma once

#include "calendar/Dates.h"

namespace almanouk {

struct AppState;
struct LoopState;
struct ScreenResult;
class SubScreen;

// The month view's event loop and the program's dispatcher: each pass draws
// the title bar and the month view, waits for a key while keeping the clock,
// the instance marker, the date and the alarms up to date, and carries the
// key out through the dispatch table.
class MainLoop : private DateListener {
 public:
  enum class End { Quit, Reinitialise, Reload };

  explicit MainLoop(AppState& app) : app_(app) {}
  MainLoop(const MainLoop&) = delete;
  MainLoop& operator=(const MainLoop&) = delete;

  End run();

 private:
  // One row of the dispatch: the key code it answers (or a flag of the loop
  // that also leads to it) and what it does.
  struct DispatchRow {
    int keyCode;
    bool LoopState::*orFlag;
    void (MainLoop::*action)();
  };
  static const DispatchRow kDispatch[];

  void pass();
  void drawTitleBar();
  void obtainKey();
  void keyWait();
  void poll();
  void drawClock(const std::string& hhmm);
  void markerHeartbeat(const std::string& time);
  void dispatch();
  void refreshOrRecompute();
  void drawStatusLine();

  // Runs a sub-screen and applies what it hands back, in one place.
  ScreenResult runScreen(SubScreen& screen);
  void apply(const ScreenResult& result);
  void showAllCalendarsMessage();

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

  void monthCrossed() override;
  void dateRecomputed() override;

  AppState& app_;
};

}  // namespace almanouk
