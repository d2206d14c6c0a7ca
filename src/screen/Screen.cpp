#include "screen/Screen.h"

#include "platform/Platform.h"

namespace almanouk {

ScreenResult runModal(Platform& platform, Screen& screen) {
  screen.open();
  do {
    screen.draw();
  } while (screen.handle(platform.waitForKey()));
  return screen.result();
}

}  // namespace almanouk
