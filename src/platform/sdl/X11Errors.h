#pragma once
// What the window needs of X11 beyond SDL.

#include <string>

struct SDL_Window;

namespace almanouk {

// SDL wakes its own event wait by sending an event to the window over a
// second X connection. When a key arrives just before the window closes, the
// server may see that event after the window is gone, and Xlib's default
// handler then ends the program with status 1 as it closes. Installed before
// SDL starts, so that SDL's handler hands such errors on to this one: a
// BadWindow for a sent event is dropped, every other error ends the program
// as before.
void tolerateEventsToClosedWindows();

// The title in UTF-8 whatever the program's locale: SDL converts it through
// the locale, and under the C locale the desktop's title stays as it was.
void setUtf8WindowTitle(SDL_Window* window, const std::string& title);

}  // namespace almanouk
