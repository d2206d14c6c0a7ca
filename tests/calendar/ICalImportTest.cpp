#include <gtest/gtest.h>

#include <algorithm>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "calendar/CalendarFile.h"
#include "calendar/ICalImport.h"

using namespace almanouk;

namespace {

// The entries one event gives, as "Header: line", or "overgeslagen: why".
std::vector<std::string> imported(const std::string& event) {
  const std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:x\r\n" + event + "END:VEVENT\r\nEND:VCALENDAR\r\n";
  auto read = readICalendar(text, {*LocalDateTime::parse("2026-12-08 10:00:00"), "Europe/Amsterdam"});
  if (auto* whyNot = std::get_if<std::string>(&read)) return {"fout: " + *whyNot};
  std::vector<std::string> result;
  for (const ImportedEntry& entry : std::get<ImportedEvents>(read).entries)
    result.push_back(std::string(sectionHeader(static_cast<int>(entry.section))) + ": " + entry.line);
  for (const SkippedEvent& skipped : std::get<ImportedEvents>(read).skipped) result.push_back("overgeslagen: " + skipped.why);
  return result;
}

struct Case {
  const char* name;
  std::string event;
  std::vector<std::string> entries;
};

}  // namespace

class ICalImportRule : public ::testing::TestWithParam<Case> {};

TEST_P(ICalImportRule, GivesTheseEntries) { EXPECT_EQ(imported(GetParam().event), GetParam().entries); }

INSTANTIATE_TEST_SUITE_P(
    Events, ICalImportRule,
    ::testing::Values(
        Case{"monthly_in_one_year", "DTSTART;VALUE=DATE:20270105\r\nRRULE:FREQ=MONTHLY;UNTIL=20271231\r\nSUMMARY:Huur\r\n",
             {"Maandelijks: 05 2027 Huur"}},
        Case{"monthly_ending_mid_year",
             "DTSTART;VALUE=DATE:20270105\r\nRRULE:FREQ=MONTHLY;UNTIL=20270305\r\nSUMMARY:Huur\r\n",
             {"Januari: 05 2027 Huur", "Februari: 05 2027 Huur", "Maart: 05 2027 Huur"}},
        Case{"weekly_in_one_year",
             "DTSTART:20270107T090000\r\nRRULE:FREQ=WEEKLY;BYDAY=TH;UNTIL=20271231T235959\r\nSUMMARY:Koor\r\n",
             {"Wekelijks: Do 2027 09:00 Koor"}},
        Case{"daily_with_an_alarm", "DTSTART:20260101T073000\r\nRRULE:FREQ=DAILY\r\nSUMMARY:Wekker\r\nBEGIN:VALARM\r\n"
                                    "ACTION:DISPLAY\r\nTRIGGER:PT0S\r\nEND:VALARM\r\n",
             {"Dagelijks: 07:30 Wekker"}},
        Case{"daily_counted", "DTSTART;VALUE=DATE:20261230\r\nRRULE:FREQ=DAILY;COUNT=3\r\nSUMMARY:Kuur\r\n",
             {"December: 30 2026 Kuur", "December: 31 2026 Kuur", "Januari: 01 2027 Kuur"}},
        Case{"extra_date_excluded",
             "DTSTART;VALUE=DATE:20270105\r\nRRULE:FREQ=DAILY;COUNT=2\r\nRDATE;VALUE=DATE:20270110\r\nRDATE;VALUE=DATE:20270112\r\n"
             "EXDATE;VALUE=DATE:20270110\r\nSUMMARY:Kuur\r\n",
             {"Januari: 05 2027 Kuur", "Januari: 06 2027 Kuur", "Januari: 12 2027 Kuur"}},
        // A whole-day exception of a timed rule takes that day out, whatever the time.
        Case{"whole_day_excluded_from_a_timed_weekly_rule",
             "DTSTART:20270107T090000\r\nRRULE:FREQ=WEEKLY;COUNT=3\r\nEXDATE;VALUE=DATE:20270114\r\nSUMMARY:Koor\r\n",
             {"Januari: 07 2027 09:00 Koor", "Januari: 21 2027 09:00 Koor"}},
        // A rule that cannot be read still leaves the start and the extra dates.
        Case{"unreadable_rule_keeps_its_extra_dates",
             "DTSTART;VALUE=DATE:20270105\r\nRRULE:FREQ=SOMETIMES\r\nRDATE;VALUE=DATE:20270110\r\nSUMMARY:Kuur\r\n",
             {"Januari: 05 2027 Kuur", "Januari: 10 2027 Kuur"}},
        Case{"utc_single", "DTSTART:20270701T070000Z\r\nSUMMARY:Vlucht\r\n", {"Juli: 01 2027 09:00 Vlucht"}},
        Case{"over_midnight", "DTSTART:20270102T220000\r\nDTEND:20270103T020000\r\nSUMMARY:Nachtdienst\r\n",
             {"Januari: 02 2027 22:00 Nachtdienst", "Januari: 03 2027 Nachtdienst"}},
        Case{"text_like_a_year", "DTSTART;VALUE=DATE:20270105\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:2030 visie\r\n",
             {"Januari: 05 - 2030 visie"}},
        Case{"text_like_a_time", "DTSTART;VALUE=DATE:20270105\r\nSUMMARY:10:30 koffie\r\n", {"Januari: 05 2027 - 10:30 koffie"}},
        Case{"never_a_command", "DTSTART:20270105T100000\r\nSUMMARY:# rm -rf ~ #2\r\n", {"Januari: 05 2027 10:00 nr. rm -rf ~ nr.2"}},
        Case{"one_line_of_text", "DTSTART;VALUE=DATE:20270105\r\nSUMMARY:Eén\\nTwee\\,  drie\t\r\nLOCATION:Zaal 1\r\n",
             {"Januari: 05 2027 E\x82n Twee, drie - Zaal 1"}},
        Case{"untitled", "DTSTART;VALUE=DATE:20270105\r\n", {"Januari: 05 2027 (zonder titel)"}},
        Case{"cut_to_what_the_editor_shows", "DTSTART;VALUE=DATE:20270105\r\nSUMMARY:" + std::string(100, 'x') + "\r\n",
             {"Januari: 05 2027 " + std::string(kLongestShownEntry - 8, 'x')}},
        Case{"cancelled", "DTSTART;VALUE=DATE:20270105\r\nSTATUS:CANCELLED\r\nSUMMARY:x\r\n", {"overgeslagen: afgezegd"}},
        Case{"no_start", "SUMMARY:x\r\n", {"overgeslagen: geen geldige begintijd (DTSTART)"}},
        Case{"impossible_date", "DTSTART:20271340T250000\r\nSUMMARY:x\r\n", {"overgeslagen: geen geldige begintijd (DTSTART)"}},
        Case{"year_the_calendar_lacks", "DTSTART;VALUE=DATE:17000105\r\nSUMMARY:x\r\n",
             {"overgeslagen: jaar 1700 valt buiten 1801-2099"}},
        Case{"long_past", "DTSTART;VALUE=DATE:20000105\r\nRRULE:FREQ=WEEKLY;INTERVAL=2;UNTIL=20010101\r\nSUMMARY:x\r\n",
             {"overgeslagen: geen datum in de komende 2 jaar"}},
        Case{"hourly", "DTSTART:20270105T100000\r\nRRULE:FREQ=MINUTELY\r\nSUMMARY:x\r\n",
             {"overgeslagen: herhaalt vaker dan dagelijks"}},
        // The import day is Tuesday 8 December 2026: a line counts from then on, so a rule may be one only
        // when its pattern has no day between then and its start.
        Case{"weekly_from_the_next_wednesday", "DTSTART:20261209T190000\r\nRRULE:FREQ=WEEKLY\r\nSUMMARY:Koor\r\n",
             {"Wekelijks: Wo 19:00 Koor"}},
        Case{"yearly_from_its_next_day", "DTSTART;VALUE=DATE:20270415\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:Jarig\r\n",
             {"April: 15 Jarig"}},
        Case{"extra_dates_without_a_rule",
             "DTSTART:20130803T170000Z\r\nRDATE:20130810T170000Z\r\nRDATE:20130810T170000Z,20130817T170000Z\r\n"
             "SUMMARY:Markt\r\n",
             {"Augustus: 03 2013 19:00 Markt", "Augustus: 10 2013 19:00 Markt", "Augustus: 17 2013 19:00 Markt"}},
        Case{"two_rules_are_one_set",
             "DTSTART:20270107T090000\r\nRRULE:FREQ=WEEKLY;BYDAY=TH;COUNT=2\r\nRRULE:FREQ=MONTHLY;BYDAY=2MO;COUNT=2\r\n"
             "SUMMARY:Spreekuur\r\n",
             {"Januari: 07 2027 09:00 Spreekuur", "Januari: 11 2027 09:00 Spreekuur", "Januari: 14 2027 09:00 Spreekuur",
              "Februari: 08 2027 09:00 Spreekuur"}},
        Case{"reminder_before_the_start",
             "DTSTART:20270114T110000\r\nSUMMARY:Tandarts\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT15M\r\n"
             "END:VALARM\r\n",
             {"Januari: 14 2027 11:00 Tandarts (herinnering 10:45)"}},
        Case{"reminder_the_day_before",
             "DTSTART:20270114T080000\r\nSUMMARY:Tandarts\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-P1D\r\n"
             "END:VALARM\r\n",
             {"Januari: 14 2027 08:00 Tandarts"}}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// Rules the format has no line for are written out over two years; those it has are kept.
TEST(ICalImport, WhatTheFormatCannotHoldIsWrittenOutForTwoYears) {
  auto count = [](const std::string& event) { return imported(event).size(); };
  EXPECT_EQ(count("DTSTART:20261207T100000\r\nRRULE:FREQ=WEEKLY;INTERVAL=2\r\nSUMMARY:x\r\n"), 52u);
  EXPECT_EQ(count("DTSTART:20261207T100000\r\nRRULE:FREQ=WEEKLY;BYDAY=MO,WE\r\nSUMMARY:x\r\n"), 209u);
  EXPECT_EQ(count("DTSTART;VALUE=DATE:20261207\r\nRRULE:FREQ=DAILY\r\nSUMMARY:x\r\n"), 731u);
  // New York's clock moves in other weeks than the local one.
  EXPECT_EQ(count("DTSTART;TZID=America/New_York:20261207T090000\r\nRRULE:FREQ=WEEKLY\r\nSUMMARY:x\r\n"), 104u);
  EXPECT_EQ(imported("DTSTART;TZID=Europe/Brussels:20261207T090000\r\nRRULE:FREQ=WEEKLY\r\nSUMMARY:x\r\n"),
            std::vector<std::string>{"Wekelijks: Ma 09:00 x"});
}

// No occurrence before the event's start, from the import day on: a rule
// that begins later is written out, its first date its start.
TEST(ICalImport, ARuleThatBeginsAfterTheImportDayIsWrittenOutFromItsStart) {
  struct Rule {
    const char* event;
    const char* first;
    std::size_t count;
  };
  const Rule rules[] = {
      {"DTSTART;TZID=Europe/Berlin:20270217T190000\r\nRRULE:FREQ=WEEKLY;BYDAY=WE\r\nSUMMARY:Koor\r\n",
       "Februari: 17 2027 19:00 Koor", 95},
      {"DTSTART;VALUE=DATE:20280415\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:Jarig\r\n", "April: 15 2028 Jarig", 1},
      {"DTSTART;VALUE=DATE:20270120\r\nRRULE:FREQ=MONTHLY\r\nSUMMARY:Huur\r\n", "Januari: 20 2027 Huur", 23},
      {"DTSTART:20261210T073000\r\nRRULE:FREQ=DAILY\r\nSUMMARY:Wekker\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\n"
       "TRIGGER:PT0S\r\nEND:VALARM\r\n",
       "December: 10 2026 07:30 Wekker", 729},
  };
  for (const Rule& rule : rules) {
    const std::vector<std::string> entries = imported(rule.event);
    EXPECT_EQ(entries.size(), rule.count) << rule.event;
    EXPECT_NE(std::find(entries.begin(), entries.end(), rule.first), entries.end()) << rule.event;
  }
}

// A zone the file defines only from 2018 on, as some programs write it, is
// the zone database's for earlier dates: Berlin's summer time in 2016 too.
TEST(ICalImport, AZoneDefinedOnlyInPartIsTheDatabasesWhole) {
  const std::string text =
      "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\nX-LIC-LOCATION:Europe/Berlin\r\n"
      "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\nTZNAME:CEST\r\nDTSTART:20190331T020000\r\n"
      "END:DAYLIGHT\r\nBEGIN:STANDARD\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nTZNAME:CET\r\n"
      "DTSTART:20181028T030000\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\nBEGIN:VEVENT\r\nUID:b\r\n"
      "DTSTART;TZID=Europe/Berlin:20160701T100000\r\nSUMMARY:Zomer\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
  auto read = readICalendar(text, {*LocalDateTime::parse("2016-01-01 10:00:00"), "Europe/Amsterdam"});
  ASSERT_EQ(std::get<ImportedEvents>(read).entries.size(), 1u);
  EXPECT_EQ(std::get<ImportedEvents>(read).entries[0].line, "01 2016 10:00 Zomer");
}

TEST(ICalImport, NoCalendarAtAll) {
  for (const char* text : {"", "hallo", "BEGIN:VCARD\r\nFN:Anna\r\nEND:VCARD\r\n"})
    EXPECT_EQ(std::get<std::string>(readICalendar(text, {})), "geen iCalendar-gegevens (BEGIN:VCALENDAR ontbreekt)") << text;
}

#ifndef __has_feature
#define __has_feature(x) 0
#endif
#if !defined(_WIN32) && !defined(__SANITIZE_ADDRESS__) && !__has_feature(address_sanitizer)
// The events are read one at a time: a large file costs memory for itself and
// for what comes of it, never a tree of the whole file (which took 18 times its size).
TEST(ICalImport, ALargeFileIsReadOneEventAtATime) {
  std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n";
  for (int i = 0; i < 200'000; ++i)
    text += "BEGIN:VEVENT\r\nUID:" + std::to_string(i) + "\r\nDTSTART:20270" +
            std::to_string(i % 9 + 1) + "15T100000\r\nSUMMARY:Afspraak " + std::to_string(i) + "\r\nEND:VEVENT\r\n";
  text += "END:VCALENDAR\r\n";
  rusage before{};
  ::getrusage(RUSAGE_SELF, &before);
  auto read = readICalendar(text, {*LocalDateTime::parse("2026-12-08 10:00:00"), "Europe/Amsterdam"});
  rusage after{};
  ::getrusage(RUSAGE_SELF, &after);
  const ImportedEvents& events = std::get<ImportedEvents>(read);
  EXPECT_EQ(events.entries.size(), kMostImportedEntries);
  EXPECT_EQ(events.skipped.size() + events.notRead, 100'000u);
  // Kilobytes: what the 100,000 entries take, and a margin; the whole tree would take about 500 MB.
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 80'000) << text.size() << " bytes";
}
#endif
