// Faults found by attacking the program as a hostile user and a failing
// machine would; each test failed before its mend.

#include <gtest/gtest.h>

#include <chrono>

#include "alarm/DefaultSound.h"
#include "e2e/Harness.h"

using namespace almanouk;
using test::Harness;

namespace {

std::string defaultSound() { return std::string(reinterpret_cast<const char*>(kDefaultSound), kDefaultSoundSize); }

std::vector<std::string> lines(const Harness& h, const std::string& name) {
  return test::splitLines(test::readFile(h.data(name)));
}

}  // namespace

// A file named like the probe's end mark made the start think no calendar
// existed: the template overwrote the user's calendar.
TEST(Hardening, AFileNamedLikeTheProbesMarkCannotReplaceTheCalendar) {
  Harness h;
  h.writeData("ALMANOUK.AMN", test::calendarFile("Mijn agenda", {}, {}, {}, {{3, {"07 Iets belangrijks"}}}));
  h.writeData("Almanouk.ini", test::crlf(test::settingsLines({.popup = "PopUp=msg"})));
  h.writeData(" tjek,ab.AMN", "geen agenda");
  h.run("2012-03-07 09:00:00", "");
  EXPECT_EQ(lines(h, "ALMANOUK.AMN")[0], "Mijn agenda");
  EXPECT_EQ(lines(h, "Almanouk.ini")[1], "PopUp=msg");
}

// A backup that fails the check is made anew from a sound calendar; only a
// calendar that fails stops the start, and the message names it.
TEST(Hardening, ABrokenBackupIsMadeAgainFromTheCalendar) {
  Harness h;
  h.run("2012-03-07 09:00:00", "");
  h.writeData("ALMANOUK.AM2", "");
  auto result = h.run("2012-03-07 09:00:00", "");
  EXPECT_TRUE(result.scriptEnded);
  EXPECT_EQ(test::readFile(h.data("ALMANOUK.AM2")), test::readFile(h.data("ALMANOUK.AMN")));

  h.writeData("ALMANOUK.AMN", "kapot\r\n");
  h.run("2012-03-07 09:00:00", "Esc");
  EXPECT_EQ(h.row(2).substr(0, 35), "  Fout in almanoukfile ALMANOUK.AMN");
}

// A default sound cut short (killed while it was written) is written again;
// a sound of the user's own that decodes stays.
TEST(Hardening, ADefaultSoundThatDoesNotDecodeIsWrittenAgain) {
  Harness h;
  h.writeData("roster.mp3", defaultSound().substr(0, 3000));
  h.run("2012-03-07 09:00:00", "");
  EXPECT_TRUE(test::readFile(h.data("roster.mp3")) == defaultSound());
  std::string own = defaultSound() + defaultSound();
  h.writeData("roster.mp3", own);
  h.run("2012-03-07 09:00:00", "");
  EXPECT_TRUE(test::readFile(h.data("roster.mp3")) == own);
}

// A choice line naming a path cannot make the program read or write outside the data folder.
TEST(Hardening, SettingsCannotNameAFileOutsideTheDataFolder) {
  Harness h;
  h.run("2012-03-07 09:00:00", "");
  for (const char* name : {"../../ab.AMN", "/tmp/ab.AMN", "..\\..\\a.AMN"}) {
    h.writeData("Almanouk.ini",
                test::crlf(test::settingsLines({.choices = {"-> " + std::string(name) + " = Weg                           7",
                                                            "   ALMANOUK.AMN = Thuis                         7"}})));
    auto result = h.run("2012-03-07 09:00:00", "");
    EXPECT_TRUE(result.scriptEnded) << name;
    EXPECT_EQ(h.state().settings.calFile, "ALMANOUK.AMN") << name;
    EXPECT_EQ(test::fileNames(h.dataFolder().parent_path()), (std::vector<std::string>{"Almanouk"})) << name;
  }
}

// One entry of millions of characters is wrapped in linear time.
TEST(Hardening, AHugeEntryIsListedInLinearTime) {
  Harness h;
  h.writeData("ALMANOUK.AMN", test::calendarFile("Groot", {}, {}, {}, {{3, {"07 " + std::string(4'000'000, 'x')}}}));
  auto start = std::chrono::steady_clock::now();
  h.run("2012-03-07 09:00:00", "");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(h.text(20, 5, 6), "07 xxx");
}

// Extra blank lines in the settings file are read as the user meant them and
// the file settles: a second start changes no file at all.
TEST(Hardening, ASettingsFileWithExtraBlankLinesSettles) {
  Harness h;
  h.run("2012-03-07 09:00:00", "");
  std::vector<std::string> settings = test::settingsLines({.popup = "PopUp=msg", .theme = "0", .textColour = "4"});
  settings.insert(settings.begin() + 4, 10, "");
  h.writeData("Almanouk.ini", test::crlf(settings));
  h.run("2012-03-07 09:00:00", "");
  EXPECT_EQ(h.state().settings.themeFg, 0);
  EXPECT_EQ(h.state().settings.textColour, 4);
  EXPECT_EQ(h.row(25).substr(0, 23), " Huidige almanouk: Werk");
  std::string settled = test::readFile(h.data("Almanouk.ini"));
  std::string calendar = test::readFile(h.data("ALMANOUK.AMN"));
  auto again = h.run("2012-03-07 09:00:00", "");
  EXPECT_EQ(test::readFile(h.data("Almanouk.ini")), settled);
  EXPECT_EQ(test::readFile(h.data("ALMANOUK.AMN")), calendar);
  for (const char* name : {"Almanouk.ini", "ALMANOUK.AMN", "ALMANOUK.AM2"})
    EXPECT_EQ(again.changedFiles.count(name), 0u) << name << " was written although it needed no change";
}

// The headless clock works before 1970 too.
TEST(Hardening, TheHeadlessClockRunsBefore1970) {
  Harness h;
  auto result = h.run("1901-01-03 12:00:00", "wait:2");
  EXPECT_TRUE(result.scriptEnded);
  EXPECT_EQ(h.text(3, 5, 5), " 1901");
  EXPECT_EQ(h.text(3, 38, 5), "12:00");
  result = h.run("1969-12-31 23:59:00", "");
  EXPECT_TRUE(result.scriptEnded);
  EXPECT_EQ(h.state().date.year, 1969);
  EXPECT_EQ(h.text(3, 38, 5), "23:59");
  result = h.run("1969-12-31 23:59:58", "wait:3");  // midnight comes during the run
  EXPECT_EQ(h.state().date.year, 1970);
  EXPECT_EQ(h.text(3, 38, 5), "00:00");
}

// The pass that follows a day move into another month is no Space: the
// next alarm still sounds its tone.
TEST(Hardening, CrossingIntoAnotherMonthDoesNotSilenceTheNextAlarm) {
  Harness h;
  h.run("2012-01-31 08:00:00", "Right");
  EXPECT_TRUE(h.state().alarm.speakerEnabled);
  h.run("2012-01-31 08:00:00", "Space");
  EXPECT_FALSE(h.state().alarm.speakerEnabled);
}
