#pragma once

#include <map>
#include <memory>

#include "platform/FileLayer.h"
#include "platform/SoundPlayer.h"

typedef struct _Mix_Music Mix_Music;

namespace almanouk {

// Plays MP3 streams through SDL2_mixer, loaded at the first sound. The audio
// device is opened by init and closed by close, around every single sound.
class SdlSoundPlayer : public SoundPlayer {
 public:
  explicit SdlSoundPlayer(FileLayer& files);
  ~SdlSoundPlayer() override;

  bool init(int mixRate, int softwareChannels, int flags) override;
  void setBufferSize(int) override {}
  int openStream(const std::string& path) override;
  void play(int handle) override;
  std::uint32_t position(int handle) override;
  std::uint32_t length(int handle) override;
  void stop(int handle) override;
  void closeStream(int handle) override;
  void close() override;

 private:
  struct Mixer;
  bool loadMixer();
  Mix_Music* music(int handle) const;

  FileLayer& files_;
  std::map<int, Mix_Music*> streams_;
  int nextHandle_ = 1;
  std::uint32_t startTicks_ = 0;
  std::uint32_t lengthMs_ = 0;
  bool open_ = false;
  std::unique_ptr<Mixer> mixer_;  // loaded at the first sound
};

}  // namespace almanouk
