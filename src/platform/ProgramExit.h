#pragma once

namespace almanouk {

// Ends the program from deep inside (quit key, fatal file errors, a sound
// player that cannot start): thrown, and caught only at the program's entry,
// so that open files are closed on the way and callers see the status.
struct ProgramExit {
  int status = 0;
};

}  // namespace almanouk
