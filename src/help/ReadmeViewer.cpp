#include "help/ReadmeViewer.h"

#include <algorithm>

#include "help/ReadmeText.h"
#include "platform/Keys.h"
#include "platform/NumberedFiles.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "screen/ScreenBuffer.h"

namespace almanouk {
namespace {

constexpr std::uint32_t kReadmeGreen = 0x64C800;  // red 100, green 200, blue 0
// The limits are tied to the readme's 144 lines: Down stops at 119, Page Down
// may reach 142 (line 143 and the empty lines after it).
constexpr int kLastTopByLine = 119;
constexpr int kLastTopByPage = 142;
constexpr int kPage = 24;

}  // namespace

void ReadmeViewer::open() {
  platform_.setColours(kReadmeGreen, 0);
  readmeTop_ = 0;
}

void ReadmeViewer::draw() {
  InputFile readme(platform_, kReadmeFile, 1);
  for (int skipped = 0; skipped < readmeTop_; ++skipped) readme.nextLine();
  for (int row = 0; row < ScreenBuffer::kScreenRows; ++row)
    printAt(platform_, row, 0, padRight(readme.nextLine(), ScreenBuffer::kColumns));
  focusAt(platform_, 0, 0);
}

bool ReadmeViewer::handle(Key key) {
  if (key.is(keys::kEscape)) return false;
  if (!key.isExtended()) return true;
  switch (key.code()) {
    case KeyCode::Up: readmeTop_ = std::max(readmeTop_ - 1, 0); break;
    case KeyCode::Down:
      if (readmeTop_ < kLastTopByLine) ++readmeTop_;
      break;
    case KeyCode::PageUp: readmeTop_ = std::max(readmeTop_ - kPage, 0); break;
    case KeyCode::PageDown:
      if (readmeTop_ + kPage <= kLastTopByPage) readmeTop_ += kPage;
      break;
    default: break;
  }
  return true;
}

ScreenResult ReadmeViewer::result() {
  ScreenResult result;
  result.redrawMonthView = true;
  return result;
}

}  // namespace almanouk
