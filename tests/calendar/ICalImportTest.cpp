#include <gtest/gtest.h>

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
             {"overgeslagen: herhaalt vaker dan dagelijks"}}),
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

TEST(ICalImport, NoCalendarAtAll) {
  for (const char* text : {"", "hallo", "BEGIN:VCARD\r\nFN:Anna\r\nEND:VCARD\r\n"})
    EXPECT_EQ(std::get<std::string>(readICalendar(text, {})), "geen iCalendar-gegevens (BEGIN:VCALENDAR ontbreekt)") << text;
}
