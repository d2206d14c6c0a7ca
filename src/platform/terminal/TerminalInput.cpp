#include "platform/terminal/TerminalInput.h"

#include <algorithm>

namespace almanouk {
namespace {

constexpr char kEsc = '\x1b';
constexpr unsigned char kDel = 0x7F;

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// How many bytes the UTF-8 sequence that starts with this byte has; 1 for a byte that starts none.
std::size_t utf8Length(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF7) return 4;
  if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
  if (lead >= 0xC0) return 2;
  return 1;
}

// The end of a control sequence (CSI parameters, then a final byte); 0 when it has not ended yet.
std::size_t controlSequenceEnd(std::string_view bytes) {
  for (std::size_t i = 2; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c >= 0x40 && c <= 0x7E) return i + 1;
    if (c < 0x20 || c > 0x3F) return i;  // not a sequence after all: it ends before this byte
  }
  return 0;
}

}  // namespace

TerminalInputDecoder::TerminalInputDecoder(std::vector<TerminalKey> keys) : keys_(std::move(keys)) {}

TerminalInputDecoder::Found TerminalInputDecoder::lookUp(std::string_view bytes) const {
  Found found;
  for (const TerminalKey& key : keys_) {
    if (key.bytes.size() > bytes.size()) {
      if (key.bytes.compare(0, bytes.size(), bytes) == 0) return {Match::Partial, nullptr};
    } else if (bytes.compare(0, key.bytes.size(), key.bytes) == 0 &&
               (!found.key || key.bytes.size() > found.key->bytes.size())) {
      found = {Match::Whole, &key};
    }
  }
  return found;
}

std::vector<TerminalInput> TerminalInputDecoder::feed(std::string_view bytes) {
  pending_ += bytes;
  std::vector<TerminalInput> out;
  while (!pending_.empty() && decodeOne(out, false)) continue;
  return out;
}

std::vector<TerminalInput> TerminalInputDecoder::flush() {
  std::vector<TerminalInput> out;
  while (!pending_.empty())
    if (!decodeOne(out, true)) pending_.erase(0, 1);  // what cannot be read at all is left out
  return out;
}

void TerminalInputDecoder::addKey(std::vector<TerminalInput>& out, KeySym sym, int modifiers) const {
  const bool shift = modifiers & kShiftBit, alt = modifiers & kAltBit, ctrl = modifiers & kCtrlBit;
  if (alt && sym == KeySym::F4) {
    out.push_back({TerminalInput::Kind::Close, {}, {}});
    return;
  }
  if (!alt && !ctrl && !shift) {
    switch (sym) {
      case KeySym::F9: out.push_back({TerminalInput::Kind::Key, keys::kCtrlPageUp, {}}); return;
      case KeySym::F10: out.push_back({TerminalInput::Kind::Key, keys::kCtrlPageDown, {}}); return;
      case KeySym::F11: out.push_back({TerminalInput::Kind::Key, keys::kPageUp.withShift(), {}}); return;
      case KeySym::F12: out.push_back({TerminalInput::Kind::Key, keys::kPageDown.withShift(), {}}); return;
      default: break;
    }
  }
  // Alt before Ctrl, as the window takes them.
  const Modifier modifier = alt ? Modifier::Alt : ctrl ? Modifier::Ctrl : Modifier::None;
  if (std::optional<Key> key = keyFor(sym, modifier, shift)) out.push_back({TerminalInput::Kind::Key, *key, {}});
}

bool TerminalInputDecoder::decodeOne(std::vector<TerminalInput>& out, bool final) {
  const std::string_view bytes = pending_;
  auto consume = [&](std::size_t count) {
    pending_.erase(0, std::min(count, pending_.size()));
    return true;
  };
  const bool loneEsc = bytes.size() == 1 && bytes[0] == kEsc;
  const Found found = lookUp(bytes);
  if (found.match == Match::Partial && !final && !loneEsc) return false;
  if (found.match == Match::Whole) {
    addKey(out, found.key->sym, found.key->modifiers);
    return consume(found.key->bytes.size());
  }

  const auto first = static_cast<unsigned char>(bytes[0]);
  if (first == static_cast<unsigned char>(kEsc)) {
    if (bytes.size() == 1) {
      addKey(out, KeySym::Escape, 0);
      return consume(1);
    }
    const std::string_view rest = bytes.substr(1);
    // Esc before a key's own sequence: that key with Alt.
    if (rest[0] == kEsc) {
      const Found withAlt = lookUp(rest);
      if (withAlt.match == Match::Partial && !final) return false;
      if (withAlt.match == Match::Whole) {
        addKey(out, withAlt.key->sym, withAlt.key->modifiers | kAltBit);
        return consume(1 + withAlt.key->bytes.size());
      }
      addKey(out, KeySym::Escape, 0);
      return consume(1);
    }
    // A sequence this terminal's description does not name: dropped whole, never typed.
    if (rest[0] == '[') {
      if (const std::size_t end = controlSequenceEnd(bytes)) return consume(end);
      return final ? consume(bytes.size()) : false;
    }
    if (rest[0] == 'O') {
      if (bytes.size() >= 3) return consume(3);
      return final ? consume(bytes.size()) : false;
    }
    // Esc before a character: Alt with that key. Only Alt+X means something.
    const auto second = static_cast<unsigned char>(rest[0]);
    if (second < 0x80) {
      if (isLetter(rest[0])) {
        const bool upper = rest[0] >= 'A' && rest[0] <= 'Z';
        addKey(out, letterKey(static_cast<char>(upper ? rest[0] - 'A' + 'a' : rest[0])),
               kAltBit | (upper ? kShiftBit : 0));
      }
      return consume(2);
    }
    const std::size_t length = utf8Length(second);
    if (rest.size() < length && !final) return false;
    return consume(1 + length);
  }

  if (first < 0x20 || first == kDel) {
    switch (first) {
      case '\r': addKey(out, KeySym::Enter, 0); break;
      case '\t': addKey(out, KeySym::Tab, 0); break;
      case '\b':
      case kDel: addKey(out, KeySym::Backspace, 0); break;
      default:
        // Ctrl with a letter; Ctrl+Space and the like mean nothing.
        if (first >= 1 && first <= 26) out.push_back({TerminalInput::Kind::Key, Key::character(static_cast<char>(first)), {}});
        break;
    }
    return consume(1);
  }

  // Text, up to the next control character; a character cut off at the end waits for its rest.
  std::size_t end = 0;
  while (end < bytes.size()) {
    const auto c = static_cast<unsigned char>(bytes[end]);
    if (c < 0x20 || c == kDel) break;
    const std::size_t length = c < 0x80 ? 1 : utf8Length(c);
    if (end + length > bytes.size() && !final) break;
    end = std::min(end + length, bytes.size());
  }
  if (end == 0) return false;
  out.push_back({TerminalInput::Kind::Text, {}, std::string(bytes.substr(0, end))});
  return consume(end);
}

}  // namespace almanouk
