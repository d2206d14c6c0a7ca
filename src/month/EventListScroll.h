#pragma once

#include "ui/Screen.h"

namespace almanouk {

class MonthView;
class Platform;
class ScreenBuffer;
struct Settings;

// "s" in the month view: the event list moves up a line per "s", bringing in
// the entries that did not fit. Any other key ends it and is handled by the
// month view next, without a new wait. It is a mode of the month view run by
// the modal runner, so it moves the view's own lines in place: the lines it
// brings in are the view's, and no effect in a result could do that.
class EventListScroll : public Screen {
 public:
  EventListScroll(Platform& platform, ScreenBuffer& buffer, const Settings& settings, MonthView& monthView)
      : platform_(platform), buffer_(buffer), settings_(settings), monthView_(monthView) {}
  void open() override;
  bool handle(Key key) override;
  ScreenResult result() override;

 private:
  void scroll();

  Platform& platform_;
  ScreenBuffer& buffer_;
  const Settings& settings_;
  MonthView& monthView_;
  Key ended_;
};

}  // namespace almanouk
