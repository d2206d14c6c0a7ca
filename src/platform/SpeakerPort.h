#pragma once

#include <cstdint>

namespace almanouk {

// The PC speaker's I/O ports: 0x42 (timer channel 2 data), 0x43 (timer mode)
// and 0x61 (bit 0 gate, bit 1 speaker data).
class SpeakerPort {
 public:
  static constexpr std::uint16_t kTimerData = 0x42;
  static constexpr std::uint16_t kTimerMode = 0x43;
  static constexpr std::uint16_t kControl = 0x61;
  static constexpr int kTimerClock = 1193181;

  virtual ~SpeakerPort() = default;
  virtual std::uint8_t readPort(std::uint16_t port) = 0;
  virtual void writePort(std::uint16_t port, std::uint8_t value) = 0;
};

// Follows the port writes of a tone and tells when the speaker goes on and
// off and at which divisor; the backends sound or record the tone from that.
class SpeakerPortState {
 public:
  std::uint8_t read(std::uint16_t port) const { return port == SpeakerPort::kControl ? control_ : 0; }
  // Returns true when the write changed what is heard (on, off or pitch).
  bool write(std::uint16_t port, std::uint8_t value);
  // The frequency heard now, 0 when silent.
  int audibleFrequency() const { return sounding() ? frequency() : 0; }
  bool sounding() const { return (control_ & 3) == 3 && divisor_ != 0; }
  int divisor() const { return divisor_; }
  // The pitch the timer sounds at the current divisor, in whole hertz.
  int frequency() const { return divisor_ ? (SpeakerPort::kTimerClock + divisor_ / 2) / divisor_ : 0; }

 private:
  std::uint8_t control_ = 0;
  int divisor_ = 0;
  int pendingLow_ = -1;
};

}  // namespace almanouk
