// A settings file of any bytes beside a sound calendar: the reader, the
// settings screen's reader and the days ahead get through it.

#include "FuzzSupport.h"
#include "calendar/CalendarFile.h"
#include "screen/ScreenBuffer.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"

using namespace almanouk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto& folder = fuzz::freshFolder();
  fuzz::writeFile(folder / "Almanouk.ini", std::string_view(reinterpret_cast<const char*>(data), size));
  HeadlessPlatform& platform = fuzz::platformFor(folder);
  static_cast<void>(writeCalendarTemplate(platform, "ALMANOUK.AMN", "0"));
  Settings settings;
  ScreenBuffer buffer(platform, settings);
  fuzz::survive([&] { static_cast<void>(readSettings(platform, settings, buffer)); });
  int daysAhead = readDaysAhead(platform);
  if (daysAhead < 1 || daysAhead > 30) __builtin_trap();
  SettingsFileLines lines = readSettingsFileLines(platform, settings);
  (void)lines;
  return 0;
}
