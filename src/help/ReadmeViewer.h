#pragma once

#include "ui/Screen.h"

namespace almanouk {

class Platform;

// F6: the readme file full-screen, 25 lines at a time, paged with the arrows
// and Page Up/Down; Esc goes back to the month view.
class ReadmeViewer : public Screen {
 public:
  explicit ReadmeViewer(Platform& platform) : platform_(platform) {}
  void open() override;
  void draw() override;
  bool handle(Key key) override;
  ScreenResult result() override;

 private:

  Platform& platform_;
  int readmeTop_ = 0;  // the first file line shown, 0-based
};

}  // namespace almanouk
