#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "platform/Platform.h"
#include "platform/terminal/TerminalDescription.h"
#include "platform/terminal/TerminalInput.h"
#include "platform/terminal/TerminalPainter.h"

namespace almanouk {

// The program in the terminal it was started from (over SSH, in tmux, on the
// Linux console): the 80 x 25 cells drawn with terminfo's sequences on the
// alternate screen, the keys the terminal sends, message boxes drawn in the
// screen, the bell for the speaker's tone, the alarm's sound through a
// program of its own. No window library is loaded.
//
// The terminal is given back as it was when the program ends in any way it
// can see (Alt+X, a fatal error, SIGINT, SIGTERM, SIGHUP, a crash) and while
// it is suspended (Ctrl+Z). A terminal smaller than 80 x 25 shows why
// nothing else is shown until it is made larger. It sleeps on the terminal
// and its signals: idle, it costs what the window costs.
class TerminalPlatform : public Platform {
 public:
  // Throws std::runtime_error, its text in Dutch, when there is no terminal to use.
  explicit TerminalPlatform(std::string startFolder);
  ~TerminalPlatform() override;

  void openScreen(int width, int height, int depth) override;
  void closeScreen() override;
  bool isKeyDown(HeldKey) override { return false; }
  Key waitForKey() override;
  void pause(int milliseconds) override;
  void awaitInput(int milliseconds) override;
  double elapsedSeconds() override;
  void yieldProcessor() override;
  void runCommand(const std::string& line) override;
  // No viewer can open beside a program in a bare terminal: the file's text
  // comes in a box, when the program next waits.
  bool showTextFile(std::string_view name) override;
  SoundPlayer& soundPlayer() override { return *sound_; }
  SpeakerPort& speakerPort() override { return *speaker_; }
  // The terminal bell, sent at once.
  void ringBell();

 protected:
  void pumpEvents() override;
  LocalDateTime localNow() override;
  int messageBox(std::string_view messageUtf8, std::string_view captionUtf8,
                 const std::vector<std::string>& buttons) override;
  std::string rawEnvironmentValue(const std::string& name) override;
  // A second start cannot bring a terminal forward: it rings the bell.
  void raiseWindow() override { ringBell(); }

 private:
  struct Tty;  // the system's side: the device, its modes, the signals

  // Takes the terminal: its modes for single keys, the alternate screen.
  // False when the terminal is gone.
  bool enter();
  // Gives it back as it was.
  void leave();
  // Waits up to the time (-1: no limit) for keys or a signal and takes them in.
  void waitForEvents(int milliseconds);
  void readTerminal();
  void handleSignals();
  void take(const std::vector<TerminalInput>& inputs);
  void fillKeyQueue();
  void closeRequested();
  void suspend();
  void measure();
  // Shows the surface's changes; at most every few milliseconds unless forced.
  void present(bool force);
  int msUntilPresent() const;
  void send(std::string_view bytes);
  void showTooSmall();
  void showPendingPage();

  std::unique_ptr<Tty> tty_;
  TerminalDescription terminal_;
  TerminalPainter painter_;
  TerminalInputDecoder decoder_;
  bool active_ = false;       // the terminal is in the program's modes
  bool gone_ = false;         // hung up: nothing more is read or written
  bool closing_ = false;      // a close request was queued
  bool screenOpen_ = false;
  int rows_ = 0, columns_ = 0;
  bool tooSmall_ = false;
  bool changePending_ = false;
  double lastPresent_ = 0;
  double sequenceSince_ = 0;  // when a key's sequence began that waits for its rest
  struct Page {
    std::string caption, textUtf8;
  };
  std::optional<Page> pendingPage_;
  std::deque<Key> typedAhead_;
  std::unique_ptr<SoundPlayer> sound_;
  std::unique_ptr<SpeakerPort> speaker_;
};

// Standard input and output are both a terminal: the program can run in it.
bool terminalAvailable();

}  // namespace almanouk
