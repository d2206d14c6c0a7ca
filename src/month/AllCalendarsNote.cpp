#include "month/AllCalendarsNote.h"

#include <array>

#include "platform/Platform.h"
#include "screen/ScreenBuffer.h"

namespace almanouk {
namespace {

constexpr int kTopRow = 10;
constexpr int kColumn = 26;
constexpr std::array<const char*, 4> kLines = {"                           ", "   Zet eerst gezamelijke   ",
                                               "   almanouks uit met F7.   ", "                           "};

}  // namespace

void AllCalendarsNote::open() {
  platform_.setColours(0xFFFFFF, 0xDD0000);
  for (std::size_t i = 0; i < kLines.size(); ++i) printAt(platform_, kTopRow + static_cast<int>(i), kColumn, kLines[i]);
  focusAt(platform_, kTopRow + 1, kColumn + 3);
}

bool AllCalendarsNote::handle(Key key) {
  platform_.putBack(key);
  return false;
}

}  // namespace almanouk
