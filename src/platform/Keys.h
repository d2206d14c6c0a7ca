#pragma once
// Keys as values: a character (code page 437, control characters included:
// Enter 13, Esc 27, Backspace 8, Tab and Ctrl+I 9, Ctrl+letter 1-26) or an
// extended key named by its PC scan code, with whether Shift was held.

#include <cstdint>

namespace almanouk {

// The extended keys the program knows, by their PC scan codes.
enum class KeyCode : std::uint8_t {
  AltX = 45,
  F1 = 59,
  F2 = 60,
  F3 = 61,
  F4 = 62,
  F5 = 63,
  F6 = 64,
  F7 = 65,
  F8 = 66,
  Home = 71,
  Up = 72,
  PageUp = 73,
  Left = 75,
  Right = 77,
  End = 79,
  Down = 80,
  PageDown = 81,
  Insert = 82,
  Delete = 83,
  Close = 107,  // the window's close button, or the system asking the program to end
  CtrlPageDown = 118,
  CtrlPageUp = 132,
};

class Key {
 public:
  constexpr Key() = default;  // no key
  constexpr Key(KeyCode code) : kind_(Kind::Extended), value_(static_cast<std::uint8_t>(code)) {}  // NOLINT
  static constexpr Key character(char c) { return Key(Kind::Character, static_cast<std::uint8_t>(c)); }

  constexpr Key withShift(bool held = true) const {
    Key key = *this;
    key.shift_ = held;
    return key;
  }

  constexpr bool empty() const { return kind_ == Kind::None; }
  constexpr bool isCharacter() const { return kind_ == Kind::Character; }
  constexpr bool isExtended() const { return kind_ == Kind::Extended; }
  constexpr char character() const { return isCharacter() ? static_cast<char>(value_) : '\0'; }
  constexpr KeyCode code() const { return static_cast<KeyCode>(value_); }
  constexpr bool shift() const { return shift_; }
  // The same key, whether Shift was held or not.
  constexpr bool is(Key other) const { return kind_ == other.kind_ && value_ == other.value_; }
  constexpr bool is(char c) const { return isCharacter() && value_ == static_cast<std::uint8_t>(c); }
  // A character a screen types: not a control character.
  constexpr bool isPrintable() const { return isCharacter() && value_ >= 32; }

  constexpr bool operator==(const Key&) const = default;

 private:
  enum class Kind : std::uint8_t { None, Character, Extended };
  constexpr Key(Kind kind, std::uint8_t value) : kind_(kind), value_(value) {}

  Kind kind_ = Kind::None;
  std::uint8_t value_ = 0;
  bool shift_ = false;
};

namespace keys {

inline constexpr Key kCtrlD = Key::character(4);
inline constexpr Key kBackspace = Key::character(8);
inline constexpr Key kTab = Key::character(9);  // also Ctrl+I
inline constexpr Key kCtrlK = Key::character(11);
inline constexpr Key kCtrlL = Key::character(12);
inline constexpr Key kEnter = Key::character(13);
inline constexpr Key kCtrlP = Key::character(16);
inline constexpr Key kEscape = Key::character(27);
inline constexpr Key kSpace = Key::character(' ');

inline constexpr Key kAltX{KeyCode::AltX};
inline constexpr Key kF1{KeyCode::F1};
inline constexpr Key kF2{KeyCode::F2};
inline constexpr Key kF3{KeyCode::F3};
inline constexpr Key kF4{KeyCode::F4};
inline constexpr Key kF5{KeyCode::F5};
inline constexpr Key kF6{KeyCode::F6};
inline constexpr Key kF7{KeyCode::F7};
inline constexpr Key kF8{KeyCode::F8};
inline constexpr Key kHome{KeyCode::Home};
inline constexpr Key kUp{KeyCode::Up};
inline constexpr Key kPageUp{KeyCode::PageUp};
inline constexpr Key kLeft{KeyCode::Left};
inline constexpr Key kRight{KeyCode::Right};
inline constexpr Key kEnd{KeyCode::End};
inline constexpr Key kDown{KeyCode::Down};
inline constexpr Key kPageDown{KeyCode::PageDown};
inline constexpr Key kInsert{KeyCode::Insert};
inline constexpr Key kDelete{KeyCode::Delete};
inline constexpr Key kClose{KeyCode::Close};
inline constexpr Key kCtrlPageDown{KeyCode::CtrlPageDown};
inline constexpr Key kCtrlPageUp{KeyCode::CtrlPageUp};

}  // namespace keys

// Keys whose being held down the program samples, apart from the queue.
enum class HeldKey { Alt, F4 };

}  // namespace almanouk
