#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/Harness.h"
#include "platform/SurfaceDump.h"
#include "platform/Text.h"

using namespace almanouk;
using test::Harness;

namespace {

// Screen rows 20-24 from column 5 and rows 3-24 from column 48: the event list.
std::vector<std::string> eventList(Harness& h) {
  std::vector<std::string> lines;
  auto add = [&](int row, int column, int width) {
    std::string line = h.text(row, column, width);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  };
  for (int row = 20; row <= 24; ++row) add(row, 5, 40);
  for (int row = 3; row <= 24; ++row) add(row, 48, 30);
  return lines;
}

}  // namespace

TEST(EventList, TemplateCalendarOnNewYearsDay) {
  Harness h;
  h.run("2012-01-01 08:00:00", "");
  EXPECT_EQ(eventList(h), (std::vector<std::string>{
                              " 1 Een voorbeeld.",
                              "01 Voorbeelden. Nu alleen een notitie.",
                              "Zo Nu alleen een notitie.",
                              " 2 Nog een voorbeeld (netter).",
                              "02 18:30 Elke maand popupt deze op de ti",
                              "   jd én wordt getoond.",
                          }));
}

TEST(EventList, YearFilterAndDayCommands) {
  Harness h;
  h.run("2012-01-10 08:00:00", "");
  // The 11th carries 2004; the 12th is a day command and is not listed; the
  // time command of the 20th is outside the seven days.
  EXPECT_EQ(eventList(h), (std::vector<std::string>{"10 Weer een voorbeeld.", "13 10:25 Tijdvoorbeeld."}));
  h.run("2004-01-11 08:00:00", "");
  EXPECT_EQ(eventList(h).front(), "11 2004 Voorbeeld met jaartal.");
  h.run("2012-01-19 08:00:00", "");
  auto list = eventList(h);
  EXPECT_NE(std::find(list.begin(), list.end(), "20 10:30 # defrag c:"), list.end());
}

TEST(EventList, DecemberRunsIntoJanuaryOfTheNextYear) {
  Harness h;
  h.writeData("ALMANOUK.AMN",
              test::calendarFile("Werk", {}, {}, {},
                                 {{1, {"05 Vijf", "19 2013 Negentien", "19 2012 Oud", "20 Twintig"}},
                                  {12, {"20 Begin"}}},
                                 "30"));
  h.run("2012-12-20 08:00:00", "");
  EXPECT_EQ(eventList(h), (std::vector<std::string>{"20 Begin", "05 Vijf", "19 2013 Negentien"}));
}

TEST(EventList, WeeklyEntriesOnlyOnTheSelectedDay) {
  Harness h;
  // The weekday in any case, as the alarm rings for it.
  h.writeData("ALMANOUK.AMN", test::calendarFile("Werk", {}, {"Ma Maandag", "ma klein", "Di Dinsdag"}, {}, {}));
  h.run("2012-03-05 08:00:00", "");  // a Monday
  EXPECT_EQ(eventList(h), (std::vector<std::string>{"Ma Maandag", "ma klein"}));
}

TEST(EventList, ANoteWithoutADayHidesNoEntryOfItsSection) {
  Harness h;
  h.writeData("ALMANOUK.AMN",
              test::calendarFile("Werk", {"05 Maandelijks"}, {}, {}, {{3, {"Notitie zonder dag", "05 Zichtbaar"}}}));
  h.run("2012-03-05 08:00:00", "");
  EXPECT_EQ(eventList(h), (std::vector<std::string>{"05 Zichtbaar", "05 Maandelijks"}));
}

TEST(EventList, LongListsWrapIntoTheRightColumnAndScrollWithS) {
  Harness h;
  std::vector<std::string> entries;
  for (int i = 1; i <= 40; ++i) entries.push_back("05 Afspraak " + std::to_string(i));
  h.writeData("ALMANOUK.AMN", test::calendarFile("Werk", {}, {}, {}, {{3, entries}}));
  h.run("2012-03-05 08:00:00", "");
  auto list = eventList(h);
  ASSERT_EQ(list.size(), 27u);  // 5 below the grid, 22 on the right, 13 beyond
  EXPECT_EQ(list[5], "05 Afspraak 6");
  EXPECT_EQ(h.text(3, 48, 13), "05 Afspraak 6");
  EXPECT_EQ(h.state().monthView.overflow().size(), 13u);

  h.run("2012-03-05 08:00:00", "\"ss\"");
  EXPECT_EQ(h.text(24, 48, 14), "05 Afspraak 29");
  EXPECT_EQ(h.text(23, 48, 14), "05 Afspraak 28");
  EXPECT_EQ(h.text(24, 5, 13), "05 Afspraak 7");  // the right column's top line came down below the grid
}

TEST(EventList, LongEntriesContinueIndented) {
  Harness h;
  std::string longText = "05 " + std::string(100, 'x');
  h.writeData("ALMANOUK.AMN", test::calendarFile("Werk", {}, {}, {}, {{3, {longText}}}));
  h.run("2012-03-05 08:00:00", "");
  auto list = eventList(h);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].size(), 40u);
  EXPECT_EQ(list[1], "   " + std::string(37, 'x'));
  EXPECT_EQ(list[2], "   " + std::string(26, 'x'));
}

TEST(MonthGrid, WeekNumbers) {
  Harness h;
  h.run("2010-01-15 08:00:00", "");
  EXPECT_EQ(h.text(7, 4, 3), " 53");
  EXPECT_EQ(h.text(9, 4, 3), " 1 ");
  h.run("2014-12-15 08:00:00", "");
  EXPECT_EQ(h.text(15, 4, 3), " 1 ");
  EXPECT_EQ(h.text(15, 10, 4), " 29 ");
  h.run("2015-12-15 08:00:00", "");
  EXPECT_EQ(h.text(15, 4, 3), " 53");
  EXPECT_EQ(h.text(15, 10, 4), " 28 ");
}

TEST(MonthGrid, FebruaryTwentyTenHasFourRows) {
  Harness h;
  h.run("2010-01-25 08:00:00", "PgDn wait:1");
  EXPECT_EQ(h.state().date.month, 2);
  EXPECT_EQ(h.text(7, 4, 3), " 5 ");
  EXPECT_EQ(h.text(13, 4, 3), " 8 ");
  EXPECT_EQ(h.text(13, 40, 4), " 28 ");
  for (int row : {15, 17}) {
    EXPECT_EQ(h.text(row, 4, 3), "   ") << row;
    EXPECT_EQ(h.text(row, 10, 4), "    ") << row;
  }
}

TEST(MonthGrid, SelectedDayAndDiaryDays) {
  Harness h;
  h.writeData("20120306.D02", "Een dag met tekst");
  h.writeData("20120307.D03", "Vandaag");
  h.run("2012-03-07 08:00:00", "");
  const ScreenBuffer& buffer = h.state().buffer;
  // Rows 7-17 on screen are buffer rows 6-16; Wednesday the 7th is in the second row.
  EXPECT_EQ(buffer.at(8, 20).attribute, 9 * 16 + 13);  // selected with a page
  EXPECT_EQ(buffer.at(8, 15).attribute, 0 * 16 + 13);  // diary day
  EXPECT_EQ(buffer.at(8, 25).attribute, 7);            // plain day
  // Looking for the days' pages changes no file, however often the grid is drawn.
  auto result = h.run("2012-03-07 08:00:00", "Right Right Down PgDn PgUp Ctrl+PgDn Up Left F3");
  EXPECT_EQ(result.fileChangesAfterFirstKey, 0);
  EXPECT_FALSE(h.dataExists("20120308.D04"));
  EXPECT_EQ(h.platform().pixelAt(h.state().buffer.dayBoxLeft + 34, h.state().buffer.dayBoxTop + 10), 0x0000B1u);
}

TEST(StatusLine, NamesTheActiveCalendar) {
  Harness h;
  h.writeData("ALMANOUK.AMN", test::calendarFile("Werk", {}, {}, {}, {}));
  h.run("2012-03-07 08:00:00", "");
  EXPECT_EQ(h.row(25), " Huidige almanouk: Werk" + std::string(29, ' ') + " Stoppen: kruisje of Alt-F4 ");
  EXPECT_EQ(h.row(1), " Almanouk/Agenda/Dagboek/Alarm v1.45  F1+F6 = Help - (c) Almanouk-ontwikkelaars ");
}

// Leaves a picture of a rendered month frame with its decorations in the build folder.
TEST(MonthGrid, RendersTheFrameWithItsDecorations) {
  Harness h;
  h.writeData("20120305.D01", "Dagboek");
  h.run("2012-03-07 10:24:00", "");
  ASSERT_TRUE(writePng(h.platform().surface(), std::string(ALMANOUK_TEST_OUTPUT) + "/month-frame.png"));
  Platform& p = h.platform();
  EXPECT_EQ(p.pixelAt(67, 86), 0xEAEAEAu);   // grid lines: light, blue, dark
  EXPECT_EQ(p.pixelAt(68, 87), 0x0000FFu);
  EXPECT_EQ(p.pixelAt(349, 280), 0xA6A6A6u);
  EXPECT_EQ(p.pixelAt(0, 0), 0xFF4E4Eu);     // the title bar's gradient
  EXPECT_EQ(p.pixelAt(0, 399), 0xB20101u);   // the status line's last row
  int yellow = 0;  // the emblem in the last cell
  for (int y = 251; y <= 275; ++y)
    for (int x = 314; x <= 341; ++x) yellow += p.pixelAt(x, y) == 0xFFFF00u;
  EXPECT_GT(yellow, 50);
  // Wednesday 7 March in the second week row: its box spans x 152-184, y 123-147.
  EXPECT_EQ(h.state().buffer.dayBoxLeft, 150);
  EXPECT_EQ(h.state().buffer.dayBoxTop, 121);
  EXPECT_EQ(p.pixelAt(184, 130), 0x0000B1u);
  EXPECT_EQ(p.pixelAt(152, 130), 0x4E4EFFu);
}
