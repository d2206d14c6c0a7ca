#pragma once
// The help boxes, printed straight onto the screen over what is shown: the
// month view's (F1) and the list editor's. The next render removes them.

#include <string>

#include "screen/SubScreen.h"

namespace almanouk {

class Platform;
class ScreenBuffer;

// F1 in the month view. The key that closes the box is the main loop's next key.
class HelpBox : public SubScreen {
 public:
  HelpBox(Platform& platform, ScreenBuffer& buffer) : platform_(platform), buffer_(buffer) {}
  ScreenResult run() override;

 private:
  Platform& platform_;
  ScreenBuffer& buffer_;
};

// Shows the list editor's help box; returns the key that closed it.
std::string showEditorHelp(Platform& platform, const ScreenBuffer& buffer);

}  // namespace almanouk
