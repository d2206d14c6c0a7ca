// A calendar file of any bytes: the model, the check, the event list and the
// alarm scan get through it.

#include "FuzzSupport.h"
#include "calendar/CalendarCache.h"
#include "calendar/CalendarEntry.h"
#include "calendar/CalendarFile.h"
#include "shell/Program.h"

using namespace almanouk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto& folder = fuzz::freshFolder();
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  fuzz::writeFile(folder / "ALMANOUK.AMN", bytes);
  HeadlessPlatform& platform = fuzz::platformFor(folder);
  fuzz::survive([&] {
    CalendarCache calendars(platform.files());
    for (const Entry& entry : calendars.get("ALMANOUK.AMN")->entries()) {
      (void)entry.aligned();
      (void)entry.isDayCommand();
      (void)entry::dueYear(entry.line);
      (void)entry::commandText(entry.line);
    }
    (void)passesCalendarCheck(platform, "ALMANOUK.AMN");
    static_cast<void>(validateCalendarFile(platform, "ALMANOUK.AMN"));
  });
  return 0;
}
