#pragma once
// What a terminal sends, as the program's keys: the sequences its terminfo
// entry names, xterm's way of adding Shift, Alt and Ctrl to them, Esc before
// a key for Alt (as terminals send Alt+X), control characters for Ctrl with
// a letter, and UTF-8 text.

#include <string>
#include <string_view>
#include <vector>

#include "platform/Keys.h"
#include "platform/terminal/TerminalDescription.h"

namespace almanouk {

struct TerminalInput {
  enum class Kind { Key, Text, Close };
  Kind kind = Kind::Key;
  Key key;           // Kind::Key
  std::string text;  // Kind::Text: UTF-8 as typed
};

// Keys that some terminals cannot send, or keep for themselves (Shift+Page Up
// scrolls back in most; the Linux console has no Ctrl+Page Up), have a key of
// their own: F9 and F10 are Ctrl+Page Up and Down, F11 and F12 Shift+Page Up
// and Down. Alt+F4 asks the program to end, as the window's close button does.
class TerminalInputDecoder {
 public:
  explicit TerminalInputDecoder(std::vector<TerminalKey> keys);

  // What the bytes complete, in order. A sequence cut off at the end waits
  // for its rest; a lone Esc is the Esc key at once.
  std::vector<TerminalInput> feed(std::string_view bytes);
  // A sequence has begun and waits for its rest.
  bool waiting() const { return !pending_.empty(); }
  // The rest did not come: what waits is taken as it is.
  std::vector<TerminalInput> flush();

 private:
  enum class Match { None, Partial, Whole };
  struct Found {
    Match match = Match::None;
    const TerminalKey* key = nullptr;
  };
  Found lookUp(std::string_view bytes) const;
  // Decodes from the front of pending_; false when it has to wait for more.
  bool decodeOne(std::vector<TerminalInput>& out, bool final);
  void addKey(std::vector<TerminalInput>& out, KeySym sym, int modifiers) const;

  std::vector<TerminalKey> keys_;
  std::string pending_;
};

}  // namespace almanouk
