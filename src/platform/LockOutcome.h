#pragma once
// What taking the program's lock on its folder found.

namespace almanouk {

// Held now, held by another copy of the program, or not to be had at all.
enum class LockState { Held, HeldElsewhere, Failed };

struct LockOutcome {
  LockState state = LockState::Failed;
  // When failed, why, in Dutch: no locks on this file system (a network drive), no rights, a disk error.
  const char* why = "";
};

}  // namespace almanouk
