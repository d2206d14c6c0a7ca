#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/SpeakerPort.h"

namespace almanouk {

// The speaker tone through Beep: while the ports say the speaker sounds, a
// thread of its own beeps at the pitch they set, in short pieces, so that
// the tone ends when the ports turn it off.
class Win32Speaker : public SpeakerPort {
 public:
  Win32Speaker();
  ~Win32Speaker() override;
  Win32Speaker(const Win32Speaker&) = delete;
  Win32Speaker& operator=(const Win32Speaker&) = delete;

  std::uint8_t readPort(std::uint16_t port) override { return state_.read(port); }
  void writePort(std::uint16_t port, std::uint8_t value) override;

 private:
  void beep();

  SpeakerPortState state_;
  std::mutex mutex_;
  std::condition_variable changed_;
  int frequency_ = 0;  // 0: silent
  bool ending_ = false;
  std::thread beeper_;
};

}  // namespace almanouk
