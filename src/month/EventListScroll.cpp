#include "month/EventListScroll.h"

#include "month/MonthView.h"
#include "platform/Platform.h"
#include "screen/MonthDecorations.h"
#include "screen/ScreenBuffer.h"
#include "settings/Settings.h"

namespace almanouk {

void EventListScroll::open() { scroll(); }

bool EventListScroll::handle(Key key) {
  if (key.is('s') || key.is('S')) {
    scroll();
    return true;
  }
  ended_ = key;
  monthView_.endScroll();
  return false;
}

ScreenResult EventListScroll::result() {
  ScreenResult result;
  result.next = Input{ended_, {}};
  return result;
}

void EventListScroll::scroll() {
  monthView_.scrollOneLine();
  buffer_.renderBuffer();
  drawGridLines(platform_);
  drawDayBox(platform_, buffer_.dayBoxLeft, buffer_.dayBoxTop, settings_.allCalendarsView());
  drawLogo(platform_);
}

}  // namespace almanouk
