#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"

struct HWND__;

namespace almanouk {

class Win32Speaker;
class Win32Notifier;

// The program's backend on Windows: a window of the Windows API that shows
// the surface as the SDL window shows it (PicturePlacement; GDI), F11 for full screen, its keys, message boxes,
// Notepad for the alarm page, the system's own MP3 player (MCI) and Beep for
// the speaker tone.
//
// The window's messages, and the system's boxes, are taken in on a fiber of
// their own beside the program's. When the session ends, the system may end
// the process as soon as the window has answered; so the answer waits while
// the program, resumed from inside it, leaves its screen and ends in order.
class Win32Platform : public Platform {
 public:
  explicit Win32Platform(std::string startFolder);
  ~Win32Platform() override;

  void openScreen(int width, int height, int depth) override;
  bool isKeyDown(HeldKey key) override;
  void pause(int milliseconds) override;
  void awaitInput(int milliseconds) override;
  Key waitForKey() override;
  double elapsedSeconds() override;
  void yieldProcessor() override;
  void runCommand(const std::string& line) override;
  bool showTextFile(std::string_view name) override;
  // Notepad takes a file without the byte-order mark for the system's code page.
  std::string_view textViewerMark() const override { return "\xEF\xBB\xBF"; }
  SoundPlayer& soundPlayer() override { return *sound_; }
  SpeakerPort& speakerPort() override;
  bool windowInFront() override;
  void askForAttention() override;
  // Balloons of the notification area, once the window stands.
  DesktopNotifier* notifier() override;

  // The window's messages, from its procedure.
  long long handleMessage(unsigned message, unsigned long long wParam, long long lParam);
  // The messages' fiber: takes them in, shows a box asked for, and hands back to the program.
  [[noreturn]] void runMessageFiber();
  void closeScreen() override;

 protected:
  void pumpEvents() override;
  LocalDateTime localNow() override;
  int messageBox(std::string_view messageUtf8, std::string_view captionUtf8,
                 const std::vector<std::string>& buttons) override;
  std::string rawEnvironmentValue(const std::string& name) override;
  // The profile folder: Windows sets no HOME.
  std::string homeFolder() override;
  void showWindowTitle() override;

 private:
  // Sleeps until a message comes or the time is up (-1: no limit), then takes the messages in.
  void waitForMessages(int milliseconds);
  void keyDown(unsigned virtualKey, bool altHeld);
  void typed(wchar_t unit);
  void paint();
  // F11: the whole screen, and back to the size, place and maximised state it left.
  void toggleFullScreen();
  // On the messages' fiber.
  void dispatchMessages();
  void showAskedBox();
  // The session ends: the program runs its close, as Alt+X or Esc, before the system hears back.
  void endSession();
  // Over to the messages' fiber; nothing when on it already.
  void toMessages();

  HWND__* window_ = nullptr;
  // The window as it stood before full screen (a WINDOWPLACEMENT), empty while not in full screen.
  std::vector<unsigned char> beforeFullScreen_;
  // The picture enlarged pixel for pixel by the whole factor, the smooth enlargement's source.
  std::vector<std::uint32_t> sharp_;
  bool skipCharacter_ = false;     // the key that types it was taken as a key
  wchar_t highSurrogate_ = 0;      // the first half of a character outside the basic plane
  std::unique_ptr<SoundPlayer> sound_;
  std::unique_ptr<Win32Speaker> speaker_;
  std::unique_ptr<Win32Notifier> notifier_;

  void* programFiber_ = nullptr;
  void* messageFiber_ = nullptr;
  bool madeThreadAFiber_ = false;
  bool closing_ = false;  // the session ends: the close key is on its way
  bool ended_ = false;    // the program's end is written
  // A box of the system the program asked for, shown on the messages' fiber.
  std::wstring boxText_, boxCaption_;
  unsigned boxAsked_ = 0, boxShown_ = 0, boxAnswered_ = 0;
};

}  // namespace almanouk
