// F8 and --zoek as a user meets them: a word typed, the results, going to
// one, and the search kept for the next F8.

#include <gtest/gtest.h>

#include "diary/DiaryStore.h"
#include "e2e/Harness.h"
#include "platform/Text.h"

using namespace almanouk;
using test::Day;
using test::Harness;
using test::selected;

namespace {

constexpr const char* kWednesday = "2012-03-07 09:00:00";

// A diary page of 80-column lines without line ends.
std::string page(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += padRight(cp437(line), 80);
  return bytes;
}

void writePage(Harness& h, int day, int month, int year, const std::string& bytes, const std::string& id = "0") {
  h.writeData(pageFileName(day, month, year, weekdayOf(day, month, year), id), bytes);
}

// A calendar, and two pages: one with the word at the end of a line and the
// next word on the line after it, one with it in capitals and an accent.
void writeHome(Harness& h) {
  h.writeData("ALMANOUK.AMN",
              test::calendarFile("Thuis", {"15 Huur betalen"}, {"Do 19:00 Koor"}, {},
                                 {{3, {"20 2012 10:30 Tandarts controle"}}, {12, {"05 Sinterklaas"}}}));
  writePage(h, 1, 3, 2012, page({"", "  Vandaag " + std::string(60, '.') + " naar de", "tandarts geweest."}));
  writePage(h, 5, 3, 2012, page({"", "  Bij de TANDARTS een café-bezoek."}));
}

std::string trimmed(const std::string& row) { return row.substr(0, row.find_last_not_of(' ') + 1); }

}  // namespace

TEST(Search, FindsEntriesAndPagesAndGoesToThem) {
  Harness h;
  h.run(kWednesday, "");
  writeHome(h);
  auto run = h.run(kWednesday, "F8 \"tandarts\" Enter");
  EXPECT_EQ(trimmed(h.row(2)), " Di 20-03-2012 Maart       20 2012 10:30 Tandarts controle");
  EXPECT_EQ(trimmed(h.row(3)), " Ma 05-03-2012 Dagboek     Bij de TANDARTS een café-bezoek.");
  EXPECT_EQ(h.text(4, 1, 27), " Do 01-03-2012 Dagboek     ");
  EXPECT_EQ(h.text(4, 28, 17), "tandarts geweest.");
  EXPECT_EQ(trimmed(h.row(25)).substr(0, 12), "  3 treffers");
  EXPECT_EQ(run.fileChangesAfterFirstKey, 0);  // searching writes nothing

  // The phrase across the end of a line: the page opens with the cursor on its start.
  h.run(kWednesday, "F8 \"de tandarts\" Enter Down Enter");
  EXPECT_EQ(selected(h), (Day{1, 3, 2012}));
  EXPECT_EQ(trimmed(h.row(25)).substr(0, 9), "  [2,77]");

  // An entry: the month view on the day it next comes on.
  h.run(kWednesday, "F8 \"HUUR\" Enter Enter");
  EXPECT_EQ(selected(h), (Day{15, 3, 2012}));
  EXPECT_EQ(h.text(5, 4, 4), "week");
}

TEST(Search, TheLastSearchStaysForTheNextF8) {
  Harness h;
  h.run(kWednesday, "");
  writeHome(h);
  h.run(kWednesday, "F8 \"cafe\" Enter Enter Esc F8");
  EXPECT_EQ(h.text(2, 1, 27), " Ma 05-03-2012 Dagboek     ");
  EXPECT_EQ(trimmed(h.row(1)), "  Zoeken: cafe_");
  // Esc at the prompt gives up; nothing was searched.
  h.run(kWednesday, "F8 \"koor\" Esc");
  EXPECT_EQ(h.text(5, 4, 4), "week");
}

TEST(Search, AllCalendarsViewNamesEachCalendar) {
  Harness h;
  h.run(kWednesday, "");
  writeHome(h);
  h.writeData("WERK0000.AMN", test::calendarFile("Werk", {}, {}, {}, {{3, {"08 Tandarts van de baas"}}}, "7", "1"));
  writePage(h, 6, 3, 2012, page({"", "  Werk: tandarts gebeld."}), "1");
  h.run(kWednesday, "F7 F8 \"tandarts\" Enter");
  EXPECT_EQ(h.text(2, 1, 40), " Do 08-03-2012 Maart       Werk         ");
  EXPECT_EQ(h.text(3, 1, 40), " Di 20-03-2012 Maart       Thuis        ");
  EXPECT_EQ(h.text(4, 1, 40), " Di 06-03-2012 Dagboek     Werk         ");
  EXPECT_EQ(trimmed(h.row(25)).substr(0, 12), "  5 treffers");
  // The all-calendars view has no diary: a page's day is shown in the month view.
  h.run(kWednesday, "F7 F8 \"tandarts\" Enter Down Down Enter");
  EXPECT_EQ(selected(h), (Day{6, 3, 2012}));
  EXPECT_EQ(h.text(5, 4, 4), "week");
}

// 20,000 pages, and pages that are no diary text: binary junk, nothing, 1 MB,
// the word on the last line the diary shows.
TEST(Search, TwentyThousandAndHostilePages) {
  Harness h;
  h.run(kWednesday, "");
  CalendarDay day{1, 1, 1990};
  for (int i = 0; i < 20'000; ++i) {
    writePage(h, day.day, day.month, day.year, "x");
    if (++day.day > monthInfo(day.month, day.year).days) day = {1, day.month + 1, day.year};
    if (day.month > 12) day = {1, 1, day.year + 1};
  }
  writePage(h, 2, 1, 2061, std::string("\0\xff\x01zoekwoord\r\n", 15) + std::string(5000, '\xdb'));
  writePage(h, 3, 1, 2061, "");
  writePage(h, 4, 1, 2061, std::string(1 << 20, '\x01') + "zoekwoord");
  writePage(h, 5, 1, 2061, std::string(3792 * 80 - 9, ' ') + "zoekwoord");
  h.run(kWednesday, "F8 \"zoekwoord\" Enter");
  EXPECT_EQ(trimmed(h.row(25)).substr(0, 12), "  3 treffers");

  h.run(kWednesday, "F8 \"zoekwoord\" Enter Enter");
  EXPECT_EQ(selected(h), (Day{5, 1, 2061}));
  EXPECT_EQ(trimmed(h.row(25)).substr(0, 14), "  [3792,72]");
  // Past what the diary shows, the cursor stops on its last line.
  h.run(kWednesday, "F8 \"zoekwoord\" Enter Down Enter");
  EXPECT_EQ(selected(h), (Day{4, 1, 2061}));
  EXPECT_EQ(trimmed(h.row(25)).substr(0, 8), "  [3792,");
  h.run(kWednesday, "F8 \"zoekwoord\" Enter Down Down Enter");
  EXPECT_EQ(selected(h), (Day{2, 1, 2061}));
  EXPECT_EQ(trimmed(h.row(25)).substr(0, 8), "  [1,4]");
}

TEST(Search, CommandLinePrintsOneLinePerResultLikeGrep) {
  Harness h;
  h.run(kWednesday, "");
  writeHome(h);
  auto found = h.commandLine("2012-03-07 12:00:00", {"--zoek", "tandarts"});
  EXPECT_EQ(found.status, 0);
  EXPECT_EQ(found.out,
            "2012-03-20  Thuis  20 2012 10:30 Tandarts controle\n"
            "2012-03-05  dagboek  Bij de TANDARTS een café-bezoek.\n"
            "2012-03-01  dagboek  tandarts geweest.\n");
  auto none = h.commandLine("2012-03-07 12:00:00", {"--zoek", "ijsbeer"});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.out, "");

  h.writeData("WERK0000.AMN", test::calendarFile("Werk", {}, {}, {}, {{3, {"08 Tandarts van de baas"}}}, "7", "1"));
  auto all = h.commandLine("2012-03-07 12:00:00", {"--zoek", "baas", "--alle"});
  EXPECT_EQ(all.out, "2012-03-08  Werk  08 Tandarts van de baas\n");
  EXPECT_EQ(h.commandLine("2012-03-07 12:00:00", {"--zoek"}).status, 2);
}
