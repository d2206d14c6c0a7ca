#include "platform/KeyNames.h"

#include <array>

namespace almanouk {
namespace {

constexpr std::array kTable = {
    KeyName{"F1", KeySym::F1, Modifier::None, keys::kF1},
    KeyName{"F2", KeySym::F2, Modifier::None, keys::kF2},
    KeyName{"F3", KeySym::F3, Modifier::None, keys::kF3},
    KeyName{"F4", KeySym::F4, Modifier::None, keys::kF4},
    KeyName{"F5", KeySym::F5, Modifier::None, keys::kF5},
    KeyName{"F6", KeySym::F6, Modifier::None, keys::kF6},
    KeyName{"F7", KeySym::F7, Modifier::None, keys::kF7},
    KeyName{"F8", KeySym::F8, Modifier::None, keys::kF8},
    KeyName{"Up", KeySym::Up, Modifier::None, keys::kUp},
    KeyName{"Down", KeySym::Down, Modifier::None, keys::kDown},
    KeyName{"Left", KeySym::Left, Modifier::None, keys::kLeft},
    KeyName{"Right", KeySym::Right, Modifier::None, keys::kRight},
    KeyName{"PgUp", KeySym::PageUp, Modifier::None, keys::kPageUp},
    KeyName{"PgDn", KeySym::PageDown, Modifier::None, keys::kPageDown},
    KeyName{"Ctrl+PgUp", KeySym::PageUp, Modifier::Ctrl, keys::kCtrlPageUp},
    KeyName{"Ctrl+PgDn", KeySym::PageDown, Modifier::Ctrl, keys::kCtrlPageDown},
    KeyName{"Home", KeySym::Home, Modifier::None, keys::kHome},
    KeyName{"End", KeySym::End, Modifier::None, keys::kEnd},
    KeyName{"Ins", KeySym::Insert, Modifier::None, keys::kInsert},
    KeyName{"Del", KeySym::Delete, Modifier::None, keys::kDelete},
    KeyName{"Enter", KeySym::Enter, Modifier::None, keys::kEnter},
    KeyName{"Esc", KeySym::Escape, Modifier::None, keys::kEscape},
    KeyName{"Bksp", KeySym::Backspace, Modifier::None, keys::kBackspace},
    KeyName{"Tab", KeySym::Tab, Modifier::None, keys::kTab},
    KeyName{"Space", KeySym::None, Modifier::None, keys::kSpace},  // typed as text
    KeyName{"Ctrl+D", letterKey('d'), Modifier::Ctrl, keys::kCtrlD},
    KeyName{"Ctrl+I", letterKey('i'), Modifier::Ctrl, keys::kTab},
    KeyName{"Ctrl+K", letterKey('k'), Modifier::Ctrl, keys::kCtrlK},
    KeyName{"Ctrl+L", letterKey('l'), Modifier::Ctrl, keys::kCtrlL},
    KeyName{"Ctrl+P", letterKey('p'), Modifier::Ctrl, keys::kCtrlP},
    KeyName{"Alt+X", letterKey('x'), Modifier::Alt, keys::kAltX},
    KeyName{"Close", KeySym::WindowClose, Modifier::None, keys::kClose},
};

bool isLetter(KeySym sym) { return sym >= letterKey('a') && sym <= letterKey('z'); }

}  // namespace

std::span<const KeyName> keyNames() { return kTable; }

std::optional<Key> keyFor(KeySym sym, Modifier modifier, bool shift) {
  if (sym == KeySym::None) return std::nullopt;
  for (const KeyName& row : kTable)
    if (row.sym == sym && row.modifier == modifier) return row.key.withShift(shift);
  if (modifier == Modifier::Ctrl && isLetter(sym))
    return Key::character(static_cast<char>(static_cast<int>(sym) - 'a' + 1)).withShift(shift);
  return std::nullopt;
}

std::optional<Key> keyNamed(std::string_view name) {
  bool shift = false;
  if (name.starts_with("Shift+")) {
    shift = true;
    name.remove_prefix(6);
  }
  for (const KeyName& row : kTable)
    if (row.name == name) return row.key.withShift(shift);
  if (name.size() == 6 && name.starts_with("Ctrl+") && name[5] >= 'A' && name[5] <= 'Z')
    return keyFor(letterKey(static_cast<char>(name[5] - 'A' + 'a')), Modifier::Ctrl, shift);
  return std::nullopt;
}

std::string keyNameList() {
  std::string list;
  for (const KeyName& row : kTable) {
    if (!list.empty()) list += ", ";
    list += row.name;
  }
  return list + ", Ctrl+A..Ctrl+Z, Shift+ before any of them";
}

}  // namespace almanouk
