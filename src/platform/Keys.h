#pragma once
// Key values: empty, one character, or an extended key of two characters
// (255 and the key's scan code). Handlers look at the length and the second
// character only, which lets the program make pseudo keys of its own.

#include <string>

namespace almanouk::keys {

inline constexpr char kExtendedLead = '\xFF';

// Scan codes of the extended keys the program compares against.
inline constexpr int kAltX = 45;
inline constexpr int kF1 = 59;
inline constexpr int kF2 = 60;
inline constexpr int kF3 = 61;
inline constexpr int kF4 = 62;
inline constexpr int kF5 = 63;
inline constexpr int kF6 = 64;
inline constexpr int kF7 = 65;
inline constexpr int kHome = 71;
inline constexpr int kUp = 72;
inline constexpr int kPageUp = 73;
inline constexpr int kLeft = 75;
inline constexpr int kRight = 77;
inline constexpr int kEnd = 79;
inline constexpr int kDown = 80;
inline constexpr int kPageDown = 81;
inline constexpr int kInsert = 82;
inline constexpr int kDelete = 83;
inline constexpr int kClose = 107;
inline constexpr int kCtrlPageDown = 118;
inline constexpr int kCtrlPageUp = 132;

// Scan codes asked of the key-down test.
inline constexpr int kAltScan = 56;
inline constexpr int kF4Scan = 62;

inline constexpr char kEnter = 13;
inline constexpr char kEscape = 27;
inline constexpr char kBackspace = 8;
inline constexpr char kTab = 9;

inline std::string extended(int code) { return std::string{kExtendedLead, static_cast<char>(code)}; }

// The key that ends the program: the character 255 alone.
inline const std::string& quitKey() {
  static const std::string key(1, kExtendedLead);
  return key;
}

// Code of the second character of a two-character key, or -1.
inline int extendedCode(const std::string& key) {
  return key.size() == 2 ? static_cast<unsigned char>(key[1]) : -1;
}

}  // namespace almanouk::keys
