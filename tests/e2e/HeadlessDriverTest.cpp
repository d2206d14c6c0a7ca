#include "apps/HeadlessDriver.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

using namespace almanouk;

namespace {

int drive(std::vector<std::string> args) {
  args.insert(args.begin(), "almanouk-headless");
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  return runHeadlessDriver(static_cast<int>(argv.size()), argv.data());
}

}  // namespace

TEST(HeadlessDriver, RunsAScriptAndWritesScreenPngLogAndSnaps) {
  test::TempFolder folder;
  std::string out = (folder / "out").string();
  int status = drive({"--data", folder.str(), "--start-dir", folder.str(), "--now", "2012-01-13 10:24:50",
                      "--keys", "snap:start wait:20 Alt+X", "--screen", (folder / "screen.txt").string(), "--png",
                      (folder / "screen.png").string(), "--log", (folder / "log.txt").string(), "--out", out});
  EXPECT_EQ(status, 0);
  auto screen = test::splitLines(test::readFile(folder / "screen.txt"));
  ASSERT_EQ(screen.size(), 25u);
  auto log = test::splitLines(test::readFile(folder / "log.txt"));
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log.front().substr(0, 24), "2012-01-13 10:24:50.000 ");
  EXPECT_EQ(log[1].substr(0, 19), "2012-01-13 10:25:00");  // the template's 10:25 alarm
  EXPECT_EQ(log[1].substr(24), "run start notepad alarm.txt");
  EXPECT_EQ(log.back().substr(24), "exit 0");
  EXPECT_EQ(test::readFile(folder / "screen.png").substr(1, 3), "PNG");
  EXPECT_TRUE(std::filesystem::exists(folder / "out" / "start.txt"));
  EXPECT_TRUE(std::filesystem::exists(folder / "out" / "start.png"));
  EXPECT_TRUE(std::filesystem::exists(folder / "Almanouk" / "ALMANOUK.AMN"));
}

TEST(HeadlessDriver, ReportsTheEndOfTheScriptAndRejectsBadArguments) {
  test::TempFolder folder;
  std::string log = (folder / "log.txt").string();
  EXPECT_EQ(drive({"--data", folder.str(), "--start-dir", folder.str(), "--now", "2012-01-13 08:00:00", "--log", log}), 0);
  EXPECT_EQ(test::splitLines(test::readFile(log)).back().substr(24), "end script");
  EXPECT_EQ(drive({"--now", "gisteren"}), 2);
  EXPECT_EQ(drive({"--keys", "Hyper+Q"}), 2);
  EXPECT_EQ(drive({"--bogus"}), 2);
}

TEST(HeadlessDriver, PrintsItsVersionAndHelpWithoutRunning) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(drive({"--version"}), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "almanouk-headless " ALMANOUK_VERSION "\n");
  testing::internal::CaptureStdout();
  EXPECT_EQ(drive({"--now", "gisteren", "--help"}), 0);
  std::string help = testing::internal::GetCapturedStdout();
  for (const char* option : {"--data", "--keys", "--draw-boxes", "--version", "snap:NAME"})
    EXPECT_NE(help.find(option), std::string::npos) << option;
}

// With --draw-boxes the alarm's message box is on the final screen, for screenshots.
TEST(HeadlessDriver, DrawsTheAlarmBoxInTheWindowWhenAsked) {
  test::TempFolder folder;
  std::filesystem::create_directories(folder / "Almanouk");
  test::writeFile(folder / "Almanouk" / "Almanouk.ini", test::crlf(test::settingsLines({.popup = "PopUp=msg"})));
  test::writeFile(folder / "Almanouk" / "ALMANOUK.AMN",
                  test::crlf(test::calendarLines("Werk", "0", {{}, {}, {}, {"13 10:25 Tandarts"}})));
  std::string screen = (folder / "screen.txt").string(), log = (folder / "log.txt").string();
  EXPECT_EQ(drive({"--draw-boxes", "--data", folder.str(), "--start-dir", folder.str(), "--now",
                   "2012-01-13 10:24:50", "--keys", "wait:20", "--screen", screen, "--log", log}),
            0);
  EXPECT_NE(test::readFile(screen).find("[ OK ]"), std::string::npos);
  auto events = test::splitLines(test::readFile(log));
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[events.size() - 2].substr(24), "msgbox Almanouk|        13 10:25 Tandarts        ");
  EXPECT_EQ(events.back().substr(24), "end script");
}
