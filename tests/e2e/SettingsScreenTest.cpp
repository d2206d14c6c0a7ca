// The settings screen from the month view (F4): switches, the active
// calendar, days ahead and descriptions, and new, copied and deleted calendars.

#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/Harness.h"
#include "platform/Text.h"

using namespace almanouk;
using test::Harness;

namespace {

std::vector<std::string> lines(const Harness& h, const std::string& name) {
  return test::splitLines(test::readFile(h.data(name)));
}

// A choice line as the program writes it: 47 characters, the days ahead last.
std::string choice(bool marked, const std::string& name, const std::string& description, int days) {
  std::string digits = std::to_string(days);
  return padRight((marked ? "-> " : "   ") + name + " = " + description, 47 - static_cast<int>(digits.size())) + digits;
}

// Two calendars: WERK (key 0, active) and THUIS (key 1).
void twoCalendars(Harness& h, const test::SettingsSpec& base = {}) {
  h.writeData("WERK0000.AMN", test::calendarFile("Werk", {}, {}, {}, {{3, {"20 Werkoverleg"}}}, "7", "0"));
  h.writeData("THUIS000.AMN", test::calendarFile("Thuis", {}, {}, {}, {{3, {"10 Verjaardag Piet"}}}, "9", "1"));
  test::SettingsSpec spec = base;
  spec.choices = {choice(false, "THUIS000.AMN", "Thuis", 9), choice(true, "WERK0000.AMN", "Werk", 7)};
  h.writeData("Almanouk.ini", test::crlf(test::settingsLines(spec)));
}

std::vector<std::string> choices(const Harness& h) {
  std::vector<std::string> ini = lines(h, "Almanouk.ini");
  return std::vector<std::string>(ini.begin() + 15, std::find(ini.begin() + 15, ini.end(), ""));
}

}  // namespace

TEST(SettingsScreen, SpaceStepsTheSwitches) {
  Harness h;
  h.run("2012-03-07 09:00:00", "F4 Space Esc");
  EXPECT_EQ(lines(h, "Almanouk.ini")[1], "PopUp=uit");
  EXPECT_EQ(h.state().settings.popupMode, PopupMode::Off);
  h.run("2012-03-07 09:00:00", "F4 Space Esc");
  EXPECT_EQ(lines(h, "Almanouk.ini")[1], "PopUp=msg");
  h.run("2012-03-07 09:00:00", "F4 Space Esc");
  EXPECT_EQ(lines(h, "Almanouk.ini")[1], "PopUp=ntp");
  h.run("2012-03-07 09:00:00", "F4 Down Space Down Space Up Up Up Esc");
  EXPECT_EQ(lines(h, "Almanouk.ini")[2], "PC-Speaker=uit");
  EXPECT_EQ(lines(h, "Almanouk.ini")[3], "Sound=uit");
  EXPECT_FALSE(h.state().settings.soundOn);
  EXPECT_EQ(h.text(5, 4, 4), "week");  // back in the month view
}

// The calendar file takes the new value at once; the next start takes one
// leading blank off its third line, as it does for every calendar.
TEST(SettingsScreen, DaysAheadStayWithinOneToThirtyAndReachTheCalendarFile) {
  Harness h;
  twoCalendars(h);
  h.run("2012-03-07 09:00:00", "F4 Down Down Down Right Right Right Esc");
  EXPECT_EQ(choices(h)[0], choice(false, "THUIS000.AMN", "Thuis", 12));
  EXPECT_EQ(lines(h, "THUIS000.AMN")[2], "12");
  h.run("2012-03-07 09:00:00", "F4 Down Down Down Left Left Left");
  EXPECT_EQ(lines(h, "THUIS000.AMN")[2], " 9");
  h.run("2012-03-07 09:00:00", "F4 Down Down Down Left Left Left Esc");
  EXPECT_EQ(choices(h)[0], choice(false, "THUIS000.AMN", "Thuis", 9));
  EXPECT_EQ(lines(h, "THUIS000.AMN")[2], "9");
  std::string right30, left30;
  for (int i = 0; i < 30; ++i) right30 += "Right ", left30 += "Left ";
  h.run("2012-03-07 09:00:00", "F4 Down Down Down " + right30 + "Esc");
  EXPECT_EQ(lines(h, "THUIS000.AMN")[2], "30");
  h.run("2012-03-07 09:00:00", "F4 Down Down Down " + left30 + left30 + "Esc");
  EXPECT_EQ(choices(h)[0], choice(false, "THUIS000.AMN", "Thuis", 1));
  EXPECT_EQ(lines(h, "THUIS000.AMN")[2], "1");
}

TEST(SettingsScreen, EnterGivesACalendarANewDescription) {
  Harness h;
  twoCalendars(h);
  h.run("2012-03-07 09:00:00", "F4 Down Down Down Enter \"Gezin\" Enter");
  EXPECT_EQ(lines(h, "THUIS000.AMN")[0], "Gezin" + std::string(21, ' '));
  EXPECT_EQ(lines(h, "THUIS000.AMN")[2], "  9");
  h.run("2012-03-07 09:00:00", "F4 Down Down Down Enter \"Gezin\" Enter Esc");
  EXPECT_EQ(choices(h)[0], choice(false, "THUIS000.AMN", "Gezin", 9));
  // Esc, and Enter with nothing typed, keep the old one; typed past 25 is not taken.
  const std::vector<std::string> before = choices(h);
  h.run("2012-03-07 09:00:00", "F4 Down Down Down Enter \"weg\" Esc Enter Enter Esc");
  EXPECT_EQ(choices(h), before);
  EXPECT_EQ(lines(h, "THUIS000.AMN")[0], "Gezin" + std::string(21, ' '));
  h.run("2012-03-07 09:00:00", "F4 Down Down Down Enter \"" + std::string(30, 'x') + "\" Up Enter Esc");
  EXPECT_EQ(choices(h)[0], choice(false, "THUIS000.AMN", std::string(25, 'x'), 9));
  // The description is code page 437 like everything else.
  h.run("2012-03-07 09:00:00", "F4 Down Down Down Enter \"café\" Enter Esc");
  EXPECT_EQ(lines(h, "THUIS000.AMN")[0], "caf\x82" + std::string(22, ' '));
  // The switches have no description: Enter there changes no file.
  const std::string settings = test::readFile(h.data("Almanouk.ini"));
  h.run("2012-03-07 09:00:00", "F4 Down Enter \"x\" Enter Esc");
  EXPECT_EQ(test::readFile(h.data("Almanouk.ini")), settings);
}

TEST(SettingsScreen, SpaceMakesAnotherCalendarActive) {
  Harness h;
  twoCalendars(h);
  h.run("2012-03-07 09:00:00", "F4 Down Down Down Space Esc");
  EXPECT_EQ(choices(h), (std::vector<std::string>{choice(true, "THUIS000.AMN", "Thuis", 9),
                                                  choice(false, "WERK0000.AMN", "Werk", 7)}));
  EXPECT_EQ(h.row(25).substr(0, 24), " Huidige almanouk: Thuis");
  EXPECT_EQ(h.text(20, 5, 18), "10 Verjaardag Piet");
  EXPECT_EQ(h.state().settings.diaryId, "1");
  // F2 leaves for the list editor on the calendar chosen.
  h.run("2012-03-07 09:00:00", "F4 Down Down Down Down Space F2 Home");
  EXPECT_EQ(h.state().settings.calFile, "WERK0000.AMN");
  EXPECT_EQ(h.text(4, 4, 14), "20 Werkoverleg");
  // F5 leaves for the diary.
  h.run("2012-03-07 09:00:00", "F4 F5");
  EXPECT_EQ(h.row(1).substr(0, 10), "  WERK0000");
}

TEST(SettingsScreen, NewCalendarsTakeTheTemplateAndTheNextFreeKey) {
  Harness h;
  twoCalendars(h);
  h.run("2012-03-07 09:00:00", "F4 \"n\" \"werk\" Enter Esc Esc");
  EXPECT_EQ(lines(h, "WERK0000.AMN")[0], "Werk");  // the name exists already: asked again, and Esc gave up
  EXPECT_EQ(choices(h).size(), 2u);
  h.run("2012-03-07 09:00:00", "F4 \"n\" \"verjaardagen\" Enter Esc");
  ASSERT_TRUE(h.dataExists("VERJAARD.AMN"));
  EXPECT_EQ(lines(h, "VERJAARD.AMN")[1], "2");
  EXPECT_EQ(lines(h, "VERJAARD.AMN")[0], "Omschrijving.");
  EXPECT_EQ(choices(h).back(), choice(true, "VERJAARD.AMN", "Omschrijving.", 7));
  EXPECT_EQ(h.state().settings.calFile, "VERJAARD.AMN");
  std::vector<std::string> listed = choices(h);
  EXPECT_EQ(std::count_if(listed.begin(), listed.end(), [](const std::string& c) { return c[0] == '-'; }), 1);
}

TEST(SettingsScreen, ANameThatCannotBeACalendarIsAskedAgain) {
  Harness h;
  h.run("2012-03-07 09:00:00", "F4 \"n\" \"../x\" Enter snap:refused Bksp Bksp Bksp Bksp \"ok\" Enter Esc");
  EXPECT_TRUE(h.dataExists("OK000000.AMN"));
  EXPECT_EQ(test::fileNames(h.dataFolder().parent_path()), (std::vector<std::string>{"Almanouk"}));
  h.run("2012-03-07 09:00:00", "F4 \"n\" \"almanouk\" Enter");
  EXPECT_EQ(h.text(10, 19, 19), "Die naam bestaat al");
}

TEST(SettingsScreen, NineCalendarsAreTheMost) {
  Harness h;
  std::vector<std::string> choiceLines;
  for (int i = 1; i <= 9; ++i) {
    std::string name = "AGENDA0" + std::to_string(i) + ".AMN";
    h.writeData(name, test::calendarFile("Agenda", {}, {}, {}, {}, "7", std::to_string(i - 1)));
    choiceLines.push_back((i == 1 ? "-> " : "   ") + name + " = Agenda                        7");
  }
  h.writeData("Almanouk.ini", test::crlf(test::settingsLines({.choices = choiceLines})));
  h.run("2012-03-07 14:30:05", "F4 Down Down Down \"n\" \"extra\" Enter \"k\" Esc");
  EXPECT_FALSE(h.dataExists("EXTRA000.AMN"));
  EXPECT_FALSE(h.dataExists("07143005.AMN"));
}

// 'k': the copy with its diary; the switches and colours of the settings
// file stay, and so does the marker on the active calendar.
TEST(SettingsScreen, CopyKeepsTheSettingsAndTheActiveCalendar) {
  Harness h;
  twoCalendars(h, {.popup = "PopUp=msg", .theme = "0", .textColour = "4", .diaryDayColour = "5"});
  h.writeData("20120305.D11", "thuis");
  h.run("2012-03-07 14:30:05", "F4 Down Down Down \"k\"");
  ASSERT_TRUE(h.dataExists("07143005.AMN"));
  EXPECT_EQ(lines(h, "07143005.AMN")[1], "2");
  EXPECT_EQ(test::readFile(h.data("20120305.D21")), "thuis");
  std::vector<std::string> ini = lines(h, "Almanouk.ini");
  EXPECT_EQ(ini[1], "PopUp=msg");
  EXPECT_EQ(ini[6], "0");
  EXPECT_EQ(ini[9], "4");
  EXPECT_EQ(ini[12], "5");
  EXPECT_EQ(choices(h), (std::vector<std::string>{choice(false, "07143005.AMN", "Thuis", 9),
                                                  choice(false, "THUIS000.AMN", "Thuis", 9),
                                                  choice(true, "WERK0000.AMN", "Werk", 7)}));
  // The screen opened again on the same line.
  EXPECT_EQ(h.state().settingsField, std::nullopt);
  EXPECT_EQ(h.state().buffer.at(5, 2).attribute, h.state().settings.themeBarFg + 16);

  // With a switch selected there is nothing to copy.
  const std::vector<std::string> names = test::fileNames(h.dataFolder());
  h.run("2012-03-07 14:31:05", "F4 \"k\" Esc");
  EXPECT_EQ(test::fileNames(h.dataFolder()), names);
}

TEST(SettingsScreen, DeleteAsksAndRefusesTheActiveCalendar) {
  Harness h;
  twoCalendars(h);
  h.writeData("THUIS000.AM2", "backup");
  h.writeData("20120305.D11", "thuis");
  h.run("2012-03-07 09:00:00", "F4 Down Down Down Down Del");
  EXPECT_EQ(h.text(11, 27, 27), "  De aktieve almanouk kan  ");
  h.run("2012-03-07 09:00:00", "F4 Down Down Down Down Del Esc Esc");
  EXPECT_TRUE(h.dataExists("WERK0000.AMN"));

  h.run("2012-03-07 09:00:00", "F4 Down Down Down Del");
  EXPECT_EQ(h.text(12, 27, 27), "  THUIS000.AMN gewist !!!  ");
  h.run("2012-03-07 09:00:00", "F4 Down Down Down Del \"n\" Esc");
  EXPECT_TRUE(h.dataExists("THUIS000.AMN"));
  h.run("2012-03-07 09:00:00", "F4 Down Down Down Del \"j\" Esc");
  EXPECT_FALSE(h.dataExists("THUIS000.AMN"));
  EXPECT_FALSE(h.dataExists("THUIS000.AM2"));
  EXPECT_FALSE(h.dataExists("20120305.D11"));
  EXPECT_EQ(choices(h), (std::vector<std::string>{choice(true, "WERK0000.AMN", "Werk", 7)}));
  // The last calendar is never deleted.
  h.run("2012-03-07 09:00:00", "F4 Down Down Down Del \"j\" Esc Esc");
  EXPECT_TRUE(h.dataExists("WERK0000.AMN"));
}

// A calendar linked to a calendar server carries a two-way arrow behind its line.
TEST(SettingsScreen, ALinkedCalendarIsMarked) {
  Harness h;
  twoCalendars(h);
  h.writeData("WERK0000.SYN", "Almanouk synchronisatie 1\n");
  h.run("2012-03-07 09:00:00", "F4");
  EXPECT_EQ(h.text(6, 51, 1), " ");  // THUIS
  EXPECT_EQ(h.text(8, 51, 1), "↔");  // WERK
}
