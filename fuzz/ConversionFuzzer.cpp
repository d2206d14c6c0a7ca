// Any bytes as a calendar file and as the settings file of an older version:
// the conversion gets through them, and converting what it wrote changes
// nothing, so the files settle after one start.

#include "FuzzSupport.h"
#include "shell/Conversion.h"

using namespace almanouk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto& folder = fuzz::freshFolder();
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  fuzz::writeFile(folder / "OUD00000.AMN", bytes);
  fuzz::writeFile(folder / "Almanouk.ini", bytes);
  HeadlessPlatform& platform = fuzz::platformFor(folder);
  static_cast<void>(convertOlderData(platform));
  std::string calendar = fuzz::readFile(folder / "OUD00000.AMN");
  std::string settings = fuzz::readFile(folder / "Almanouk.ini");
  static_cast<void>(convertOlderData(platform));
  if (fuzz::readFile(folder / "OUD00000.AMN") != calendar) __builtin_trap();
  if (fuzz::readFile(folder / "Almanouk.ini") != settings) __builtin_trap();
  return 0;
}
