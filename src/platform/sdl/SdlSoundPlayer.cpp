#include "platform/sdl/SdlSoundPlayer.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstdio>

namespace almanouk {
namespace {
// A sound that claims to play on for longer than it lasts (an audio device
// that stalls) ends all the same, so that an alarm never hangs the program.
constexpr std::uint32_t kSlackMs = 2000;
constexpr std::uint32_t kUnknownLengthMs = 60'000;

// The screen only says that the sound could not start; the reason goes to stderr.
bool failed() {
  std::fprintf(stderr, "almanouk: sound could not start: %s\n", SDL_GetError());
  return false;
}
}  // namespace

SdlSoundPlayer::~SdlSoundPlayer() { close(); }

bool SdlSoundPlayer::init(int mixRate, int, int) {
  if (open_) return true;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return failed();
  Mix_Init(MIX_INIT_MP3);
  if (Mix_OpenAudio(mixRate, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
    failed();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  open_ = true;
  return true;
}

Mix_Music* SdlSoundPlayer::music(int handle) const {
  auto found = streams_.find(handle);
  return found == streams_.end() ? nullptr : found->second;
}

int SdlSoundPlayer::openStream(const std::string& path) {
  if (!open_ || path.empty()) return 0;
  Mix_Music* loaded = Mix_LoadMUS(files_.resolve(path).c_str());
  if (!loaded) return 0;
  streams_[nextHandle_] = loaded;
  return nextHandle_++;
}

void SdlSoundPlayer::play(int handle) {
  Mix_Music* m = music(handle);
  if (!m) return;
  double seconds = Mix_MusicDuration(m);
  lengthMs_ = seconds > 0 ? static_cast<std::uint32_t>(seconds * 1000) + kSlackMs : kUnknownLengthMs;
  startTicks_ = SDL_GetTicks();
  if (Mix_PlayMusic(m, 1) != 0) lengthMs_ = 0;
}

// Milliseconds played; the whole length once the music has stopped.
std::uint32_t SdlSoundPlayer::position(int handle) {
  if (!music(handle)) return 0;
  if (!Mix_PlayingMusic()) return lengthMs_;
  return std::min(SDL_GetTicks() - startTicks_, lengthMs_);
}

std::uint32_t SdlSoundPlayer::length(int handle) { return music(handle) ? lengthMs_ : 0; }

void SdlSoundPlayer::stop(int handle) {
  if (music(handle)) Mix_HaltMusic();
}

void SdlSoundPlayer::closeStream(int handle) {
  if (Mix_Music* m = music(handle)) {
    Mix_FreeMusic(m);
    streams_.erase(handle);
  }
}

void SdlSoundPlayer::close() {
  if (!open_) return;
  for (auto& [handle, m] : streams_) Mix_FreeMusic(m);
  streams_.clear();
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  open_ = false;
}

}  // namespace almanouk
