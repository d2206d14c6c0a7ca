// A calendar file of any bytes: the section search, the check, the event
// list and the alarm scan get through it.

#include "FuzzSupport.h"
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
    for (const char* section : {"maandelijks", "wekelijks", "dagelijks", "januari", "maart", "december"}) {
      CalendarReader reader(platform, "ALMANOUK.AMN");
      std::string line;
      if (!reader.findSection(section, line)) continue;
      for (; !line.empty(); reader.next(line)) {
        std::string aligned = entry::withAlignedDay(line);
        (void)entry::listedYear(aligned);
        (void)entry::namedYear(line);
        (void)entry::dueYear(line);
        (void)entry::isDayCommand(aligned);
        (void)entry::commandText(line);
      }
    }
    (void)passesCalendarCheck(platform, "ALMANOUK.AMN");
    static_cast<void>(validateCalendarFile(platform, "ALMANOUK.AMN"));
  });
  return 0;
}
