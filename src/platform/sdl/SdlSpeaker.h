#pragma once

#include <atomic>
#include <cstdint>

#include "platform/SpeakerPort.h"
#include "platform/posix/PcSpeakerPort.h"

namespace almanouk {

// The speaker tone of the real program: through the PC speaker's input device
// when this user may write to it, and otherwise (as on most desktops) as a
// square wave of the same pitch through the sound card, which the system
// mixes with an alarm sound that plays at the same time.
class SdlSpeaker : public SpeakerPort {
 public:
  SdlSpeaker() = default;
  ~SdlSpeaker() override;
  SdlSpeaker(const SdlSpeaker&) = delete;
  SdlSpeaker& operator=(const SdlSpeaker&) = delete;

  std::uint8_t readPort(std::uint16_t port) override { return state_.read(port); }
  void writePort(std::uint16_t port, std::uint8_t value) override;

 private:
  void start(int frequency);
  void stop();
  static void fill(void* self, std::uint8_t* stream, int length);

  PcSpeakerPort speaker_;
  SpeakerPortState state_;
  std::uint32_t device_ = 0;  // the sound card's stream while a tone sounds
  std::atomic<int> frequency_{0};
  std::uint32_t phase_ = 0;   // samples since the tone began, read only by the sound thread
};

}  // namespace almanouk
