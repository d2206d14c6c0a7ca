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

bool setX11WindowTitle(SDL_Window* window, const std::string& title) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  Display* display = info.info.x11.display;
  const Window xwindow = info.info.x11.window;
  // The old title property as well, for window managers that read only that
  // one; in UTF-8 as toolkits set it, since no other text style holds every
  // character without the locale.
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  const auto* bytes = reinterpret_cast<const unsigned char*>(title.data());
  const int length = static_cast<int>(title.size());
  for (Atom name : {XInternAtom(display, "_NET_WM_NAME", False), Atom{XA_WM_NAME}})
    XChangeProperty(display, xwindow, name, utf8, 8, PropModeReplace, bytes, length);
  XFlush(display);
  return true;
}

namespace {

void sendToRoot(Display* display, Window window, const char* message, long first, long second) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, message, False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = first;
  event.xclient.data.l[1] = second;
  XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

}  // namespace

bool activateX11Window(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  Display* display = info.info.x11.display;
  const Window xwindow = info.info.x11.window;
  constexpr long kFromPager = 2;
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* value = nullptr;
  if (XGetWindowProperty(display, DefaultRootWindow(display), XInternAtom(display, "_NET_CURRENT_DESKTOP", False), 0, 1,
                         False, XA_CARDINAL, &type, &format, &count, &after, &value) == Success &&
      value && count == 1 && format == 32)
    sendToRoot(display, xwindow, "_NET_WM_DESKTOP", *reinterpret_cast<long*>(value), kFromPager);
  if (value) XFree(value);
  sendToRoot(display, xwindow, "_NET_ACTIVE_WINDOW", kFromPager, CurrentTime);
  XFlush(display);
  return true;
}

}  // namespace almanouk
