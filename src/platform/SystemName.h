#pragma once

namespace almanouk {

// The system the program is built for, where a text of the program names it
// (the readme tells where the data is and what plays the sound).
enum class SystemKind { Linux, Windows };
extern const SystemKind kThisSystem;

}  // namespace almanouk
