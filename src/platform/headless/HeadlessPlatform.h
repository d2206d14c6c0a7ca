#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/LocalTime.h"
#include "platform/Platform.h"
#include "platform/headless/EventLog.h"
#include "platform/headless/KeyScript.h"

namespace almanouk {

// Thrown by the headless backend when a run is over although the program
// still runs: the script is used up and the program has waited one virtual
// second, or the virtual time limit is reached.
struct RunEnded {
  bool scriptUsedUp = false;
};

// The program without a window: keys come from a script one at a time, the
// clock is virtual and moves only when the program pauses, and message
// boxes, commands, sounds and speaker tones are recorded in an event log.
class HeadlessPlatform : public Platform {
 public:
  struct Options {
    std::string startFolder = ".";
    LocalDateTime start;
    std::string appData;       // value of APPDATA; empty: the real environment decides
    std::optional<std::string> home;  // value of HOME; none: the real environment decides
    bool realtime = false;     // the clock runs at real speed and pause really sleeps
    std::int64_t maxVirtualMs = 86'400'000;
    std::string snapFolder;    // where snap:NAME writes NAME.txt and NAME.png
    bool soundFails = false;   // the sound player cannot start
    bool soundFileFails = false;  // it starts, but cannot open the file (not an MP3, say)
    // Message boxes are also drawn in the window, waiting for their key, as
    // when the system cannot show one; before the window opens they are only logged.
    bool drawBoxes = false;
    bool viewerFails = false;  // the desktop's text viewer cannot be started
    bool notificationService = false;  // the desktop shows notifications
    std::string timeZone = "Europe/Amsterdam";  // of the virtual clock's local time
  };

  HeadlessPlatform(Options options, KeyScript script);
  ~HeadlessPlatform() override;

  void openScreen(int width, int height, int depth) override;
  bool isKeyDown(HeldKey key) override;
  Key waitForKey() override;
  void pause(int milliseconds) override;
  void awaitInput(int milliseconds) override;
  // Nothing but the script comes into the folder: the whole time passes.
  void awaitNames(const std::vector<std::string>&, int milliseconds) override { awaitInput(milliseconds); }
  double elapsedSeconds() override;
  void yieldProcessor() override;
  void runCommand(const std::string& line) override;
  bool showTextFile(std::string_view name) override;
  SoundPlayer& soundPlayer() override;
  SpeakerPort& speakerPort() override;
  std::string timeZone() override { return options_.timeZone; }
  // No window before the screen opens (the watcher never opens one).
  bool windowInFront() override { return inFront_ && screenOpened_; }
  void askForAttention() override { logEvent("attention"); }
  DesktopNotifier* notifier() override;

  // Starts over with another key script, at the current virtual time: lets a
  // fuzzer drive one platform through many runs.
  void restartScript(KeyScript script);

  EventLog& log() { return log_; }
  void logEvent(const std::string& event) { log_.add(now(), event); }
  LocalDateTime now() const;
  bool screenOpened() const { return screenOpened_; }
  // How many keystrokes the program has read.
  std::uint64_t keysRead() const { return keysRead_; }

 protected:
  void pumpEvents() override;
  void afterReadKey(bool gotKey) override;
  LocalDateTime localNow() override { return now(); }
  int messageBox(std::string_view messageUtf8, std::string_view captionUtf8,
                 const std::vector<std::string>& buttons) override;
  std::string rawEnvironmentValue(const std::string& name) override;
  void raiseWindow() override { logEvent("raise window"); }

 private:
  class Sound;
  class Speaker;
  class Notifier;

  std::int64_t nowMs() const;
  // Lets time pass up to the given virtual moment, feeding the script on the
  // way; with stopOnInput, only until a key or a held key is fed.
  void advanceTo(std::int64_t targetMs, bool stopOnInput = false);
  void noteWaiting(bool waitingForKey);
  void feedNextItem();
  bool scriptUsedUp() const;
  // When a run whose script is used up ends if the program keeps waiting.
  std::int64_t idleEndMs() const;
  void checkRunLimits();
  void snap(const std::string& name);

  Options options_;
  KeyScript script_;
  EventLog log_;
  std::int64_t startMs_;
  std::int64_t clockMs_;       // virtual now
  double realStart_ = 0;       // realtime mode: monotonic seconds at start
  std::size_t nextItem_ = 0;
  std::int64_t nextFeedMs_;    // when the next script item is due
  bool keyUnread_ = false;     // a scripted key waits in the queue
  bool polledEmpty_ = false;          // the last readKey found no key
  // Virtual times run from 1901: no value of them can stand for "none".
  std::optional<std::int64_t> waitingSinceMs_;  // start of the current wait for a key
  std::optional<std::int64_t> altF4UntilMs_;
  bool screenOpened_ = false;
  std::uint64_t keysRead_ = 0;
  std::unique_ptr<Sound> sound_;
  std::unique_ptr<Speaker> speaker_;
  std::unique_ptr<Notifier> notifier_;
  bool inFront_ = true;
};

}  // namespace almanouk
