#pragma once
// What the terminal backend needs to know of a terminal, read from its
// terminfo entry (through ncurses): how to move, colour and clear, how to
// switch to the alternate screen and back, and what its keys send.

#include <optional>
#include <string>
#include <vector>

#include "platform/KeyNames.h"

namespace almanouk {

// Modifier bits as xterm numbers them in its key sequences (the number less one).
inline constexpr int kShiftBit = 1;
inline constexpr int kAltBit = 2;
inline constexpr int kCtrlBit = 4;

// One key sequence the terminal sends.
struct TerminalKey {
  std::string bytes;
  KeySym sym = KeySym::None;
  int modifiers = 0;  // kShiftBit | kAltBit | kCtrlBit
};

struct TerminalDescription {
  std::string name;
  // Empty where the terminal has none.
  std::string enterAlternateScreen, leaveAlternateScreen;  // smcup, rmcup
  std::string keypadOn, keypadOff;                         // smkx, rmkx
  std::string metaOn, metaOff;                             // smm, rmm
  std::string clearScreen, resetAttributes, bold, reverse;  // clear, sgr0, bold, rev
  std::string hideCursor, showCursor, ringBell;            // civis, cnorm, bel
  std::string autoMarginsOff, autoMarginsOn;               // rmam, smam
  std::string cursorAddressFormat;                         // cup
  std::string foregroundFormat, backgroundFormat;          // setaf, setab
  int colours = 0;              // colors; 0 for none
  bool directColour = false;     // setaf and setab take 0xRRGGBB
  bool autoMargins = false;      // am
  bool lateWrap = false;         // xenl: the line wraps only at the next character
  int rows = 0, width = 0;       // lines and cols as terminfo says, for when the system cannot tell
  std::vector<TerminalKey> keys;

  // The sequences with their parameters put in; rows and columns 0-based.
  std::string cursorAddress(int row, int column) const;
  std::string foreground(int colour) const;
  std::string background(int colour) const;
};

// The description of the terminal named (TERM); nothing, with the reason in
// Dutch, when terminfo has no usable entry for it.
std::optional<TerminalDescription> describeTerminal(const std::string& name, std::string& whyNot);

}  // namespace almanouk
