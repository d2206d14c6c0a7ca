// No alarm passes without a box, a page or a "Gemiste alarmen" line: not
// while another screen is open, not without sound, not across a restart or a
// clock that jumped, and one put off with "Sluimeren" comes back.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "e2e/Harness.h"

using namespace almanouk;
using test::Harness;

namespace {

void prepare(Harness& h, const std::string& popup = "PopUp=msg") {
  h.writeData("ALMANOUK.AMN",
              test::calendarFile("Werk", {}, {}, {}, {{3, {"07 10:01 Tandarts.", "07 10:02 # defrag c:"}}}));
  h.writeData("Almanouk.ini", test::crlf(test::settingsLines({.popup = popup, .speaker = "PC-Speaker=uit",
                                                               .choices = {"-> ALMANOUK.AMN = Werk                          7"}})));
}

// The events that start so, apart from the start-up notice.
std::vector<std::string> events(const test::RunResult& result, const std::string& start) {
  std::vector<std::string> found;
  for (const std::string& event : result.events)
    if (event.starts_with(start) && event.find("geïnitialiseerd") == std::string::npos) found.push_back(event);
  return found;
}

}  // namespace

// A screen open over the minute: the alarm comes when the month view waits
// again, once, with its own time; the command missed meanwhile is not run.
TEST(MissedAlarms, AlarmsDueWhileAScreenIsOpenComeOnReturn) {
  for (const char* screen : {"Enter", "F2 Home", "F4", "F1", "F6"}) {
    Harness h;
    prepare(h);
    auto result = h.run("2012-03-07 10:00:50", std::string(screen) + " wait:3m Esc wait:2");
    EXPECT_EQ(events(result, "msgbox"),
              (std::vector<std::string>{"msgbox Almanouk|        Gemist om 10:01: 07 10:01 Tandarts.        ",
                                        "msgbox Almanouk|        Gemist om 10:02 (niet gestart): 07 10:02 # defrag c:        "}))
        << screen;
    EXPECT_TRUE(events(result, "run").empty()) << screen;
  }
}

// Closed for three hours, or asleep for two: one box lists what was missed,
// without sound and without starting the command.
TEST(MissedAlarms, WhatPassedWhileClosedOrAsleepIsListedInOneBox) {
  const std::string listed =
      "msgbox Gemiste alarmen|07-03-2012 10:01 07 10:01 Tandarts.\n07-03-2012 10:02 (niet gestart) 07 10:02 # defrag c:";
  Harness closed;
  prepare(closed);
  EXPECT_TRUE(events(closed.run("2012-03-07 08:00:00", "wait:2 Alt+X"), "msgbox").empty());  // a first start tells nothing
  auto later = closed.run("2012-03-07 11:00:00", "");
  EXPECT_EQ(events(later, "msgbox"), std::vector<std::string>{listed});
  EXPECT_TRUE(events(later, "sound").empty());

  Harness asleep;
  prepare(asleep);
  auto jumped = asleep.run("2012-03-07 09:00:00", "wait:2 jump:2h wait:2");
  EXPECT_EQ(events(jumped, "msgbox"), std::vector<std::string>{listed});
  EXPECT_TRUE(events(jumped, "run").empty());
}

TEST(MissedAlarms, SnoozeBringsTheAlarmBackAfterFiveMinutes) {
  Harness h;
  prepare(h);
  h.drawBoxes = true;
  h.run("2012-03-07 10:00:55", "wait:10 \"s\" wait:6m Enter wait:1m Enter");
  std::vector<std::string> tandarts;
  for (const std::string& line : h.platform().log().lines())
    if (line.find("Tandarts") != std::string::npos) tandarts.push_back(line.substr(11, 5));
  EXPECT_EQ(tandarts, (std::vector<std::string>{"10:01", "10:06"}));
}

// No sound device: the alarm comes all the same, the status line says why
// once, and the next alarm tries the sound again. No text viewer: the box.
TEST(MissedAlarms, NoSoundAndNoViewerLoseNoAlarm) {
  Harness h;
  prepare(h);
  h.soundFails = true;
  auto result = h.run("2012-03-07 10:00:50", "wait:2m");
  EXPECT_TRUE(result.scriptEnded);
  EXPECT_EQ(events(result, "msgbox").size(), 1u);
  EXPECT_EQ(h.row(25).substr(0, 46), " Geen alarmgeluid: het geluid kan niet starten");

  Harness noViewer;
  prepare(noViewer, "PopUp=ntp");
  noViewer.viewerFails = true;
  auto shown = noViewer.run("2012-03-07 10:00:50", "wait:30");
  EXPECT_EQ(events(shown, "msgbox"), std::vector<std::string>{"msgbox Almanouk|        07 10:01 Tandarts.        "});
  EXPECT_EQ(test::readFile(noViewer.data("alarm.txt")).substr(0, 2), "\r\n");
}

// A folder left where the watched moment is written first does not keep it
// from being written: the next start would list the same alarms again.
TEST(MissedAlarms, AStaleTemporaryNameDoesNotStopTheWatchedMoment) {
  Harness h;
  prepare(h);
  std::filesystem::create_directories(h.data("Almanouk.ti~"));
  h.run("2012-03-07 10:05:00", "Alt+X");
  EXPECT_EQ(test::readFile(h.data("Almanouk.tijd")), "2012-03-07 10:05\r\n");
}

// The edges of an open screen and of a restart, as the user meets them: the
// Tandarts alarm is due at 10:01.
TEST(MissedAlarms, AtTheEdgesEachAlarmIsToldOnce) {
  struct Row {
    const char* what;
    const char* start;
    const char* script;
    std::vector<std::string> boxes;
  };
  const std::string onTime = "msgbox Almanouk|        07 10:01 Tandarts.        ";
  const std::string late = "msgbox Almanouk|        Gemist om 10:01: 07 10:01 Tandarts.        ";
  const Row rows[] = {
      {"a screen open across the one minute", "2012-03-07 10:00:50", "F1 wait:75 Esc wait:2", {late}},
      {"a screen closed in the minute itself", "2012-03-07 10:00:50", "F1 wait:40 Esc wait:2", {onTime}},
      {"a screen opened in the minute after it rang", "2012-03-07 10:00:55", "wait:10 F1 wait:2m Esc wait:2",
       {onTime, "msgbox Almanouk|        Gemist om 10:02 (niet gestart): 07 10:02 # defrag c:        "}},
  };
  for (const Row& row : rows) {
    Harness h;
    prepare(h);
    EXPECT_EQ(events(h.run(row.start, row.script), "msgbox"), row.boxes) << row.what;
  }
  // Rung in the last minute the program watched: not listed at the next start.
  Harness restarted;
  prepare(restarted);
  restarted.run("2012-03-07 10:00:55", "wait:10 Alt+X");
  EXPECT_EQ(events(restarted.run("2012-03-07 10:01:50", ""), "msgbox"), std::vector<std::string>{});
  EXPECT_EQ(events(restarted.run("2012-03-07 11:00:00", ""), "msgbox"),
            std::vector<std::string>{"msgbox Gemiste alarmen|07-03-2012 10:02 (niet gestart) 07 10:02 # defrag c:"});
}

// Away from the window, the desktop's notification stands in for the box;
// its answers do what the box's buttons do. The Tandarts alarm is due at 10:01.
TEST(MissedAlarms, AwayFromTheWindowTheDesktopNotifies) {
  struct Row {
    const char* what;
    bool service;
    const char* script;
    std::vector<std::string> told;  // "hh:mm event" of the boxes, notifications and attention asked
  };
  const std::string box = "msgbox Almanouk|        07 10:01 Tandarts.        ";
  const std::string note = "notify Almanouk|07 10:01 Tandarts.";
  const Row rows[] = {
      {"in front", true, "wait:30", {"10:01 " + box}},
      {"away", true, "focus:out wait:30", {"10:01 attention", "10:01 " + note}},
      {"away, no service", false, "focus:out wait:30", {"10:01 attention", "10:01 " + box}},
      {"snoozed away, back in front", true, "focus:out wait:30 notification:snooze wait:10 focus:in wait:6m",
       {"10:01 attention", "10:01 " + note, "10:06 " + box}},
      {"snoozed and snoozed again", true, "focus:out wait:30 notification:snooze wait:6m notification:snooze wait:6m",
       {"10:01 attention", "10:01 " + note, "10:06 attention", "10:06 " + note, "10:12 attention", "10:12 " + note}},
      {"answered OK", true, "focus:out wait:30 notification:ok wait:6m", {"10:01 attention", "10:01 " + note}},
      {"closed", true, "focus:out wait:30 notification:close wait:6m", {"10:01 attention", "10:01 " + note}},
  };
  for (const Row& row : rows) {
    Harness h;
    prepare(h);
    h.notificationService = row.service;
    h.run("2012-03-07 10:00:50", row.script);
    std::vector<std::string> told;
    for (const std::string& line : h.platform().log().lines()) {
      const std::string event = line.substr(24);
      if ((event.starts_with("msgbox") && event.find("Tandarts") != std::string::npos) || event.starts_with("notify") ||
          event == "attention")
        told.push_back(line.substr(11, 5) + " " + event);
    }
    EXPECT_EQ(told, row.told) << row.what;
  }
}
