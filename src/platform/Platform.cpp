#include "platform/Platform.h"

#include <filesystem>
#include <utility>

#include "platform/Keys.h"
#include "platform/Text.h"
#include "platform/WindowMessageBox.h"

namespace almanouk {

Platform::Platform(std::string startFolder) : files_(std::move(startFolder)) {}

Platform::~Platform() = default;

std::string Platform::readKey() {
  pumpEvents();
  std::string key = keys_.pop();
  afterReadKey(!key.empty());
  return key;
}

std::string Platform::waitForKey(int pollMs) {
  std::string key;
  while ((key = readKey()).empty()) pause(pollMs);
  return key;
}

std::optional<std::string> Platform::readTypedLine(std::size_t maxLength) {
  std::string typed;
  for (;;) {
    std::string key = waitForKey(3);
    if (key.size() != 1) continue;  // extended keys type nothing
    char c = key[0];
    if (c == keys::kEnter) return typed;
    if (c == keys::kEscape) return std::nullopt;
    if (c == keys::kBackspace) {
      if (typed.empty()) continue;
      typed.pop_back();
      moveCursor(0, cursorColumn() > 1 ? cursorColumn() - 1 : 1);
      printText(" ");
      moveCursor(0, cursorColumn() > 1 ? cursorColumn() - 1 : 1);
    } else if (static_cast<unsigned char>(c) >= 32 && typed.size() < maxLength) {
      typed += c;
      printText(key);
    }
  }
}

void Platform::showMessageInWindow(std::string_view text, std::string_view caption) {
  const Surface::Saved under = surface_.save();
  drawWindowMessageBox(surface_, text, caption);
  for (;;) {
    std::string key = waitForKey(3);
    if (key.size() == 1 && (key[0] == keys::kEnter || key[0] == keys::kEscape || key[0] == ' ')) break;
  }
  surface_.restore(under);
}

std::string Platform::currentTime() { return localNow().clockText(); }

std::string Platform::currentDate() { return localNow().dateText(); }

std::string Platform::environmentValue(std::string_view name) {
  if (lowerAscii(name) != "appdata") return rawEnvironmentValue(std::string(name));
  for (const char* variable : {"APPDATA", "appdata", "XDG_DATA_HOME"}) {
    std::string value = rawEnvironmentValue(variable);
    if (!value.empty()) return value;
  }
  std::string home = rawEnvironmentValue("HOME");
  return home.empty() ? std::string() : home + "/.local/share";
}

// Compared as folders, not as names: "/home/anna/" or a link to it is home too.
bool Platform::workingFolderIsHome() {
  std::string home = environmentValue("HOME");
  std::error_code error;
  return !home.empty() && std::filesystem::equivalent(files_.workingFolder(), home, error);
}

ShellCommand toShellCommand(std::string_view line) {
  ShellCommand command;
  std::string rest(line);
  if (lowerAscii(left(rest, 6)) == "start ") {
    command.detached = true;
    rest = mid(rest, 7);
  }
  // The Windows text editor becomes whatever the desktop opens text files with.
  std::string head = lowerAscii(left(rest, 8));
  if (head == "notepad" || head == "notepad ") rest = "xdg-open" + mid(rest, 8);
  command.line = rest;
  return command;
}

}  // namespace almanouk
