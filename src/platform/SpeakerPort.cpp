#include "platform/SpeakerPort.h"

namespace almanouk {

bool SpeakerPortState::write(std::uint16_t port, std::uint8_t value) {
  int before = audibleFrequency();
  if (port == SpeakerPort::kControl) {
    control_ = value;
  } else if (port == SpeakerPort::kTimerMode) {
    pendingLow_ = -1;  // a new mode restarts the low-then-high byte sequence
  } else if (port == SpeakerPort::kTimerData) {
    if (pendingLow_ < 0) {
      pendingLow_ = value;
    } else {
      divisor_ = pendingLow_ | (value << 8);
      pendingLow_ = -1;
    }
  }
  return before != audibleFrequency();
}

}  // namespace almanouk
