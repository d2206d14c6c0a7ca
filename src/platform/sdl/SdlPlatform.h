#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/Platform.h"

struct SDL_Window;
struct SDL_Surface;
union SDL_Event;

namespace almanouk {

// The real program's backend: an SDL2 window that shows the surface
// integer-scaled, the keyboard, SDL2_mixer sound, the PC speaker, real time
// and the system's command interpreter.
//
// The window is refreshed from the backend's own event handling (readKey and
// pause) and the surface is uploaded only when something was drawn, so a
// program that sits waiting costs next to nothing.
class SdlPlatform : public Platform {
 public:
  // Throws std::runtime_error when no video driver can start.
  explicit SdlPlatform(std::string startFolder);
  ~SdlPlatform() override;

  void openScreen(int width, int height, int depth) override;
  bool isKeyDown(HeldKey key) override;
  void pause(int milliseconds) override;
  void awaitInput(int milliseconds) override;
  Key waitForKey() override;
  double elapsedSeconds() override;
  void yieldProcessor() override;
  void runCommand(const std::string& line) override;
  bool showTextFile(std::string_view name) override;
  SoundPlayer& soundPlayer() override;
  SpeakerPort& speakerPort() override;
  bool windowInFront() override;
  void askForAttention() override;
  DesktopNotifier* notifier() override { return notifier_.get(); }
  void closeScreen() override;

 protected:
  void pumpEvents() override;
  LocalDateTime localNow() override;
  int messageBox(std::string_view messageUtf8, std::string_view captionUtf8,
                 const std::vector<std::string>& buttons) override;
  std::string rawEnvironmentValue(const std::string& name) override;
  void showWindowTitle() override;
  void raiseWindow() override;

 private:
  // Where the window stands when it is neither maximised nor full screen.
  struct Placement {
    int x = 0, y = 0, width = 0, height = 0;
    bool maximised = false;
  };
  std::optional<Placement> savedPlacement();
  void notePlacement();
  // A box of the program's own in a window of its own, drawn as the
  // program's boxes are: it shows before the main window opens, takes its keys
  // while it is up, and closes on a close request (SIGTERM, SIGHUP, the
  // session ending) so that the program ends in order. No process of another
  // program shows it, so none can outlive the program. -1: no window for it.
  int boxWindow(std::string_view messageUtf8, std::string_view captionUtf8, const std::vector<std::string>& buttons);
  // The close request of the window's library: the program ends in order,
  // and no further termination signal may cut that end short.
  void closeRequested();
  void handle(const SDL_Event& event);
  void handleQueuedEvents();
  void handleKeyDown(const SDL_Event& event);
  // Shows the surface when it changed and the last refresh is long enough ago.
  void present(bool force);
  // Milliseconds until a pending change may be shown; -1 when nothing is pending.
  int msUntilPresent() const;
  SDL_Surface* sharpPicture(SDL_Surface* picture, int scale, std::uint32_t format);
  void toggleFullScreen();

  SDL_Window* window_ = nullptr;
  SDL_Surface* sharp_ = nullptr;  // the picture enlarged by a whole factor, before the smooth rest
  bool changePending_ = false;
  bool exposed_ = false;
  bool skipText_ = false;  // the key that produced this text was already taken as a special key
  std::uint32_t lastPresentTicks_ = 0;
  Placement placement_;          // as it last stood in its own size, and whether maximised
  bool maximisedBeforeFull_ = false;
  std::unique_ptr<SoundPlayer> sound_;
  std::unique_ptr<SpeakerPort> speaker_;
  std::unique_ptr<DesktopNotifier> notifier_ = makeDesktopNotifier();
};

}  // namespace almanouk
