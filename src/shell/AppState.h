#pragma once
// Everything the program keeps while it runs, owned in one place and handed
// to the parts that need it. A fresh AppState is a fresh program.

#include <cstdint>
#include <optional>
#include <string>

#include "alarm/AlarmScan.h"
#include "alarm/AlarmState.h"
#include "alarm/AlarmWatch.h"
#include "calendar/CalendarCache.h"
#include "calendar/Dates.h"
#include "month/MonthView.h"
#include "platform/FileResult.h"
#include "screen/ScreenBuffer.h"
#include "search/SearchScreen.h"
#include "settings/Settings.h"
#include "shell/InstanceGuard.h"
#include "shell/LoopState.h"
#include "shell/UserFileVersions.h"
#include "sync/BackgroundSync.h"

namespace almanouk {

class Platform;

struct AppState {
  AppState(Platform& platform, std::string soundFolder);
  ~AppState();
  AppState(const AppState&) = delete;
  AppState& operator=(const AppState&) = delete;

  Platform& platform;
  std::string soundFolder;  // the command line's arguments joined by blanks
  Settings settings;
  ScreenBuffer buffer;      // paints in the settings' theme
  SelectedDate date;
  DayList days;
  LoopState loop;
  AlarmState alarm;
  std::string titleText;
  InstanceGuard guard;        // this copy's hold on the data folder
  UserFileVersions versions;  // earlier contents of the user's files
  std::string listClipboard;  // the list editor's copied line, kept until the program ends
  std::optional<int> settingsField;  // the settings screen's line to reopen on after a copy or deletion
  SearchState search;                // the last search, shown again at the next F8
  std::optional<std::int64_t> diaryPosition;  // where the diary that opens next puts its cursor
  // A failure to tell on the month view's status line until the next key;
  // the first one told stays until then.
  std::string notice;
  void tell(const FileResult& result) {
    if (!result && notice.empty()) notice = saveFailedMessage(result.error());
  }
  CalendarCache calendars;  // each calendar parsed once per file version
  // Last: these refer to the members above.
  MonthView monthView;
  AlarmScanner alarms;
  AlarmWatch watch;
  BackgroundSync sync;  // last: its thread ends first
};

}  // namespace almanouk
