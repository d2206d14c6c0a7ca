#include "editors/CalendarManagement.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "calendar/CalendarList.h"
#include "platform/Text.h"
#include "platform/headless/HeadlessPlatform.h"
#include "settings/SettingsFile.h"

using namespace almanouk;

namespace {

struct CalendarManagementTest : ::testing::Test {
  test::TempFolder folder;
  HeadlessPlatform platform{test::headlessOptions(folder, "2012-03-07 14:30:05"), KeyScript{}};

  void calendar(const std::string& name, const std::string& key, const std::string& description = "Agenda") {
    test::writeFile(folder / name, test::crlf(test::calendarLines(description, key)));
  }
};

}  // namespace

TEST_F(CalendarManagementTest, TheFreeKeyIsTheLowestUnused) {
  EXPECT_EQ(nextFreeDiaryKey(platform), "0");
  calendar("EEN00000.AMN", "0");
  calendar("TWEE0000.AMN", "2");
  EXPECT_EQ(nextFreeDiaryKey(platform), "1");
  calendar("DRIE0000.AMN", "1");
  EXPECT_EQ(nextFreeDiaryKey(platform), "3");
  for (char key = '3'; key <= '9'; ++key) calendar(std::string("K") + key + "000000.AMN", std::string(1, key));
  EXPECT_EQ(nextFreeDiaryKey(platform), ";");  // ":" cannot stand in a file name
}

TEST_F(CalendarManagementTest, TypedNamesBecomeEightCharactersInUpperCase) {
  // Typed in code page 437: a letter with an accent is one character, and its plain letter.
  const std::pair<std::string, std::string> names[] = {
      {"werk", "WERK0000.AMN"},    {"verjaardagen", "VERJAARD.AMN"}, {cp437("café"), "CAFE0000.AMN"},
      {cp437("Privé"), "PRIVE000.AMN"}, {cp437("ÉÅÖÜÑçëïñ"), "EAOUNCEI.AMN"},
  };
  for (const auto& [typed, name] : names) EXPECT_EQ(calendarFileNameFor(typed), name) << typed;
  EXPECT_EQ(refusalOf(platform, "WERK0000.AMN"), "");
  calendar("WERK0000.AMN", "0");
  EXPECT_EQ(refusalOf(platform, calendarFileNameFor("Werk")), "Die naam bestaat al");
  for (const char* bad : {"a/b", "..", "x.y", "a b", "c:", "wat?", "a*", "a\"b", "<>", "|", "\\", "\x01"})
    EXPECT_FALSE(refusalOf(platform, calendarFileNameFor(bad)).empty()) << bad;
  EXPECT_LE(refusalOf(platform, calendarFileNameFor("/")).size(), 34u);
  EXPECT_EQ(refusalOf(platform, calendarFileNameFor(cp437("½"))), "Alleen letters, cijfers en tekens");
}

// Whatever the name on disk (the program's, another program's UTF-8, an older
// version's code page byte), every way of typing it finds it.
TEST(CalendarNames, AreFoundInAnyCaseWithOrWithoutAccents) {
  const std::vector<std::string> names = {"WERK0000.AMN", "CAF\xC3\x89" "000.AMN", "PRIV\x82" "000.AMN", "ZOMER000.AMN"};
  const std::pair<std::string, std::optional<std::string>> typed[] = {
      {"werk", "WERK0000.AMN"},
      {"Werk0000.amn", "WERK0000.AMN"},
      {cp437("café"), "CAF\xC3\x89" "000.AMN"},
      {"CAFE", "CAF\xC3\x89" "000.AMN"},
      {cp437("CAFÉ000.AMN"), "CAF\xC3\x89" "000.AMN"},
      {cp437("privé"), "PRIV\x82" "000.AMN"},
      {"prive000", "PRIV\x82" "000.AMN"},
      {"zomer", "ZOMER000.AMN"},
      {"winter", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [given, found] : typed) EXPECT_EQ(findCalendarFile(names, given), found) << given;
}

TEST_F(CalendarManagementTest, ACopyTakesTheClocksNameANewKeyAndTheDiary) {
  EXPECT_EQ(copyNameFromClock(platform), "07143005.AMN");
  std::vector<std::string> lines = test::calendarLines("Werk", "0", {{"01 huur"}});
  lines.insert(lines.end(), {"na het einde", ""});
  test::writeFile(folder / "WERK0000.AMN", test::crlf(lines));
  test::writeFile(folder / "20120307.D03", "pagina");
  test::writeFile(folder / "20120308.D14", "andere agenda");  // a diary whose calendar is gone: key 1 is not free
  ASSERT_TRUE(copyCalendar(platform, "WERK0000.AMN", "07143005.AMN"));
  std::vector<std::string> copy = test::splitLines(test::readFile(folder / "07143005.AMN"));
  EXPECT_EQ(copy[1], "2");
  EXPECT_EQ(copy[copy.size() - 26], "Einde");  // what followed the end line is not copied
  EXPECT_EQ(test::readFile(folder / "20120307.D23"), "pagina");
  EXPECT_EQ(test::readFile(folder / "20120307.D03"), "pagina");
  EXPECT_FALSE(std::filesystem::exists(folder / "20120308.D04"));
  EXPECT_FALSE(std::filesystem::exists(folder / "20120308.D24"));
}

// A copy passes the start-up check even where its source (edited by hand) had no end line.
TEST_F(CalendarManagementTest, ACopyOfACalendarWithoutEndGetsOne) {
  test::writeFile(folder / "LOS00000.AMN", test::crlf({"Los", "0", "7", "", "Januari", "05 iets"}));
  ASSERT_TRUE(copyCalendar(platform, "LOS00000.AMN", "07143005.AMN"));
  std::vector<std::string> copy = test::splitLines(test::readFile(folder / "07143005.AMN"));
  ASSERT_EQ(copy.size(), 6u + 1 + 25);
  EXPECT_EQ(copy[5], "05 iets");
  EXPECT_EQ(copy[6], "Einde");
}

TEST_F(CalendarManagementTest, DeletingTakesTheBackupTheLinkAndTheDiaryAlong) {
  calendar("WERK0000.AMN", "1");
  calendar("THUIS000.AMN", "0");
  test::writeFile(folder / "WERK0000.AM2", "backup");
  test::writeFile(folder / "WERK0000.SYN", "link to a calendar server");
  test::writeFile(folder / "20120307.D13", "werk");
  test::writeFile(folder / "20120307.D03", "thuis");
  ASSERT_TRUE(deleteCalendar(platform, "WERK0000.AMN"));
  EXPECT_EQ(test::fileNames(folder.path()), (std::vector<std::string>{"20120307.D03", "THUIS000.AMN"}));

  // Pages whose key another calendar carries as well are left alone.
  calendar("KOPIE000.AMN", "0");
  ASSERT_TRUE(deleteCalendar(platform, "KOPIE000.AMN"));
  EXPECT_TRUE(std::filesystem::exists(folder / "20120307.D03"));
}

TEST_F(CalendarManagementTest, ChoiceLinesMarkTheActiveCalendar) {
  calendar("AAAAAAAA.AMN", "0", "Eerste");
  calendar("BBBBBBBB.AMN", "1", "Een heel lange omschrijving van de agenda");
  std::vector<std::string> lines = calendarChoiceLines(platform, "bbbbbbbb.amn");
  EXPECT_EQ(lines, (std::vector<std::string>{"   AAAAAAAA.AMN = Eerste                      7",
                                             "-> BBBBBBBB.AMN = Een heel lange omschrijving 7"}));
  EXPECT_EQ(calendarChoiceLines(platform, "WEG00000.AMN")[0].substr(0, 3), "-> ");
}
