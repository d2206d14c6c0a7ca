#pragma once

#include <string>

#include "platform/FileLayer.h"
#include "platform/SoundPlayer.h"

namespace almanouk {

// Plays an alarm's sound through another program of the package, started on
// its own for it ("almanouk --speel FILE"), and lets the alarm go on meanwhile:
// a program without the window's libraries (the watcher, the program in a
// terminal) sounds all the same where a sound device answers.
class ProgramSoundPlayer : public SoundPlayer {
 public:
  ProgramSoundPlayer(std::string program, FileLayer& files) : program_(std::move(program)), files_(files) {}
  bool init(int, int, int) override { return true; }
  void setBufferSize(int) override {}
  int openStream(const std::string& path) override;
  void play(int handle) override;
  std::uint32_t position(int) override { return 0; }
  std::uint32_t length(int) override { return 0; }
  void stop(int) override {}
  void closeStream(int) override {}
  void close() override {}

 private:
  std::string program_;
  FileLayer& files_;
  std::string path_;
};

}  // namespace almanouk
