#include "screen/MonthDecorations.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/headless/HeadlessPlatform.h"

using namespace almanouk;

namespace {

// The box of Monday in the first week row, as the renderer records it.
constexpr int kLeft = 70;
constexpr int kTop = 89;

struct MonthDecorationsTest : ::testing::Test {
  test::TempFolder folder;
  HeadlessPlatform platform{test::headlessOptions(folder), KeyScript{}};

  // The selected day's cell as the renderer leaves it: blue, with one glyph pixel of the number.
  void paintSelectedDay() {
    for (int y = kTop; y <= kTop + 28; ++y)
      for (int x = kLeft; x <= kLeft + 36; ++x) platform.putPixel(x, y, 0x0000FF);
    platform.putPixel(90, 100, 0xFFFFFF);
    platform.putPixel(91, 100, 0xFF96FF);
  }
};

}  // namespace

TEST_F(MonthDecorationsTest, GridLinesAreLightBlueAndDark) {
  drawGridLines(platform);
  EXPECT_EQ(platform.pixelAt(67, 86), 0xEAEAEAu);
  EXPECT_EQ(platform.pixelAt(68, 87), 0x0000FFu);
  EXPECT_EQ(platform.pixelAt(349, 280), 0xA6A6A6u);
  EXPECT_EQ(platform.pixelAt(67, 280), 0xEAEAEAu);
  EXPECT_EQ(platform.pixelAt(349, 86), 0xEAEAEAu);
  EXPECT_EQ(platform.pixelAt(69, 100), 0xA6A6A6u);
  EXPECT_EQ(platform.pixelAt(200, 150), 0xEAEAEAu);
  EXPECT_EQ(platform.pixelAt(200, 151), 0x0000FFu);
  EXPECT_EQ(platform.pixelAt(200, 152), 0xA6A6A6u);
  EXPECT_EQ(platform.pixelAt(228, 150), 0x0000FFu);  // the blue verticals come last
  EXPECT_EQ(platform.pixelAt(100, 100), 0x000000u);  // cell interiors untouched
  EXPECT_EQ(platform.pixelAt(350, 100), 0x000000u);
}

TEST_F(MonthDecorationsTest, DayBoxIsBevelledWithMitredCorners) {
  paintSelectedDay();
  drawDayBox(platform, kLeft, kTop, false);
  EXPECT_EQ(platform.pixelAt(80, 100), 0x2727D8u);
  EXPECT_EQ(platform.pixelAt(90, 100), 0xFFFFFFu);
  EXPECT_EQ(platform.pixelAt(91, 100), 0xFF96FFu);
  EXPECT_EQ(platform.pixelAt(104, 100), 0x0000B1u);
  EXPECT_EQ(platform.pixelAt(103, 100), 0x0000B1u);
  EXPECT_EQ(platform.pixelAt(102, 100), 0x2727D8u);
  EXPECT_EQ(platform.pixelAt(72, 100), 0x4E4EFFu);
  EXPECT_EQ(platform.pixelAt(73, 100), 0x4E4EFFu);
  EXPECT_EQ(platform.pixelAt(74, 100), 0x2727D8u);
  EXPECT_EQ(platform.pixelAt(80, 91), 0x4E4EFFu);
  EXPECT_EQ(platform.pixelAt(80, 115), 0x0000B1u);
  EXPECT_EQ(platform.pixelAt(104, 91), 0x4E4EFFu);  // top right: the light edge on top
  EXPECT_EQ(platform.pixelAt(104, 92), 0x0000B1u);
  EXPECT_EQ(platform.pixelAt(72, 115), 0x4E4EFFu);  // bottom left
  EXPECT_EQ(platform.pixelAt(73, 115), 0x0000B1u);
  EXPECT_EQ(platform.pixelAt(71, 100), 0x0000FFu);  // outside the box
  EXPECT_EQ(platform.pixelAt(105, 100), 0x0000FFu);
  EXPECT_EQ(platform.pixelAt(80, 116), 0x0000FFu);
}

TEST_F(MonthDecorationsTest, AllCalendarsViewDrawsThickerBorders) {
  paintSelectedDay();
  drawDayBox(platform, kLeft, kTop, true);
  for (int x = 102; x <= 104; ++x) EXPECT_EQ(platform.pixelAt(x, 100), 0x0000B1u) << x;
  for (int x = 72; x <= 74; ++x) EXPECT_EQ(platform.pixelAt(x, 100), 0x4E4EFFu) << x;
  EXPECT_EQ(platform.pixelAt(75, 100), 0x2727D8u);
  EXPECT_EQ(platform.pixelAt(101, 100), 0x2727D8u);
  for (int y = 113; y <= 115; ++y) EXPECT_EQ(platform.pixelAt(90, y), 0x0000B1u) << y;
  for (int y = 91; y <= 93; ++y) EXPECT_EQ(platform.pixelAt(90, y), 0x4E4EFFu) << y;
  // The third light column stops above the two bottom rows.
  EXPECT_EQ(platform.pixelAt(74, 113), 0x4E4EFFu);
  EXPECT_EQ(platform.pixelAt(74, 114), 0x0000B1u);
  EXPECT_EQ(platform.pixelAt(90, 100), 0xFFFFFFu);
}

TEST_F(MonthDecorationsTest, EmblemIsYellowInsideTheLastCell) {
  drawGridLines(platform);
  drawLogo(platform);
  int yellow = 0;
  for (int y = 0; y < 400; ++y)
    for (int x = 0; x < 640; ++x) {
      if (platform.pixelAt(x, y) != 0xFFFF00u) continue;
      ++yellow;
      EXPECT_TRUE(x >= 314 && x <= 341 && y >= 251 && y <= 275) << x << "," << y;
    }
  EXPECT_GT(yellow, 100);
  EXPECT_EQ(platform.pixelAt(314, 251), 0x000000u);  // clear pixels leave the surface alone
  EXPECT_EQ(platform.pixelAt(347, 260), 0xEAEAEAu);
}
