#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Keys.h"

namespace almanouk {

// A parsed key script: key names, "typed text", wait:N[ms|m|h], jump:N[ms|m|h],
// snap:NAME, focus:in|out (the user goes to the window or away from it) and
// notification:ok|snooze|close (the answer to the last notification still
// open), separated by blanks.
struct ScriptItem {
  enum class Kind { Key, Wait, Jump, Snap, HoldAltF4, Focus, Answer };
  Kind kind = Kind::Key;
  Key key;                   // Key: the key the program reads
  std::int64_t milliseconds = 0;  // Wait, Jump
  std::string name;          // Snap; Focus: in or out; Answer: ok, snooze or close
};

struct KeyScript {
  std::vector<ScriptItem> items;

  // Nothing, with a message in error, when a token is not understood.
  static std::optional<KeyScript> parse(std::string_view text, std::string* error = nullptr);
};

}  // namespace almanouk
