#pragma once

#include <cstdint>
#include <optional>

#include "calendar/Dates.h"
#include "screen/Screen.h"

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
  // The last moment the alarms were watched: what came between it and the
  // next poll was missed. Nothing before the first wait.
  std::optional<LocalDateTime> watched;
  // When the program started: alarms from that minute on count as missed
  // while a box was open (the start-up notice), not while it was closed.
  LocalDateTime startedAt;
  bool clockJumped = false;       // the clock moved on while the loop slept (the machine asleep)
  std::int64_t writtenMinute = -1;  // the minute last kept in the file of the last watched moment
};

}  // namespace almanouk
