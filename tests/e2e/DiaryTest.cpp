// The diary as a user meets it: F5 or Enter in the month view, typing,
// moving, leaving, and the jumps to other days.

#include <gtest/gtest.h>

#include "e2e/Harness.h"
#include "platform/Text.h"

using namespace almanouk;
using test::Day;
using test::Harness;
using test::selected;

namespace {

std::string repeated(const std::string& key, int times) {
  std::string keys;
  for (int i = 0; i < times; ++i) keys += key + " ";
  return keys;
}

std::string statusLine(const Harness& h) {
  std::string text = h.row(25);
  return text.substr(0, text.find_last_not_of(' ') + 1);
}

}  // namespace

TEST(Diary, OpensOnTheSelectedDayAndLeavesNoFileWhenNothingIsTyped) {
  Harness h;
  h.run("2012-03-07 09:00:00", "F5");
  EXPECT_EQ(h.row(1), "  ALMANOUK" + std::string(22, ' ') + "[Wo,07-03-2012]" + std::string(22, ' ') + "[F1=Help]  ");
  EXPECT_EQ(statusLine(h), "  [2,3]");
  EXPECT_EQ(test::readFile(h.data("20120307.D03")), std::string(1840, ' '));  // padded while open

  h.run("2012-03-07 09:00:00", "Enter Esc");
  EXPECT_FALSE(h.dataExists("20120307.D03"));
  EXPECT_EQ(h.text(5, 4, 4), "week");  // back in the month view
  EXPECT_TRUE(h.dataExists("Almanouk.dat"));
}

TEST(Diary, TypedTextIsOnDiskAtOnceAndTrimmedOnLeaving) {
  Harness h;
  auto result = h.run("2012-03-07 09:00:00", "Enter \"k\"");
  EXPECT_TRUE(result.scriptEnded);  // the editor is still open: the letter is there already
  EXPECT_EQ(test::readFile(h.data("20120307.D03")).substr(82, 1), "k");

  h.run("2012-03-07 09:00:00", "Enter Ctrl+L \"Hallo ⌂\" Esc");
  // The house is typed as the code page's byte 127, not as a control.
  EXPECT_EQ(test::readFile(h.data("20120307.D03")), std::string(82, ' ') + "Hallo \x7F");
  h.run("2012-03-07 09:00:00", "Enter");
  EXPECT_EQ(h.text(3, 3, 7), "Hallo ⌂");
}

TEST(Diary, CursorKeysWrapScrollAndPage) {
  Harness h;
  // Right at column 80 goes to column 1 of the next line.
  h.run("2012-03-07 09:00:00", "Enter End " + repeated("Right", 77) + "Right");
  EXPECT_EQ(statusLine(h), "  [3,1]");
  // Page Down moves 21 lines, scrolling at the bottom of the view.
  h.run("2012-03-07 09:00:00", "Enter PgDn");
  EXPECT_EQ(statusLine(h), "  [23,3]");
  h.run("2012-03-07 09:00:00", "Enter PgDn PgDn");
  EXPECT_EQ(statusLine(h), "  [44,3]");
  h.run("2012-03-07 09:00:00", "Enter PgDn PgDn PgUp Home");
  EXPECT_EQ(statusLine(h), "  [2,3]");
  // Left before column 1 of the top line goes up: the view cannot go above line 1.
  h.run("2012-03-07 09:00:00", "Enter Up Home " + repeated("Left", 3));
  EXPECT_EQ(statusLine(h), "  [1,80]");
}

TEST(Diary, EnterStartsAParagraphTwoLinesLower) {
  Harness h;
  h.run("2012-03-07 09:00:00", "Enter \"a\" Enter \"b\"");
  EXPECT_EQ(h.text(5, 3, 1), "b");
  EXPECT_EQ(statusLine(h), "  [4,4]");
  // At line 22 of the view the view scrolls one line and the cursor lands on the last row.
  h.run("2012-03-07 09:00:00", "Enter " + repeated("Down", 20) + "Enter \"c\" Esc");
  std::string page = test::readFile(h.data("20120307.D03"));
  EXPECT_EQ(page.size(), 23u * 80 + 3);
  EXPECT_EQ(page.back(), 'c');
}

TEST(Diary, InsertDeleteBackspaceAndClearingTheView) {
  Harness h;
  // Home goes back to line 2, column 3, where "abcd" starts.
  auto page = [&](const std::string& keys) {
    h.writeData("20120307.D03", std::string(82, ' ') + "abcd");
    h.run("2012-03-07 09:00:00", "Enter " + keys + " Esc");
    return test::readFile(h.data("20120307.D03")).substr(82);
  };
  EXPECT_EQ(page("End Home Right Ins \"X\""), "aXbcd");
  EXPECT_EQ(page("Right Del Del"), "ad");
  EXPECT_EQ(page("Right Right Bksp"), "a cd");
  EXPECT_EQ(page("Bksp Bksp"), "abcd");  // the two cells before "abcd" were blank already
  // At column 80 Ins and Del blank only that cell.
  h.writeData("20120307.D03", std::string(80, 'x') + std::string(80, 'y'));
  h.run("2012-03-07 09:00:00", "Enter Up End " + repeated("Right", 77) + "Ins Esc");
  EXPECT_EQ(test::readFile(h.data("20120307.D03")), std::string(79, 'x') + " " + std::string(80, 'y'));
  h.run("2012-03-07 09:00:00", "Enter Up End " + repeated("Right", 77) + "Left Right Del Esc");
  EXPECT_EQ(test::readFile(h.data("20120307.D03")), std::string(79, 'x') + " " + std::string(80, 'y'));

  // Ctrl+L blanks the 23 lines shown; the text below them stays.
  h.writeData("20120307.D03", std::string(1840, 'a') + "onder");
  h.run("2012-03-07 09:00:00", "Enter Ctrl+L Esc");
  EXPECT_EQ(test::readFile(h.data("20120307.D03")), std::string(1840, ' ') + "onder");
}

TEST(Diary, ShiftPageKeysGoToTheDayBeforeAndAfter) {
  Harness h;
  h.run("2012-03-01 09:00:00", "Enter Shift+PgUp \"v\" Shift+PgDn Shift+PgDn \"n\" Esc");
  EXPECT_EQ(selected(h), (Day{2, 3, 2012}));
  EXPECT_EQ(test::readFile(h.data("20120229.D03")), std::string(82, ' ') + "v");
  EXPECT_EQ(test::readFile(h.data("20120302.D05")), std::string(82, ' ') + "n");
  EXPECT_EQ(h.text(3, 20, 7), "  maart");
  EXPECT_EQ(h.state().date.weekday, 5);

  h.run("1901-01-01 09:00:00", "Enter Shift+PgUp Esc");
  EXPECT_EQ(selected(h), (Day{1, 1, 1901}));
}

TEST(Diary, CtrlPageKeysJumpToWrittenPagesAndF3ToToday) {
  Harness h;
  h.writeData("20120303.D06", "derde");
  h.writeData("20120310.D06", "tiende");
  h.run("2012-03-05 09:00:00", "Enter Ctrl+PgDn");
  EXPECT_EQ(selected(h), (Day{10, 3, 2012}));
  EXPECT_EQ(h.text(2, 1, 6), "tiende");
  h.run("2012-03-05 09:00:00", "Enter Ctrl+PgUp Esc");
  EXPECT_EQ(selected(h), (Day{3, 3, 2012}));
  EXPECT_FALSE(h.dataExists("20120305.D01"));  // the blank page left behind is gone

  // With no pages but the sentinels the jumps reach 1 January 1901 and 2100.
  std::filesystem::remove(h.data("20120303.D06"));
  std::filesystem::remove(h.data("20120310.D06"));
  h.run("2012-03-05 09:00:00", "Enter Ctrl+PgUp Ctrl+PgUp");
  EXPECT_EQ(selected(h), (Day{1, 1, 1901}));
  h.run("2012-03-05 09:00:00", "Enter Ctrl+PgDn");
  EXPECT_EQ(selected(h), (Day{1, 1, 2100}));
  EXPECT_EQ(h.row(1).substr(32, 15), "[Vr,01-01-2100]");

  h.run("2012-03-05 09:00:00", "PgDn PgDn Enter F3");
  EXPECT_EQ(selected(h), (Day{5, 3, 2012}));
  EXPECT_EQ(h.row(1).substr(32, 15), "[Ma,05-03-2012]");
}

TEST(Diary, F1ShowsTheHelpBoxAndTheKeyThatClosesItIsTaken) {
  Harness h;
  h.run("2012-03-07 09:00:00", "Enter F1");
  EXPECT_EQ(h.text(8, 17, 48), "│ De dagboekfunctie is een mooie toepassing om │");
  h.run("2012-03-07 09:00:00", "Enter F1 \"q\"");
  EXPECT_EQ(h.text(8, 17, 10), "          ");
  EXPECT_EQ(h.text(3, 3, 1), " ");  // the q closed the box and was not typed
}

TEST(Diary, PagesOfAnotherCalendarStayApart) {
  Harness h;
  h.writeData("ALMANOUK.AMN", test::calendarFile("Tweede", {}, {}, {}, {}, "7", "1"));
  h.writeData("20120310.D06", "van agenda 0");
  h.run("2012-03-07 09:00:00", "Enter \"een\" Ctrl+PgDn");
  EXPECT_EQ(selected(h), (Day{1, 1, 2100}));
  EXPECT_TRUE(h.dataExists("20120307.D13"));
  EXPECT_EQ(test::readFile(h.data("20120310.D06")), "van agenda 0");
}

TEST(Diary, AllEndingsRemoveTheIndexButKeepThePages) {
  Harness h;
  h.run("2012-03-07 09:00:00", "Enter \"x\" Esc Alt+X");
  EXPECT_FALSE(h.dataExists("Almanouk.dat"));
  EXPECT_TRUE(h.dataExists("20120307.D03"));
  EXPECT_TRUE(h.dataExists("19010101.D02"));
  EXPECT_TRUE(h.dataExists("21000101.D05"));
}

// A page made by hand far longer than the 3792 lines the view can reach:
// it opens, the view stops at line 3792, and nothing after it is lost.
TEST(Diary, AFiveMegabytePageOpensAndKeepsWhatLiesPastTheView) {
  Harness h;
  std::string big;
  for (int line = 0; big.size() < 5'000'000; ++line) big += padRight("regel " + std::to_string(line), 80);
  h.writeData("20120307.D03", big);
  h.run("2012-03-07 09:00:00", "Enter End PgDn \"!\" Esc");
  big.erase(big.find_last_not_of(' ') + 1);  // saving cuts the last line's trailing blanks
  std::string saved = test::readFile(h.data("20120307.D03"));
  ASSERT_EQ(saved.size(), big.size());
  std::int64_t typedAt = 3791 * 80 + 2;  // line 3792, column 3: the view went no further
  EXPECT_EQ(saved[static_cast<std::size_t>(typedAt)], '!');
  saved[static_cast<std::size_t>(typedAt)] = big[static_cast<std::size_t>(typedAt)];
  EXPECT_TRUE(saved == big);
}

// A page that takes no writes (a full disk) keeps its text; what is typed
// stays on the screen, and the status line says it is not in the page.
TEST(Diary, APageThatCannotBeWrittenSaysSo) {
  Harness h;
  h.writeData("20120307.D03", std::string(82, ' ') + "oud");
  h.faults = [](FileFault fault, const std::string& path) {
    return fault != FileFault::Create && path.find("20120307") != std::string::npos;
  };
  h.run("2012-03-07 09:00:00", "Enter \"nieuw\"");
  EXPECT_EQ(h.text(3, 3, 5), "nieuw");
  EXPECT_EQ(h.row(25).substr(0, 48), "  [2,8]   Pagina niet opgeslagen (schijf vol)   ");
  h.run("2012-03-07 09:00:00", "Enter \"nieuw\" Esc");
  EXPECT_EQ(test::readFile(h.data("20120307.D03")), std::string(82, ' ') + "oud");
  h.faults = nullptr;
  h.run("2012-03-07 09:00:00", "Enter \"nu\" Esc");
  EXPECT_EQ(test::readFile(h.data("20120307.D03")), std::string(82, ' ') + "nud");
}

// What a Dutch user types daily and the code page lacks is spelled with what it has.
TEST(Diary, TypedCharactersTheCodePageLacksAreSpelledNotDropped) {
  Harness h;
  h.run("2012-03-07 09:00:00", "F5 \"€500 Zo’n “café” – … Ĳssel 日\" Esc");
  const std::string page = test::readFile(h.data("20120307.D03"));
  EXPECT_EQ(page.substr(82, page.find_last_not_of(' ') - 81), cp437("EUR500 Zo'n \"café\" - ... IJssel ?"));
}
