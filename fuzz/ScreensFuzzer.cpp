// Random keys through every screen, one key per byte: no calendar the start
// refuses is written, nothing outside the program's folders, no temporary
// file left, a diary page holds only typed or old bytes, the next start works.

#include "FuzzSupport.h"
#include "e2e/KeyStorm.h"

using namespace almanouk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kMostKeys = 200;
  if (size > kMostKeys) return 0;
  const auto& folder = fuzz::freshFolder();
  test::prepareStormFolder(folder);
  if (!test::runStorm(folder, std::string_view(reinterpret_cast<const char*>(data), size)).empty()) __builtin_trap();
  return 0;
}
