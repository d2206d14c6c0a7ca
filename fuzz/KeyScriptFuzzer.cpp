// The headless driver's key script: any text is either read or refused with a message.

#include <cstdint>
#include <string>

#include "platform/headless/KeyScript.h"

using namespace almanouk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string error;
  auto script = KeyScript::parse(std::string_view(reinterpret_cast<const char*>(data), size), &error);
  if (!script && error.empty()) __builtin_trap();
  return 0;
}
