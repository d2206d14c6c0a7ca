#include "platform/PicturePlacement.h"

#include <algorithm>

#include "platform/Surface.h"

namespace almanouk {

PicturePlace placePicture(int windowWidth, int windowHeight) {
  constexpr int kWidth = Surface::kWidth, kHeight = Surface::kHeight;
  PicturePlace result;
  result.whole = std::max(1, std::min(windowWidth / kWidth, windowHeight / kHeight));
  // The largest 8:5 rectangle in the window.
  const int width = std::min(windowWidth, windowHeight * kWidth / kHeight);
  const int height = width * kHeight / kWidth;
  if (width <= kWidth * result.whole) {
    const int wholeWidth = kWidth * result.whole, wholeHeight = kHeight * result.whole;
    result.place = {(windowWidth - wholeWidth) / 2, (windowHeight - wholeHeight) / 2, wholeWidth, wholeHeight};
  } else {
    result.place = {(windowWidth - width) / 2, (windowHeight - height) / 2, width, height};
    result.smooth = true;
  }
  return result;
}

int startScale(int usableWidth, int usableHeight) {
  return std::max(1, std::min(usableWidth * 2 / 3 / Surface::kWidth, usableHeight * 2 / 3 / Surface::kHeight));
}

Rectangle centred(const Rectangle& usable, int width, int height) {
  return {usable.x + std::max(0, (usable.width - width) / 2), usable.y + std::max(0, (usable.height - height) / 2),
          width, height};
}

}  // namespace almanouk
