#include "platform/terminal/TerminalPainter.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace almanouk;

namespace {

std::optional<TerminalDescription> terminal(const std::string& name) {
  std::string whyNot;
  return describeTerminal(name, whyNot);
}

int count(const std::string& text, const std::string& what) {
  int found = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++found;
  return found;
}

struct ColourRow {
  std::uint32_t rgb;
  int ansi;
  int xterm256;
};

// The program's colours as terminals show them.
const ColourRow kColours[] = {
    {0x000000, 0, 16},   {0xFFFFFF, 15, 231}, {0xC8C8C8, 7, 251},  {0x1D1DE2, 4, 20},
    {0xE21D1D, 1, 160},  {0xFF32FF, 13, 207}, {0xFF3232, 9, 203},  {0x0000FF, 4, 21},
    {0xB400B4, 5, 127},  {0x008C00, 2, 28},   {0x646464, 8, 241},  {0xE6E632, 11, 185},
};

}  // namespace

TEST(TerminalPainter, ColoursNearestInSixteenAndIn256) {
  for (const ColourRow& row : kColours) {
    SCOPED_TRACE(row.rgb);
    EXPECT_EQ(nearestAnsiColour(row.rgb), row.ansi);
    EXPECT_EQ(nearest256Colour(row.rgb), row.xterm256);
  }
}

TEST(TerminalPainter, PensFollowWhatTheTerminalHas) {
  const std::optional<TerminalDescription> linux = terminal("linux");
  const std::optional<TerminalDescription> vt220 = terminal("vt220");
  const std::optional<TerminalDescription> xterm = terminal("xterm-256color");
  if (!linux || !vt220 || !xterm) GTEST_SKIP() << "no terminfo here";
  // Eight colours: the bright foreground in bold, the bright background dark.
  const TerminalPainter::Pen console = TerminalPainter(*linux).penFor({0xFFFFFF, 0xFF32FF});
  EXPECT_EQ(console, (TerminalPainter::Pen{7, 5, true, false}));
  EXPECT_EQ(TerminalPainter(*linux).penFor({0x646464, 0x000000}), (TerminalPainter::Pen{0, 0, true, false}));
  EXPECT_EQ(TerminalPainter(*linux).penFor({0xC8C8C8, 0x000000}), (TerminalPainter::Pen{7, 0, false, false}));
  // None: dark on light is reversed, a bright one in bold.
  const TerminalPainter::Pen plain = TerminalPainter(*vt220).penFor({0x000000, 0xFF32FF});
  EXPECT_EQ(plain, (TerminalPainter::Pen{-1, -1, true, true}));
  EXPECT_EQ(TerminalPainter(*xterm).penFor({0xFFFFFF, 0xE21D1D}), (TerminalPainter::Pen{231, 160, false, false}));
}

TEST(TerminalPainter, SendsOnlyWhatChangedAndPutsTheCursorOnTheFocus) {
  const std::optional<TerminalDescription> xterm = terminal("xterm-256color");
  if (!xterm) GTEST_SKIP() << "no terminfo here";
  TerminalPainter painter(*xterm);
  Surface surface;
  surface.setColours(0xC8C8C8, 0x000000);
  surface.moveCursor(3, 5);
  surface.printText("\xC4\xC4 mei", false);
  const std::string first = painter.paint(surface);
  EXPECT_EQ(count(first, xterm->clearScreen), 1);
  EXPECT_NE(first.find("\xE2\x94\x80\xE2\x94\x80 mei"), std::string::npos);  // box drawing in UTF-8
  EXPECT_EQ(painter.paint(surface), "");

  surface.moveCursor(10, 40);
  surface.setColours(0xFFFFFF, 0x0000FF);
  surface.printText("7", false);
  const std::string one = painter.paint(surface);
  EXPECT_EQ(one, xterm->cursorAddress(9, 39) + xterm->foreground(231) + xterm->background(21) + "7");

  // The same character in other colours is a change too.
  surface.moveCursor(10, 40);
  surface.setColours(0xFFFFFF, 0xE21D1D);
  surface.printText("7", false);
  EXPECT_EQ(painter.paint(surface), xterm->cursorAddress(9, 39) + xterm->background(160) + "7");

  surface.setFocus(10, 40);
  EXPECT_EQ(painter.paint(surface), xterm->cursorAddress(9, 39) + xterm->showCursor);
  surface.setFocus(0, 0);
  EXPECT_EQ(painter.paint(surface), xterm->hideCursor);
}

TEST(TerminalPainter, AnInvalidatedTerminalIsDrawnWhole) {
  const std::optional<TerminalDescription> linux = terminal("linux");
  if (!linux) GTEST_SKIP() << "no terminfo here";
  TerminalPainter painter(*linux);
  Surface surface;
  const std::string first = painter.paint(surface);
  EXPECT_EQ(painter.paint(surface), "");
  painter.invalidate();
  EXPECT_EQ(painter.paint(surface), first);
}

TEST(TerminalPainter, DirectColourSendsTheColourItself) {
  // As terminfo describes xterm-direct: 2^24 colours, setaf taking 0xRRGGBB (below 8 the ANSI ones).
  TerminalDescription direct;
  direct.colours = 1 << 24;
  direct.directColour = true;
  direct.foregroundFormat = "\x1b[%?%p1%{8}%<%t3%p1%d%e38:2::%p1%{65536}%/%d:%p1%{256}%/%{255}%&%d:%p1%{255}%&%d%;m";
  direct.backgroundFormat = "\x1b[%?%p1%{8}%<%t4%p1%d%e48:2::%p1%{65536}%/%d:%p1%{256}%/%{255}%&%d:%p1%{255}%&%d%;m";
  TerminalPainter painter(direct);
  const TerminalPainter::Pen pen = painter.penFor({0xE21D1D, 0x000005});
  EXPECT_EQ(pen, (TerminalPainter::Pen{0xE21D1D, 0, false, false}));
  EXPECT_EQ(direct.foreground(pen.foreground), "\x1b[38:2::226:29:29m");
  EXPECT_EQ(direct.background(pen.background), "\x1b[40m");
}
