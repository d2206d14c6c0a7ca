#include "platform/console/ConsolePlatform.h"

#include <cstdio>
#include <utility>

#include "platform/System.h"

namespace almanouk {
namespace {

class SilentPlayer : public SoundPlayer {
 public:
  bool init(int, int, int) override { return false; }
  void setBufferSize(int) override {}
  int openStream(const std::string&) override { return 0; }
  void play(int) override {}
  std::uint32_t position(int) override { return 0; }
  std::uint32_t length(int) override { return 0; }
  void stop(int) override {}
  void closeStream(int) override {}
  void close() override {}
};

class SilentSpeaker : public SpeakerPort {
 public:
  std::uint8_t readPort(std::uint16_t port) override { return state_.read(port); }
  void writePort(std::uint16_t port, std::uint8_t value) override { state_.write(port, value); }

 private:
  SpeakerPortState state_;
};

}  // namespace

ConsolePlatform::ConsolePlatform(std::string startFolder, Devices devices)
    : Platform(std::move(startFolder)),
      sound_(devices.sound ? std::move(devices.sound) : std::make_unique<SilentPlayer>()),
      speaker_(devices.speaker ? std::move(devices.speaker) : std::make_unique<SilentSpeaker>()),
      notifier_(std::move(devices.notifier)) {}

ConsolePlatform::~ConsolePlatform() = default;

void ConsolePlatform::pause(int milliseconds) { os::sleepMilliseconds(milliseconds); }

void ConsolePlatform::awaitNames(const std::vector<std::string>& names, int milliseconds) {
  if (!watched_) watched_ = std::make_unique<os::FolderNames>(files().workingFolder(), names);
  watched_->await(milliseconds);
}

double ConsolePlatform::elapsedSeconds() { return os::monotonicSeconds(); }

void ConsolePlatform::yieldProcessor() { os::yieldProcessor(); }

void ConsolePlatform::runCommand(const std::string& line) {
  os::runCommandLine(line, files().workingFolder());
}

LocalDateTime ConsolePlatform::localNow() { return os::localNow(); }

int ConsolePlatform::messageBox(std::string_view messageUtf8, std::string_view captionUtf8,
                                const std::vector<std::string>&) {
  if (notifier_ && notifier_->notify(captionUtf8, messageUtf8, false)) return 0;
  std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(captionUtf8.size()), captionUtf8.data(),
               static_cast<int>(messageUtf8.size()), messageUtf8.data());
  return 0;
}

std::string ConsolePlatform::rawEnvironmentValue(const std::string& name) { return os::environmentValue(name); }

}  // namespace almanouk
