#include "shell/InstanceGuard.h"

#include <utility>

#include "platform/NumberedFiles.h"
#include "platform/Platform.h"

namespace almanouk {

InstanceGuard::Outcome InstanceGuard::acquire() {
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

FileResult InstanceGuard::writeMarker() {
  OutputFile marker(platform_, kInstanceMarkerFile, 1);
  marker.line("pyl");
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
