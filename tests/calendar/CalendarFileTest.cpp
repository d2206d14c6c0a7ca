#include "calendar/CalendarFile.h"

#include <gtest/gtest.h>

#include "calendar/DataFolderTest.h"

using namespace almanouk;

namespace {

struct CalendarFileTest : test::DataFolderTest {};

std::vector<std::string> expectedTemplate(const std::string& key) {
  std::vector<std::string> lines = {
      "Omschrijving.",
      key,
      "7",
      "",
      "",
      "Maandelijks",
      "",
      "01 Voorbeelden. Nu alleen een notitie.",
      "02 18:30 Elke maand popupt deze op de tijd \x82n wordt getoond.",
      "04 2008 12:30 Nu alleen in 2008.",
      "06 2008 Nu alleen een notitie in 2008.",
      "",
      "",
      "Wekelijks",
      "",
      "Do 01:26 Elke week popupt deze op de tijd \x82n wordt getoond.",
      "Vr 2008 15:45 Nu alleen in 2008.",
      "Za 2008 Nu alleen een notitie in 2008.",
      "Zo Nu alleen een notitie.",
      "",
      "",
      "Dagelijks",
      "",
      "01:28 Elke dag popupt deze op de tijd en wordt niet getoond.",
      "",
      "",
      "Januari",
      "",
      "1 Een voorbeeld.",
      " 2 Nog een voorbeeld (netter).",
      "10 Weer een voorbeeld.",
      "11 2004 Voorbeeld met jaartal.",
      "12 # c:\\windows\\notepad.exe",
      "13 10:25 Tijdvoorbeeld.",
      "20 10:30 # defrag c:",
      "22 2008 10:30 # defrag c:",
      "30 2012 19:00 # notepad c:\\info\\belangrijk.txt",
      "",
      "",
  };
  for (const char* month : {"Februari", "Maart", "April", "Mei", "Juni", "Juli", "Augustus", "September", "Oktober",
                            "November", "December"})
    lines.insert(lines.end(), {month, "", "", ""});
  lines.push_back("Einde");
  lines.insert(lines.end(), 25, "");
  return lines;
}

TEST_F(CalendarFileTest, TemplateIsWrittenByteForByte) {
  test::writeFile(folder / "ALMANOUK.AMN", "old contents that must go\r\n");
  ASSERT_TRUE(writeCalendarTemplate(*platform, "ALMANOUK.AMN", "3"));
  std::vector<std::string> expected = expectedTemplate("3");
  ASSERT_EQ(expected.size(), 109u);
  EXPECT_EQ(test::readFile(folder / "ALMANOUK.AMN"), test::crlf(expected));
}

TEST_F(CalendarFileTest, CompleteFileIsAcceptedUnchanged) {
  ASSERT_TRUE(writeCalendarTemplate(*platform, "ALMANOUK.AMN", "0"));
  std::string before = test::readFile(folder / "ALMANOUK.AMN");
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
