#include "platform/terminal/TerminalDescription.h"

// ncurses' terminfo: its headers define a macro for every capability's long
// name (bell, lines, columns, ...), so they stay in this one file.
#include <curses.h>
#include <term.h>

#include <array>
#include <cstdio>
#include <regex>
#include <set>

namespace almanouk {
namespace {

struct KeyCapability {
  const char* name;
  KeySym sym;
  int modifiers;
};

// The keys terminfo names, and what each is on the PC keyboard. The keypad's
// corners (ka1 ...) are Home, Page Up, End and Page Down; a VT220's Find and
// Select stand where the PC has Home and End.
constexpr std::array kKeyCapabilities = {
    KeyCapability{"kf1", KeySym::F1, 0},        KeyCapability{"kf2", KeySym::F2, 0},
    KeyCapability{"kf3", KeySym::F3, 0},        KeyCapability{"kf4", KeySym::F4, 0},
    KeyCapability{"kf5", KeySym::F5, 0},        KeyCapability{"kf6", KeySym::F6, 0},
    KeyCapability{"kf7", KeySym::F7, 0},        KeyCapability{"kf8", KeySym::F8, 0},
    KeyCapability{"kf9", KeySym::F9, 0},        KeyCapability{"kf10", KeySym::F10, 0},
    KeyCapability{"kf11", KeySym::F11, 0},      KeyCapability{"kf12", KeySym::F12, 0},
    KeyCapability{"kcuu1", KeySym::Up, 0},      KeyCapability{"kcud1", KeySym::Down, 0},
    KeyCapability{"kcub1", KeySym::Left, 0},    KeyCapability{"kcuf1", KeySym::Right, 0},
    KeyCapability{"khome", KeySym::Home, 0},    KeyCapability{"kend", KeySym::End, 0},
    KeyCapability{"kpp", KeySym::PageUp, 0},    KeyCapability{"knp", KeySym::PageDown, 0},
    KeyCapability{"kich1", KeySym::Insert, 0},  KeyCapability{"kdch1", KeySym::Delete, 0},
    KeyCapability{"kbs", KeySym::Backspace, 0}, KeyCapability{"kent", KeySym::Enter, 0},
    KeyCapability{"ka1", KeySym::Home, 0},      KeyCapability{"ka3", KeySym::PageUp, 0},
    KeyCapability{"kc1", KeySym::End, 0},       KeyCapability{"kc3", KeySym::PageDown, 0},
    KeyCapability{"kfnd", KeySym::Home, 0},     KeyCapability{"kslt", KeySym::End, 0},
    // Shifted keys that have a name of their own.
    KeyCapability{"kcbt", KeySym::Tab, kShiftBit},      KeyCapability{"kri", KeySym::Up, kShiftBit},
    KeyCapability{"kind", KeySym::Down, kShiftBit},     KeyCapability{"kLFT", KeySym::Left, kShiftBit},
    KeyCapability{"kRIT", KeySym::Right, kShiftBit},    KeyCapability{"kHOM", KeySym::Home, kShiftBit},
    KeyCapability{"kEND", KeySym::End, kShiftBit},      KeyCapability{"kPRV", KeySym::PageUp, kShiftBit},
    KeyCapability{"kNXT", KeySym::PageDown, kShiftBit}, KeyCapability{"kIC", KeySym::Insert, kShiftBit},
    KeyCapability{"kDC", KeySym::Delete, kShiftBit},
};

// ncurses' extended names for the other modifiers: kUP5 is Ctrl+Up, the
// digit being xterm's modifier number (2 Shift, 3 Alt, 5 Ctrl, ...).
struct ExtendedKey {
  const char* base;
  KeySym sym;
};
constexpr std::array kExtendedKeys = {
    ExtendedKey{"UP", KeySym::Up},     ExtendedKey{"DN", KeySym::Down},       ExtendedKey{"LFT", KeySym::Left},
    ExtendedKey{"RIT", KeySym::Right}, ExtendedKey{"HOM", KeySym::Home},      ExtendedKey{"END", KeySym::End},
    ExtendedKey{"PRV", KeySym::PageUp}, ExtendedKey{"NXT", KeySym::PageDown}, ExtendedKey{"IC", KeySym::Insert},
    ExtendedKey{"DC", KeySym::Delete},
};
constexpr int kFirstModifierNumber = 2;
constexpr int kLastModifierNumber = 8;

std::string stringCapability(const char* name) {
  const char* value = tigetstr(name);
  if (value == nullptr || value == reinterpret_cast<const char*>(-1)) return {};
  return value;
}

int numberCapability(const char* name) {
  const int value = tigetnum(name);
  return value < 0 ? 0 : value;
}

bool flagCapability(const char* name) { return tigetflag(name) > 0; }

// A key with Shift, Alt or Ctrl, as xterm sends it and terminals that follow
// it do (VTE, tmux, konsole ...), where terminfo names only the plain key:
// CSI n ~ becomes CSI n ; m ~, and CSI or SS3 with one letter CSI 1 ; m letter.
void addModifiedForms(std::vector<TerminalKey>& keys, std::set<std::string>& known) {
  static const std::regex kTilde("\x1b\\[([0-9]+)~");
  static const std::regex kLetter("\x1b[\\[O]([A-Z])");
  const std::size_t plain = keys.size();
  for (std::size_t i = 0; i < plain; ++i) {
    const TerminalKey key = keys[i];
    if (key.modifiers != 0) continue;
    std::smatch match;
    for (int number = kFirstModifierNumber; number <= kLastModifierNumber; ++number) {
      std::string modified;
      if (std::regex_match(key.bytes, match, kTilde)) {
        modified = "\x1b[" + match[1].str() + ";" + std::to_string(number) + "~";
      } else if (std::regex_match(key.bytes, match, kLetter)) {
        modified = "\x1b[1;" + std::to_string(number) + match[1].str();
      } else {
        break;
      }
      if (known.insert(modified).second) keys.push_back({modified, key.sym, number - 1});
    }
  }
}

std::vector<TerminalKey> readKeys() {
  std::vector<TerminalKey> keys;
  std::set<std::string> known;
  auto add = [&](const std::string& bytes, KeySym sym, int modifiers) {
    if (!bytes.empty() && known.insert(bytes).second) keys.push_back({bytes, sym, modifiers});
  };
  for (const KeyCapability& key : kKeyCapabilities) add(stringCapability(key.name), key.sym, key.modifiers);
  for (const ExtendedKey& key : kExtendedKeys) {
    add(stringCapability(("k" + std::string(key.base)).c_str()), key.sym, kShiftBit);
    for (int number = 3; number <= kLastModifierNumber; ++number)
      add(stringCapability(("k" + std::string(key.base) + std::to_string(number)).c_str()), key.sym, number - 1);
  }
  addModifiedForms(keys, known);
  return keys;
}

std::string format(const std::string& pattern, int first, int second = 0) {
  if (pattern.empty()) return {};
  const char* done = tiparm(pattern.c_str(), first, second);
  return done ? std::string(done) : std::string();
}

}  // namespace

std::string TerminalDescription::cursorAddress(int row, int column) const {
  return format(cursorAddressFormat, row, column);
}

std::string TerminalDescription::foreground(int colour) const { return format(foregroundFormat, colour); }

std::string TerminalDescription::background(int colour) const { return format(backgroundFormat, colour); }

std::optional<TerminalDescription> describeTerminal(const std::string& name, std::string& whyNot) {
  if (name.empty()) {
    whyNot = "TERM is niet gezet: welke terminal dit is, is onbekend";
    return std::nullopt;
  }
  use_extended_names(TRUE);
  int error = 0;
  if (setupterm(name.c_str(), -1, &error) != OK) {
    whyNot = "terminal \"" + name + "\" is hier onbekend (geen terminfo-beschrijving)";
    return std::nullopt;
  }
  TerminalDescription description;
  description.name = name;
  description.cursorAddressFormat = stringCapability("cup");
  if (description.cursorAddressFormat.empty() || flagCapability("hc")) {
    whyNot = "terminal \"" + name + "\" kan geen tekens op een plaats zetten";
    del_curterm(cur_term);
    return std::nullopt;
  }
  description.enterAlternateScreen = stringCapability("smcup");
  description.leaveAlternateScreen = stringCapability("rmcup");
  description.keypadOn = stringCapability("smkx");
  description.keypadOff = stringCapability("rmkx");
  description.metaOn = stringCapability("smm");
  description.metaOff = stringCapability("rmm");
  description.clearScreen = stringCapability("clear");
  description.resetAttributes = stringCapability("sgr0");
  description.bold = stringCapability("bold");
  description.reverse = stringCapability("rev");
  description.hideCursor = stringCapability("civis");
  description.showCursor = stringCapability("cnorm");
  description.ringBell = stringCapability("bel");
  description.autoMarginsOff = stringCapability("rmam");
  description.autoMarginsOn = stringCapability("smam");
  description.foregroundFormat = stringCapability("setaf");
  description.backgroundFormat = stringCapability("setab");
  if (!description.foregroundFormat.empty() && !description.backgroundFormat.empty())
    description.colours = numberCapability("colors");
  constexpr int kDirectColours = 1 << 24;
  description.directColour = description.colours >= kDirectColours;
  description.autoMargins = flagCapability("am");
  description.lateWrap = flagCapability("xenl");
  description.rows = numberCapability("lines");
  description.width = numberCapability("cols");
  description.keys = readKeys();
  del_curterm(cur_term);
  return description;
}

}  // namespace almanouk
