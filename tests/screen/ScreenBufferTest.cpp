#include "screen/ScreenBuffer.h"

#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "platform/headless/HeadlessPlatform.h"

using namespace almanouk;

namespace {

constexpr int kBlock = 219;  // full block: every pixel of the cell in the foreground colour

struct ScreenBufferTest : ::testing::Test {
  test::TempFolder folder;
  HeadlessPlatform platform{test::headlessOptions(folder), KeyScript{}};
  Theme theme;
  ScreenBuffer buffer{platform, theme};

  void useTheme(int fg, int bg) {
    theme.themeFg = fg;
    theme.themeBg = bg;
  }
  void clearBuffer(int fg, int bg) {
    useTheme(fg, bg);
    buffer.clearBuffer();
  }

  // Top-left pixel of a screen cell (1-based row and column).
  std::uint32_t cellPixel(int row, int column, int dx = 0, int dy = 0) {
    return platform.pixelAt(8 * (column - 1) + dx, 16 * (row - 1) + dy);
  }

  void fillScreenRows(int character, int attribute) {
    for (int i = 0; i < 25 * 80; ++i) buffer.cell(i) = Cell{character, attribute};
  }

  int attributeAt(int row, int column) { return buffer.at(row, column).attribute; }
};

}  // namespace

TEST_F(ScreenBufferTest, PutTextWrapsToTheNextRowAndIsCutAtTheEnd) {
  buffer.curFg = 12;
  buffer.curBg = 1;
  buffer.putText(0, 78, "abcd");
  EXPECT_EQ(buffer.at(0, 78).character, 'a');
  EXPECT_EQ(buffer.at(0, 79).character, 'b');
  EXPECT_EQ(buffer.at(1, 0).character, 'c');
  EXPECT_EQ(buffer.at(1, 1).character, 'd');
  EXPECT_EQ(buffer.at(1, 1).attribute, 28);
  EXPECT_EQ(buffer.at(1, 2).character, ' ');

  buffer.putText(49, 78, "xyz!");
  EXPECT_EQ(buffer.cell(3998).character, 'x');
  EXPECT_EQ(buffer.cell(3999).character, 'y');
  EXPECT_EQ(buffer.cell(0).character, ' ');
  buffer.putText(60, 0, "far away");  // wholly outside: nothing written, nothing broken
  buffer.putText(2, 5, "");
  EXPECT_EQ(buffer.at(2, 5).attribute, 0);
  // Non-ASCII bytes keep their code page 437 value.
  buffer.putText(3, 0, "\x82");
  EXPECT_EQ(buffer.at(3, 0).character, 0x82);
}

TEST_F(ScreenBufferTest, EchoAndCursorCellPrintInTheirOwnColours) {
  buffer.curFg = 7;
  buffer.putTextEcho(4, 10, std::string(1, static_cast<char>(kBlock)) + " ");
  EXPECT_EQ(buffer.at(4, 10).character, kBlock);
  EXPECT_EQ(buffer.at(4, 10).attribute, 7);
  EXPECT_EQ(platform.surface().charAt(5, 11), kBlock);
  EXPECT_EQ(cellPixel(5, 11), 0xFFFFFFu);
  EXPECT_EQ(cellPixel(5, 12), 0xFF0000u);

  buffer.at(6, 0) = Cell{' ', 7};
  buffer.repaintCell(6, 0);
  EXPECT_EQ(cellPixel(7, 1), 0xB400B4u);
  EXPECT_EQ(buffer.at(6, 0).attribute, 7);
}

TEST_F(ScreenBufferTest, ClearBufferUsesTheThemeColours) {
  buffer.at(30, 5) = Cell{'w', 99};  // the work area below the screen is kept
  buffer.at(24, 79) = Cell{'s', 99};
  clearBuffer(15, 0);
  EXPECT_EQ(platform.pixelAt(320, 200), 0x000000u);
  EXPECT_EQ(buffer.at(24, 79).character, ' ');
  EXPECT_EQ(buffer.at(24, 79).attribute, 0);
  EXPECT_EQ(buffer.at(30, 5).attribute, 99);

  clearBuffer(0, 15);
  EXPECT_EQ(platform.pixelAt(0, 0), 0x07AE2Cu);
  EXPECT_EQ(platform.pixelAt(639, 399), 0x07AE2Cu);
  EXPECT_EQ(buffer.at(0, 0).attribute, 240);
  EXPECT_EQ(buffer.at(30, 5).character, 'w');
}

TEST_F(ScreenBufferTest, OneAttributePaintsRowsTwoToTwentyFourAsOneRun) {
  clearBuffer(7, 0);
  for (int i = 0; i < 25 * 80; ++i) buffer.cell(i) = Cell{'A' + i % 26, 7};
  buffer.renderBuffer();
  // 1840 characters from screen row 2, column 1: the cursor ends at the start of row 25.
  EXPECT_EQ(platform.cursorRow(), 25);
  EXPECT_EQ(platform.cursorColumn(), 1);
  EXPECT_EQ(platform.surface().charAt(2, 1), 'A' + 80 % 26);
  EXPECT_EQ(platform.surface().charAt(24, 80), 'A' + (24 * 80 - 1) % 26);
  EXPECT_EQ(platform.surface().charAt(1, 1), ' ');
  EXPECT_EQ(platform.surface().charAt(25, 1), ' ');
  EXPECT_EQ(cellPixel(2, 1), 0x000000u);

  fillScreenRows(kBlock, 7);
  buffer.renderBuffer();
  EXPECT_EQ(cellPixel(2, 1), 0xC8C8C8u);
  EXPECT_EQ(cellPixel(24, 80, 7, 15), 0xC8C8C8u);
  EXPECT_EQ(cellPixel(1, 1), 0x000000u);
  EXPECT_EQ(cellPixel(25, 80), 0x000000u);
}

TEST_F(ScreenBufferTest, EveryRunIsPaintedAtItsOwnCells) {
  clearBuffer(0, 15);
  fillScreenRows(' ', 240);
  buffer.at(5, 0) = Cell{kBlock, 240};
  buffer.at(5, 1) = Cell{kBlock, 246};
  buffer.at(5, 2) = Cell{kBlock, 12};
  buffer.at(5, 3) = Cell{' ', 160};
  buffer.at(5, 4) = Cell{kBlock, 0x7F3};  // beyond any table: still one cell wide
  buffer.at(5, 5) = Cell{kBlock, 240};
  buffer.renderBuffer();
  EXPECT_EQ(cellPixel(6, 1), 0x000000u);
  // The light theme: black on white, keywords in a colour of their own on white.
  AttributeColours keyword = coloursOf(246);
  EXPECT_EQ(keyword.background, 0xFFFFFFu);
  EXPECT_NE(keyword.foreground, 0xFFFFFFu);
  EXPECT_NE(keyword.foreground, 0x000000u);
  EXPECT_EQ(cellPixel(6, 2), keyword.foreground);
  EXPECT_EQ(cellPixel(6, 3), 0xFF3232u);
  EXPECT_EQ(cellPixel(6, 4), 0xFF32FFu);
  EXPECT_EQ(cellPixel(6, 5), coloursOf(0x7F3).foreground);
  EXPECT_EQ(cellPixel(6, 6), 0x000000u);
  EXPECT_EQ(cellPixel(6, 7), 0xFFFFFFu);
  EXPECT_EQ(platform.surface().charAt(6, 6), kBlock);
}

TEST_F(ScreenBufferTest, SelectedDayRunRecordsTheDayBox) {
  clearBuffer(7, 0);
  fillScreenRows(' ', 7);
  buffer.at(6, 9) = Cell{kBlock, 159};
  buffer.at(6, 10) = Cell{' ', 159};
  buffer.renderBuffer();
  EXPECT_EQ(cellPixel(7, 10), 0xFFFFFFu);
  EXPECT_EQ(cellPixel(7, 11), 0x0000FFu);
  EXPECT_EQ(buffer.dayBoxTop, 7 * 16 - 23);
  EXPECT_EQ(buffer.dayBoxLeft, 12 * 8 - 42);

  // Monday of the first week row, with a diary page: the box lands on x 72..104, y 91..115.
  fillScreenRows(' ', 7);
  buffer.curFg = 13;
  buffer.curBg = 9;
  buffer.putText(6, 9, "  13");
  buffer.renderBuffer();
  EXPECT_EQ(buffer.dayBoxLeft + 2, 72);
  EXPECT_EQ(buffer.dayBoxTop + 2, 91);
}

TEST_F(ScreenBufferTest, HeaderBarGetsTheGradientUnlessToldNot) {
  auto paintHeader = [&](bool shade) {
    clearBuffer(7, 0);
    fillScreenRows(' ', 7);
    buffer.curFg = 7;
    buffer.curBg = 1;
    buffer.putText(2, 3, std::string(41, ' '));
    buffer.at(2, 10) = Cell{kBlock, 23};
    buffer.renderBuffer(shade);
  };
  paintHeader(true);
  EXPECT_EQ(platform.pixelAt(24, 32), 0x4E4EFFu);
  EXPECT_EQ(platform.pixelAt(24, 33), 0x4444F5u);
  EXPECT_EQ(platform.pixelAt(351, 47), 0x0101B2u);
  EXPECT_EQ(cellPixel(3, 11, 3, 8), 0xC8C8C8u);  // the bar's text is kept
  EXPECT_EQ(platform.pixelAt(352, 40), 0x000000u);

  paintHeader(false);
  EXPECT_EQ(platform.pixelAt(24, 32), 0x1D1DE2u);
  EXPECT_EQ(platform.pixelAt(351, 47), 0x1D1DE2u);
}

TEST_F(ScreenBufferTest, GradientBarShadesAroundWhiteText) {
  platform.setColours(0xFFFFFF, 0x000000);
  platform.moveCursor(1, 1);
  platform.printText(std::string(1, static_cast<char>(kBlock)));
  gradientBar(platform, 0, 255, 78, 78, 0, 639, 0xFFFFFF);
  EXPECT_EQ(platform.pixelAt(100, 0), 0xFF4E4Eu);
  EXPECT_EQ(platform.pixelAt(639, 1), 0xF54444u);
  EXPECT_EQ(platform.pixelAt(8, 15), 0xB20101u);
  EXPECT_EQ(platform.pixelAt(3, 15), 0xFFFFFFu);
  EXPECT_EQ(platform.pixelAt(100, 16), 0x000000u);
}

TEST_F(ScreenBufferTest, KeywordColouringMarksSectionLinesOnly) {
  clearBuffer(7, 0);
  buffer.at(1, 20).attribute = 159;
  buffer.putText(3, 3, "Januari");
  buffer.putText(4, 3, "januari");
  buffer.putText(5, 3, "Maartje");
  buffer.putText(6, 3, "Mei");
  buffer.putText(7, 4, "Januari");
  buffer.putText(8, 3, "Einde");
  buffer.at(30, 3).attribute = 99;
  useTheme(7, 0);
  buffer.colourKeywords();

  for (int column = 3; column <= 13; ++column) {
    EXPECT_EQ(attributeAt(3, column), 6) << column;
    EXPECT_EQ(attributeAt(6, column), 6) << column;
    EXPECT_EQ(attributeAt(8, column), 6) << column;
  }
  EXPECT_EQ(attributeAt(3, 2), 7);
  EXPECT_EQ(attributeAt(3, 14), 7);
  EXPECT_EQ(attributeAt(4, 3), 7);
  EXPECT_EQ(attributeAt(5, 3), 7);
  EXPECT_EQ(attributeAt(7, 4), 7);
  EXPECT_EQ(attributeAt(1, 20), 7);
  EXPECT_EQ(attributeAt(30, 3), 99);
  EXPECT_EQ(buffer.at(3, 3).character, 'J');

  useTheme(0, 15);
  buffer.colourKeywords();
  EXPECT_EQ(attributeAt(3, 13), 246);
  EXPECT_EQ(attributeAt(4, 3), 240);
}
