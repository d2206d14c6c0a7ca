// Every reader of calendar and settings files goes through the hostile corpus
// (tests/data/hostile, written by tools/make_hostile_corpus.py) without
// crashing or hanging. A reader may end the program with a fatal file error;
// running out of scripted keys (a hang) or any other exception fails.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "calendar/CalendarCache.h"
#include "calendar/CalendarFile.h"
#include "calendar/CalendarList.h"
#include "calendar/DataFolderTest.h"
#include "screen/ScreenBuffer.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "shell/Conversion.h"

using namespace almanouk;

namespace {

struct HostileFileTest : test::DataFolderTest, ::testing::WithParamInterface<std::string> {
  std::string contents = test::hostileFile(GetParam());

  void place(const std::string& name) { test::writeFile(folder / name, contents); }

  // Runs a reader on a fresh platform; a fatal file error is a proper way out.
  template <typename Action>
  void survive(Action action) {
    platform = newPlatform();
    try {
      action();
    } catch (const ProgramExit& exit) {
      EXPECT_EQ(exit.status, 0);
    }
  }
};

TEST(HostileCorpusTest, IsThereAndSmall) {
  std::vector<std::string> names = test::hostileCorpus();
  EXPECT_GE(names.size(), 7u);
  for (const std::string& name : names)
    EXPECT_LT(std::filesystem::file_size(std::filesystem::path(ALMANOUK_TEST_DATA "/hostile") / name), 1'000'000u);
}

TEST_P(HostileFileTest, CalendarReaders) {
  place("HOSTILE0.AMN");
  survive([&] {
    CalendarReader reader(*platform, "HOSTILE0.AMN");
    std::string line;
    std::size_t lines = 0;
    for (; reader.next(line); ++lines) continue;
    EXPECT_TRUE(reader.atEnd());
    CalendarCache calendars(platform->files());
    auto model = calendars.get("HOSTILE0.AMN");
    EXPECT_EQ(model->lines().size(), lines);
    for (const Entry& entry : model->entries()) EXPECT_LE(entry.text.size(), entry.line.size());
  });
  survive([&] { static_cast<void>(validateCalendarFile(*platform, "HOSTILE0.AMN")); });
  EXPECT_FALSE(exists("AlmanTmp.dat"));
}

TEST_P(HostileFileTest, MergeWithAGoodCalendarAndWithItself) {
  place("HOSTILE0.AMN");
  ASSERT_TRUE(writeCalendarTemplate(*platform, "ALMANOUK.AMN", "0"));
  survive([&] { EXPECT_TRUE(mergeAllCalendars(*platform).made()); });
  place("HOSTILE1.AMN");
  survive([&] { EXPECT_TRUE(mergeAllCalendars(*platform).made()); });
  std::vector<std::string> merged = lines("allamn.srt");
  ASSERT_GE(merged.size(), 3u);
  EXPECT_EQ(merged[0], "Alle Almanouks");
  EXPECT_EQ(test::fileNames(folder.path()),
            (std::vector<std::string>{"ALMANOUK.AMN", "HOSTILE0.AMN", "HOSTILE1.AMN", "allamn.srt"}));
}

TEST_P(HostileFileTest, ConversionOfCalendarAndSettings) {
  place("HOSTILE0.AMN");
  place("Almanouk.ini");
  survive([&] { EXPECT_TRUE(convertOlderData(*platform).written); });
  std::vector<std::string> converted = lines("HOSTILE0.AMN");
  ASSERT_GE(converted.size(), 3u + 3u + 1u + 25u);
  EXPECT_EQ(converted[converted.size() - 26], "Einde");
  EXPECT_FALSE(exists("CONVER.TMP"));
  EXPECT_FALSE(exists("ALMANOUK.TMP"));
}

TEST_P(HostileFileTest, SettingsReaderAndWriter) {
  ASSERT_TRUE(writeCalendarTemplate(*platform, "ALMANOUK.AMN", "0"));
  place("Almanouk.ini");
  survive([&] { EXPECT_TRUE(migratePopupValue(*platform)); });
  Settings settings;
  survive([&] {
    ScreenBuffer buffer(*platform, settings);
    ASSERT_TRUE(readSettings(*platform, settings, buffer));
  });
  survive([&] { readDaysAhead(*platform); });
  place("HOSTILE0.AMN");
  survive([&] { EXPECT_TRUE(writeDefaultSettings(*platform, settings)); });
  std::vector<std::string> written = lines("Almanouk.ini");
  ASSERT_EQ(written.size(), 15u + 2u + 2u);
  for (std::size_t i = 15; i < 17; ++i) EXPECT_EQ(written[i].size(), 47u) << written[i];
}

INSTANTIATE_TEST_SUITE_P(Corpus, HostileFileTest, ::testing::ValuesIn(test::hostileCorpus()), test::corpusTestName);

}  // namespace
