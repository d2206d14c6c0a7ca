#pragma once
// Key values: empty, one character, or an extended key of two characters
// (255 and the key's scan code). Handlers look at the length and the second
// character only, which lets the program make pseudo keys of its own.

#include <string>
#include <string_view>

namespace almanouk::keys {

inline constexpr char kExtendedLead = '\xFF';

// Scan codes of the extended keys.
inline constexpr int kAltX = 45;
inline constexpr int kF1 = 59;
inline constexpr int kF2 = 60;
inline constexpr int kF3 = 61;
inline constexpr int kF4 = 62;
inline constexpr int kF5 = 63;
inline constexpr int kF6 = 64;
inline constexpr int kF7 = 65;
inline constexpr int kF8 = 66;
inline constexpr int kF9 = 67;
inline constexpr int kF10 = 68;
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

inline constexpr char kCtrlD = 4;
inline constexpr char kBackspace = 8;
inline constexpr char kTab = 9;  // also Ctrl+I
inline constexpr char kCtrlK = 11;
inline constexpr char kCtrlL = 12;
inline constexpr char kEnter = 13;
inline constexpr char kCtrlP = 16;
inline constexpr char kEscape = 27;

// The key that ends the program: the character 255 alone.
inline constexpr std::string_view kQuit{"\xFF", 1};

// Pseudo keys: two characters whose first is a blank or character 0 and whose
// second selects the action, as an extended key's code would.
inline constexpr std::string_view kMidnight{" M", 2};    // the date changed: handled as Right
inline constexpr std::string_view kToday{" =", 2};       // handled as F3 in the following pass
inline constexpr std::string_view kDiary{"\0?", 2};      // Enter: handled as F5
inline constexpr std::string_view kSettings{"\0>", 2};   // the reload entry reopens the settings screen
inline constexpr std::string_view kSettingsNext{" >", 2};  // F4 handed back by a sub-screen
inline constexpr std::string_view kListEditorNext{" <", 2};  // F2 handed back by the settings screen
inline constexpr std::string_view kNothing{"  ", 2};     // matches no action
// A one-character key that matches no action and only causes one more pass.
inline constexpr std::string_view kOneMorePass{"b", 1};
// The interlude pass after a month crossing: a key that matches no action.
// (Were it a blank it would act as the Space that silences the next alarm.)
inline constexpr std::string_view kInterlude{"\0", 1};

inline std::string extended(int code) { return std::string{kExtendedLead, static_cast<char>(code)}; }

// Code of the second character of a two-character key, or -1.
inline int extendedCode(std::string_view key) {
  return key.size() == 2 ? static_cast<unsigned char>(key[1]) : -1;
}

inline bool isCharacter(std::string_view key, char c) { return key.size() == 1 && key[0] == c; }

}  // namespace almanouk::keys
