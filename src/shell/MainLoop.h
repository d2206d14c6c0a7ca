#pragma once

#include "calendar/Dates.h"

namespace almanouk {

struct AppState;

// The month view's event loop and the program's dispatcher: each pass draws
// the title bar and the month view, waits for a key while keeping the clock,
// the instance marker, the date and the alarms up to date, and carries the
// key out.
class MainLoop : private DateListener {
 public:
  enum class End { Quit, Reinitialise, Reload };

  explicit MainLoop(AppState& app) : app_(app) {}
  End run();

 private:
  void pass();
  void drawTitleBar();
  void obtainKey();
  void keyWait();
  void poll();
  void drawClock(const std::string& hhmm);
  void markerHeartbeat(const std::string& time);
  void dispatch();
  void dispatchExtended();
  void refreshOrRecompute();
  void drawStatusLine();
  void showAllCalendarsMessage();
  void toggleAllCalendars();

  void monthCrossed() override;
  void dateRecomputed() override;

  AppState& app_;
};

}  // namespace almanouk
