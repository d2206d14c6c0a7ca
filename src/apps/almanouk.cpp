// Until the program's shell exists: opens the window, shows every glyph and a
// little Dutch text with box drawing, and ends on Esc or the close button.

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "platform/Keys.h"
#include "platform/Text.h"
#include "platform/sdl/SdlPlatform.h"

using namespace almanouk;

int main() {
  try {
    SdlPlatform platform(std::filesystem::current_path().string());
    platform.openScreen(640, 400, 32);
    platform.setTextGrid(80, 25);
    platform.setColours(0xC8C8C8, 0);
    platform.clearScreen();
    for (int c = 0; c < 256; ++c) {
      platform.moveCursor(2 + c / 32, 8 + (c % 32) * 2);
      platform.printText(std::string(1, static_cast<char>(c)));
    }
    platform.setColours(0xFFFFFF, 0x0000FF);
    platform.moveCursor(12, 8);
    platform.printText(cp437("┌────┬────┬────┐"));
    platform.moveCursor(13, 8);
    platform.printText(cp437("│ ma │ di │ wo │"));
    platform.moveCursor(14, 8);
    platform.printText(cp437("└────┴────┴────┘"));
    platform.setColours(0xC8C8C8, 0);
    platform.moveCursor(16, 8);
    platform.printText(cp437("Elke maand popupt deze op de tijd én wordt getoond. Geïnitialiseerd."));
    platform.moveCursor(25, 1);
    platform.printText(padRight(" Esc of kruisje: stoppen", 80));
    for (;;) {
      std::string key = platform.readKey();
      if (key == std::string(1, keys::kEscape) || keys::extendedCode(key) == keys::kClose) return 0;
      if (key.empty()) platform.pause(30);
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "almanouk: %s\n", error.what());
    return 1;
  }
}
