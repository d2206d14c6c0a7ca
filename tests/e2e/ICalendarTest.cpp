#include <gtest/gtest.h>

#include <random>

#include "calendar/CalendarFile.h"
#include "calendar/CalendarModel.h"
#include "calendar/Dates.h"
#include "e2e/Harness.h"
#include "platform/Text.h"

using namespace almanouk;
using test::Harness;

namespace {

constexpr const char* kToday = "2026-12-08 10:00:00";

// Absolute with its drive on Windows: "/work/..." is only rooted there.
std::filesystem::path sample(const std::string& name) {
  return std::filesystem::absolute(std::filesystem::path(ALMANOUK_TEST_DATA) / "ical" / name);
}

// A harness whose data folder holds the template calendar, the program ended.
void startOnce(Harness& h) { ASSERT_EQ(h.run(kToday, "Alt+X").status, 0); }

// What the event list lists on each day of the year: "mm-dd hh:mm text".
std::vector<std::string> listedInYear(const std::string& bytes, int year) {
  CalendarModel calendar(bytes);
  std::vector<std::string> listed;
  for (int month = 1; month <= 12; ++month)
    for (int day = 1; day <= monthInfo(month, year).days; ++day)
      forEachListed(calendar, {day, month, year, weekdayOf(day, month, year)}, [&](const Entry& entry) {
        if (entry.command || entry.isDayCommand()) return;
        listed.push_back(std::to_string(month) + "-" + std::to_string(day) + " " +
                         (entry.time ? std::to_string(*entry.time) : "-") + " " + std::string(entry.text));
      });
  std::sort(listed.begin(), listed.end());
  return listed;
}

}  // namespace

class ICalendarFromElsewhere : public ::testing::TestWithParam<std::string> {};

// The shapes other programs write, each into the template calendar: the file
// as it must come out, and the program starts on it and lists the entries.
TEST_P(ICalendarFromElsewhere, GivesTheseEntries) {
  Harness h;
  startOnce(h);
  auto imported = h.commandLine(kToday, {"--import", sample(GetParam() + ".ics").string(), "almanouk"});
  ASSERT_EQ(imported.status, 0) << imported.err;
  const std::string actual = test::readFile(h.data("ALMANOUK.AMN"));
  const std::string expected = test::readFile(sample(GetParam() + ".amn"));
  if (actual != expected) test::writeFile(std::filesystem::path(ALMANOUK_TEST_OUTPUT) / (GetParam() + ".amn"), actual);
  EXPECT_EQ(actual, expected) << "the result is in " << ALMANOUK_TEST_OUTPUT;
  EXPECT_FALSE(test::fileNames(h.data("Versies") / "ALMANOUK.AMN").empty());
  auto run = h.run("2027-01-14 08:00:00", "Alt+X");
  EXPECT_EQ(run.status, 0);
}

INSTANTIATE_TEST_SUITE_P(Samples, ICalendarFromElsewhere,
                         ::testing::Values("thunderbird", "birthdays", "weekly", "google_invitation"));

TEST(ICalendar, AnImportedEntryIsListedAndRings) {
  Harness h;
  startOnce(h);
  ASSERT_EQ(h.commandLine(kToday, {"--import", sample("thunderbird.ics").string(), "ALMANOUK.AMN"}).status, 0);
  h.run("2027-01-14 09:29:00", "snap:x wait:90");
  EXPECT_EQ(h.text(20, 5, 38), "14 2027 09:30 Tandarts - Kerkstraat 12");
  EXPECT_NE(test::readFile(h.data("alarm.txt")).find("Tandarts"), std::string::npos);
}

TEST(ICalendar, ImportingTheSameFileTwiceAddsNothing) {
  Harness h;
  startOnce(h);
  const std::string before = test::readFile(h.data("ALMANOUK.AMN"));
  ASSERT_EQ(h.commandLine(kToday, {"--import", sample("weekly.ics").string(), "ALMANOUK"}).status, 0);
  const std::string once = test::readFile(h.data("ALMANOUK.AMN"));
  auto again = h.commandLine(kToday, {"--import", sample("weekly.ics").string(), "ALMANOUK"});
  EXPECT_EQ(again.status, 0);
  EXPECT_EQ(test::splitLines(again.out)[0], "ALMANOUK.AMN: 0 afspraken geïmporteerd, 3 stonden er al in, 2 overgeslagen:");
  EXPECT_EQ(test::readFile(h.data("ALMANOUK.AMN")), once);
  EXPECT_EQ(test::readFile(h.data("ALMANOUK.AM2")), before);  // the backup of the first import stays
}

// As the settings screen makes one: eight characters, the template, the next
// diary key, a line on the settings screen (the active calendar stays).
TEST(ICalendar, ANewCalendarIsMadeForTheImport) {
  Harness h;
  startOnce(h);
  auto imported = h.commandLine(kToday, {"--import", sample("birthdays.ics").string(), "werk"});
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(test::splitLines(imported.out)[0], "Nieuwe almanouk WERK0000.AMN gemaakt.");
  std::vector<std::string> lines = test::splitLines(test::readFile(h.data("WERK0000.AMN")));
  EXPECT_EQ(lines[1], "1");
  EXPECT_TRUE(passesCalendarCheck(lines));
  std::vector<std::string> settings = test::splitLines(test::readFile(h.data("Almanouk.ini")));
  EXPECT_EQ(settings[15], "-> ALMANOUK.AMN = Omschrijving.               7");
  EXPECT_EQ(settings[16], "   WERK0000.AMN = Omschrijving.               7");
  EXPECT_EQ(h.commandLine(kToday, {"--import", sample("birthdays.ics").string(), "a/b"}).status, 1);
}

TEST(ICalendar, RefusedWhileTheProgramRuns) {
  Harness h;
  h.run(kToday, "wait:1");  // the script ends with the program still running
  const std::string before = test::readFile(h.data("ALMANOUK.AMN"));
  auto imported = h.commandLine(kToday, {"--import", sample("weekly.ics").string(), "ALMANOUK"});
  EXPECT_EQ(imported.status, 1);
  EXPECT_NE(imported.err.find("Almanouk draait nu"), std::string::npos) << imported.err;
  EXPECT_EQ(test::readFile(h.data("ALMANOUK.AMN")), before);
  EXPECT_EQ(h.commandLine(kToday, {"--export", "ALMANOUK", "uit.ics"}).status, 1);
  EXPECT_FALSE(std::filesystem::exists(h.startFolder() / "uit.ics"));
  EXPECT_TRUE(h.dataExists("Almanouk.pyl"));
}

// Export, then import into an empty calendar: every day of a year lists the
// same entries at the same times, commands aside (they never come back as commands).
TEST(ICalendar, ExportedAndImportedAgainListsTheSameEveryDay) {
  Harness h;
  startOnce(h);
  h.writeData("RIJK0000.AMN",
              test::calendarFile("Rijk, vol", {"31 Laatste dag", "1 Eerste", "15 2027 14:00 Alleen in 2027 één keer per maand"},
                                 {"Ma 09:00 Maandag", "Zo 2027 Zondag in 2027", "Wo Woensdag ë"}, {"07:15 Opstaan"},
                                 {{2, {"29 Schrikkel", "14 Valentijn"}}, {3, {"12 2027 10:00 Eenmalig"}},
                                  {12, {" 5 Sinterklaas", "31 23:59 Oud en nieuw"}}},
                                 "7", "7"));
  h.writeData("LEEG0000.AMN", test::calendarFile("Leeg", {}, {}, {}, {}, "7", "8"));
  ASSERT_EQ(h.commandLine(kToday, {"--export-all", "alles.ics"}).status, 0);
  const std::string ics = test::readFile(h.startFolder() / "alles.ics");
  EXPECT_NE(ics.find("CATEGORIES:Rijk; vol"), std::string::npos);
  auto exported = h.commandLine(kToday, {"--export", "rijk", "rijk.ics"});
  ASSERT_EQ(exported.status, 0) << exported.err;
  EXPECT_EQ(exported.out, "RIJK0000.AMN: 12 afspraken geëxporteerd naar " + (h.startFolder() / "rijk.ics").string() + ".\n");
  ASSERT_EQ(h.commandLine(kToday, {"--import", "rijk.ics", "LEEG0000.AMN"}).status, 0);
  for (int year : {2027, 2028})
    EXPECT_EQ(listedInYear(test::readFile(h.data("LEEG0000.AMN")), year),
              listedInYear(test::readFile(h.data("RIJK0000.AMN")), year))
        << year;
}

// Hostile files end in a clear message or a bounded import, never a crash,
// and the calendar stays one the start accepts.
TEST(ICalendar, HostileFilesAreRefusedOrBounded) {
  std::string many = "BEGIN:VCALENDAR\r\n";
  for (int i = 0; i < 100'001; ++i)
    many += "BEGIN:VEVENT\r\nUID:" + std::to_string(i) + "\r\nDTSTART;VALUE=DATE:2027" +
            (i % 12 < 9 ? "0" : "") + std::to_string(i % 12 + 1) + "15\r\nSUMMARY:Afspraak " + std::to_string(i) +
            "\r\nEND:VEVENT\r\n";
  std::string deep;
  for (int i = 0; i < 20000; ++i) deep += "BEGIN:VCALENDAR\r\n";
  std::string junk(1 << 20, '\0');
  std::mt19937 random(7);
  for (char& c : junk) c = static_cast<char>(random());
  const std::string thunderbird = test::readFile(sample("thunderbird.ics"));
  struct Case {
    std::string name, bytes;
    int status;
  };
  const std::vector<Case> cases = {
      {"empty", "", 1},
      {"junk", junk, 1},
      {"cut short", thunderbird.substr(0, thunderbird.size() * 2 / 3), 0},
      {"deep", deep, 1},
      {"ten megabytes of summary", "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:20270101T100000\r\nSUMMARY:" +
                                       std::string(10 << 20, 'a') + "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n", 0},
      {"sub-daily for ever", "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:18000101T000000\r\nRRULE:FREQ=DAILY;BYHOUR=0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23\r\nSUMMARY:x\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n", 0},
      {"100,001 events", many, 0},
  };
  for (const Case& c : cases) {
    Harness h;
    startOnce(h);
    test::writeFile(h.startFolder() / "in.ics", c.bytes);
    auto imported = h.commandLine(kToday, {"--import", "in.ics", "ALMANOUK"});
    EXPECT_EQ(imported.status, c.status) << c.name << ": " << imported.err;
    EXPECT_TRUE(passesCalendarCheck(test::splitLines(test::readFile(h.data("ALMANOUK.AMN"))))) << c.name;
    for (const std::string& line : test::splitLines(test::readFile(h.data("ALMANOUK.AMN"))))
      ASSERT_LE(line.size(), static_cast<std::size_t>(kLongestShownEntry)) << c.name;
  }
}

TEST(ICalendar, WrongArgumentsShowTheUsage) {
  Harness h;
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"--import", "x.ics"}, {"--export", "a", "b", "c"}, {"--export-all"}}) {
    auto run = h.commandLine(kToday, arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.starts_with("gebruik: almanouk --export")) << run.err;
  }
}
