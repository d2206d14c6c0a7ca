// Every reader of a calendar takes the same entries on the same days: the
// event list, the search's "next date", the merge of all calendars, the
// alarm on time and the catch-up of missed alarms, over odd but valid
// calendar files, every day from November 2007 to February 2009.

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>

#include "TestSupport.h"
#include "alarm/AlarmScan.h"
#include "alarm/AlarmState.h"
#include "alarm/MissedAlarms.h"
#include "calendar/CalendarCache.h"
#include "calendar/CalendarList.h"
#include "calendar/CalendarModel.h"
#include "calendar/Dates.h"
#include "search/Search.h"
#include "settings/Settings.h"

namespace almanouk {
namespace {

struct OddCalendar {
  const char* name;
  std::vector<std::string> lines;  // from line 4 on
  // Lines that must count on exactly this many days of the range.
  std::map<std::string, int> daysCounted;
};

std::vector<std::string> withHeader(const std::vector<std::string>& body) {
  std::vector<std::string> lines = {"Vreemd", "5", "7"};
  lines.insert(lines.end(), body.begin(), body.end());
  return lines;
}

// The recurring sections, empty, for calendars whose point lies in the months.
const std::vector<std::string> kRecurring = {"", "", "Maandelijks", "", "", "Wekelijks", "", "", "Dagelijks", "", ""};

std::vector<std::string> plus(std::vector<std::string> lines, const std::vector<std::string>& more) {
  lines.insert(lines.end(), more.begin(), more.end());
  return lines;
}

const std::vector<std::string> kMonthsFromFebruary = {"Februari", "", "", "Maart", "", "", "April", "", "", "Mei", "",
                                                      "", "Juni", "", "", "Juli", "", "", "Augustus", "", "",
                                                      "September", "", "", "Oktober", "", "", "November", "", ""};

const OddCalendar kCalendars[] = {
    {"EntriesRightUnderAndAboveHeaders",
     plus(plus(kRecurring, {"Januari", "05 10:00 Direct onder januari", "06 10:05 Direct boven februari"}),
          plus(kMonthsFromFebruary, {"December", "12 08:00 Verjaardag moeder bellen", "Einde"})),
     {{"05 10:00 Direct onder januari", 2}, {"06 10:05 Direct boven februari", 2},
      {"12 08:00 Verjaardag moeder bellen", 2}}},
    {"EntriesBelowABlankLine",
     plus({"", "", "Maandelijks", "", "03 07:00 Elke maand", "", "04 07:05 Geparkeerd", "", "Wekelijks", "",
           "Ma 07:10 Maandag", "", "Di 07:15 Geparkeerd", "", "Dagelijks", "", "06:00 Elke dag", "",
           "06:05 Geparkeerd", "", "Januari", "", "24 2008 Kerstavond", "", "28 2008 10:00 Oliebollen", ""},
          plus(kMonthsFromFebruary, {"December", "", "", "Einde"})),
     {{"03 07:00 Elke maand", 16}, {"04 07:05 Geparkeerd", 0}, {"Di 07:15 Geparkeerd", 0},
      {"06:05 Geparkeerd", 0}, {"28 2008 10:00 Oliebollen", 0}, {"Ma 07:10 Maandag", 69}}},
    {"HeaderLikeTextsInSections",
     plus(plus(kRecurring, {"Januari", "", "Mei bellen", "Januarifeest", "07 09:00 Na twee notities", "", "Februari",
                            "", "Maart", "", "08 09:10 Onder de eerste kop maart", "Maart",
                            "09 09:20 Onder een tweede kop maart", "", "April", "", "Mei", "", "10 09:30 Mei", ""}),
          {"Juni", "", "", "Juli", "", "", "Augustus", "", "", "September", "", "", "Oktober", "", "", "November",
           "", "", "December", "", "Einde"}),
     {{"07 09:00 Na twee notities", 2}, {"08 09:10 Onder de eerste kop maart", 1}, {"09 09:20 Onder een tweede kop maart", 0},
      {"10 09:30 Mei", 1}, {"Mei bellen", 0}}},
    {"YearBoundEntries",
     plus({"", "", "Maandelijks", "", "04 2008 12:30 Alleen in 2008", "05 12:35 Elke maand", "", "Wekelijks", "",
           "Vr 2008 15:45 Alleen in 2008", "za 2009 15:50 Alleen in 2009", "do 15:55 Kleine letters", "",
           "Dagelijks", "", "", "Januari", "", "11 2008 10:00 Eenmalig", "12 10:10 Elk jaar", ""},
          plus(kMonthsFromFebruary, {"December", "", "31 2008 23:59 Oud en nieuw", "", "Einde"})),
     {{"04 2008 12:30 Alleen in 2008", 12}, {"Vr 2008 15:45 Alleen in 2008", 52},
      {"za 2009 15:50 Alleen in 2009", 9}, {"11 2008 10:00 Eenmalig", 1}, {"12 10:10 Elk jaar", 2},
      {"31 2008 23:59 Oud en nieuw", 1}}},
    {"AnEndLineInAnotherCase",
     plus(plus(kRecurring, {"januari", "", "15 11:00 Kleine kop", ""}),
          plus(kMonthsFromFebruary, {"december", "", "16 11:05 December", "", "EINDE", "", "17 11:10 Na het einde",
                                     "Einde"})),
     {{"15 11:00 Kleine kop", 2}, {"16 11:05 December", 2}, {"17 11:10 Na het einde", 0}}},
};

// Every day from 1 November 2007 to 28 February 2009.
std::vector<CalendarDay> days() {
  std::vector<CalendarDay> all;
  for (CalendarDay day{1, 11, 2007}; day.year < 2009 || day.month < 3;) {
    all.push_back(day);
    if (++day.day > monthInfo(day.month, day.year).days) {
      day.day = 1;
      if (++day.month > 12) {
        day.month = 1;
        ++day.year;
      }
    }
  }
  return all;
}

using ByDay = std::vector<std::multiset<std::string>>;  // per day of days()
// An entry as a line of its calendar, or as its time and text (the merge writes days anew).
using Key = std::string (*)(const Entry&);
std::string lineOf(const Entry& entry) { return std::string(entry.line); }
std::string timeAndTextOf(const Entry& entry) {
  return (entry.time ? std::to_string(*entry.time) + " " : "") + std::string(entry.text);
}

class ReadersAgree : public ::testing::TestWithParam<OddCalendar> {
 protected:
  void SetUp() override {
    test::writeFile(folder / "VREEMD00.AMN", test::crlf(withHeader(GetParam().lines)));
    // A second calendar, with nothing in it, for the merge.
    test::writeFile(folder / "LEEG0000.AMN", test::crlf(test::calendarLines("Leeg", "6")));
    platform = std::make_unique<HeadlessPlatform>(test::headlessOptions(folder), KeyScript{});
    platform->openScreen(640, 400, 32);  // the window in front: the alarms are boxes
    calendars = std::make_unique<CalendarCache>(platform->files());
    model = calendars->get("VREEMD00.AMN");
  }

  // The event list's entries of every day; daily entries are never listed but ring every day.
  ByDay listed(const CalendarModel& calendar, Key key, bool withDaily = false) const {
    ByDay found(range.size());
    for (std::size_t d = 0; d < range.size(); ++d) {
      const CalendarDay& day = range[d];
      forEachListed(calendar, {day.day, day.month, day.year, weekdayOf(day.day, day.month, day.year)},
                    [&](const Entry& entry) { found[d].insert(key(entry)); });
      if (withDaily)
        for (const Entry& entry : calendar.entries(Section::Daily))
          if (entry.time) found[d].insert(key(entry));
    }
    return found;
  }

  ByDay alarmsListed() const {
    ByDay found = listed(*model, lineOf, true);
    std::set<std::string> timed;
    for (const Entry* entry : model->timed()) timed.insert(std::string(entry->line));
    for (auto& lines : found) std::erase_if(lines, [&](const std::string& line) { return !timed.contains(line); });
    return found;
  }

  ByDay searched() const {
    ByDay found(range.size());
    for (std::size_t d = 0; d < range.size(); ++d)
      for (const Entry& entry : model->entries()) {
        if (entry.section == Section::Daily) continue;  // an alarm of every day, never listed
        std::optional<CalendarDay> next = nextOccurrence(entry, range[d]);
        if (next && next->day == range[d].day && next->month == range[d].month && next->year == range[d].year)
          found[d].insert(std::string(entry.line));
      }
    return found;
  }

  ByDay merged() const {
    EXPECT_GT(mergeAllCalendars(*platform).lines, 0);
    return listed(*calendars->get(std::string(kMergedCalendarFile)), timeAndTextOf);
  }

  ByDay caughtUp() const {
    ByDay found(range.size());
    for (std::size_t d = 0; d < range.size(); ++d) {
      const CalendarDay& day = range[d];
      const std::int64_t midnight = LocalDateTime{day.year, day.month, day.day}.toMilliseconds();
      for (const MissedAlarm& alarm : alarmsBetween(*model, LocalDateTime::fromMilliseconds(midnight - 60'000),
                                                    LocalDateTime::fromMilliseconds(midnight + 24 * 3'600'000)))
        found[d].insert(asWritten(alarm.line));
    }
    return found;
  }

  // A weekly or daily line rings put on its day ("07 Vr ..."): the line as written.
  std::string asWritten(const std::string& told) const {
    const std::set<std::string_view> lines(model->lines().begin(), model->lines().end());
    if (!lines.contains(told) && told.size() > 3 && lines.contains(std::string_view(told).substr(3))) return told.substr(3);
    return told;
  }

  // The alarm scan itself, at every minute an entry names, every day.
  ByDay rungOnTime() {
    Settings settings;
    settings.calFile = "VREEMD00.AMN";
    settings.popupMode = PopupMode::Message;
    settings.soundOn = settings.speakerOn = false;
    const std::string noSoundFolder;
    std::set<int> minutes;
    for (const Entry* entry : model->timed()) minutes.insert(*entry->time);
    ByDay found(range.size());
    for (std::size_t d = 0; d < range.size(); ++d) {
      for (int minute : minutes) {
        AlarmState state;
        AlarmScanner scanner(*platform, settings, state, noSoundFolder, *calendars);
        const std::size_t before = platform->log().events().size();
        scanner.alarmScan({range[d].year, range[d].month, range[d].day, minute / 60, minute % 60});
        const std::vector<std::string> events = platform->log().events();
        for (std::size_t i = before; i < events.size(); ++i) {
          // "msgbox Almanouk|", then the line between eight blanks each side.
          std::string line = events[i].substr(events[i].find('|') + 1 + 8);
          line.resize(line.size() - 8);
          found[d].insert(asWritten(line));
        }
      }
    }
    return found;
  }

  std::string firstDifference(const ByDay& expected, const ByDay& actual) const {
    for (std::size_t d = 0; d < range.size(); ++d) {
      if (expected[d] == actual[d]) continue;
      std::string text = dayText(range[d]) + ": expected {";
      for (const std::string& line : expected[d]) text += " [" + line + "]";
      text += " } got {";
      for (const std::string& line : actual[d]) text += " [" + line + "]";
      return text + " }";
    }
    return {};
  }

  const std::vector<CalendarDay> range = days();
  test::TempFolder folder;
  std::unique_ptr<HeadlessPlatform> platform;
  std::unique_ptr<CalendarCache> calendars;
  std::shared_ptr<const CalendarModel> model;
};

TEST_P(ReadersAgree, OnWhichEntriesCountOnWhichDays) {
  // What must hold whoever reads: each of these lines on its number of days.
  const ByDay all = listed(*model, lineOf, true);
  for (const auto& [line, expected] : GetParam().daysCounted) {
    std::size_t days = 0;
    for (const auto& lines : all) days += lines.count(line);
    EXPECT_EQ(days, static_cast<std::size_t>(expected)) << line;
  }
  const ByDay list = listed(*model, lineOf);
  EXPECT_EQ(firstDifference(list, searched()), "") << "search";
  EXPECT_EQ(firstDifference(listed(*model, timeAndTextOf), merged()), "") << "all calendars";
  const ByDay alarms = alarmsListed();
  EXPECT_EQ(firstDifference(alarms, caughtUp()), "") << "missed alarms";
  EXPECT_EQ(firstDifference(alarms, rungOnTime()), "") << "alarm on time";
}

INSTANTIATE_TEST_SUITE_P(OddCalendars, ReadersAgree, ::testing::ValuesIn(kCalendars),
                         [](const ::testing::TestParamInfo<OddCalendar>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace almanouk
