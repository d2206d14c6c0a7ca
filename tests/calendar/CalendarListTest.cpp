#include "calendar/CalendarList.h"

#include <gtest/gtest.h>

#include <map>

#include "calendar/CalendarFile.h"
#include "calendar/DataFolderTest.h"

using namespace almanouk;

namespace {

struct CalendarListTest : test::DataFolderTest {};

const std::vector<std::string> kHeaders = {"Maandelijks", "Wekelijks", "Dagelijks", "Januari",   "Februari",
                                           "Maart",       "April",     "Mei",       "Juni",      "Juli",
                                           "Augustus",    "September", "Oktober",   "November",  "December"};

// The merged calendar as it must come out: every header once with the given entries.
std::vector<std::string> mergedFile(const std::map<std::string, std::vector<std::string>>& entries) {
  std::vector<std::string> lines = {"Alle Almanouks", "F", "7"};
  for (const std::string& header : kHeaders) {
    lines.insert(lines.end(), {"", "", header, ""});
    auto found = entries.find(header);
    if (found != entries.end()) lines.insert(lines.end(), found->second.begin(), found->second.end());
  }
  lines.insert(lines.end(), {"", "", "Einde"});
  lines.insert(lines.end(), 23, "");
  return lines;
}

TEST(CalendarFileNameTest, EightCharactersAndAmnInAnyCase) {
  EXPECT_TRUE(isCalendarFileName("ALMANOUK.AMN"));
  EXPECT_TRUE(isCalendarFileName("verjaard.amn"));
  EXPECT_TRUE(isCalendarFileName("WERK0000.Amn"));
  EXPECT_FALSE(isCalendarFileName("KORT.AMN"));
  EXPECT_FALSE(isCalendarFileName("TELANGNAAM.AMN"));
  EXPECT_FALSE(isCalendarFileName("ALMANOUK.AM2"));
  EXPECT_FALSE(isCalendarFileName("ALMANOUK.AMNX"));
  EXPECT_FALSE(isCalendarFileName(std::string("ALMA\r\nUK.AMN")));
}

TEST_F(CalendarListTest, ListHoldsTheCalendarFilesInDirectoryOrder) {
  for (const char* name : {"ZZZZZZZZ.AMN", "B0000000.AMN", "a0000000.amn", "KORT.AMN", "ALMANOUK.AM2", "notes.txt"})
    test::writeFile(folder / name, "x\r\n");
  EXPECT_EQ(calendarFileNames(*platform), (std::vector<std::string>{"a0000000.amn", "B0000000.AMN", "ZZZZZZZZ.AMN"}));
}

TEST_F(CalendarListTest, OneCalendarMergesNothing) {
  ASSERT_TRUE(writeCalendarTemplate(*platform, "ALMANOUK.AMN", "0"));
  test::writeFile(folder / "KORT.AMN", "not a calendar of ours\r\n");
  test::writeFile(folder / "allamn.srt", "an old merge\r\n");
  EXPECT_EQ(mergeAllCalendars(*platform).lines, -1);
  EXPECT_EQ(test::fileNames(folder.path()), (std::vector<std::string>{"ALMANOUK.AMN", "KORT.AMN"}));
}

TEST_F(CalendarListTest, TwoCalendarsMergeSectionBySection) {
  write("EERSTE00.AMN", test::calendarLines("Eerste", "0",
                                            {{"1 maand A"}, {"Ma week A"}, {"07:00 dag A"},
                                             {"10 Weer een voorbeeld.", " 2 twee A"}}));
  write("TWEEDE00.AMN", test::calendarLines("Tweede", "1",
                                            {{"01 maand B"}, {"Do week B"}, {}, {"10 Weer een voorbeeld.", "1 een B"},
                                             {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {"31 oud"}}));
  EXPECT_EQ(mergeAllCalendars(*platform).lines, 15 + 5 + 15 + 5);
  EXPECT_EQ(lines("allamn.srt"),
            mergedFile({{"Maandelijks", {"01 maand A", "01 maand B"}},
                        {"Wekelijks", {"Do week B", "Ma week A"}},
                        {"Dagelijks", {"07:00 dag A"}},
                        {"Januari", {"01 een B", "02 twee A", "10 Weer een voorbeeld.", "10 Weer een voorbeeld."}},
                        {"December", {"31 oud"}}}));
  EXPECT_EQ(test::fileNames(folder.path()), (std::vector<std::string>{"EERSTE00.AMN", "TWEEDE00.AMN", "allamn.srt"}));
}

TEST_F(CalendarListTest, ThreeTemplatesKeepEveryCopyAndNormaliseTheDays) {
  for (const char* name : {"AAAAAAAA.AMN", "BBBBBBBB.AMN", "CCCCCCCC.AMN"}) ASSERT_TRUE(writeCalendarTemplate(*platform, name, "0"));
  ASSERT_TRUE(mergeAllCalendars(*platform).made());
  std::vector<std::string> merged = lines("allamn.srt");
  auto count = [&](const std::string& line) { return std::count(merged.begin(), merged.end(), line); };
  EXPECT_EQ(count("Januari"), 1);
  EXPECT_EQ(count("01 Een voorbeeld."), 3);
  EXPECT_EQ(count("02 Nog een voorbeeld (netter)."), 3);
  EXPECT_EQ(count("1 Een voorbeeld."), 0);
  auto at = [&](const std::string& line) { return std::find(merged.begin(), merged.end(), line) - merged.begin(); };
  auto weekly = at("Do 01:26 Elke week popupt deze op de tijd \x82n wordt getoond.");
  EXPECT_GT(weekly, at("Wekelijks"));
  EXPECT_LT(weekly, at("Dagelijks"));
  EXPECT_EQ(merged[static_cast<std::size_t>(at("Januari")) + 2], "01 Een voorbeeld.");
  EXPECT_EQ(test::fileNames(folder.path()).size(), 4u);
}

TEST_F(CalendarListTest, CalendarsWithoutHeadersOrEndLineDoNotStopTheMerge) {
  write("ROMMEL00.AMN", {"Rommel", "1", "7", "", "Maandelijks", "", "5 vijf", "", "Januari", "", "3 drie"});
  write("GEENKOP0.AMN", {"Geen kop", "2", "7", "", "13 zonder sectie"});
  write("GOED0000.AMN", test::calendarLines("Goed", "0", {{}, {}, {}, {}, {}, {"14 maart"}}));
  EXPECT_EQ(mergeAllCalendars(*platform).lines, 3 * 15 + 3);
  EXPECT_EQ(lines("allamn.srt"),
            mergedFile({{"Maandelijks", {"05 vijf"}}, {"Januari", {"03 drie"}}, {"Maart", {"14 maart"}}}));
}

TEST_F(CalendarListTest, MoreCalendarsThanLettersAllMerge) {
  for (int i = 0; i < 30; ++i) {
    std::string name = "KAL" + std::string(i < 10 ? "0000" : "000") + std::to_string(i) + ".AMN";
    write(name, test::calendarLines("Kalender", "0", {{}, {}, {}, {"05 vijf"}}));
  }
  EXPECT_EQ(mergeAllCalendars(*platform).lines, 30 * 16);
  std::vector<std::string> merged = lines("allamn.srt");
  EXPECT_EQ(std::count(merged.begin(), merged.end(), "05 vijf"), 30);
  EXPECT_EQ(test::fileNames(folder.path()).size(), 31u);  // the calendars and the merged file
}

}  // namespace
