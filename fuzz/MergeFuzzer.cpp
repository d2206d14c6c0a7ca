// Two calendar files of any bytes: the merge of all calendars gets through them.

#include "FuzzSupport.h"
#include "calendar/CalendarList.h"

using namespace almanouk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto& folder = fuzz::freshFolder();
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  fuzz::writeFile(folder / "EEN00000.AMN", bytes.substr(0, size / 2));
  fuzz::writeFile(folder / "TWEE0000.AMN", bytes.substr(size / 2));
  HeadlessPlatform& platform = fuzz::platformFor(folder);
  if (!mergeAllCalendars(platform).made()) __builtin_trap();
  return 0;
}
