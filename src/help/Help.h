#pragma once
// The program's own explanations: the help box of the month view (F1), the
// list editor's help box, and the readme file with its full-screen viewer (F6).

#include <string>
#include <string_view>

namespace almanouk {

class Platform;
class ScreenBuffer;

inline constexpr std::string_view kReadmeFile = "Almanouk145.txt";

// Shows the month view's help box; returns the key that closed it.
std::string showHelp(Platform& platform, ScreenBuffer& buffer, int themeBg);
// Shows the list editor's help box; returns the key that closed it.
std::string showEditorHelp(Platform& platform, int themeFg, int themeBg);
// Writes the readme file (144 lines) into the working folder.
void writeReadme(Platform& platform);
// Pages through the readme file until Esc.
void showReadme(Platform& platform);

}  // namespace almanouk
