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
  EXPECT_EQ(log.front().substr(0, 24), "2012-01-13 10:24:51.200 ");
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
