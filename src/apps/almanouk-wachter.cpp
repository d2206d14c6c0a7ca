// The watcher: the alarm clock of the active calendar while the program is
// closed, without a window (almanouk --wachter becomes this program). It is
// kept small on purpose, without the window's libraries: an alarm's sound
// is played by the program itself (almanouk --speel), started for it.

#include <memory>
#include <string>

#include "platform/DesktopNotifier.h"
#include "platform/ProgramSoundPlayer.h"
#include "platform/Process.h"
#include "platform/console/ConsolePlatform.h"
#include "platform/posix/PcSpeakerPort.h"
#include "shell/Watcher.h"

int main() {
  almanouk::ConsolePlatform::Devices devices;
  devices.speaker = std::make_unique<almanouk::PcSpeakerPort>();
  devices.notifier = almanouk::makeDesktopNotifier();
  almanouk::ConsolePlatform platform(almanouk::process::startFolder(), std::move(devices));
  platform.setSoundPlayer(std::make_unique<almanouk::ProgramSoundPlayer>(almanouk::process::packageProgram({"almanouk", "../../bin/almanouk"}), platform.files()));
  almanouk::Watcher watcher(platform);
  return watcher.run();
}
