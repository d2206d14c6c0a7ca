#pragma once
// The one shape of every screen that opens over the month view (help box,
// readme viewer, diary, list editor, settings screen): a class built with the
// owning objects it needs, whose run() runs its own key loop while the clock
// and the alarms stand still, and returns what the main loop is to do next.
// The main loop applies that result in one place.

#include <optional>
#include <string>

namespace almanouk {

struct ScreenResult {
  // The key the main loop handles next (a key read here, or a pseudo key); none: unchanged.
  std::optional<std::string> nextKey;
  int skipWait = 0;              // passes that need no key, when above 0
  bool diaryAgain = false;       // reopen the diary in the next pass
  bool settingsAgain = false;    // reopen the settings screen in the next pass
  bool reinitRequested = false;  // run the initialisation again
  bool reloadRequested = false;  // read the settings again and reopen the settings screen
  int exitKeyCode = 0;           // code of the last extended key handled
  bool exitWithShift = false;    // Shift was held with that key
  bool redrawMonthView = false;  // clear the screen buffer and draw the month frame
};

class SubScreen {
 public:
  virtual ~SubScreen() = default;
  virtual ScreenResult run() = 0;
};

}  // namespace almanouk
