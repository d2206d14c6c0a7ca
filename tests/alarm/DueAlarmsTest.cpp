// One rule for "due": for every minute of sample days, over the template, a
// rich calendar and the hostile files, what the alarm scan tells in that
// minute is what the catch-up would tell for it; and the edges of the
// catch-up's window, one row each.

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <tuple>

#include "TestSupport.h"
#include "alarm/AlarmScan.h"
#include "alarm/AlarmState.h"
#include "alarm/MissedAlarms.h"
#include "calendar/CalendarCache.h"
#include "calendar/CalendarFile.h"
#include "calendar/CalendarModel.h"
#include "platform/Text.h"
#include "settings/Settings.h"

namespace almanouk {
namespace {

constexpr std::int64_t kMinuteMs = 60'000;

LocalDateTime at(const std::string& text) { return *LocalDateTime::parse(text); }

LocalDateTime plusMinutes(const LocalDateTime& time, std::int64_t minutes) {
  return LocalDateTime::fromMilliseconds(time.toMilliseconds() + minutes * kMinuteMs);
}

// A weekly or daily alarm is told put on its day ("07 Vr 10:00 ..."); a month
// entry starts with its day anyway: both sides are compared without it.
std::string withoutDay(const std::string& line, const LocalDateTime& day) {
  const std::string prefix = (day.day < 10 ? "0" : "") + std::to_string(day.day) + " ";
  return line.starts_with(prefix) ? line.substr(prefix.size()) : line;
}

// What is told, by minute of the day: the line of a box, or that a command started.
using ToldByMinute = std::multimap<int, std::string>;

const std::vector<std::vector<std::string>> kRichSections = {
    {"13 10:25 Maandelijks", "29 2012 06:00 Schrikkel alleen in 2012", "31 23:59 Laatste minuut",
     "07 Om 10:01 en om 10:02 twee keer", "13 24:00 geen tijd", "13 23:60 geen tijd", "13 9:05 te kort",
     "1 07:00 Een cijfer", "07 10:01 10:01 dezelfde tijd twee keer"},
    {"Vr 10:25 Vrijdag", "vr 2011 08:00 Alleen in 2011", "Ma 07:30 # defrag c:", "MA 12:00 Hoofdletters",
     "Zo 00:00 Middernacht", "Xx 09:00 Geen dag"},
    {"10:25 Dagelijks", "00:00 Middernacht", "Geen tijd 01:29 niet elke dag", "06:00 Opstaan (herinnering 05:45)",
     "23:59 # backup", "", "07:00 Onder een lege regel"},
    {"13 10:25 Januari", "13 Om 10:26 in de tekst", "13 2011 11:00 Vorig jaar", "13 2012 11:01 Dit jaar",
     "13 11:02 # c:\\x.exe", "", "13 11:03 Onder een lege regel"},
    {"29 08:00 Schrikkeldag", "29 2013 08:01 Geen schrikkeldag"},
    {"07 10:01 Tandarts.", "07 10:02 # defrag c:", " 7 10:03 Met een spatie", "7 10:04 Een cijfer"},
    {}, {}, {}, {}, {}, {}, {}, {},
    {"31 23:59 Oudjaar", "31 00:00 Vroeg", "Januari", "31 12:00 Onder een kop op de verkeerde plaats"},
};

struct Sample {
  std::string name;
  std::string bytes;  // empty: the template
  std::vector<std::string> days;
  std::size_t toldAtLeast = 0;  // over all days: that the comparison is not of nothing
};

std::vector<Sample> samples() {
  const std::vector<std::string> days = {"2012-01-13", "2012-02-29", "2011-03-07", "2012-03-07", "2012-12-31"};
  std::vector<Sample> all = {{"Template", "", {"2012-01-13", "2012-03-04", "2012-12-31"}, 4},
                             {"Rich", test::crlf(test::calendarLines("Rijk", "0", kRichSections)), days, 54}};
  for (const std::string& name : test::hostileCorpus())
    if (!name.starts_with("page_") && !name.starts_with("settings_"))
      all.push_back({name.substr(0, name.find('.')), test::hostileFile(name), {"2012-01-13"},
                     name.starts_with("ten_thousand") ? 616u : 0u});
  return all;
}

class DueAlarmsAgree : public ::testing::TestWithParam<Sample> {
 protected:
  void SetUp() override {
    settings.calFile = "ALMANOUK.AMN";
    platform = std::make_unique<HeadlessPlatform>(test::headlessOptions(folder), KeyScript{});
    platform->openScreen(640, 400, 32);  // the window in front: the alarms are boxes
    if (GetParam().bytes.empty())
      ASSERT_TRUE(writeCalendarTemplate(*platform, settings.calFile, "0"));
    else
      test::writeFile(folder / settings.calFile, GetParam().bytes);
    calendars = std::make_unique<CalendarCache>(platform->files());
    settings.popupMode = PopupMode::Message;
    settings.soundOn = settings.speakerOn = false;
  }

  // The scan at the start and the middle of every minute of the day, as the month view waits.
  ToldByMinute toldOnTime(const LocalDateTime& day) {
    AlarmState state;
    const std::string noSoundFolder;
    AlarmScanner scanner(*platform, settings, state, noSoundFolder, *calendars);
    ToldByMinute told;
    for (int minute = 0; minute < 24 * 60; ++minute)
      for (int second : {0, 30}) {
        const std::size_t before = platform->log().events().size();
        scanner.alarmScan({day.year, day.month, day.day, minute / 60, minute % 60, second});
        const std::vector<std::string> events = platform->log().events();
        for (std::size_t i = before; i < events.size(); ++i) told.emplace(minute, toldLine(events[i], day));
      }
    return told;
  }

  // What the catch-up tells for every minute of the day, had the month view not waited all day.
  ToldByMinute toldLate(const LocalDateTime& day) {
    ToldByMinute told;
    for (const MissedAlarm& alarm : alarmsBetween(*calendars->get(settings.calFile), plusMinutes(day, -1),
                                                  plusMinutes(day, 24 * 60)))
      told.emplace(alarm.at.hour * 60 + alarm.at.minute, alarm.command ? "command" : withoutDay(cp437ToUtf8(alarm.line), day));
    return told;
  }

  static std::string toldLine(const std::string& event, const LocalDateTime& day) {
    if (event.starts_with("run ")) return "command";
    // "msgbox Almanouk|", then the line between eight blanks each side.
    std::string line = event.substr(event.find('|') + 1 + 8);
    line.resize(line.size() - 8);
    return withoutDay(line, day);
  }

  test::TempFolder folder;
  std::unique_ptr<HeadlessPlatform> platform;
  std::unique_ptr<CalendarCache> calendars;
  Settings settings;
};

TEST_P(DueAlarmsAgree, TheScanTellsWhatTheCatchUpWould) {
  std::size_t told = 0;
  for (const std::string& day : GetParam().days) {
    const LocalDateTime midnight = at(day + " 00:00:00");
    const ToldByMinute onTime = toldOnTime(midnight);
    EXPECT_EQ(onTime, toldLate(midnight)) << day;
    told += onTime.size();
  }
  EXPECT_GE(told, GetParam().toldAtLeast);
}

INSTANTIATE_TEST_SUITE_P(Calendars, DueAlarmsAgree, ::testing::ValuesIn(samples()),
                         [](const ::testing::TestParamInfo<Sample>& info) { return info.param.name; });

// The window of the catch-up: the minutes after the last watched one and
// before the one of the return, at most a week back.
struct Window {
  const char* what;
  const char* after;
  const char* before;
  std::vector<std::string> told;  // "dd-mm hh:mm line"
};

const Window kWindows[] = {
    {"the last watched minute is not told again", "2012-03-07 10:01:30", "2012-03-07 11:00:00", {}},
    {"the minute of return rings on time instead", "2012-03-07 09:00:00", "2012-03-07 10:01:20", {}},
    {"one minute between", "2012-03-07 10:00:59", "2012-03-07 10:02:00", {"07-03 10:01 07 10:01 Tandarts."}},
    {"no minute between", "2012-03-07 10:01:00", "2012-03-07 10:02:00", {}},
    {"across midnight", "2012-03-06 23:58:00", "2012-03-07 00:01:00",
     {"06-03 23:59 06 23:59 Slapen", "07-03 00:00 07 00:00 Middernacht"}},
    {"bound to 2011, in 2011", "2011-03-08 08:00:00", "2011-03-08 10:00:00", {"08-03 09:00 08 2011 09:00 In 2011"}},
    {"bound to 2011, in 2012", "2012-03-08 08:00:00", "2012-03-08 10:00:00", {}},
    {"a week back, to the minute", "2012-02-01 00:00:00", "2012-03-14 10:01:30", {"07-03 10:01 07 10:01 Tandarts."}},
    {"more than a week back", "2012-02-01 00:00:00", "2012-03-14 10:02:00", {}},
    {"a clock set back", "2012-03-07 11:00:00", "2012-03-07 09:00:00", {}},
};

class CatchUpWindow : public ::testing::TestWithParam<Window> {};

TEST_P(CatchUpWindow, HoldsTheMinutesBetween) {
  const CalendarModel calendar(test::crlf(test::calendarLines(
      "Werk", "0",
      {{"08 2011 09:00 In 2011", "06 23:59 Slapen", "06 24:00 Geen tijd", "07 00:00 Middernacht"}, {}, {}, {}, {}, {"07 10:01 Tandarts."}})));
  const Window& window = GetParam();
  std::vector<std::string> told;
  for (const MissedAlarm& alarm : alarmsBetween(calendar, at(window.after), at(window.before)))
    told.push_back(dayText(calendarDay(alarm.at)).substr(0, 5) + " " + alarm.at.clockText().substr(0, 5) + " " +
                   alarm.line);
  EXPECT_EQ(told, window.told);
}

INSTANTIATE_TEST_SUITE_P(Edges, CatchUpWindow, ::testing::ValuesIn(kWindows),
                         [](const ::testing::TestParamInfo<Window>& info) {
                           std::string name;
                           for (const char* c = info.param.what; *c; ++c)
                             if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
                           return name;
                         });

// The box lists twenty; what is more is counted.
TEST(MissedAlarmList, TwentyLinesThenACount) {
  for (const auto& [missed, lines, last] : std::vector<std::tuple<std::size_t, std::size_t, std::string>>{
           {1, 1, "07-03-2012 10:00 Een"}, {20, 20, "07-03-2012 10:00 Een"}, {21, 21, "... en 1 meer"},
           {25, 21, "... en 5 meer"}}) {
    const std::vector<MissedAlarm> alarms(missed, MissedAlarm{at("2012-03-07 10:00:00"), "Een", false});
    const std::vector<std::string> text = test::splitLines(missedListUtf8(alarms));
    EXPECT_EQ(text.size(), lines) << missed;
    EXPECT_EQ(text.back(), last) << missed;
  }
}

}  // namespace
}  // namespace almanouk
