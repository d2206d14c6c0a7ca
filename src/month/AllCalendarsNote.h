#pragma once

#include "ui/Screen.h"

namespace almanouk {

class Platform;

// The note in the all-calendars view when a key would edit a calendar or a
// diary: leave the view with F7 first. The key that closes the note is left
// for the month view, so F7 here also leaves the view.
class AllCalendarsNote : public Screen {
 public:
  explicit AllCalendarsNote(Platform& platform) : platform_(platform) {}
  void open() override;
  bool handle(Key key) override;

 private:
  Platform& platform_;
};

}  // namespace almanouk
