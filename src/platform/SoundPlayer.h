#pragma once

#include <cstdint>
#include <string>

namespace almanouk {

// A stream player with the steps the alarm sound takes: start the player,
// open a file as a stream, play it, poll its position against its length,
// stop, close. Handle 0 means the file could not be opened; position and
// length of handle 0 are 0.
class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // False when no sound can be played at all.
  virtual bool init(int mixRate, int softwareChannels, int flags) = 0;
  virtual void setBufferSize(int milliseconds) = 0;
  virtual int openStream(const std::string& path) = 0;
  virtual void play(int handle) = 0;
  virtual std::uint32_t position(int handle) = 0;
  virtual std::uint32_t length(int handle) = 0;
  virtual void stop(int handle) = 0;
  virtual void closeStream(int handle) = 0;
  virtual void close() = 0;
};

}  // namespace almanouk
