#include "platform/sdl/X11Errors.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
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

void setUtf8WindowTitle(SDL_Window* window, const std::string& title) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
  Display* display = info.info.x11.display;
  const auto* bytes = reinterpret_cast<const unsigned char*>(title.data());
  XChangeProperty(display, info.info.x11.window, XInternAtom(display, "_NET_WM_NAME", False),
                  XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace, bytes, static_cast<int>(title.size()));
  XFlush(display);
}

}  // namespace almanouk
