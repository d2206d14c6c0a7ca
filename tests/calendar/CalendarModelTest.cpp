#include "calendar/CalendarModel.h"

#include <gtest/gtest.h>

#include "calendar/CalendarCache.h"
#include "calendar/CalendarFile.h"
#include "calendar/DataFolderTest.h"

using namespace almanouk;

namespace {

struct CalendarModelTest : test::DataFolderTest {
  CalendarCache cache{platform->files()};

  std::vector<std::string> texts(std::span<const Entry> entries) {
    std::vector<std::string> lines;
    for (const Entry& entry : entries) lines.emplace_back(entry.line);
    return lines;
  }
};

TEST_F(CalendarModelTest, LinesAreTheOnesTheFileReaderGives) {
  for (std::string bytes : {"a\r\nb\r\n", "a\nb", "a\r\n\r\n\rb\r", "", "\r", "x\ry\n\n"}) {
    test::writeFile(folder / "REGELS00.AMN", bytes);
    std::vector<std::string> read;
    {
      CalendarReader reader(*platform, "REGELS00.AMN");
      for (std::string line; reader.next(line);) read.push_back(line);
    }
    CalendarModel model(bytes);
    EXPECT_EQ(std::vector<std::string>(model.lines().begin(), model.lines().end()), read) << bytes;
  }
  EXPECT_EQ(CalendarModel("a\r\n\r\n\rb\r").lines(), (std::vector<std::string_view>{"a", "", "\rb"}));
}

TEST_F(CalendarModelTest, SectionsAreFoundAsTheReadersAlwaysFoundThem) {
  write("ZOEKEN00.AMN", test::calendarLines("Zoeken", "0", {{}, {"Ma maandag"}, {}, {"1 Een", " 2 Twee"}}));
  auto model = cache.get("zoeken00.amn");
  EXPECT_EQ(texts(model->entries(Section::Weekly)), (std::vector<std::string>{"Ma maandag"}));
  // An empty section has none: the next header is no entry of it.
  EXPECT_TRUE(model->entries(Section::Daily).empty());
  EXPECT_EQ(texts(model->entries(Section::January)), (std::vector<std::string>{"1 Een", " 2 Twee"}));
  EXPECT_EQ(model->entries(Section::January)[0].lineNumber, 21);

  // The first header counts, in any case, as a whole line; a header followed
  // only by blank lines, or missing, gives none.
  write("KORT0000.AMN", {"Kort", "0", "7", "Maandelijks ", "", "01 nee", "", "MAANDELIJKS", "", "", "02 ja",
                         "03 ook", "", "Maandelijks", "", "04 nee", "", "DECEMBER", "", ""});
  model = cache.get("KORT0000.AMN");
  EXPECT_EQ(texts(model->entries(Section::Monthly)), (std::vector<std::string>{"02 ja", "03 ook"}));
  EXPECT_TRUE(model->entries(Section::December).empty());
  EXPECT_TRUE(model->entries(Section::January).empty());
  EXPECT_EQ(model->on(Section::Monthly, 3).size(), 1u);
  EXPECT_TRUE(cache.get("NIETHIER.AMN")->lines().empty());

  // Nothing after the end line is a section: a header found only there gives none.
  write("NAEINDE0.AMN", {"Na", "0", "7", "", "Maandelijks", "", "01 voor", "", "Einde", "", "Februari", "", "05 na", ""});
  model = cache.get("NAEINDE0.AMN");
  EXPECT_EQ(texts(model->entries(Section::Monthly)), (std::vector<std::string>{"01 voor"}));
  EXPECT_TRUE(model->entries(Section::February).empty());
}

TEST(CalendarEntry, FieldsFollowTheFormat) {
  struct Case {
    Section section;
    const char* line;
    int day;
    std::optional<int> year, time;
    std::optional<std::string_view> command;
    const char* text;
  };
  using std::nullopt;
  const Case cases[] = {
      {Section::Monthly, "02 18:30 Elke maand", 2, nullopt, 18 * 60 + 30, nullopt, "Elke maand"},
      {Section::January, "1 Een voorbeeld.", 1, nullopt, nullopt, nullopt, "Een voorbeeld."},
      {Section::January, " 2 Nog een", 2, nullopt, nullopt, nullopt, "Nog een"},
      {Section::January, "11 2004 Met jaartal", 11, 2004, nullopt, nullopt, "Met jaartal"},
      {Section::January, "22 2008 10:30 # defrag c:", 22, 2008, 10 * 60 + 30, "defrag c:", "# defrag c:"},
      {Section::January, "12 # c:\\notepad.exe", 12, nullopt, nullopt, "c:\\notepad.exe", "# c:\\notepad.exe"},
      {Section::March, "13 25:00 Geen tijd", 13, nullopt, nullopt, nullopt, "25:00 Geen tijd"},
      {Section::March, "Maart", 0, nullopt, nullopt, nullopt, "Maart"},
      {Section::Weekly, "Do 01:26 Elke week", 4, nullopt, 86, nullopt, "Elke week"},
      {Section::Weekly, "vr 2008 15:45 Nu", 5, 2008, 15 * 60 + 45, nullopt, "Nu"},
      {Section::Weekly, "Zondag", 0, nullopt, nullopt, nullopt, "Zondag"},
      {Section::Daily, "01:28 Elke dag", 0, nullopt, 88, nullopt, "Elke dag"},
      {Section::Daily, "1:28 Nooit", 0, nullopt, nullopt, nullopt, "1:28 Nooit"},
  };
  for (const Case& c : cases) {
    Entry entry(c.section, c.line, 7);
    EXPECT_EQ(entry.day, c.day) << c.line;
    EXPECT_EQ(entry.year, c.year) << c.line;
    EXPECT_EQ(entry.time, c.time) << c.line;
    EXPECT_EQ(entry.command, c.command) << c.line;
    EXPECT_EQ(entry.text, c.text) << c.line;
  }
}

// The event list, the alarm scan's entry step and its day run each read a
// year by their own rule; every difference below decides what is listed or fires.
TEST(CalendarEntry, TheThreeYearRulesSideBySide) {
  struct Case {
    const char* line;
    int listed, named, due;
  };
  const Case cases[] = {
      {"11 2004 Voorbeeld", 2004, 2004, 2004},
      {"1 2004 Een", 2004, 2004, 2004},
      {" 5 2008 Ingesprongen", 2008, 2008, 2008},
      {"05 1850 Vroeg", 1850, 1850, 0},      // before 1901 the day run sees no year
      {"100 2008 Drie cijfers", 0, 2008, 0},  // no day field: only the entry step sees the year
      {"05 2008x Geen veld", 0, 0, 2008},    // no blank after it: only the day run counts it
      {"13 10:25 Tijd", 0, 0, 0},
      {"05 3000 Ver", 0, 0, 0},
  };
  for (const Case& c : cases) {
    Entry entry(Section::January, c.line, 1);
    EXPECT_EQ(entry.listedYear(), c.listed) << c.line;
    EXPECT_EQ(entry.namedYear(), c.named) << c.line;
    EXPECT_EQ(entry.dueYear(), c.due) << c.line;
  }
}

// The idle month view asks for the calendar every second: a version that has
// settled is not read again; one written in the last moments is read and
// compared, and parsed again only when its bytes changed.
TEST_F(CalendarModelTest, TheCacheParsesEachVersionOnce) {
  const auto path = folder / "WERK0000.AMN";
  // Other bytes of the same length under the same stamp: only reading tells them apart.
  auto rewriteKeepingStamp = [&](const std::string& bytes) {
    auto stamp = std::filesystem::last_write_time(path);
    test::writeFile(path, bytes);
    std::filesystem::last_write_time(path, stamp);
  };
  test::writeFile(path, "Werk\r\n01 Een\r\n");
  auto fresh = cache.get("werk0000.amn");
  EXPECT_EQ(fresh->lines()[1], "01 Een");
  EXPECT_EQ(cache.get("werk0000.amn"), fresh);
  rewriteKeepingStamp("Werk\r\n02 Twe\r\n");
  auto changed = cache.get("werk0000.amn");
  EXPECT_EQ(changed->lines()[1], "02 Twe");

  std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
  auto settled = cache.get("werk0000.amn");
  EXPECT_EQ(settled, changed);  // read once more now it has settled: the same bytes
  rewriteKeepingStamp("Werk\r\n03 Dri\r\n");
  EXPECT_EQ(cache.get("werk0000.amn")->lines()[1], "02 Twe");

  std::filesystem::remove(path);
  EXPECT_TRUE(cache.get("werk0000.amn")->lines().empty());
}

}  // namespace
