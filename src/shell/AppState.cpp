#include "shell/AppState.h"

#include <utility>

namespace almanouk {

AppState::AppState(Platform& platform, std::string soundFolder)
    : platform(platform),
      soundFolder(std::move(soundFolder)),
      buffer(platform),
      monthView(platform, buffer, settings, date, titleText, loop.keyCode),
      alarms(platform, settings, alarm, buffer, loop, this->soundFolder) {}

}  // namespace almanouk
