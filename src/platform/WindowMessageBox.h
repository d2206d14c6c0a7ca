#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Surface.h"

namespace almanouk {

// Draws a message box with its buttons on the text screen: the caption in
// its top border, the text wrapped at 72 characters (at most 17 lines, a line
// end starting a new one). Texts are UTF-8, as the system's message box takes
// them. In the middle, or with its top left corner in the cell given (1-based).
struct BoxCells {
  int rows = 0, columns = 0;
};
struct CellPosition {
  int row = 1, column = 1;
};
BoxCells drawWindowMessageBox(Surface& surface, std::string_view messageUtf8, std::string_view captionUtf8,
                              const std::vector<std::string>& buttons = {"OK"},
                              std::optional<CellPosition> at = std::nullopt);

}  // namespace almanouk
