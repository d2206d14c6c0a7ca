#pragma once

#include <memory>
#include <string>

#include "platform/Platform.h"
#include "platform/System.h"

namespace almanouk {

// The program's work without a window (import, export, the watcher): real
// files, time and environment. Nothing here waits for a key: a wait for one
// is answered with the close request. A message box is the desktop's
// notification where there is a notifier, else a line on the error output.
// Sound, speaker and notifier are silent unless given.
class ConsolePlatform : public Platform {
 public:
  struct Devices {
    std::unique_ptr<SoundPlayer> sound;
    std::unique_ptr<SpeakerPort> speaker;
    std::unique_ptr<DesktopNotifier> notifier;
  };
  explicit ConsolePlatform(std::string startFolder, Devices devices = {});
  ~ConsolePlatform() override;

  void openScreen(int, int, int) override {}
  bool isKeyDown(HeldKey) override { return false; }
  Key waitForKey() override { return keys::kClose; }
  void pause(int milliseconds) override;
  void awaitInput(int milliseconds) override { pause(milliseconds); }
  void awaitNames(const std::vector<std::string>& names, int milliseconds) override;
  double elapsedSeconds() override;
  void yieldProcessor() override;
  void runCommand(const std::string& line) override;
  bool showTextFile(std::string_view) override { return false; }
  SoundPlayer& soundPlayer() override { return *sound_; }
  // A player that needs this platform's files comes after it.
  void setSoundPlayer(std::unique_ptr<SoundPlayer> sound) { sound_ = std::move(sound); }
  SpeakerPort& speakerPort() override { return *speaker_; }
  // No window: never in front.
  bool windowInFront() override { return false; }
  DesktopNotifier* notifier() override { return notifier_.get(); }

 protected:
  void pumpEvents() override {}
  LocalDateTime localNow() override;
  int messageBox(std::string_view messageUtf8, std::string_view captionUtf8,
                 const std::vector<std::string>& buttons) override;
  std::string rawEnvironmentValue(const std::string& name) override;

 private:
  std::unique_ptr<SoundPlayer> sound_;
  std::unique_ptr<SpeakerPort> speaker_;
  std::unique_ptr<DesktopNotifier> notifier_;
  std::unique_ptr<os::FolderNames> watched_;
};

}  // namespace almanouk
