#pragma once

#include <memory>
#include <string>

#include "platform/Platform.h"

namespace almanouk {

// The program's work on the command line (import, export): real files, time
// and environment, and no window. Nothing here waits for a key: a wait for
// one is answered with the close request, a message box goes to the error
// output, and there is no sound.
class ConsolePlatform : public Platform {
 public:
  explicit ConsolePlatform(std::string startFolder);
  ~ConsolePlatform() override;

  void openScreen(int, int, int) override {}
  bool isKeyDown(HeldKey) override { return false; }
  Key waitForKey() override { return keys::kClose; }
  void pause(int milliseconds) override;
  void awaitInput(int milliseconds) override { pause(milliseconds); }
  double elapsedSeconds() override;
  void yieldProcessor() override;
  void runCommand(const std::string& line) override;
  bool showTextFile(std::string_view) override { return false; }
  SoundPlayer& soundPlayer() override { return *sound_; }
  SpeakerPort& speakerPort() override { return *speaker_; }

 protected:
  void pumpEvents() override {}
  LocalDateTime localNow() override;
  int messageBox(std::string_view text, std::string_view caption, const std::vector<std::string>& buttons) override;
  std::string rawEnvironmentValue(const std::string& name) override;

 private:
  std::unique_ptr<SoundPlayer> sound_;
  std::unique_ptr<SpeakerPort> speaker_;
};

}  // namespace almanouk
