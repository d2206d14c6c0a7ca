#include "settings/SettingsFile.h"

#include <gtest/gtest.h>

#include <map>

#include "calendar/CalendarFile.h"
#include "calendar/DataFolderTest.h"
#include "settings/Settings.h"
#include "screen/ScreenBuffer.h"

using namespace almanouk;

namespace {

struct SettingsFileTest : test::DataFolderTest {
  Settings settings;
  ScreenBuffer buffer{*platform, settings};

  // A settings file with the given lines 1 to 15 changed and the choice lines after them.
  void writeSettings(const std::vector<std::string>& choices, std::map<int, std::string> changed = {}) {
    std::vector<std::string> all = test::settingsLines({.choices = choices});
    for (const auto& [number, text] : changed) all[static_cast<std::size_t>(number - 1)] = text;
    write("Almanouk.ini", all);
  }
  void writeCalendar(const std::string& name, const std::string& description, const std::string& daysAhead) {
    std::vector<std::string> calendar = test::calendarLines(description, "0");
    calendar[2] = daysAhead;
    write(name, calendar);
  }
  void read() { ASSERT_TRUE(readSettings(*platform, settings, buffer)); }
};

TEST_F(SettingsFileTest, PopUpAanBecomesNtpAndNothingElseChanges) {
  ASSERT_TRUE(migratePopupValue(*platform));
  EXPECT_FALSE(exists("Almanouk.ini"));
  writeSettings({"-> ALMANOUK.AMN = Omschrijving.               7"}, {{2, "PopUp=aan"}, {10, " 3"}});
  std::vector<std::string> expected = lines("Almanouk.ini");
  expected[1] = "PopUp=ntp";
  ASSERT_TRUE(migratePopupValue(*platform));
  EXPECT_EQ(lines("Almanouk.ini"), expected);
  EXPECT_FALSE(exists("almanouk.tm2"));
  std::string current = test::readFile(folder / "Almanouk.ini");
  ASSERT_TRUE(migratePopupValue(*platform));
  EXPECT_EQ(test::readFile(folder / "Almanouk.ini"), current);
}

TEST_F(SettingsFileTest, DefaultsForOneCalendar) {
  ASSERT_TRUE(writeCalendarTemplate(*platform, "ALMANOUK.AMN", "0"));
  settings.themeLine = "0";
  ASSERT_TRUE(writeDefaultSettings(*platform, settings));
  std::vector<std::string> expected = test::settingsLines({.choices = {"-> ALMANOUK.AMN = Omschrijving.               7"}});
  EXPECT_EQ(test::readFile(folder / "Almanouk.ini"), test::crlf(expected));
  EXPECT_FALSE(exists("ALMANOUK.TMP"));
}

TEST_F(SettingsFileTest, ChoiceLinesEndTheirDaysAheadInColumn47) {
  std::string longText = "Een omschrijving die veel te lang is voor de regel";
  writeCalendar("EEN00000.AMN", longText, "7");
  writeCalendar("TWEE0000.AMN", longText, "12");
  writeCalendar("DRIE0000.AMN", "Kort", " 3 dagen");
  test::writeFile(folder / "KORT.AMN", "buiten de lijst\r\n");
  settings.popupMode = PopupMode::Message, settings.speakerOn = false, settings.soundOn = false, settings.textColour = 4;
  settings.chosenPosition = 3;
  ASSERT_TRUE(writeDefaultSettings(*platform, settings));
  std::vector<std::string> file = lines("Almanouk.ini");
  ASSERT_EQ(file.size(), 20u);
  EXPECT_EQ(std::vector<std::string>(file.begin() + 1, file.begin() + 4),
            (std::vector<std::string>{"PopUp=msg", "PC-Speaker=uit", "Sound=uit"}));
  EXPECT_EQ(file[9], "4");
  EXPECT_EQ(file[15], "   DRIE0000.AMN = Kort" + std::string(24, ' ') + "3");
  EXPECT_EQ(file[16], "   EEN00000.AMN = " + longText.substr(0, 28) + "7");
  EXPECT_EQ(file[17], "-> TWEE0000.AMN = " + longText.substr(0, 27) + "12");
  for (int i = 15; i <= 17; ++i) EXPECT_EQ(file[static_cast<std::size_t>(i)].size(), 47u);
}

TEST_F(SettingsFileTest, NineCalendarsAtMostAndAStalePositionMarksTheFirst) {
  for (char c = '0'; c <= '9'; ++c) writeCalendar(std::string("KAL0000") + c + ".AMN", "K", "7");
  settings.chosenPosition = 10;
  ASSERT_TRUE(writeDefaultSettings(*platform, settings));
  std::vector<std::string> file = lines("Almanouk.ini");
  ASSERT_EQ(file.size(), 15u + 9u + 2u);
  EXPECT_EQ(file[15].substr(0, 15), "-> KAL00000.AMN");
  EXPECT_EQ(file[23].substr(0, 15), "   KAL00008.AMN");
}

TEST_F(SettingsFileTest, ReaderTakesSwitchesThemeAndTheMarkedCalendar) {
  ASSERT_TRUE(writeCalendarTemplate(*platform, "ALMANOUK.AMN", "0"));
  ASSERT_TRUE(writeCalendarTemplate(*platform, "WERK0000.AMN", "1"));
  writeSettings({"   ALMANOUK.AMN = Omschrijving.               7", "-> WERK0000.AMN = Werk en nog wat extra tekst12"},
                {{2, "PopUp=msg"}, {3, "PC-Speaker=uit"}, {7, "0"}, {10, "3"}});
  read();
  EXPECT_EQ(settings.popupMode, PopupMode::Message);
  EXPECT_FALSE(settings.speakerOn);
  EXPECT_TRUE(settings.soundOn);
  EXPECT_EQ(settings.themeLine, "0");
  EXPECT_EQ(settings.themeFg, 0);
  EXPECT_EQ(settings.themeBg, 15);
  EXPECT_EQ(settings.themeBarFg, 15);
  EXPECT_EQ(settings.textColour, 3);
  EXPECT_EQ(settings.diaryDayColour, 13);
  EXPECT_EQ(settings.calFile, "WERK0000.AMN");
  EXPECT_EQ(settings.description, "Werk en nog wat extra tek");
  EXPECT_EQ(settings.chosenPosition, 2);
  EXPECT_EQ(settings.daysAhead, 12);
  EXPECT_EQ(buffer.cell(0).attribute, 15 * 16);
  EXPECT_EQ(test::readFile(folder / "WERK0000.AM2"), test::readFile(folder / "WERK0000.AMN"));
  EXPECT_FALSE(exists("ALMANOUK.AM2"));
}

TEST_F(SettingsFileTest, DaysAheadIsClampedAndThemeTwoLeavesTheColours) {
  ASSERT_TRUE(writeCalendarTemplate(*platform, "ALMANOUK.AMN", "0"));
  settings.themeFg = 3, settings.themeBg = 4, settings.themeBarFg = 5;
  for (const auto& [written, expected] : std::vector<std::pair<std::string, int>>{{"45", 30}, {" 0", 1}, {"30", 30}}) {
    writeSettings({"-> ALMANOUK.AMN = Omschrijving.              " + written}, {{7, "2"}, {13, "6"}});
    read();
    EXPECT_EQ(settings.daysAhead, expected) << written;
  }
  EXPECT_EQ(settings.themeFg, 3);
  EXPECT_EQ(settings.themeBg, 4);
  EXPECT_EQ(settings.themeBarFg, 5);
  EXPECT_EQ(settings.textColour, 12);
  EXPECT_EQ(settings.diaryDayColour, 6);
}

TEST_F(SettingsFileTest, WithoutAMarkTheFirstChoiceCounts) {
  ASSERT_TRUE(writeCalendarTemplate(*platform, "EERSTE00.AMN", "0"));
  writeSettings({"   EERSTE00.AMN = Eerste                      9", "   TWEEDE00.AMN = Tweede                     14"});
  read();
  EXPECT_EQ(settings.calFile, "EERSTE00.AMN");
  EXPECT_EQ(settings.description, "Eerste");
  EXPECT_EQ(settings.chosenPosition, 1);
  EXPECT_EQ(settings.daysAhead, 9);
}

TEST_F(SettingsFileTest, AnEmptyListFallsBackToTheDefaultCalendar) {
  ASSERT_TRUE(writeCalendarTemplate(*platform, "ALMANOUK.AMN", "0"));
  writeSettings({});
  settings.calFile = "WEG00000.AMN";
  read();
  EXPECT_EQ(settings.calFile, "ALMANOUK.AMN");
  EXPECT_EQ(settings.chosenPosition, 0);
  EXPECT_EQ(settings.daysAhead, 7);
}

TEST_F(SettingsFileTest, TheLastMarkNamesTheCalendarTheFirstGivesTheDaysAhead) {
  ASSERT_TRUE(writeCalendarTemplate(*platform, "TWEEDE00.AMN", "0"));
  writeSettings({"-> EERSTE00.AMN = Eerste                      9", "-> TWEEDE00.AMN = Tweede                     14"});
  read();
  EXPECT_EQ(settings.calFile, "TWEEDE00.AMN");
  EXPECT_EQ(settings.chosenPosition, 2);
  EXPECT_EQ(settings.daysAhead, 9);
}

TEST_F(SettingsFileTest, BadSwitchLinesEndTheProgram) {
  ASSERT_TRUE(writeCalendarTemplate(*platform, "ALMANOUK.AMN", "0"));
  const std::vector<std::pair<int, std::string>> badLines = {
      {2, "PopUp=NTP"}, {2, "PopUp=ntp "}, {2, "PopUp=aan"}, {3, "PC-Speaker=ja"}, {4, "sound=aan"}};
  for (const auto& [number, text] : badLines) {
    platform = newPlatform();
    ScreenBuffer fresh(*platform, settings);
    writeSettings({"-> ALMANOUK.AMN = Omschrijving.               7"}, {{number, text}});
    EXPECT_EQ(expectFatal([&] { static_cast<void>(readSettings(*platform, settings, fresh)); }), "  Fout in INI-file.") << text;
  }
  platform = newPlatform();
  ScreenBuffer fresh(*platform, settings);
  write("Almanouk.ini", {"[Aan/Uit]", "PopUp=uit", "PC-Speaker=aan"});  // ends before the sound line
  EXPECT_EQ(expectFatal([&] { static_cast<void>(readSettings(*platform, settings, fresh)); }), "  Fout in INI-file.");
}

TEST_F(SettingsFileTest, ABadActiveCalendarEndsTheProgramWithItsName) {
  write("KAPOT000.AMN", {"Kapot", "0", "7", "", "wekelijks"});
  writeSettings({"-> KAPOT000.AMN = Kapot                       7"});
  EXPECT_EQ(expectFatal([&] { read(); }), "  Fout in almanoukfile KAPOT000.AMN");
  EXPECT_FALSE(exists("KAPOT000.AM2"));  // no backup is made of a calendar that fails
}

TEST_F(SettingsFileTest, AMissingActiveCalendarGetsNoEmptyBackup) {
  writeSettings({"-> WEG00000.AMN = Weg                         7"});
  EXPECT_EQ(expectFatal([&] { read(); }), "  Fout in almanoukfile WEG00000.AMN");
  EXPECT_FALSE(exists("WEG00000.AM2"));
}

}  // namespace
