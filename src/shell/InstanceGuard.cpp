#include "shell/InstanceGuard.h"

#include <utility>

#include "platform/NumberedFiles.h"
#include "platform/Platform.h"

namespace almanouk {
namespace {

constexpr std::string_view kProgramMark = "pyl";
constexpr std::string_view kWatcherMark = "wachter";
constexpr int kLockRetryMs = 100;

}  // namespace

InstanceGuard::Outcome InstanceGuard::acquire() {
  Outcome outcome = take();
  if (outcome == Outcome::HeldElsewhere && holder_ == Holder::Program && watcherHolds()) outcome = waitForTheWatcher();
  // A request left by a start that failed would keep the watcher out later.
  if (outcome == Outcome::Held && holder_ == Holder::Program) platform_.discardFile(kStepAsideFile);
  return outcome;
}

InstanceGuard::Outcome InstanceGuard::take() {
  const std::string folder = platform_.files().workingFolder();
  const LockOutcome lock = platform_.files().lockFolder(kInstanceMarkerFile);
  if (lock.state == LockState::HeldElsewhere) return Outcome::HeldElsewhere;
  if (lock.state == LockState::Failed) {
    reason_ = "Almanouk kan zijn map " + folder + " niet voor zich alleen nemen (" + lock.why +
              "). Zet de gegevens op een schijf van deze computer (APPDATA wijst de map aan) en start opnieuw.";
    return Outcome::Refused;
  }
  held_ = true;
  if (FileResult marker = writeMarker(); !marker) {
    reason_ = "Almanouk kan niet schrijven in zijn map " + folder + ": " + marker.error().file + " (" +
              std::string(describe(marker.error().problem)) +
              "). Maak de map en dat bestand schrijfbaar voor u, of haal het bestand weg, en start opnieuw.";
    release();
    return Outcome::Refused;
  }
  return Outcome::Held;
}

// The watcher looks for the request once a second; the program's start
// waits that long and a little more, sleeping between the tries.
InstanceGuard::Outcome InstanceGuard::waitForTheWatcher() {
  OutputFile request(platform_, kStepAsideFile, 1);
  request.line("1");
  if (FileResult asked = request.close(); !asked) {
    reason_ = "Almanouk kan de wachter niet vragen plaats te maken: " + asked.error().file + " (" +
              std::string(describe(asked.error().problem)) + "). Zet de wachter uit (almanouk --wachter uit) en start opnieuw.";
    return Outcome::Refused;
  }
  Outcome outcome = Outcome::HeldElsewhere;
  for (int waited = 0; outcome == Outcome::HeldElsewhere && waited < kStepAsideWaitMs; waited += kLockRetryMs) {
    platform_.pause(kLockRetryMs);
    outcome = take();
  }
  if (outcome == Outcome::HeldElsewhere) {
    platform_.discardFile(kStepAsideFile);
    reason_ = "De wachter (almanouk --wachter) maakt geen plaats in de map " + platform_.files().workingFolder() +
              ". Be\xC3\xABindig hem, of zet hem uit met almanouk --wachter uit, en start opnieuw.";
    return Outcome::Refused;
  }
  return outcome;
}

bool InstanceGuard::watcherHolds() {
  InputFile marker(platform_, kInstanceMarkerFile, 1);
  return marker.nextLine() == kWatcherMark;
}

bool InstanceGuard::askedToStepAside() { return held_ && platform_.fileExists(kStepAsideFile); }

FileResult InstanceGuard::writeMarker() {
  OutputFile marker(platform_, kInstanceMarkerFile, 1);
  marker.line(std::string(holder_ == Holder::Watcher ? kWatcherMark : kProgramMark));
  return marker.close();
}

FileResult InstanceGuard::heartbeat() {
  if (!held_ || platform_.fileExists(kInstanceMarkerFile)) return {};
  return writeMarker();
}

void InstanceGuard::askRunningCopyToComeForward() {
  OutputFile request(platform_, kRaiseRequestFile, 1);
  request.line("1");
  static_cast<void>(request.close());  // a copy that is not asked stays where it is: no loss
}

InstanceGuard::~InstanceGuard() {
  if (held_) platform_.files().releaseLock();
}

void InstanceGuard::release() {
  if (!std::exchange(held_, false)) return;
  platform_.files().releaseLock();
  platform_.discardFile(kInstanceMarkerFile);
}

}  // namespace almanouk
