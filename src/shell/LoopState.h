#pragma once

#include <string>

namespace almanouk {

// The main loop's state, through which the sub-screens' results reach it.
struct LoopState {
  std::string currentKey;      // the key value handled in this pass, or a pseudo key
  int keyCode = 0;             // second character of a two-character currentKey; -1 once acted on
  int skipWait = 0;            // coming passes that do not wait for a key
  std::string interludeKey;    // handled in the interlude pass after a month crossing
  std::string heldKey;         // currentKey held back during the interlude pass
  bool restoreHeldKey = false;
  bool recomputePending = false;
  bool diaryAgain = false;     // enter the diary in the next pass
  bool settingsAgain = false;  // enter the settings screen in the next pass
  int diaryExitKey = 0;        // the extended key the diary was left with
  int shiftState = 0;          // 3 while Shift was down at the last poll
  std::string shownClock;      // hh:mm last drawn by the poll
  std::string lastSecond;      // hh:mm:ss of the last marker test
  std::string waitDate;        // currentDate when the key wait began
  bool reloadRequested = false;
  bool reinitRequested = false;
};

}  // namespace almanouk
