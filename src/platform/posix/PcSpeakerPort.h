#pragma once

#include "platform/SpeakerPort.h"

namespace almanouk {

// The speaker ports on Linux: the programmed tone is sounded through the PC
// speaker's input device when one is writable, and silence otherwise. The
// tone is switched off when the port goes away and on SIGINT/SIGTERM, so no
// tone outlives the program.
class PcSpeakerPort : public SpeakerPort {
 public:
  PcSpeakerPort();
  ~PcSpeakerPort() override;
  PcSpeakerPort(const PcSpeakerPort&) = delete;
  PcSpeakerPort& operator=(const PcSpeakerPort&) = delete;

  // This user may write to the PC speaker's input device.
  bool available() const { return device_ >= 0; }
  std::uint8_t readPort(std::uint16_t port) override { return state_.read(port); }
  void writePort(std::uint16_t port, std::uint8_t value) override;

 private:
  void sound(int frequency);

  SpeakerPortState state_;
  int device_ = -1;
};

}  // namespace almanouk
