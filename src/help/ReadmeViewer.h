#pragma once

#include "screen/SubScreen.h"

namespace almanouk {

class Platform;

// F6: the readme file full-screen, 25 lines at a time, paged with the arrows
// and Page Up/Down; Esc goes back to the month view.
class ReadmeViewer : public SubScreen {
 public:
  explicit ReadmeViewer(Platform& platform) : platform_(platform) {}
  ScreenResult run() override;

 private:
  void showPage();

  Platform& platform_;
  int readmeTop_ = 0;  // the first file line shown, 0-based
};

}  // namespace almanouk
