#include "platform/sdl/SdlSoundPlayer.h"

#include <SDL.h>
#include <SDL_mixer.h>

namespace almanouk {
namespace {
// Position and length as the player reports them: not started or playing, and done.
constexpr std::uint32_t kLength = 1000;
}  // namespace

SdlSoundPlayer::~SdlSoundPlayer() { close(); }

bool SdlSoundPlayer::init(int mixRate, int, int) {
  if (open_) return true;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  Mix_Init(MIX_INIT_MP3);
  if (Mix_OpenAudio(mixRate, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
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
  if (Mix_Music* m = music(handle)) Mix_PlayMusic(m, 1);
}

std::uint32_t SdlSoundPlayer::position(int handle) {
  if (!music(handle)) return 0;
  return Mix_PlayingMusic() ? 0 : kLength;
}

std::uint32_t SdlSoundPlayer::length(int handle) { return music(handle) ? kLength : 0; }

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
