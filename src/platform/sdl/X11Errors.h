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

// Sets the title on an X11 window whatever the program's locale; false when
// the window is not on X11. SDL converts the title through the locale: under
// the C locale a title with a dash it cannot convert is never set, and the
// converted text is leaked at every change.
bool setX11WindowTitle(SDL_Window* window, const std::string& title);

// Brings an X11 window onto the current workspace and asks the window
// manager to activate it as a task bar or pager would (on a user's request,
// which focus-stealing prevention lets through); false when not on X11.
bool activateX11Window(SDL_Window* window);

}  // namespace almanouk
