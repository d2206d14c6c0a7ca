#include "platform/Platform.h"

#include <utility>

#include "platform/Keys.h"
#include "platform/Paths.h"
#include "platform/System.h"
#include "platform/Text.h"
#include "platform/WindowMessageBox.h"

namespace almanouk {
namespace {

// A wait for a key with nothing else to do wakes this seldom; a backend that
// can sleep until input arrives does so instead.
constexpr int kIdleWaitMs = 60'000;

}  // namespace

Platform::Platform(std::string startFolder) : files_(std::move(startFolder)) {}

Platform::~Platform() = default;

Key Platform::readKey() {
  pumpEvents();
  answerRaiseRequest();
  Key key = keys_.pop();
  afterReadKey(!key.empty());
  return key;
}

// At most once a second: the request is a file another start of the program made.
void Platform::answerRaiseRequest() {
  if (windowFiles_.raiseRequest.empty()) return;
  const double now = elapsedSeconds();
  if (now < nextRaiseCheck_) return;
  nextRaiseCheck_ = now + 1;
  if (!files_.fileExists(windowFiles_.raiseRequest)) return;
  files_.discardFile(windowFiles_.raiseRequest);
  raiseWindow();
}

Key Platform::waitForKey() {
  for (;;) {
    Key key = readKey();
    if (!key.empty()) return key;
    awaitInput(kIdleWaitMs);
  }
}

void Platform::setWindowTitle(std::string_view titleUtf8) {
  if (titleUtf8 == title_) return;
  title_ = titleUtf8;
  showWindowTitle();
}

void Platform::queueTypedText(std::string_view utf8) {
  for (char c : utf8ToCp437(utf8))
    if (Key::character(c).isPrintable()) keys_.push(Key::character(c));
}

int Platform::showMessageBox(std::string_view messageUtf8, std::string_view captionUtf8,
                             const std::vector<std::string>& buttons) {
  return messageBox(messageUtf8, captionUtf8, buttons.empty() ? std::vector<std::string>{"OK"} : buttons);
}

int Platform::showMessageInWindow(std::string_view messageUtf8, std::string_view captionUtf8,
                                  const std::vector<std::string>& buttons) {
  const Surface::Saved under = surface_.save();
  drawWindowMessageBox(surface_, messageUtf8, captionUtf8, buttons);
  int chosen = -1;
  while (chosen < 0) {
    Key key = waitForKey();
    // A close request (the session ends) closes the box and ends the program in order.
    if (key.is(keys::kClose)) {
      putBack(key);
      chosen = 0;
    }
    if (key.is(keys::kEnter) || key.is(keys::kEscape) || key.is(keys::kSpace)) chosen = 0;
    for (std::size_t i = 1; i < buttons.size() && chosen < 0; ++i)
      if (!buttons[i].empty() && key.isCharacter() && lowerAscii(std::string(1, key.character())) == lowerAscii(buttons[i].substr(0, 1)))
        chosen = static_cast<int>(i);
  }
  surface_.restore(under);
  return chosen;
}

std::string Platform::timeZone() { return os::localTimeZone(); }

std::string Platform::forTextViewer(std::string_view textCp437) const { return cp437ToUtf8(textCp437); }

std::string Platform::environmentValue(std::string_view name) {
  if (lowerAscii(name) != "appdata") return rawEnvironmentValue(std::string(name));
  for (const char* variable : {"APPDATA", "appdata", "XDG_DATA_HOME"}) {
    std::string value = rawEnvironmentValue(variable);
    if (!value.empty()) return value;
  }
  std::string home = rawEnvironmentValue("HOME");
  return home.empty() ? std::string() : home + "/.local/share";
}

std::string Platform::dataFolder() { return environmentValue("appdata") + kPathSeparator + "Almanouk"; }

// Compared as folders, not as names: "/home/anna/" or a link to it is home too.
bool Platform::workingFolderIsHome() {
  std::string home = homeFolder();
  return !home.empty() && os::sameFile(files_.workingFolder(), home);
}

}  // namespace almanouk
