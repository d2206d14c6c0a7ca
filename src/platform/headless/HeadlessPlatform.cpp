#include "platform/headless/HeadlessPlatform.h"

#include <algorithm>
#include <fstream>

#include "platform/Keys.h"
#include "platform/SurfaceDump.h"
#include "platform/Text.h"
#include "platform/System.h"

namespace almanouk {
namespace {

// How long every sound plays in virtual time.
constexpr std::uint32_t kSoundMs = 2000;
// The next scripted key comes this long after the program read the previous one.
constexpr std::int64_t kKeyGapMs = 50;
constexpr std::int64_t kAltF4HoldMs = 100;
// A run whose script is used up ends after this much waiting for a key.
constexpr std::int64_t kIdleEndMs = 1000;

}  // namespace

// Notifications are logged ("notify SUMMARY|BODY"); the script answers the last one still open.
class HeadlessPlatform::Notifier : public DesktopNotifier {
 public:
  explicit Notifier(HeadlessPlatform& platform) : platform_(platform) {}

  std::optional<std::uint32_t> notify(std::string_view summaryUtf8, std::string_view bodyUtf8, bool) override {
    if (!platform_.options_.notificationService) return std::nullopt;
    platform_.logEvent("notify " + std::string(summaryUtf8) + "|" + std::string(bodyUtf8));
    open_.push_back(++lastId_);
    return lastId_;
  }
  std::vector<AnsweredNotification> takeAnswers() override { return std::exchange(answers_, {}); }

  void answerLast(const std::string& answer) {
    if (open_.empty()) return;
    answers_.push_back({open_.back(), answer == "ok"       ? NotificationAnswer::Ok
                                      : answer == "snooze" ? NotificationAnswer::Snooze
                                                           : NotificationAnswer::Closed});
    open_.pop_back();
  }

 private:
  HeadlessPlatform& platform_;
  std::uint32_t lastId_ = 0;
  std::vector<std::uint32_t> open_;
  std::vector<AnsweredNotification> answers_;
};

class HeadlessPlatform::Sound : public SoundPlayer {
 public:
  explicit Sound(HeadlessPlatform& platform) : platform_(platform) {}

  bool init(int, int, int) override { return !platform_.options_.soundFails; }
  void setBufferSize(int) override {}
  int openStream(const std::string& path) override {
    path_ = path;
    return !path.empty() && platform_.fileExists(path) && !platform_.options_.soundFileFails ? 1 : 0;
  }
  void play(int handle) override {
    platform_.logEvent("sound " + cp437ToUtf8(path_));
    if (handle) startedMs_ = platform_.nowMs();
  }
  std::uint32_t position(int handle) override {
    if (!handle) return 0;
    return static_cast<std::uint32_t>(std::min<std::int64_t>(platform_.nowMs() - startedMs_, kSoundMs));
  }
  std::uint32_t length(int handle) override { return handle ? kSoundMs : 0; }
  void stop(int) override {}
  void closeStream(int) override {}
  void close() override {}

 private:
  HeadlessPlatform& platform_;
  std::string path_;
  std::int64_t startedMs_ = 0;
};

class HeadlessPlatform::Speaker : public SpeakerPort {
 public:
  explicit Speaker(HeadlessPlatform& platform) : platform_(platform) {}

  std::uint8_t readPort(std::uint16_t port) override { return state_.read(port); }
  void writePort(std::uint16_t port, std::uint8_t value) override {
    int before = state_.audibleFrequency();
    if (!state_.write(port, value)) return;
    std::int64_t now = platform_.nowMs();
    if (before > 0 && now > sinceMs_) platform_.logEvent("tone " + toText(before) + " " + toText(static_cast<int>(now - sinceMs_)));
    sinceMs_ = now;
  }

 private:
  HeadlessPlatform& platform_;
  SpeakerPortState state_;
  std::int64_t sinceMs_ = 0;
};

HeadlessPlatform::HeadlessPlatform(Options options, KeyScript script)
    : Platform(options.startFolder),
      options_(std::move(options)),
      script_(std::move(script)),
      startMs_(options_.start.toMilliseconds()),
      clockMs_(startMs_),
      realStart_(os::monotonicSeconds()),
      nextFeedMs_(startMs_ + kKeyGapMs),
      sound_(std::make_unique<Sound>(*this)),
      speaker_(std::make_unique<Speaker>(*this)),
      notifier_(std::make_unique<Notifier>(*this)) {}

HeadlessPlatform::~HeadlessPlatform() = default;

DesktopNotifier* HeadlessPlatform::notifier() { return notifier_.get(); }

std::int64_t HeadlessPlatform::nowMs() const {
  if (!options_.realtime) return clockMs_;
  return startMs_ + static_cast<std::int64_t>((os::monotonicSeconds() - realStart_) * 1000);
}

LocalDateTime HeadlessPlatform::now() const { return LocalDateTime::fromMilliseconds(nowMs()); }

void HeadlessPlatform::restartScript(KeyScript script) {
  script_ = std::move(script);
  nextItem_ = 0;
  nextFeedMs_ = nowMs() + kKeyGapMs;
  keyUnread_ = false;
  waitingSinceMs_.reset();
  while (!keyQueue().pop().empty()) continue;
}

void HeadlessPlatform::openScreen(int, int, int) { screenOpened_ = true; }

bool HeadlessPlatform::isKeyDown(HeldKey) { return altF4UntilMs_ && nowMs() < *altF4UntilMs_; }

double HeadlessPlatform::elapsedSeconds() { return static_cast<double>(nowMs() - startMs_) / 1000.0; }

// Virtual time has to move for a busy wait on the counter to end.
void HeadlessPlatform::yieldProcessor() {
  if (options_.realtime) {
    os::yieldProcessor();
    return;
  }
  advanceTo(clockMs_ + 1);
}

void HeadlessPlatform::runCommand(const std::string& line) { logEvent("run " + cp437ToUtf8(line)); }

int HeadlessPlatform::messageBox(std::string_view messageUtf8, std::string_view captionUtf8,
                                 const std::vector<std::string>& buttons) {
  logEvent("msgbox " + std::string(captionUtf8) + "|" + std::string(messageUtf8));
  return options_.drawBoxes && screenOpened_ ? showMessageInWindow(messageUtf8, captionUtf8, buttons) : 0;
}

bool HeadlessPlatform::showTextFile(std::string_view name) {
  logEvent("run start notepad " + std::string(name));
  return !options_.viewerFails;
}

SoundPlayer& HeadlessPlatform::soundPlayer() { return *sound_; }

SpeakerPort& HeadlessPlatform::speakerPort() { return *speaker_; }

std::string HeadlessPlatform::rawEnvironmentValue(const std::string& name) {
  if (name == "APPDATA" && !options_.appData.empty()) return options_.appData;
  if (name == "HOME" && options_.home) return *options_.home;
  return os::environmentValue(name);
}

void HeadlessPlatform::pumpEvents() {
  if (options_.realtime) advanceTo(nowMs());
}

void HeadlessPlatform::afterReadKey(bool gotKey) {
  polledEmpty_ = !gotKey;
  if (gotKey) ++keysRead_;
  if (gotKey && keyUnread_ && keyQueue().empty()) {
    keyUnread_ = false;
    nextFeedMs_ = nowMs() + kKeyGapMs;
  }
}

void HeadlessPlatform::noteWaiting(bool waitingForKey) {
  polledEmpty_ = false;
  if (!waitingForKey) {
    waitingSinceMs_.reset();
  } else if (!waitingSinceMs_) {
    waitingSinceMs_ = nowMs();
  }
}

void HeadlessPlatform::awaitInput(int milliseconds) {
  noteWaiting(true);
  advanceTo(nowMs() + std::max(milliseconds, 0), true);
}

void HeadlessPlatform::pause(int milliseconds) {
  noteWaiting(polledEmpty_);
  advanceTo(nowMs() + std::max(milliseconds, 0));
}

// Time jumps to the next scripted key; with the script used up, to the end of the run.
Key HeadlessPlatform::waitForKey() {
  for (;;) {
    Key key = readKey();
    if (!key.empty()) return key;
    noteWaiting(true);
    if (scriptUsedUp()) {
      advanceTo(std::max(nowMs(), idleEndMs()));  // ends the run
    } else {
      advanceTo(std::max(nowMs(), nextFeedMs_), true);
    }
  }
}

void HeadlessPlatform::advanceTo(std::int64_t targetMs, bool stopOnInput) {
  while (nextItem_ < script_.items.size() && !keyUnread_ && nextFeedMs_ <= targetMs) {
    if (options_.realtime) {
      os::sleepMilliseconds(static_cast<int>(std::max<std::int64_t>(0, nextFeedMs_ - nowMs())));
    } else {
      clockMs_ = std::max(clockMs_, nextFeedMs_);
    }
    checkRunLimits();
    ScriptItem::Kind fed = script_.items[nextItem_].kind;
    feedNextItem();
    if (stopOnInput && (fed == ScriptItem::Kind::Key || fed == ScriptItem::Kind::HoldAltF4)) return;
  }
  if (options_.realtime) {
    os::sleepMilliseconds(static_cast<int>(std::max<std::int64_t>(0, targetMs - nowMs())));
  } else {
    clockMs_ = std::max(clockMs_, targetMs);
  }
  checkRunLimits();
}

void HeadlessPlatform::feedNextItem() {
  const ScriptItem& item = script_.items[nextItem_++];
  switch (item.kind) {
    case ScriptItem::Kind::Key:
      keyQueue().push(item.key);
      keyUnread_ = true;
      break;
    case ScriptItem::Kind::Wait:
      nextFeedMs_ += item.milliseconds;
      break;
    case ScriptItem::Kind::Jump:  // the clock moves on at once, as after the machine slept
      clockMs_ += item.milliseconds;
      nextFeedMs_ += item.milliseconds;
      break;
    case ScriptItem::Kind::Snap:
      snap(item.name);
      break;
    case ScriptItem::Kind::HoldAltF4:
      altF4UntilMs_ = nextFeedMs_ + kAltF4HoldMs;
      nextFeedMs_ = *altF4UntilMs_ + kKeyGapMs;
      break;
    case ScriptItem::Kind::Focus:
      inFront_ = item.name == "in";
      break;
    case ScriptItem::Kind::Answer:
      notifier_->answerLast(item.name);
      break;
  }
}

bool HeadlessPlatform::scriptUsedUp() const { return nextItem_ >= script_.items.size() && !keyUnread_; }

std::int64_t HeadlessPlatform::idleEndMs() const {
  return std::max(waitingSinceMs_.value_or(nowMs()), nextFeedMs_) + kIdleEndMs;
}

void HeadlessPlatform::checkRunLimits() {
  if (nowMs() - startMs_ >= options_.maxVirtualMs) throw RunEnded{false};
  if (scriptUsedUp() && waitingSinceMs_ && nowMs() >= idleEndMs()) {
    logEvent("end script");
    throw RunEnded{true};
  }
}

void HeadlessPlatform::snap(const std::string& name) {
  if (options_.snapFolder.empty()) return;
  std::string base = options_.snapFolder + "/" + name;
  std::ofstream(base + ".txt", std::ios::binary) << screenText(surface());
  writePng(surface(), base + ".png");
}

}  // namespace almanouk
