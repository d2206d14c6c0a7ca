// A disk that takes no more: in every screen that writes, the write fails,
// the screen says what was not saved, the file is as it was, and the same
// keys work once there is room again.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "e2e/Harness.h"

using namespace almanouk;
using test::Harness;

namespace {

struct SaveFailure {
  const char* name;
  std::function<void(Harness&)> prepare;
  const char* failingFile;  // the temporary file whose writes fail
  std::string keys;         // they end with the write that fails
  std::string told;         // on the screen afterwards
  const char* keptFile;     // as it was
  std::string retry;        // the keys that write it after all
  std::function<bool(Harness&)> written;
};

bool holdsLine(Harness& h, const std::string& file, const std::string& line) {
  std::vector<std::string> lines = test::splitLines(test::readFile(h.data(file)));
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::string screen(Harness& h) {
  std::string all;
  for (int row = 1; row <= 25; ++row) all += h.row(row) + "\n";
  return all;
}

// Copies are named from the clock: day, hour, minute, second.
int calendarCopies(Harness& h) {
  std::vector<std::string> names = test::fileNames(h.dataFolder());
  return static_cast<int>(std::count_if(names.begin(), names.end(), [&](const std::string& name) {
    return name.starts_with("070900") && name.ends_with(".AMN") && holdsLine(h, "Almanouk.ini", "   " + name + " = Omschrijving.               7");
  }));
}

void twoCalendars(Harness& h) {
  h.run("2012-03-07 09:00:00", "");
  h.writeData("THUIS000.AMN", test::calendarFile("Thuis", {}, {}, {}, {}, "7", "1"));
}

void PrintTo(const SaveFailure& c, std::ostream* out) { *out << c.name; }

class SaveFailureTest : public ::testing::TestWithParam<SaveFailure> {};

TEST_P(SaveFailureTest, IsToldTheFileKeptAndTheNextTryWorks) {
  const SaveFailure& c = GetParam();
  Harness h;
  h.run("2012-03-07 09:00:00", "");
  if (c.prepare) c.prepare(h);
  h.run("2012-03-07 09:00:00", "");  // the files as every later start leaves them
  const std::string before = test::readFile(h.data(c.keptFile));
  int failures = 0;
  h.faults = [&](FileFault fault, const std::string& path) {
    bool fails = fault == FileFault::Write && path.ends_with(c.failingFile);
    failures += fails;
    return fails;
  };
  h.run("2012-03-07 09:00:00", c.keys);
  ASSERT_GT(failures, 0);
  EXPECT_NE(screen(h).find(c.told), std::string::npos) << screen(h);
  EXPECT_EQ(test::readFile(h.data(c.keptFile)), before);
  EXPECT_FALSE(h.dataExists(c.failingFile));

  int firstTry = 1;  // the first write fails, the retry goes through
  h.faults = [&](FileFault fault, const std::string& path) {
    return fault == FileFault::Write && path.ends_with(c.failingFile) && firstTry-- > 0;
  };
  h.run("2012-03-07 09:00:00", c.keys + " " + c.retry);
  EXPECT_TRUE(c.written(h)) << screen(h);
}

const std::string kFull = "Opslaan mislukt (schijf vol): ";

INSTANTIATE_TEST_SUITE_P(
    EveryScreen, SaveFailureTest,
    ::testing::Values(
        SaveFailure{"ListEditor", nullptr, "AlmanTmp.lst", "F2 Home \"07 Belangrijk\" Esc",
                    kFull + "ALMANOUK.AMN is niet gewijzigd", "ALMANOUK.AMN", "Esc",
                    [](Harness& h) { return holdsLine(h, "ALMANOUK.AMN", "07 Belangrijk") && h.text(5, 4, 4) == "week"; }},
        SaveFailure{"SettingsScreenLeaving", nullptr, "almanouk.tm2", "F4 Space Esc",
                    kFull + "Almanouk.ini is niet gewijzigd", "Almanouk.ini", "Esc",
                    [](Harness& h) { return holdsLine(h, "Almanouk.ini", "PopUp=uit"); }},
        SaveFailure{"DaysAhead", nullptr, "afd3.txt", "F4 Down Down Down Right",
                    kFull + "ALMANOUK.AMN is niet gewijzigd", "ALMANOUK.AMN", "Right Esc",
                    [](Harness& h) { return test::splitLines(test::readFile(h.data("ALMANOUK.AMN")))[2] == "8"; }},
        SaveFailure{"NewCalendar", nullptr, "AlmanTmp.new", "F4 \"nwerk\" Enter",
                    "Kan het bestand niet maken", "Almanouk.ini", "\"nwerk\" Enter Esc",
                    [](Harness& h) { return h.dataExists("WERK0000.AMN") && h.state().settings.calFile == "WERK0000.AMN"; }},
        SaveFailure{"CopyCalendar", twoCalendars, "AlmanTmp.cpy", "F4 Down Down Down \"k\"", "Kopieren is mislukt",
                    "Almanouk.ini", "\"k\" Esc",
                    [](Harness& h) { return calendarCopies(h) == 1; }},
        SaveFailure{"CopyDiary", twoCalendars, "AlmTMP.TMP", "F4 Down Down Down \"k\"", "Kopieren is mislukt",
                    "Almanouk.ini", "\"k\" Esc", [](Harness& h) { return calendarCopies(h) == 1; }},
        SaveFailure{"AllCalendarsMerge", twoCalendars, "allamnm.srt", "F7",
                    "Alle almanouks: samenvoegen mislukt (schijf vol)", "ALMANOUK.AMN", "F7",
                    [](Harness& h) { return h.state().settings.allCalendarsView(); }}),
    [](const ::testing::TestParamInfo<SaveFailure>& info) { return std::string(info.param.name); });

}  // namespace

// A disk that stays full: the second Esc leaves all the same, the lines kept
// beside the file (NAME.herstel), the month view saying where; the file is as it was.
TEST(SaveFailure, ASecondFailureLetsTheUserGoAndKeepsTheLines) {
  struct Case {
    const char* name;
    const char* failing;
    std::string keys;
    const char* recovery;
    const char* line;
  };
  const Case cases[] = {
      {"ListEditor", "AlmanTmp.lst", "F2 Home \"07 Belangrijk\" Esc Esc", "ALMANOUK.AMN.herstel", "07 Belangrijk"},
      {"SettingsScreen", "almanouk.tm2", "F4 Space Esc Esc", "Almanouk.ini.herstel", "PopUp=uit"},
  };
  for (const Case& c : cases) {
    Harness h;
    h.run("2012-03-07 09:00:00", "");
    h.run("2012-03-07 09:00:00", "");  // the files as every later start leaves them
    const std::string calendar = test::readFile(h.data("ALMANOUK.AMN"));
    const std::string settings = test::readFile(h.data("Almanouk.ini"));
    h.faults = [&](FileFault fault, const std::string& path) { return fault == FileFault::Write && path.ends_with(c.failing); };
    auto result = h.run("2012-03-07 09:00:00", c.keys + " wait:1");
    EXPECT_EQ(h.text(5, 4, 4), "week") << c.name << ": not back in the month view";
    EXPECT_NE(h.row(25).find("Niet opgeslagen; uw regels staan in"), std::string::npos) << c.name << ": " << h.row(25);
    EXPECT_NE(h.row(25).find(c.recovery), std::string::npos) << c.name;
    EXPECT_TRUE(holdsLine(h, c.recovery, c.line)) << c.name;
    EXPECT_EQ(test::readFile(h.data("ALMANOUK.AMN")), calendar) << c.name;
    EXPECT_EQ(test::readFile(h.data("Almanouk.ini")), settings) << c.name;
    // A close request with the save failing ends the program in order all the same.
    Harness closed;
    closed.run("2012-03-07 09:00:00", "");
    closed.faults = h.faults;
    auto ended = closed.run("2012-03-07 09:00:00", c.keys.substr(0, c.keys.size() - 8) + " Close");
    EXPECT_FALSE(ended.scriptEnded) << c.name;
    EXPECT_EQ(ended.status, 0) << c.name;
    EXPECT_TRUE(closed.dataExists(c.recovery)) << c.name;
  }
}
