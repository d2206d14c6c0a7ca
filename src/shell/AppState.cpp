#include "shell/AppState.h"

#include <utility>

#include "calendar/CalendarList.h"
#include "diary/DiaryStore.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "settings/SettingsFile.h"

namespace almanouk {
namespace {

// The files the user wrote: calendars, the settings and the diary pages.
bool isUserFile(std::string_view name) {
  return isCalendarFileName(name) || lowerAscii(name) == lowerAscii(kSettingsFile) || pageDay(name).has_value();
}

}  // namespace

AppState::AppState(Platform& platform, std::string soundFolder)
    : platform(platform),
      soundFolder(std::move(soundFolder)),
      buffer(platform, settings),
      versions(isUserFile, [&platform] { return platform.now(); }),
      calendars(platform.files()),
      monthView(platform, buffer, settings, date, titleText, calendars),
      alarms(platform, settings, alarm, buffer, this->soundFolder, calendars) {
  platform.files().setVersionHook([this](const std::string& path, bool inPlace) { versions.keep(path, inPlace); });
}

AppState::~AppState() { platform.files().setVersionHook(nullptr); }

}  // namespace almanouk
