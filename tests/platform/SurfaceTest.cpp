#include "platform/Surface.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>

#include "TestSupport.h"
#include "platform/SurfaceDump.h"
#include "platform/Text.h"

using namespace almanouk;

TEST(Surface, PrintingTheLastCellDoesNotScroll) {
  Surface s;
  s.setColours(0xFFFFFF, 0x0000FF);
  s.moveCursor(1, 1);
  s.printText("top", false);
  s.setColours(0xFF000000u | 0xFFFFFF, 0xFF00FF00u);  // top byte ignored
  s.moveCursor(25, 1);
  s.printText(std::string(80, 'x'), false);
  EXPECT_EQ(s.charAt(1, 1), 't');
  EXPECT_EQ(s.charAt(25, 80), 'x');
  EXPECT_EQ(s.pixelAt(0, 399), 0x00FF00u);
  EXPECT_EQ(s.pixelAt(0, 0) & 0xFFFFFF, s.pixelAt(0, 0));
  // Text past the bottom row is not drawn anywhere.
  s.printText("yy", true);
  EXPECT_EQ(s.charAt(1, 1), 't');
}

TEST(Surface, CursorMovesKeepZeroAndMinusOneAsUnchanged) {
  Surface s;
  s.moveCursor(5, 10, 1);
  s.moveCursor(0, 20, -1);
  EXPECT_EQ(s.cursorRow(), 5);
  EXPECT_EQ(s.cursorColumn(), 20);
  EXPECT_TRUE(s.cursorVisible());
  s.moveCursor(7, 0, 0);
  EXPECT_EQ(s.cursorRow(), 7);
  EXPECT_EQ(s.cursorColumn(), 20);
  EXPECT_FALSE(s.cursorVisible());
  s.printText("ab", true);
  EXPECT_EQ(s.cursorRow(), 8);
  EXPECT_EQ(s.cursorColumn(), 1);
  s.moveCursor(3, 79);
  s.printText("abc", false);
  EXPECT_EQ(s.cursorRow(), 4);
  EXPECT_EQ(s.cursorColumn(), 2);
  EXPECT_EQ(s.charAt(4, 1), 'c');
}

TEST(Surface, LinesIncludeBothEndsAndStayInside) {
  Surface s;
  s.drawLine(67, 86, 349, 86, 0xEAEAEA);
  s.drawLine(68, 87, 68, 279, 0xFF0000FF);
  EXPECT_EQ(s.pixelAt(67, 86), 0xEAEAEAu);
  EXPECT_EQ(s.pixelAt(349, 86), 0xEAEAEAu);
  EXPECT_EQ(s.pixelAt(350, 86), 0u);
  EXPECT_EQ(s.pixelAt(68, 279), 0x0000FFu);
  s.drawLine(-10, 5, 700, 5, 0x123456);  // clipped, not written outside
  EXPECT_EQ(s.pixelAt(639, 5), 0x123456u);
}

TEST(Surface, ClearScreenFillsWithBackgroundAndHomesCursor) {
  Surface s;
  s.setColours(0, 0x03958C);
  s.moveCursor(10, 10);
  s.clearScreen();
  EXPECT_EQ(s.pixelAt(639, 399), 0x03958Cu);
  EXPECT_EQ(s.cursorRow(), 1);
  EXPECT_EQ(s.cursorColumn(), 1);
}

TEST(SurfaceDump, PngRoundTripAndTextDump) {
  test::TempFolder folder;
  Surface s;
  s.putPixel(0, 0, 0xFF4E4E);
  s.putPixel(639, 399, 0x0000B1);
  s.moveCursor(2, 1);
  s.printText(cp437("é─"), false);
  std::string path = (folder / "s.png").string();
  ASSERT_TRUE(writePng(s, path));

  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
  image.format = PNG_FORMAT_RGB;
  std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
  EXPECT_EQ(image.width, 640u);
  EXPECT_EQ(image.height, 400u);
  EXPECT_EQ(rgb[0], 0xFF);
  EXPECT_EQ(rgb[1], 0x4E);
  std::size_t last = rgb.size() - 3;
  EXPECT_EQ(rgb[last + 2], 0xB1);

  std::vector<std::string> lines = test::splitLines(screenText(s));
  ASSERT_EQ(lines.size(), 25u);
  EXPECT_EQ(lines[1].substr(0, 5), "é─");
}
