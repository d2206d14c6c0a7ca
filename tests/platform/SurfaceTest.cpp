#include "platform/Surface.h"

#include <gtest/gtest.h>
#include <zlib.h>

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

  // Read back as a decoder would: every chunk's CRC, the zlib stream, rows of filter type 0.
  const std::string png = test::readFile(path);
  ASSERT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
  auto number = [&png](std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(png[at]) << 24 | static_cast<unsigned char>(png[at + 1]) << 16 |
                                      static_cast<unsigned char>(png[at + 2]) << 8 | static_cast<unsigned char>(png[at + 3]));
  };
  std::string packed;
  for (std::size_t at = 8; at + 12 <= png.size();) {
    const std::uint32_t length = number(at);
    const std::string typed = png.substr(at + 4, 4 + length);
    EXPECT_EQ(number(at + 8 + length), crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size())));
    if (typed.starts_with("IHDR")) {
      EXPECT_EQ(number(at + 8), 640u);
      EXPECT_EQ(number(at + 12), 400u);
    }
    if (typed.starts_with("IDAT")) packed += typed.substr(4);
    at += 12 + length;
  }
  std::vector<unsigned char> rows(400 * (1 + 640 * 3));
  uLongf size = rows.size();
  ASSERT_EQ(uncompress(rows.data(), &size, reinterpret_cast<const Bytef*>(packed.data()), packed.size()), Z_OK);
  ASSERT_EQ(size, rows.size());
  EXPECT_EQ(rows[0], 0);
  EXPECT_EQ(rows[1], 0xFF);
  EXPECT_EQ(rows[2], 0x4E);
  EXPECT_EQ(rows.back(), 0xB1);

  std::vector<std::string> lines = test::splitLines(screenText(s));
  ASSERT_EQ(lines.size(), 25u);
  EXPECT_EQ(lines[1].substr(0, 5), "é─");
}
