#include "platform/sdl/SdlSoundPlayer.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace almanouk {
namespace {
// A sound that claims to play on for longer than it lasts (an audio device
// that stalls) ends all the same, so that an alarm never hangs the program.
constexpr std::uint32_t kSlackMs = 2000;
constexpr std::uint32_t kUnknownLengthMs = 60'000;

constexpr const char* kMixerLibrary = "libSDL2_mixer-2.0.so.0";

// The screen only says that the sound could not start; the reason goes to stderr.
bool failed() {
  std::fprintf(stderr, "almanouk: het geluid kan niet starten: %s\n", SDL_GetError());
  return false;
}

template <typename Function>
bool load(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(SDL_LoadFunction(library, name));
  return function != nullptr;
}

}  // namespace

// SDL2_mixer, and what it brings along (fluidsynth, glib, ...), costs memory
// and start-up time that only an alarm needs: it is loaded at the first
// sound, and stays.
struct SdlSoundPlayer::Mixer {
  decltype(&Mix_Init) init = nullptr;
  decltype(&Mix_Quit) quit = nullptr;
  decltype(&Mix_OpenAudio) openAudio = nullptr;
  decltype(&Mix_CloseAudio) closeAudio = nullptr;
  decltype(&Mix_LoadMUS) loadMusic = nullptr;
  decltype(&Mix_FreeMusic) freeMusic = nullptr;
  decltype(&Mix_PlayMusic) playMusic = nullptr;
  decltype(&Mix_PlayingMusic) playingMusic = nullptr;
  decltype(&Mix_HaltMusic) haltMusic = nullptr;
  decltype(&Mix_MusicDuration) musicDuration = nullptr;

  bool loadFrom(void* library) {
    return load(library, "Mix_Init", init) && load(library, "Mix_Quit", quit) &&
           load(library, "Mix_OpenAudio", openAudio) && load(library, "Mix_CloseAudio", closeAudio) &&
           load(library, "Mix_LoadMUS", loadMusic) && load(library, "Mix_FreeMusic", freeMusic) &&
           load(library, "Mix_PlayMusic", playMusic) && load(library, "Mix_PlayingMusic", playingMusic) &&
           load(library, "Mix_HaltMusic", haltMusic) && load(library, "Mix_MusicDuration", musicDuration);
  }
};

SdlSoundPlayer::SdlSoundPlayer(FileLayer& files) : files_(files) {}

SdlSoundPlayer::~SdlSoundPlayer() { close(); }

bool SdlSoundPlayer::loadMixer() {
  if (mixer_) return true;
  void* library = SDL_LoadObject(kMixerLibrary);
  if (!library) return false;
  auto mixer = std::make_unique<Mixer>();
  if (!mixer->loadFrom(library)) {
    SDL_UnloadObject(library);  // a library without the mixer's functions is no use
    return false;
  }
  mixer_ = std::move(mixer);
  return true;
}

bool SdlSoundPlayer::init(int mixRate, int, int) {
  if (open_) return true;
  if (!loadMixer()) return failed();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return failed();
  mixer_->init(MIX_INIT_MP3);
  if (mixer_->openAudio(mixRate, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
    failed();
    mixer_->quit();
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
  const std::string file = files_.resolve(path);
  Mix_Music* loaded = mixer_->loadMusic(file.c_str());
  if (!loaded) {
    std::fprintf(stderr, "almanouk: %s is niet af te spelen: %s\n", file.c_str(), SDL_GetError());
    return 0;
  }
  streams_[nextHandle_] = loaded;
  return nextHandle_++;
}

void SdlSoundPlayer::play(int handle) {
  Mix_Music* m = music(handle);
  if (!m) return;
  double seconds = mixer_->musicDuration(m);
  lengthMs_ = seconds > 0 ? static_cast<std::uint32_t>(seconds * 1000) + kSlackMs : kUnknownLengthMs;
  startTicks_ = SDL_GetTicks();
  if (mixer_->playMusic(m, 1) != 0) lengthMs_ = 0;
}

// Milliseconds played; the whole length once the music has stopped.
std::uint32_t SdlSoundPlayer::position(int handle) {
  if (!music(handle)) return 0;
  if (!mixer_->playingMusic()) return lengthMs_;
  return std::min(SDL_GetTicks() - startTicks_, lengthMs_);
}

std::uint32_t SdlSoundPlayer::length(int handle) { return music(handle) ? lengthMs_ : 0; }

void SdlSoundPlayer::stop(int handle) {
  if (music(handle)) mixer_->haltMusic();
}

void SdlSoundPlayer::closeStream(int handle) {
  if (Mix_Music* m = music(handle)) {
    mixer_->freeMusic(m);
    streams_.erase(handle);
  }
}

void SdlSoundPlayer::close() {
  if (!open_) return;
  for (auto& [handle, m] : streams_) mixer_->freeMusic(m);
  streams_.clear();
  mixer_->closeAudio();
  mixer_->quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  open_ = false;
}

}  // namespace almanouk
