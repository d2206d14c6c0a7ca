#include <gtest/gtest.h>

#include "platform/PicturePlacement.h"

using namespace almanouk;

namespace {

struct PlaceRow {
  int windowWidth, windowHeight;
  PicturePlace expected;
};

void PrintTo(const PlaceRow& row, std::ostream* out) { *out << row.windowWidth << " x " << row.windowHeight; }

}  // namespace

class PictureInAWindow : public ::testing::TestWithParam<PlaceRow> {};

TEST_P(PictureInAWindow, StandsHere) {
  const PicturePlace actual = placePicture(GetParam().windowWidth, GetParam().windowHeight);
  const PicturePlace& expected = GetParam().expected;
  EXPECT_EQ(actual.place, expected.place) << actual.place.x << "," << actual.place.y << " " << actual.place.width
                                          << " x " << actual.place.height;
  EXPECT_EQ(actual.whole, expected.whole);
  EXPECT_EQ(actual.smooth, expected.smooth);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PictureInAWindow,
    ::testing::Values(
        // Exactly the picture, and one short of it: the picture, cut, never shrunk.
        PlaceRow{640, 400, {{0, 0, 640, 400}, 1, false}}, PlaceRow{639, 400, {{0, 0, 640, 400}, 1, false}},
        PlaceRow{100, 50, {{-270, -175, 640, 400}, 1, false}},
        // One past it both ways: smoothly to the 8:5 fit.
        PlaceRow{641, 401, {{0, 0, 641, 400}, 1, true}},
        // Twice, one short of twice, one past twice.
        PlaceRow{1280, 800, {{0, 0, 1280, 800}, 2, false}}, PlaceRow{1279, 800, {{0, 0, 1279, 799}, 1, true}},
        PlaceRow{1280, 799, {{1, 0, 1278, 798}, 1, true}}, PlaceRow{1281, 800, {{0, 0, 1280, 800}, 2, false}},
        PlaceRow{1300, 800, {{10, 0, 1280, 800}, 2, false}}, PlaceRow{1300, 810, {{2, 0, 1296, 810}, 2, true}},
        // Wider than 8:5: black bands left and right; taller: above and below.
        PlaceRow{1920, 1080, {{96, 0, 1728, 1080}, 2, true}}, PlaceRow{1920, 1200, {{0, 0, 1920, 1200}, 3, false}},
        PlaceRow{2560, 1440, {{128, 0, 2304, 1440}, 3, true}}, PlaceRow{800, 1600, {{0, 550, 800, 500}, 1, true}}));

namespace {

struct ScaleRow {
  int usableWidth, usableHeight, scale;
};

void PrintTo(const ScaleRow& row, std::ostream* out) { *out << row.usableWidth << " x " << row.usableHeight; }

}  // namespace

class StartScale : public ::testing::TestWithParam<ScaleRow> {};

TEST_P(StartScale, IsTheLargestWholeFactorInTwoThirds) {
  EXPECT_EQ(startScale(GetParam().usableWidth, GetParam().usableHeight), GetParam().scale)
      << GetParam().usableWidth << " x " << GetParam().usableHeight;
}

INSTANTIATE_TEST_SUITE_P(Rows, StartScale,
                         ::testing::Values(ScaleRow{800, 600, 1}, ScaleRow{1920, 1080, 1}, ScaleRow{1920, 1200, 2},
                                           ScaleRow{1919, 1200, 1}, ScaleRow{1920, 1199, 1}, ScaleRow{2560, 1440, 2},
                                           ScaleRow{3840, 2160, 3}, ScaleRow{0, 0, 1}));

TEST(Centred, StandsInTheMiddleOfTheUsableAreaAndNeverLeftOfOrAboveIt) {
  EXPECT_EQ(centred({0, 0, 1920, 1040}, 1296, 839), (Rectangle{312, 100, 1296, 839}));
  EXPECT_EQ(centred({100, 40, 1920, 1040}, 1296, 839), (Rectangle{412, 140, 1296, 839}));
  EXPECT_EQ(centred({0, 0, 1920, 1040}, 1921, 1041), (Rectangle{0, 0, 1921, 1041}));
  EXPECT_EQ(centred({0, 0, 1920, 1040}, 1920, 1040), (Rectangle{0, 0, 1920, 1040}));
}
