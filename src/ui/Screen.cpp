#include "ui/Screen.h"

#include "platform/Platform.h"

namespace almanouk {

namespace {

// An input the screen is in (a description being typed) may take a leave key
// of its own before the screen itself is left, and a save that fails keeps it
// open once; a close request ends the program in order whatever comes of it.
void leave(Screen& screen) {
  constexpr int kTries = 3;
  for (int i = 0; i < kTries; ++i) {
    if (!screen.handle(screen.leaveKey())) return;
    screen.draw();
  }
}

}  // namespace

ScreenResult runModal(Platform& platform, Screen& screen) {
  screen.open();
  bool closing = false;
  for (;;) {
    screen.draw();
    Key key = screen.hasWork() ? platform.readKey() : platform.waitForKey();
    if (key.empty()) {
      screen.continueWork();
    } else if (key.is(keys::kClose)) {
      closing = true;
      leave(screen);
      break;
    } else if (!screen.handle(key)) {
      break;
    }
  }
  ScreenResult result = screen.result();
  if (closing) result.next = Input{{}, Command::Quit};
  return result;
}

}  // namespace almanouk
