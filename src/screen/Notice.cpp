#include "screen/Notice.h"

#include <string>

#include "platform/Text.h"
#include "screen/ScreenBuffer.h"

namespace almanouk {

void drawNotice(ScreenBuffer& buffer, std::string_view text) {
  buffer.drawStatusBar(padRight(" " + std::string(text), ScreenBuffer::kColumns), kRedBar);
}

void clearNotice(ScreenBuffer& buffer) { buffer.printBlankRow(ScreenBuffer::kStatusRow); }

}  // namespace almanouk
