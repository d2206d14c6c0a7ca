#pragma once

#include <string>

#include "platform/SoundPlayer.h"

namespace almanouk {

// MP3 files through the system's own player (MCI): no library to ship.
// A stream that stopped, or never started, is at its end.
class Win32SoundPlayer : public SoundPlayer {
 public:
  bool init(int, int, int) override { return true; }
  void setBufferSize(int) override {}
  int openStream(const std::string& path) override;
  void play(int handle) override;
  std::uint32_t position(int handle) override;
  std::uint32_t length(int handle) override;
  void stop(int handle) override;
  void closeStream(int handle) override;
  void close() override {}

 private:
  int opened_ = 0;  // streams opened so far: each gets its own alias
};

}  // namespace almanouk
