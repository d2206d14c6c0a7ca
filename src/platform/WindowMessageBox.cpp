#include "platform/WindowMessageBox.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/Text.h"

namespace almanouk {
namespace {

constexpr std::size_t kTextWidth = 72;
constexpr std::size_t kMaxLines = 17;
constexpr std::uint32_t kBoxForeground = 0xFFFFFF;
constexpr std::uint32_t kBoxBackground = 0x1D1DE2;

// Each line of the text broken at the last blank that keeps it within the
// width, else hard.
std::vector<std::string> wrap(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size() && lines.size() < kMaxLines) {
    std::size_t end = std::min(text.find('\n', start), text.size());
    std::string rest = text.substr(start, end - start);
    while (!rest.empty() && rest.back() == ' ') rest.pop_back();
    do {
      std::size_t cut = rest.size() <= kTextWidth ? rest.size() : rest.rfind(' ', kTextWidth);
      if (cut == std::string::npos || cut == 0) cut = std::min(kTextWidth, rest.size());
      lines.push_back(rest.substr(0, cut));
      rest.erase(0, cut);
      if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
    } while (!rest.empty() && lines.size() < kMaxLines);
    start = end + 1;
  }
  if (lines.empty()) lines.emplace_back();
  return lines;
}

}  // namespace

BoxCells drawWindowMessageBox(Surface& surface, std::string_view messageUtf8, std::string_view captionUtf8,
                              const std::vector<std::string>& buttons, std::optional<CellPosition> at) {
  // The blanks that pad a system box's messageUtf8 would only push it off centre here.
  std::string body = cp437(messageUtf8);
  body.erase(0, body.find_first_not_of(' ') == std::string::npos ? body.size() : body.find_first_not_of(' '));
  const std::vector<std::string> lines = wrap(body);
  std::string choices;
  for (const std::string& button : buttons) choices += (choices.empty() ? "[ " : "  [ ") + cp437(button) + " ]";
  const std::string title = " " + cp437(captionUtf8).substr(0, kTextWidth - 2) + " ";
  std::size_t inner = std::max(title.size(), choices.size()) + 2;
  for (const std::string& line : lines) inner = std::max(inner, line.size() + 2);
  const int width = static_cast<int>(inner) + 2;
  const int height = static_cast<int>(lines.size()) + 5;
  const int top = at ? at->row : (Surface::kRows - height) / 2 + 1;
  const int leftColumn = at ? at->column : (Surface::kColumns - width) / 2 + 1;

  surface.setColours(kBoxForeground, kBoxBackground);
  auto row = [&](int offset, const std::string& content) {
    surface.moveCursor(top + offset, leftColumn);
    surface.printText(content, false);
  };
  const std::string bar = cp437("─");
  std::string border = cp437("┌") + title;
  for (int i = static_cast<int>(title.size()); i < static_cast<int>(inner); ++i) border += bar;
  row(0, border + cp437("┐"));
  const std::string side = cp437("│");
  row(1, side + std::string(inner, ' ') + side);
  for (std::size_t i = 0; i < lines.size(); ++i)
    row(2 + static_cast<int>(i), side + " " + padRight(lines[i], static_cast<int>(inner) - 1) + side);
  std::size_t choicesLeft = (inner - choices.size()) / 2;
  row(height - 3, side + std::string(inner, ' ') + side);
  row(height - 2, side + std::string(choicesLeft, ' ') + choices + std::string(inner - choicesLeft - choices.size(), ' ') + side);
  std::string bottom = cp437("└");
  for (std::size_t i = 0; i < inner; ++i) bottom += bar;
  row(height - 1, bottom + cp437("┘"));
  // On the first button's name, where a screen reader starts to read.
  surface.setFocus(top + height - 2, leftColumn + 1 + static_cast<int>(choicesLeft) + 2);
  return {height, width};
}

}  // namespace almanouk
