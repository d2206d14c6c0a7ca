#include "shell/UserFileVersions.h"

#include "calendar/CalendarList.h"
#include "diary/DiaryStore.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "settings/SettingsFile.h"

namespace almanouk {
namespace {

bool isUserFile(std::string_view name) {
  return isCalendarFileName(name) || lowerAscii(name) == lowerAscii(kSettingsFile) || pageDay(name).has_value();
}

}  // namespace

UserFileVersions::UserFileVersions(Platform& platform)
    : platform_(platform), versions_(isUserFile, [&platform] { return platform.now(); }) {
  platform.files().setVersionHook([this](const std::string& path, bool inPlace) { versions_.keep(path, inPlace); });
}

UserFileVersions::~UserFileVersions() { platform_.files().setVersionHook(nullptr); }

void UserFileVersions::pruneAll() { versions_.pruneAll(platform_.files().workingFolder()); }

}  // namespace almanouk
