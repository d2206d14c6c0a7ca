#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "calendar/Dates.h"
#include "ui/Screen.h"

namespace almanouk {

// The main loop's state from one pass to the next.
struct LoopState {
  enum class End { Quit, Reinitialise };

  Input current;  // handled in this pass
  // Handled in the next pass without waiting for a key. While one is pending
  // the event list starts no day command: the drawing follows a move, an
  // editor or the settings, not a moment the user waited for.
  std::optional<Input> next;
  bool recomputePending = false;  // a month, year or today move: recompute at the end of the pass
  int shownMinute = -1;           // the hh:mm the clock shows, as minutes of the day
  int lastSecond = -1;            // the second of the day of the last instance-marker test
  CalendarDay waitDay;            // the date when the key wait began
  std::optional<End> end;         // the loop ends after this pass
  bool clockJumped = false;       // the clock moved on while the loop slept (the machine asleep)
  std::string syncNotice;         // the status line's last word from the sync
};

}  // namespace almanouk
