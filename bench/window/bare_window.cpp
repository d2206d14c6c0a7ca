// A bare SDL window of the program's size, filled and shown once: the floor
// the program's own window start is measured against (scripts/start-bench.sh).

#include <SDL.h>

int main(int, char**) {
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
  SDL_Window* window = SDL_CreateWindow("Kaal", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 1280, 800,
                                        SDL_WINDOW_RESIZABLE);
  SDL_Surface* surface = window ? SDL_GetWindowSurface(window) : nullptr;
  if (!surface) return 1;
  SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 170));
  SDL_UpdateWindowSurface(window);
  for (SDL_Event event;;)
    if (SDL_WaitEventTimeout(&event, 1000) && event.type == SDL_QUIT) break;
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}
