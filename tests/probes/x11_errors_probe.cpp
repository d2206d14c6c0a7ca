// What SDL does when a key arrives just before the window closes: an event
// sent over a second X connection to a window that is already gone. With the
// guard the program lives on; any other X error still ends it with status 1.
//   x11_errors_probe sent-to-closed | other-error
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstring>

#include "platform/sdl/X11Errors.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  almanouk::tolerateEventsToClosedWindows();
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 2;
  SDL_Window* window = SDL_CreateWindow("probe", 0, 0, 64, 64, 0);
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return 2;
  const Window closed = info.info.x11.window;
  SDL_DestroyWindow(window);

  Display* second = XOpenDisplay(nullptr);
  if (!second) return 2;
  if (std::strcmp(argv[1], "sent-to-closed") == 0) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = closed;
    event.xclient.format = 32;
    XSendEvent(second, closed, False, NoEventMask, &event);
  } else {
    XMapWindow(second, closed);
  }
  XSync(second, False);
  XCloseDisplay(second);
  SDL_Quit();
  std::puts("lived on");
  return 0;
}
