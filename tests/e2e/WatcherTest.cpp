// The watcher and the program hand the alarm clock to each other: each alarm
// is told once, by whichever of them watches its minute.

#include <gtest/gtest.h>

#include "e2e/Harness.h"
#include "shell/InstanceGuard.h"

using namespace almanouk;
using test::Harness;

namespace {

void prepare(Harness& h) {
  h.writeData("ALMANOUK.AMN", test::calendarFile("Werk", {}, {}, {"10:01 Een", "10:02 Twee", "10:03 Drie"}, {}));
  h.writeData("Almanouk.ini", test::crlf(test::settingsLines({.popup = "PopUp=msg", .speaker = "PC-Speaker=uit",
                                                               .sound = "Sound=uit"})));
  h.notificationService = true;
}

// The alarms told, by what told them: "notify ..." or "msgbox ...".
std::vector<std::string> told(const test::RunResult& run) {
  std::vector<std::string> lines;
  for (const std::string& event : run.events)
    if (event.find("Een") != std::string::npos || event.find("Twee") != std::string::npos ||
        event.find("Drie") != std::string::npos || event.find("Gemist") != std::string::npos)
      lines.push_back(event);
  return lines;
}

}  // namespace

// Watcher, program, watcher, each taking over in the minute after an alarm.
TEST(Watcher, HandsOverWithTheProgramTellingEachAlarmOnce) {
  Harness h;
  prepare(h);
  EXPECT_EQ(told(h.watch("2012-03-07 10:00:30", "wait:70")), std::vector<std::string>{"notify Almanouk|07 10:01 Een"});
  h.closeWatcher();  // it stepped aside
  EXPECT_EQ(told(h.run("2012-03-07 10:01:45", "wait:50 Alt+X")),
            std::vector<std::string>{"msgbox Almanouk|        07 10:02 Twee        "});
  EXPECT_EQ(told(h.watch("2012-03-07 10:02:40", "wait:50")), std::vector<std::string>{"notify Almanouk|07 10:03 Drie"});
}

// Asked to step aside, the watcher lets go of the folder and keeps out while
// the start is on its way: the program then starts without waiting. Having
// watched nothing, it leaves the moment the program watched last as it was.
TEST(Watcher, StepsAsideForAStart) {
  Harness h;
  prepare(h);
  h.writeData(std::string(kStepAsideFile), "1\r\n");
  h.watch("2012-03-07 10:00:40", "wait:5");
  EXPECT_FALSE(h.dataExists(std::string(kInstanceMarkerFile)));
  EXPECT_FALSE(h.dataExists("Almanouk.tijd"));
  const test::RunResult started = h.run("2012-03-07 10:01:10", "wait:5 Alt+X");
  EXPECT_EQ(told(started), std::vector<std::string>{"msgbox Almanouk|        07 10:01 Een        "});
  EXPECT_FALSE(h.dataExists(std::string(kStepAsideFile)));
}

// A watcher that does not step aside (hung, say) keeps the program out, and the start says so.
TEST(Watcher, AStartTellsOfAWatcherThatKeepsTheFolder) {
  Harness h;
  prepare(h);
  test::TempFolder elsewhere;
  HeadlessPlatform::Options options = test::headlessOptions(elsewhere, "2012-03-07 10:00:00");
  options.startFolder = h.dataFolder().string();
  HeadlessPlatform hung(options, KeyScript{});
  InstanceGuard watcher(hung, InstanceGuard::Holder::Watcher);
  ASSERT_EQ(watcher.acquire(), InstanceGuard::Outcome::Held);
  const test::RunResult refused = h.run("2012-03-07 10:00:00", "");
  EXPECT_EQ(refused.status, 1);
  ASSERT_FALSE(refused.events.empty());
  EXPECT_NE(refused.events.front().find("De wachter (almanouk --wachter) maakt geen plaats"), std::string::npos);
  EXPECT_FALSE(h.dataExists(std::string(kStepAsideFile)));
  // A second watcher leaves the folder to the first.
  EXPECT_EQ(h.watch("2012-03-07 10:00:00", "wait:5").status, 0);
  EXPECT_TRUE(watcher.held());
}
