#include "platform/headless/KeyScript.h"

#include <cctype>

#include "platform/KeyNames.h"
#include "platform/Text.h"

namespace almanouk {
namespace {

bool parseWait(std::string_view spec, std::int64_t& ms) {
  std::int64_t scale = 1000;
  if (spec.size() > 2 && spec.substr(spec.size() - 2) == "ms") {
    scale = 1, spec.remove_suffix(2);
  } else if (!spec.empty() && spec.back() == 'h') {
    scale = 3'600'000, spec.remove_suffix(1);
  } else if (!spec.empty() && spec.back() == 'm') {
    scale = 60'000, spec.remove_suffix(1);
  } else if (!spec.empty() && spec.back() == 's') {
    spec.remove_suffix(1);
  }
  if (spec.empty() || spec.size() > 12) return false;
  std::int64_t n = 0;
  for (char c : spec) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    n = n * 10 + (c - '0');
  }
  ms = n * scale;
  return true;
}

// Appends the keys of a quoted text; pos is just after the opening quote.
bool parseText(std::string_view text, std::size_t& pos, std::vector<ScriptItem>& items) {
  std::string typed;
  while (pos < text.size() && text[pos] != '"') {
    if (text[pos] == '\\' && pos + 1 < text.size() && (text[pos + 1] == '"' || text[pos + 1] == '\\')) ++pos;
    typed += text[pos++];
  }
  if (pos >= text.size()) return false;
  ++pos;
  // Typed as on a keyboard: what the code page lacks is spelled with what it has.
  for (char c : utf8ToCp437(typed)) items.push_back({ScriptItem::Kind::Key, Key::character(c), 0, {}});
  return true;
}

}  // namespace

std::optional<KeyScript> KeyScript::parse(std::string_view text, std::string* error) {
  KeyScript script;
  auto fail = [&](const std::string& message) -> std::optional<KeyScript> {
    if (error) *error = message;
    return std::nullopt;
  };
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (std::isspace(static_cast<unsigned char>(text[pos]))) {
      ++pos;
      continue;
    }
    if (text[pos] == '"') {
      ++pos;
      if (!parseText(text, pos, script.items)) return fail("unterminated text in key script");
      continue;
    }
    std::size_t end = pos;
    while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end]))) ++end;
    std::string token(text.substr(pos, end - pos));
    pos = end;
    ScriptItem item;
    if (token.rfind("wait:", 0) == 0 || token.rfind("jump:", 0) == 0) {
      item.kind = token[0] == 'w' ? ScriptItem::Kind::Wait : ScriptItem::Kind::Jump;
      if (!parseWait(std::string_view(token).substr(5), item.milliseconds)) return fail("bad time: " + token);
    } else if (token.rfind("snap:", 0) == 0) {
      item.kind = ScriptItem::Kind::Snap;
      item.name = token.substr(5);
      // The name becomes a file name in the dump folder: keep it to one plain component.
      bool plain = !item.name.empty() && item.name.find_first_not_of(
          "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_-.") == std::string::npos;
      if (!plain || item.name[0] == '.') return fail("bad snap name: " + token);
    } else if (token == "focus:in" || token == "focus:out") {
      item.kind = ScriptItem::Kind::Focus;
      item.name = token.substr(6);
    } else if (token == "notification:ok" || token == "notification:snooze" || token == "notification:close") {
      item.kind = ScriptItem::Kind::Answer;
      item.name = token.substr(13);
    } else if (token == "Alt+F4") {
      item.kind = ScriptItem::Kind::HoldAltF4;
    } else if (std::optional<Key> named = keyNamed(token)) {
      item.key = *named;
    } else {
      return fail("unknown key in script: " + token);
    }
    script.items.push_back(std::move(item));
  }
  return script;
}

}  // namespace almanouk
