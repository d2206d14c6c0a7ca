#include "shell/AppState.h"

#include <utility>

#include "platform/Platform.h"

namespace almanouk {

AppState::AppState(Platform& platform, std::string soundFolder)
    : platform(platform),
      soundFolder(std::move(soundFolder)),
      buffer(platform, settings),
      guard(platform),
      versions(platform),
      calendars(platform.files()),
      monthView(platform, buffer, settings, date, titleText, calendars),
      alarms(platform, settings, alarm, this->soundFolder, calendars),
      watch(platform, calendars, settings, alarms),
      sync(platform) {}

AppState::~AppState() = default;

}  // namespace almanouk
