#pragma once
// The one table of key names: which key of the keyboard (with Ctrl or Alt)
// gives which key value, and the name the key scripts, the driver's help and
// the manual use for it. A new key the program answers is one row here.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/Keys.h"

namespace almanouk {

// A key of the keyboard as a backend sees it: a letter key by its lower-case
// letter, the keys without a character by name.
enum class KeySym : std::uint16_t {
  None = 0,
  F1 = 0x100, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12,
  Home, End, Up, Down, Left, Right, PageUp, PageDown, Insert, Delete,
  Enter, Escape, Backspace, Tab,
  WindowClose,  // the window's close button: no key, but it acts as one
};
constexpr KeySym letterKey(char lowerCase) { return static_cast<KeySym>(static_cast<unsigned char>(lowerCase)); }

enum class Modifier : std::uint8_t { None, Ctrl, Alt };

struct KeyName {
  std::string_view name;  // as a key script writes it
  KeySym sym;
  Modifier modifier;
  Key key;
};

std::span<const KeyName> keyNames();

// The key value of a keyboard key pressed with Ctrl, Alt or neither; Shift
// travels with it. Ctrl with any letter gives its control character (1-26).
// Nothing for a key the program does not answer.
std::optional<Key> keyFor(KeySym sym, Modifier modifier, bool shift);

// "F1", "Ctrl+PgUp", "Shift+PgDn", "Ctrl+Q": the key a script names, or nothing.
std::optional<Key> keyNamed(std::string_view name);
// The names of the table in one line, for a usage text.
std::string keyNameList();

}  // namespace almanouk
