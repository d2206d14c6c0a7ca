#include <gtest/gtest.h>

#include "e2e/Harness.h"
#include "help/ReadmeText.h"
#include "platform/Text.h"

using namespace almanouk;
using test::Day;
using test::Harness;
using test::selected;

TEST(Navigation, MovesStopAtTheEndsOfTheRange) {
  Harness h;
  for (const char* key : {"Left", "Up", "PgUp", "Ctrl+PgUp"}) {
    h.run("1901-01-01 08:00:00", key);
    EXPECT_EQ(selected(h), (Day{1, 1, 1901})) << key;
  }
  h.run("1901-01-05 08:00:00", "Up");
  EXPECT_EQ(selected(h), (Day{5, 1, 1901}));
  for (const char* key : {"Right", "Down", "PgDn", "Ctrl+PgDn"}) {
    h.run("2099-12-31 08:00:00", key);
    EXPECT_EQ(selected(h), (Day{31, 12, 2099})) << key;
  }
  h.run("2099-12-24 08:00:00", "Down Right Ctrl+PgUp");
  EXPECT_EQ(selected(h), (Day{31, 12, 2098}));
}

TEST(Navigation, MonthAndYearMovesClampTheDay) {
  Harness h;
  h.run("2012-01-31 08:00:00", "PgDn");
  EXPECT_EQ(selected(h), (Day{29, 2, 2012}));
  EXPECT_EQ(h.state().date.weekday, 3);
  h.run("2012-02-29 08:00:00", "Ctrl+PgDn");
  EXPECT_EQ(selected(h), (Day{28, 2, 2013}));
  EXPECT_EQ(h.text(3, 20, 9), "februari ");
  h.run("2012-03-15 08:00:00", "Right Right F3");
  EXPECT_EQ(selected(h), (Day{15, 3, 2012}));
}

TEST(Navigation, ACrossingIntoAnotherMonthPassesThroughTheInterlude) {
  Harness h;
  h.run("2012-01-31 08:00:00", "Right");
  EXPECT_EQ(selected(h), (Day{1, 2, 2012}));
  EXPECT_EQ(h.state().date.weekday, 3);
  EXPECT_EQ(h.text(3, 20, 8), "februari");
  EXPECT_EQ(h.text(7, 20, 4), "  1 ");  // a Wednesday

}

TEST(Navigation, MidnightMovesToTheNewDayWithoutAKey) {
  Harness h;
  h.run("2012-03-14 23:59:55", "wait:6");
  EXPECT_EQ(selected(h), (Day{15, 3, 2012}));
  EXPECT_EQ(h.text(3, 38, 5), "00:00");
  h.run("2012-02-29 23:59:55", "wait:6");
  EXPECT_EQ(selected(h), (Day{1, 3, 2012}));
  EXPECT_EQ(h.text(3, 20, 7), "  maart");
  // A date picked elsewhere goes back to today at midnight.
  h.run("2012-12-31 23:59:00", "PgUp PgUp wait:2m");
  EXPECT_EQ(selected(h), (Day{1, 1, 2013}));
}

TEST(Navigation, TheClockChangesWithTheMinute) {
  Harness h;
  h.run("2012-03-07 10:24:55", "");
  EXPECT_EQ(h.text(3, 38, 5), "10:24");
  h.run("2012-03-07 10:24:55", "wait:5");
  EXPECT_EQ(h.text(3, 38, 5), "10:25");
}

TEST(HelpKeys, F1ShowsTheHelpBox) {
  Harness h;
  h.run("2012-03-07 08:00:00", "F1");
  EXPECT_EQ(h.text(3, 48, 30), " Almanouk 1.45. Gebruik voor  ");
  EXPECT_EQ(h.text(24, 48, 30), " Afsluiten: kruisje, Alt-F4.  ");
  EXPECT_EQ(h.row(1), std::string(80, ' '));
  h.run("2012-03-07 08:00:00", "F1 Esc");
  EXPECT_EQ(h.text(3, 48, 5), "     ");
}

TEST(HelpKeys, F6PagesThroughTheReadmeWithinItsLimits) {
  Harness h;
  auto line = [](int index) { return cp437ToUtf8(padRight(readmeLines().at(static_cast<std::size_t>(index)), 80)); };
  auto downs = [](int n) {
    std::string keys;
    for (int i = 0; i < n; ++i) keys += " Down";
    return keys;
  };
  h.run("2012-03-07 08:00:00", "F6 PgDn PgDn PgDn PgDn" + downs(23) + " Down PgDn");
  EXPECT_EQ(h.row(1), line(119));
  h.run("2012-03-07 08:00:00", "F6 PgDn PgDn PgDn PgDn" + downs(22) + " PgDn Down");
  EXPECT_EQ(h.row(1), line(142));
  EXPECT_EQ(h.row(3), std::string(80, ' '));
  h.run("2012-03-07 08:00:00", "F6 Down Down Down Down Down Down Down Down Down Down PgUp");
  EXPECT_EQ(h.row(1), line(0));
  h.run("2012-03-07 08:00:00", "F6 Esc");
  EXPECT_EQ(h.text(5, 4, 4), "week");
}

TEST(AllCalendars, F7NeedsTwoCalendarsAndBlocksTheEditors) {
  Harness h;
  h.run("2012-03-07 08:00:00", "F7");
  EXPECT_TRUE(h.state().settings.savedCalFile.empty());

  h.writeData("ANDERE00.AMN", test::calendarFile("Andere", {}, {}, {}, {{3, {"07 Van de andere"}}}, "7", "1"));
  h.run("2012-03-07 08:00:00", "F7");
  EXPECT_EQ(h.state().settings.calFile, "allamn.srt");
  EXPECT_EQ(h.row(25).substr(0, 33), " Huidige almanouk: Alle almanouks");
  EXPECT_EQ(h.text(20, 5, 16), "07 Van de andere");
  for (const char* key : {"Enter", "F5", "F2"}) {
    h.run("2012-03-07 08:00:00", std::string("F7 ") + key);
    EXPECT_EQ(h.text(12, 27, 27), "   Zet eerst gezamelijke   ") << key;
    EXPECT_EQ(h.text(13, 27, 27), "   almanouks uit met F7.   ") << key;
  }
  h.run("2012-03-07 08:00:00", "F7 F2 F7");
  EXPECT_TRUE(h.state().settings.savedCalFile.empty());
  EXPECT_EQ(h.state().settings.calFile, "ALMANOUK.AMN");
}

// F3 and midnight must redraw the grid of the new month, not only move the date.
TEST(Navigation, TodayAndMidnightRedrawTheGrid) {
  Harness h;
  h.run("2012-03-15 08:00:00", "PgDn PgDn F3");
  EXPECT_EQ(h.text(3, 20, 7), "  maart");
  EXPECT_EQ(h.text(7, 4, 3), " 9 ");     // 1 March 2012 is in week 9
  EXPECT_EQ(h.text(7, 10, 4), "    ");   // no Monday in the first row
  EXPECT_EQ(h.text(7, 25, 4), "  1 ");   // a Thursday
  EXPECT_EQ(h.text(11, 25, 4), " 15 ");
  EXPECT_EQ(h.state().buffer.at(10, 24).attribute, 9 * 16 + 15);  // the selected day

  h.run("2012-03-31 23:59:55", "wait:6");
  EXPECT_EQ(h.text(3, 20, 7), "  april");
  EXPECT_EQ(h.text(7, 40, 4), "  1 ");   // a Sunday
  EXPECT_EQ(h.text(9, 10, 4), "  2 ");
  EXPECT_EQ(h.state().buffer.at(6, 39).attribute, 9 * 16 + 15);
  EXPECT_EQ(h.text(17, 10, 4), " 30 ");  // April 2012 takes six rows
}
