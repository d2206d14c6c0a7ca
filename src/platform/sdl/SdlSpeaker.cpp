#include "platform/sdl/SdlSpeaker.h"

#include <SDL.h>

namespace almanouk {
namespace {

constexpr int kRate = 44100;
constexpr std::int16_t kLevel = 6000;  // well below full scale: a beep, not a blast

}  // namespace

SdlSpeaker::~SdlSpeaker() { stop(); }

void SdlSpeaker::writePort(std::uint16_t port, std::uint8_t value) {
  if (speaker_.available()) {
    speaker_.writePort(port, value);
    return;
  }
  if (!state_.write(port, value)) return;
  if (state_.audibleFrequency() > 0) {
    start(state_.audibleFrequency());
  } else {
    stop();
  }
}

void SdlSpeaker::start(int frequency) {
  frequency_ = frequency;
  if (device_ != 0) return;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;  // no sound card either: the tone stays silent
  SDL_AudioSpec wanted{};
  wanted.freq = kRate;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = 1;
  wanted.samples = 512;
  wanted.callback = &SdlSpeaker::fill;
  wanted.userdata = this;
  phase_ = 0;
  device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
  if (device_ == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return;
  }
  SDL_PauseAudioDevice(device_, 0);
}

void SdlSpeaker::stop() {
  if (device_ == 0) return;
  SDL_CloseAudioDevice(device_);
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  device_ = 0;
}

// The timer's square wave: high for the first half of each period, low for the second.
void SdlSpeaker::fill(void* self, std::uint8_t* stream, int length) {
  auto* speaker = static_cast<SdlSpeaker*>(self);
  auto* samples = reinterpret_cast<std::int16_t*>(stream);
  const int frequency = speaker->frequency_.load();
  for (int i = 0; i < length / 2; ++i, ++speaker->phase_) {
    bool high = frequency > 0 && (static_cast<std::uint64_t>(speaker->phase_) * frequency * 2 / kRate) % 2 == 0;
    samples[i] = high ? kLevel : static_cast<std::int16_t>(-kLevel);
  }
}

}  // namespace almanouk
