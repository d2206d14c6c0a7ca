#pragma once
// Where the program's picture (640 x 400, Surface's size) stands in a window,
// and the window's size at start: the arithmetic both window backends (SDL,
// the Windows API) share, so that their windows look alike.

namespace almanouk {

struct Rectangle {
  int x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const Rectangle&, const Rectangle&) = default;
};

// The picture in a window of that inner size: enlarged by the largest whole
// factor that fits (at least 1), pixel for pixel, and where the window's 8:5
// fit is larger still, the rest of the way smoothly; centred, black around.
struct PicturePlace {
  Rectangle place;   // the picture's rectangle in the window (past its edges in a window smaller than the picture)
  int whole = 1;     // the whole factor
  bool smooth = false;  // place is larger than the whole enlargement: drawn from it, smoothly
  friend bool operator==(const PicturePlace&, const PicturePlace&) = default;
};
PicturePlace placePicture(int windowWidth, int windowHeight);

// The window's inner size at start: the largest whole enlargement that fits
// in two thirds of the usable part of the screen, at least the picture itself.
int startScale(int usableWidth, int usableHeight);

// A window of that size in the middle of the usable area (its top left corner inside it).
Rectangle centred(const Rectangle& usable, int width, int height);

}  // namespace almanouk
