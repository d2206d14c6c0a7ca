// The watcher: the alarm clock of the active calendar while the program is
// closed, without a window (almanouk --wachter becomes this program). It is
// kept small on purpose, without the window's libraries: an alarm's sound
// is played by the program itself (almanouk --speel), started for it.

#include <memory>
#include <string>

#include "platform/DesktopNotifier.h"
#include "platform/Process.h"
#include "platform/console/ConsolePlatform.h"
#include "platform/posix/PcSpeakerPort.h"
#include "shell/Watcher.h"

namespace {

// Starts "almanouk --speel FILE" on its own and lets the alarm go on: the
// notification comes while the sound plays.
class ProgramSoundPlayer : public almanouk::SoundPlayer {
 public:
  ProgramSoundPlayer(std::string program, almanouk::FileLayer& files) : program_(std::move(program)), files_(files) {}
  bool init(int, int, int) override { return true; }
  void setBufferSize(int) override {}
  int openStream(const std::string& path) override {
    path_ = path.empty() ? std::string() : files_.resolve(path);
    return path_.empty() ? 0 : 1;
  }
  void play(int handle) override {
    if (handle) almanouk::process::startProgram(program_, {"--speel", path_});
  }
  std::uint32_t position(int) override { return 0; }
  std::uint32_t length(int) override { return 0; }
  void stop(int) override {}
  void closeStream(int) override {}
  void close() override {}

 private:
  std::string program_;
  almanouk::FileLayer& files_;
  std::string path_;
};

}  // namespace

int main() {
  almanouk::ConsolePlatform::Devices devices;
  devices.speaker = std::make_unique<almanouk::PcSpeakerPort>();
  devices.notifier = almanouk::makeDesktopNotifier();
  almanouk::ConsolePlatform platform(almanouk::process::startFolder(), std::move(devices));
  platform.setSoundPlayer(std::make_unique<ProgramSoundPlayer>(almanouk::process::packageProgram({"almanouk", "../../bin/almanouk"}), platform.files()));
  almanouk::Watcher watcher(platform);
  return watcher.run();
}
