#include "shell/AppState.h"

#include <utility>

namespace almanouk {

AppState::AppState(Platform& platform, std::string soundFolder)
    : platform(platform),
      soundFolder(std::move(soundFolder)),
      buffer(platform, settings),
      monthView(platform, buffer, settings, date, titleText),
      alarms(platform, settings, alarm, buffer, this->soundFolder) {}

}  // namespace almanouk
