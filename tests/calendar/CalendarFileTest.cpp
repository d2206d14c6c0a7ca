#include "calendar/CalendarFile.h"

#include <gtest/gtest.h>

#include "calendar/CalendarModel.h"
#include "calendar/DataFolderTest.h"

using namespace almanouk;

namespace {

struct CalendarFileTest : test::DataFolderTest {};

// What the template must be, not its every byte: the diary key given, the
// three recurring sections and the twelve months in the order the check
// wants, the end line last, and a file the start accepts as it is.
TEST_F(CalendarFileTest, TheTemplateIsACalendarTheStartAccepts) {
  test::writeFile(folder / "ALMANOUK.AMN", "old contents that must go\r\n");
  ASSERT_TRUE(writeCalendarTemplate(*platform, "ALMANOUK.AMN", "3"));
  const std::vector<std::string> written = lines("ALMANOUK.AMN");
  ASSERT_GE(written.size(), 3u);
  EXPECT_EQ(written[1], "3");
  std::vector<std::string> headers;
  for (const std::string& line : written)
    if (isHeaderLine(line)) headers.push_back(line);
  EXPECT_EQ(headers, (std::vector<std::string>{"Maandelijks", "Wekelijks", "Dagelijks", "Januari", "Februari", "Maart",
                                               "April", "Mei", "Juni", "Juli", "Augustus", "September", "Oktober",
                                               "November", "December", "Einde"}));
  const std::string before = test::readFile(folder / "ALMANOUK.AMN");
  ASSERT_TRUE(validateCalendarFile(*platform, "ALMANOUK.AMN"));
  EXPECT_EQ(test::readFile(folder / "ALMANOUK.AMN"), before);
}

TEST_F(CalendarFileTest, OlderLayoutIsUpgradedWhateverTheCaseOfItsEndLine) {
  for (std::string end : {"einde", "EINDE", "Einde", "eInDe"}) {
    write("OUDFORMA.AMN", {"Oud", "0", "7", "", "Maandelijks", "", "01 maand", "", "Januari", "", "13 jan", "", end,
                           "", "na het einde"});
    ASSERT_TRUE(validateCalendarFile(*platform, "OUDFORMA.AMN"));
    EXPECT_EQ(lines("OUDFORMA.AMN"),
              (std::vector<std::string>{"Oud", "0", "7", "", "Maandelijks", "", "01 maand", "", "Wekelijks", "", "", "",
                                        "Dagelijks", "", "", "", "Januari", "", "13 jan", "", "", "na het einde",
                                        "Einde"}))
        << end;
    EXPECT_FALSE(exists("AlmanTmp.dat"));
    std::string upgraded = test::readFile(folder / "OUDFORMA.AMN");
    ASSERT_TRUE(validateCalendarFile(*platform, "OUDFORMA.AMN"));  // now complete: accepted as it is
    EXPECT_EQ(test::readFile(folder / "OUDFORMA.AMN"), upgraded);
  }
}

TEST_F(CalendarFileTest, BadHeadersEndTheProgramAndLeaveTheFileAlone) {
  std::vector<std::string> good = test::calendarLines("Kapot", "0");
  std::vector<std::string> lowerCase = good, noDaily = good, twoMonthly = good;
  lowerCase[9] = "wekelijks";  // lines 6, 10 and 14 hold the three recurring headers
  noDaily.erase(noDaily.begin() + 13);
  twoMonthly[9] = "Maandelijks";  // 1 + 1 + 4: neither 1 nor 7
  for (const auto& contents : {lowerCase, noDaily, twoMonthly}) {
    platform = newPlatform();
    write("KAPOTTEN.AMN", contents);
    std::string before = test::readFile(folder / "KAPOTTEN.AMN");
    EXPECT_EQ(expectFatal([&] { static_cast<void>(validateCalendarFile(*platform, "KAPOTTEN.AMN")); }),
              "  Fout in almanoukfile KAPOTTEN.AMN");
    EXPECT_EQ(test::readFile(folder / "KAPOTTEN.AMN"), before);
    EXPECT_FALSE(exists("AlmanTmp.dat"));
  }
  platform = newPlatform();
  EXPECT_EQ(expectFatal([&] { static_cast<void>(validateCalendarFile(*platform, "WEG00000.AMN")); }),
            "  Fout in almanoukfile WEG00000.AMN");
}

TEST_F(CalendarFileTest, AMissingCalendarReadsAsAnEmptyOne) {
  CalendarReader missing(*platform, "NIETHIER.AMN");
  std::string line = "x";
  EXPECT_TRUE(missing.atEnd());
  EXPECT_FALSE(missing.next(line));
  EXPECT_EQ(line, "");
  EXPECT_EQ(missing.lineNumber(), 0);
}

}  // namespace
