#include "platform/sdl/X11Errors.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>

namespace almanouk {
namespace {

XErrorHandler previousHandler = nullptr;

int dropEventsToClosedWindows(Display* display, XErrorEvent* error) {
  if (error->error_code == BadWindow && error->request_code == X_SendEvent) return 0;
  return previousHandler ? previousHandler(display, error) : 0;
}

}  // namespace

void tolerateEventsToClosedWindows() {
  XErrorHandler previous = XSetErrorHandler(dropEventsToClosedWindows);
  if (previous != dropEventsToClosedWindows) previousHandler = previous;
}

}  // namespace almanouk
