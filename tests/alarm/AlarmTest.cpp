#include <gtest/gtest.h>

#include <algorithm>

#include "alarm/AlarmSound.h"
#include "alarm/Popups.h"
#include "alarm/SpeakerTone.h"
#include "e2e/Harness.h"
#include "platform/Paths.h"
#include "platform/ProgramExit.h"
#include "platform/Text.h"

using namespace almanouk;
using test::Harness;

namespace {

// The events after the start-up notice, with their times.
std::vector<std::string> alarmEvents(Harness& h) {
  std::vector<std::string> lines;
  for (const auto& line : h.platform().log().lines())
    if (line.find(" msgbox Almanouk|        Almanouk is ge") == std::string::npos && line.find("end script") == std::string::npos)
      lines.push_back(line.substr(11, 8) + " " + line.substr(24));  // "hh:mm:ss " + event
  return lines;
}

std::vector<std::string> eventsOnly(Harness& h) {
  std::vector<std::string> events;
  for (const auto& line : alarmEvents(h)) events.push_back(line.substr(9));
  return events;
}

void prepare(Harness& h, const std::string& calendar, const std::string& popup,
             const std::string& speaker = "PC-Speaker=aan", const std::string& sound = "Sound=aan") {
  h.writeData("ALMANOUK.AMN", calendar);
  h.writeData("Almanouk.ini", test::crlf(test::settingsLines({.popup = popup, .speaker = speaker, .sound = sound})));
}

}  // namespace

TEST(AlarmScan, AnEntryFiresOnceInItsMinute) {
  Harness h;
  prepare(h, test::calendarFile("Werk", {}, {}, {}, {{1, {"13 10:25 Tijdvoorbeeld."}}}), "PopUp=msg");
  h.run("2012-01-13 10:24:50", "wait:2m");
  EXPECT_EQ(alarmEvents(h), (std::vector<std::string>{"10:25:00 sound roster.mp3",
                                                      "10:25:02 msgbox Almanouk|        13 10:25 Tijdvoorbeeld.        ",
                                                      "10:25:02 tone 456 60"}));
  h.run("2012-01-14 10:24:50", "wait:2m");
  EXPECT_TRUE(alarmEvents(h).empty());
}

// Every entry due in a minute is told, in the order the sections are read.
TEST(AlarmScan, EveryDueEntryOfAMinuteIsTold) {
  Harness h;
  prepare(h, test::calendarFile("Werk", {"13 10:25 Maandelijks"}, {}, {"10:25 Dagelijks"},
                                {{1, {"13 10:25 Januari", "13 Om 10:26 in de tekst"}}}),
          "PopUp=msg", "PC-Speaker=uit", "Sound=uit");
  h.run("2012-01-13 10:24:50", "wait:2m");
  EXPECT_EQ(eventsOnly(h), (std::vector<std::string>{"msgbox Almanouk|        13 10:25 Maandelijks        ",
                                                     "msgbox Almanouk|        13 10:25 Dagelijks        ",
                                                     "msgbox Almanouk|        13 10:25 Januari        ",
                                                     "msgbox Almanouk|        13 Om 10:26 in de tekst        "}));
}

TEST(AlarmScan, YearsDaysAndTimesDecideWhatFires) {
  std::string calendar = test::calendarFile(
      "Werk", {"04 2008 12:30 Alleen in 2008", "04 12:31 Elke maand"},
      {"Vr 2008 15:45 Alleen in 2008", "vr 15:46 Kleine letters"}, {"1:28 Nooit", "01:28 Elke dag", "Geen tijd 01:29"},
      {{3, {"1 10:00 Een", " 2 10:00 Twee", "10 Weer een voorbeeld."}}});
  Harness h;
  prepare(h, calendar, "PopUp=msg", "PC-Speaker=uit", "Sound=uit");
  auto fired = [&](const std::string& now, const std::string& wait) {
    std::filesystem::remove(h.data("Almanouk.tijd"));  // each run a first start: only what fires on time
    h.run(now, wait);
    return eventsOnly(h);
  };
  using Events = std::vector<std::string>;
  EXPECT_EQ(fired("2008-03-04 12:29:50", "wait:2m"),
            (Events{"msgbox Almanouk|        04 2008 12:30 Alleen in 2008        ",
                    "msgbox Almanouk|        04 12:31 Elke maand        "}));
  EXPECT_EQ(fired("2009-03-04 12:29:50", "wait:2m"), (Events{"msgbox Almanouk|        04 12:31 Elke maand        "}));
  // 14 March 2014 and 7 March 2008 are Fridays: a weekly entry's year keeps it to that year.
  EXPECT_EQ(fired("2014-03-14 15:44:50", "wait:2m"),
            (Events{"msgbox Almanouk|        14 vr 15:46 Kleine letters        "}));
  EXPECT_EQ(fired("2008-03-07 15:44:50", "wait:2m"),
            (Events{"msgbox Almanouk|        07 Vr 2008 15:45 Alleen in 2008        ",
                    "msgbox Almanouk|        07 vr 15:46 Kleine letters        "}));
  EXPECT_EQ(fired("2014-03-15 01:27:50", "wait:3m"), (Events{"msgbox Almanouk|        15 01:28 Elke dag        "}));
  EXPECT_EQ(fired("2014-03-01 09:59:50", "wait:1m"), (Events{"msgbox Almanouk|        1 10:00 Een        "}));
  EXPECT_EQ(fired("2014-03-02 09:59:50", "wait:1m"), (Events{"msgbox Almanouk|         2 10:00 Twee        "}));
  EXPECT_TRUE(fired("2014-03-10 00:00:05", "wait:1m").empty());
}

// Each line is judged by its own day and year, whatever the lines before it say.
TEST(AlarmScan, EachLineIsJudgedByItsOwnYear) {
  Harness h;
  prepare(h,
          test::calendarFile("Werk", {}, {}, {},
                             {{1, {"04 Vier", " 5 1850 10:00 In 1850", "04 2008 Ander jaar", "05 10:01 Elk jaar",
                                   "05 2012 10:02 In 2012"}}}),
          "PopUp=msg", "PC-Speaker=uit", "Sound=uit");
  h.run("2012-01-05 09:59:50", "wait:3m");
  EXPECT_EQ(eventsOnly(h), (std::vector<std::string>{"msgbox Almanouk|        05 10:01 Elk jaar        ",
                                                     "msgbox Almanouk|        05 2012 10:02 In 2012        "}));
}

TEST(AlarmScan, TimeCommandsStartOnceInTheirThreeShapes) {
  std::string calendar = test::calendarFile(
      "Werk", {}, {}, {},
      {{1, {"20 10:30 # defrag c:", "20 10:31 # c:\\program files\\x.exe", "20 10:32 # \\tools\\y.exe"}}});
  Harness h;
  prepare(h, calendar, "PopUp=ntp");
  h.run("2012-01-20 10:29:50", "wait:4m");
  EXPECT_EQ(alarmEvents(h), (std::vector<std::string>{"10:30:00 run start defrag c:",
                                                      "10:31:00 run start c:\\\"program files\\x.exe\"",
                                                      "10:32:00 run start \\\"tools\\y.exe\""}));
}

TEST(AlarmScan, PopupsComeInTheirOrder) {
  std::string calendar = test::calendarFile("Werk", {}, {}, {"10:25 Koffie"}, {});
  Harness msg;
  prepare(msg, calendar, "PopUp=msg");
  msg.run("2012-01-13 10:24:50", "wait:1m");
  EXPECT_EQ(eventsOnly(msg), (std::vector<std::string>{"sound roster.mp3", "msgbox Almanouk|        13 10:25 Koffie        ",
                                                       "tone 456 60"}));
  Harness ntp;
  prepare(ntp, calendar, "PopUp=ntp");
  ntp.run("2012-01-13 10:24:50", "wait:1m");
  EXPECT_EQ(eventsOnly(ntp), (std::vector<std::string>{"run start notepad alarm.txt", "sound roster.mp3", "tone 456 60"}));
  std::vector<std::string> page = test::splitLines(test::readFile(ntp.data("alarm.txt")));
  ASSERT_EQ(page.size(), 12u);
  EXPECT_EQ(page[11], std::string(40, ' ') + "13 10:25 Koffie");
  Harness off;
  prepare(off, calendar, "PopUp=uit");
  off.run("2012-01-13 10:24:50", "wait:1m");
  EXPECT_EQ(eventsOnly(off), (std::vector<std::string>{"tone 456 60"}));
}

TEST(AlarmScan, KeysDuringTheSoundWaitTheirTurn) {
  Harness h;
  prepare(h, test::calendarFile("Werk", {}, {}, {"10:25 Koffie"}, {}), "PopUp=msg");
  h.run("2012-01-13 10:24:55", "wait:5 F1");
  auto events = alarmEvents(h);
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[1].substr(0, 8), "10:25:02");  // the full two seconds, F1 notwithstanding
  EXPECT_EQ(h.text(3, 48, 30), " Almanouk 1.45. Gebruik voor  ");
}

TEST(SpeakerTone, RisesThroughTheScaleAndSpaceSilencesOneTone) {
  std::vector<std::string> daily;
  for (int minute = 1; minute <= 11; ++minute) daily.push_back("10:" + std::string(minute < 10 ? "0" : "") + std::to_string(minute) + " Tik");
  Harness h;
  prepare(h, test::calendarFile("Werk", {}, {}, daily, {}), "PopUp=uit");
  h.run("2012-01-13 10:00:50", "wait:40 Space wait:11m");
  EXPECT_EQ(eventsOnly(h), (std::vector<std::string>{"tone 456 60", "tone 558 60", "tone 626 60", "tone 706 60",
                                                     "tone 800 60", "tone 910 60", "tone 1038 60", "tone 1186 60",
                                                     "tone 1357 60", "tone 456 60"}));  // 1356 Hz: divisor 879
  EXPECT_EQ(toneDivisor(456), 2616);
  EXPECT_EQ(toneDivisor(1356), 879);
  EXPECT_EQ(nextToneFrequency(0), 456);
  EXPECT_EQ(nextToneFrequency(1356), 456);
}

TEST(DayCommand, StartsOnceNeverWithPopupOffNorAfterANavigation) {
  Harness h;
  prepare(h, test::calendarFile("Werk", {}, {}, {}, {{1, {"12 # c:\\windows\\notepad.exe"}}}), "PopUp=ntp");
  h.run("2012-01-10 08:00:00", "Right Left PgDn PgUp");
  EXPECT_EQ(eventsOnly(h), (std::vector<std::string>{"run \"c:\\windows\\notepad.exe\""}));
  EXPECT_TRUE(h.state().alarm.dayCommandStarted);
  EXPECT_EQ(h.text(20, 5, 1), " ");

  Harness off;
  prepare(off, test::calendarFile("Werk", {}, {}, {}, {{1, {"12 # c:\\windows\\notepad.exe"}}}), "PopUp=uit");
  off.run("2012-01-10 08:00:00", "Right");
  EXPECT_TRUE(eventsOnly(off).empty());
  EXPECT_FALSE(off.state().alarm.dayCommandStarted);

  // A drawing that follows a navigation or another screen starts nothing.
  Harness later;
  later.run("2012-01-10 08:00:00", "");
  AppState& app = later.app();
  app.alarm.dayCommandStarted = false;
  auto commands = [&] {
    std::vector<std::string> events = later.platform().log().events();
    return std::count_if(events.begin(), events.end(), [](const std::string& e) { return e.rfind("run ", 0) == 0; });
  };
  auto before = commands();
  app.monthView.drawEventList(app.days, 7, app.alarms, false);
  EXPECT_EQ(commands(), before);
  EXPECT_FALSE(app.alarm.dayCommandStarted);
  app.monthView.drawEventList(app.days, 7, app.alarms, true);
  EXPECT_EQ(commands(), before + 1);
  EXPECT_EQ(later.platform().log().events().back(), "run \"c:\\windows\\notepad.exe\"");
  EXPECT_FALSE(app.alarms.launchDayCommand("13 # notepad"));
}

TEST(AlarmPage, CentresTheLineOnNinetyFour) {
  test::TempFolder folder;
  HeadlessPlatform platform(test::headlessOptions(folder), KeyScript{});
  ASSERT_TRUE(writeAlarmPage(platform, "13 10:25 Tijdvoorbeeld."));
  auto lines = test::splitLines(test::readFile(folder / "alarm.txt"));
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[10], "");
  EXPECT_EQ(lines[11], std::string(36, ' ') + "13 10:25 Tijdvoorbeeld.");
  ASSERT_TRUE(writeAlarmPage(platform, std::string(94, 'x')));
  EXPECT_EQ(test::splitLines(test::readFile(folder / "alarm.txt"))[11], std::string(94, 'x'));
}

// Only a chime the program was cut short writing is written again; a file
// the user put there under that name is theirs, whatever it holds.
TEST(AlarmSound, OnlyACutShortChimeIsWrittenAgain) {
  Harness h;
  h.run("2012-01-13 10:00:00", "");
  const std::string chime = test::readFile(h.data("roster.mp3"));
  EXPECT_GT(chime.size(), 4000u);
  for (const auto& [bytes, again] : std::vector<std::pair<std::optional<std::string>, bool>>{
           {std::nullopt, true}, {"", true}, {chime.substr(0, 1000), true}, {chime, false},
           {"mijn eigen geluid", false}, {chime.substr(0, 1000) + "eigen", false}}) {
    EXPECT_EQ(needsDefaultSound(bytes), again) << (bytes ? bytes->size() : 0);
    if (bytes) {
      h.writeData("roster.mp3", *bytes);
    } else {
      std::filesystem::remove(h.data("roster.mp3"));
    }
    h.run("2012-01-13 10:00:00", "");
    EXPECT_EQ(test::readFile(h.data("roster.mp3")), again ? chime : *bytes);
  }
}

TEST(AlarmSound, QuotesAndSeparatorsOfTheFolderDoNotMatter) {
  test::TempFolder folder;
  std::filesystem::create_directories(folder / "Mijn geluiden");
  for (const char* name : {"b.mp3", "a.MP3", "c.wav"}) test::writeFile(folder / "Mijn geluiden" / name, "x");
  HeadlessPlatform platform(test::headlessOptions(folder), KeyScript{});
  std::string base = folder.str() + "/Mijn geluiden";
  std::vector<std::string> plain, quoted, slashed;
  EXPECT_EQ(listSoundFiles(platform, base, plain), 2);
  listSoundFiles(platform, "\"" + base + "\"", quoted);
  listSoundFiles(platform, "\"" + base + "/\"", slashed);
  const std::string separator(1, kPathSeparator);
  EXPECT_EQ(plain, (std::vector<std::string>{base + separator + "a.MP3", base + separator + "b.mp3"}));
  EXPECT_EQ(quoted, plain);
  EXPECT_EQ(slashed, (std::vector<std::string>{base + "/a.MP3", base + "/b.mp3"}));
  std::vector<std::string> none;
  EXPECT_EQ(listSoundFiles(platform, folder.str(), none), 0);
}

TEST(AlarmSound, AFolderWithoutSoundsIsSilentAndAFailingPlayerEndsTheProgram) {
  Harness h;
  prepare(h, test::calendarFile("Werk", {}, {}, {"10:25 Koffie"}, {}), "PopUp=msg", "PC-Speaker=uit");
  std::filesystem::create_directories(h.startFolder() / "leeg");
  h.run("2012-01-13 10:24:55", "wait:1m", (h.startFolder() / "leeg").string());
  EXPECT_EQ(eventsOnly(h), (std::vector<std::string>{"sound ", "msgbox Almanouk|        13 10:25 Koffie        "}));
}

TEST(AlarmSound, APlayerThatCannotStartIsNoEnd) {
  test::TempFolder folder;
  auto options = test::headlessOptions(folder);
  options.soundFails = true;
  HeadlessPlatform platform(options, KeyScript{});
  EXPECT_EQ(playAlarmSound(platform, ""), SoundOutcome::NoPlayer);
  EXPECT_TRUE(platform.log().events().empty());
}

// What becomes of a sound, by what the player can do and what the name finds.
TEST(AlarmSound, EachOutcomeOfPlayingAFile) {
  struct Row {
    const char* name;
    bool playerStarts, fileOpens;
    SoundOutcome outcome;
  };
  const Row rows[] = {
      {"roster.mp3", true, true, SoundOutcome::Played},
      {"", true, true, SoundOutcome::Played},  // no sound in the folder: silence
      {"ontbreekt.mp3", true, true, SoundOutcome::Unopened},
      {"roster.mp3", true, false, SoundOutcome::Unopened},
      {"roster.mp3", false, true, SoundOutcome::NoPlayer},
  };
  for (const Row& row : rows) {
    test::TempFolder folder;
    test::writeFile(folder / "roster.mp3", "x");
    auto options = test::headlessOptions(folder);
    options.soundFails = !row.playerStarts;
    options.soundFileFails = !row.fileOpens;
    HeadlessPlatform platform(options, KeyScript{});
    EXPECT_EQ(playSoundFile(platform, row.name), row.outcome) << row.name << " " << row.playerStarts << row.fileOpens;
  }
}

// A sound the player cannot open is told once on the status line, by its
// name; the alarm comes all the same.
TEST(AlarmSound, ASoundThatCannotOpenIsToldByName) {
  Harness h;
  prepare(h, test::calendarFile("Werk", {}, {}, {"10:25 Koffie"}, {}), "PopUp=msg", "PC-Speaker=uit");
  h.soundFileFails = true;
  auto result = h.run("2012-01-13 10:24:55", "wait:1m");
  EXPECT_EQ(eventsOnly(h), (std::vector<std::string>{"msgbox Almanouk|        13 10:25 Koffie        "}));
  EXPECT_EQ(h.row(25).substr(0, 50), " Geen alarmgeluid: roster.mp3 is niet af te spelen");
}

TEST(AlarmScan, LinesPastTheMarkTableFireToo) {
  std::vector<std::string> january(4100, "14 Een andere dag");
  january.push_back("13 10:25 Laat in het bestand");
  Harness h;
  prepare(h, test::calendarFile("Werk", {}, {}, {}, {{1, january}}), "PopUp=msg", "PC-Speaker=uit", "Sound=uit");
  h.run("2012-01-13 10:24:59", "wait:3");
  EXPECT_EQ(eventsOnly(h), (std::vector<std::string>{"msgbox Almanouk|        13 10:25 Laat in het bestand        "}));
}
