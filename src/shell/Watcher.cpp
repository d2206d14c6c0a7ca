#include "shell/Watcher.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "platform/Platform.h"
#include "platform/Text.h"
#include "settings/SettingsFile.h"
#include "shell/WatcherSwitch.h"

namespace almanouk {
namespace {

// The names that wake the watcher: a start's request, the request to end, the program's marker going.
const std::vector<std::string> kWakingNames = {std::string(kStepAsideFile), std::string(kWatcherStopFile),
                                               std::string(kInstanceMarkerFile)};
// A program that ends in order takes its marker with it, which wakes the
// watcher at once; one that died is noticed at the next try.
constexpr int kRetryMs = 60'000;
// A start that asked the watcher to step aside takes the folder within this
// time; a request older than that is a start that failed.
constexpr double kStartGraceSeconds = 30;
constexpr std::int64_t kMinuteMs = 60'000;

}  // namespace

Watcher::Watcher(Platform& platform)
    : platform_(platform),
      calendars_(platform.files()),
      alarms_(platform, settings_, state_, soundFolder_, calendars_),
      watch_(platform, calendars_, settings_, alarms_),
      guard_(platform, InstanceGuard::Holder::Watcher) {
  settings_.popupMode = PopupMode::Message;
}

int Watcher::run() {
  const std::string folder = platform_.dataFolder();
  platform_.makeFolder(folder);
  if (!platform_.changeFolder(folder)) {
    std::fprintf(stderr, "almanouk --wachter: de map %s is niet te gebruiken (%s)\n", folder.c_str(),
                 std::string(describe(platform_.files().lastProblem())).c_str());
    return 1;
  }
  platform_.awaitNames(kWakingNames, 0);  // watched from here on: no request is missed
  platform_.discardFile(kWatcherStopFile);  // meant for a watcher that is gone
  if (!takeOver() && guard_.watcherHolds()) {
    std::fprintf(stderr, "almanouk --wachter: er waakt al een wachter over %s\n", folder.c_str());
    return 0;
  }
  for (;;) {
    if (platform_.fileExists(kWatcherStopFile)) {
      platform_.discardFile(kWatcherStopFile);
      if (guard_.held()) stepAside();
      return 0;
    }
    if (!guard_.held()) {
      if (!programComing() && !takeOver()) platform_.awaitNames(kWakingNames, kRetryMs);
    } else if (guard_.askedToStepAside()) {
      stepAside();
    } else {
      look();
    }
  }
}

// Keeps out while the start that asked is on its way in; it takes the
// request away once it holds the folder, which wakes the watcher.
bool Watcher::programComing() {
  if (!platform_.fileExists(kStepAsideFile)) return false;
  const double waited = steppedAsideAt_ ? platform_.elapsedSeconds() - *steppedAsideAt_ : kStartGraceSeconds;
  if (waited < kStartGraceSeconds) {
    platform_.awaitNames(kWakingNames, static_cast<int>((kStartGraceSeconds - waited) * 1000) + 1);
    return true;
  }
  platform_.discardFile(kStepAsideFile);
  return false;
}
bool Watcher::takeOver() {
  const InstanceGuard::Outcome outcome = guard_.acquire();
  if (outcome == InstanceGuard::Outcome::Refused) tell(guard_.reason());
  if (outcome != InstanceGuard::Outcome::Held) return false;
  steppedAsideAt_.reset();
  settingsVersion_.reset();
  watch_.begin(platform_.now());
  return true;
}

// What the program told the last moment it watched is written first: the
// program's start goes on from there.
void Watcher::stepAside() {
  if (FileResult kept = watch_.keep(); !kept) tell(cp437ToUtf8(saveFailedMessage(kept.error())));
  guard_.release();
  steppedAsideAt_ = platform_.elapsedSeconds();
}

void Watcher::look() {
  if (std::optional<FileVersion> version = platform_.files().version(kSettingsFile); version != settingsVersion_) {
    settingsVersion_ = version;
    readAlarmSettings(platform_, settings_);
  }
  const AlarmWatch::Look look = watch_.look(platform_.now(), std::exchange(clockJumped_, false));
  if (!look.kept) tell(cp437ToUtf8(saveFailedMessage(look.kept.error())));
  if (const std::string notice = alarms_.takeNotice(); !notice.empty()) tell(cp437ToUtf8(notice));
  const LocalDateTime now = platform_.now();
  const int wait = msToNextLook(now);
  platform_.awaitNames(kWakingNames, wait);
  // Asleep much longer than the wait: the minutes in between are listed, not told one by one.
  clockJumped_ = platform_.now().toMilliseconds() - now.toMilliseconds() > wait + kMinuteMs;
}

// The next minute, when alarms may be due; sooner for a snoozed alarm, and
// every second while a notification waits for its answer.
int Watcher::msToNextLook(const LocalDateTime& now) const {
  std::int64_t wait = kMinuteMs - (now.second * 1000 + now.millisecond);
  if (!state_.notified.empty()) wait = std::min<std::int64_t>(wait, 1000 - now.millisecond);
  for (const AlarmState::Snoozed& snoozed : state_.snoozed)
    wait = std::min(wait, std::max<std::int64_t>(snoozed.dueMs - now.toMilliseconds(), 0));
  return static_cast<int>(wait);
}

void Watcher::tell(const std::string& problemUtf8) {
  if (problemUtf8 == told_) return;
  told_ = problemUtf8;
  std::fprintf(stderr, "almanouk --wachter: %s\n", problemUtf8.c_str());
}

}  // namespace almanouk
