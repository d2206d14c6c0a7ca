#pragma once
// The help boxes, printed straight onto the screen over what is shown: the
// month view's (F1) and the list editor's. The next render removes them.

#include "ui/Screen.h"

namespace almanouk {

class Platform;
class ScreenBuffer;

// F1 in the month view; any key closes it, and nothing else comes of that key.
class HelpBox : public Screen {
 public:
  HelpBox(Platform& platform, ScreenBuffer& buffer) : platform_(platform), buffer_(buffer) {}
  void open() override;
  bool handle(Key) override { return false; }

 private:
  Platform& platform_;
  ScreenBuffer& buffer_;
};

// Prints the list editor's help box; the editor decides what the next key does.
void drawEditorHelp(Platform& platform, const ScreenBuffer& buffer);

}  // namespace almanouk
