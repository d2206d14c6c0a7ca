#include "diary/DiaryStore.h"

#include <gtest/gtest.h>


#include "TestSupport.h"
#include "platform/NumberedFiles.h"
#include "platform/headless/HeadlessPlatform.h"

using namespace almanouk;

namespace {

struct DiaryStoreTest : ::testing::Test {
  test::TempFolder folder;
  HeadlessPlatform platform{test::headlessOptions(folder), KeyScript{}};

  void page(const std::string& name, const std::string& bytes) { test::writeFile(folder / name, bytes); }
  bool exists(const std::string& name) { return std::filesystem::exists(folder / name); }
  void save(const std::string& name) {
    BinaryFile file(platform, name, 1);
    ASSERT_TRUE(savePage(platform, file, name));
  }
  std::optional<std::string> jump(const std::string& from, Direction direction, const std::string& id = "0") {
    return findWrittenPage(platform, id, from, direction);
  }
};

}  // namespace

TEST_F(DiaryStoreTest, NamesCarryDateIdentifierAndWeekday) {
  EXPECT_EQ(pageFileName(7, 3, 2012, 3, "0"), "20120307.D03");
  EXPECT_EQ(startSentinelName("1"), "19010101.D12");
  EXPECT_EQ(endSentinelName("1"), "21000101.D15");
  // An identifier from a damaged calendar cannot lead out of the folder.
  EXPECT_EQ(pageFileName(7, 3, 2012, 3, "/"), "20120307.D_3");
  EXPECT_EQ(pageFileName(7, 3, 2012, 3, ".."), "20120307.D..3");

  EXPECT_EQ(pageDay("20120307.D03")->day, 7);
  EXPECT_EQ(pageDay("21000101.D05")->year, 2100);
  EXPECT_EQ(pageDay("20120307.d03")->month, 3);
  for (const char* junk : {"20120307.D04", "20120230.D01", "2012030x.D03", "19001231.D01", "20120307.X03", "2012.D03"})
    EXPECT_FALSE(pageDay(junk)) << junk;
}

// Saving cuts a page after its last written character; a page with none is
// gone, except a sentinel, which stays as an empty file.
TEST_F(DiaryStoreTest, SavingTrimsOrDeletesThePage) {
  std::string typed(1840, ' ');
  typed.replace(82, 5, "Hallo");
  page("20120307.D03", typed);
  save("20120307.D03");
  EXPECT_EQ(test::readFile(folder / "20120307.D03"), std::string(82, ' ') + "Hallo");

  page("20120308.D04", std::string(1840, ' ') + std::string(20, '\0'));
  save("20120308.D04");
  EXPECT_FALSE(exists("20120308.D04"));

  page("19010101.D02", " ");
  save("19010101.D02");
  EXPECT_TRUE(exists("19010101.D02"));
  EXPECT_EQ(test::readFile(folder / "19010101.D02"), "");

  // What an interrupted save left behind never ends up in a page.
  page("AlmTMP.TMP", std::string(5000, 'X'));
  page("20120309.D05", "kort   ");
  save("20120309.D05");
  EXPECT_EQ(test::readFile(folder / "20120309.D05"), "kort");
}

TEST_F(DiaryStoreTest, AReadOnlyPageIsLeftAsItIs) {
  page("20120307.D03", "alleen lezen   ");
  std::filesystem::permissions(folder / "20120307.D03", std::filesystem::perms::owner_read);
  save("20120307.D03");  // the mode says read-only, even to a user the system lets write anything
  EXPECT_EQ(test::readFile(folder / "20120307.D03"), "alleen lezen   ");
}

TEST_F(DiaryStoreTest, SentinelsAreMadeOnceAndKeepTheirText) {
  ASSERT_TRUE(ensureSentinelPages(platform, "0"));
  EXPECT_EQ(test::readFile(folder / "19010101.D02"), " ");
  EXPECT_EQ(test::readFile(folder / "21000101.D05"), " ");
  page("19010101.D02", "Geboren");
  ASSERT_TRUE(ensureSentinelPages(platform, "0"));
  EXPECT_EQ(test::readFile(folder / "19010101.D02"), "Geboren");
}

TEST_F(DiaryStoreTest, TheIndexListsOneIdentifiersPagesInDateOrder) {
  for (const char* name : {"20120310.D06", "20120303.D06", "20120305.D11", "19010101.D02", "20120304.d07", "x.D0?"})
    page(name, "x");
  std::vector<std::string> names = buildDiaryIndex(platform, "0");
  EXPECT_EQ(names, (std::vector<std::string>{"19010101.D02", "20120303.D06", "20120304.d07", "20120310.D06"}));
  EXPECT_EQ(test::splitLines(test::readFile(folder / "Almanouk.dat")),
            (std::vector<std::string>{"", "19010101.D02", "20120303.D06", "20120304.d07", "20120310.D06"}));
  // An identifier made of wildcard characters matches only its own pages.
  page("20120305.D*1", "x");
  EXPECT_EQ(pageNames(platform, "*"), (std::vector<std::string>{"20120305.D*1"}));
  EXPECT_EQ(pageNames(platform, "1"), (std::vector<std::string>{"20120305.D11"}));
}

TEST_F(DiaryStoreTest, WrittenPagesAreFoundInBothDirections) {
  ASSERT_TRUE(ensureSentinelPages(platform, "0"));
  page("20120303.D06", "x");
  page("20120310.D06", "x");
  page("20120305.D14", "andere agenda");
  page("20120308.D04", "");  // an empty file is no page
  page("20120304.D07", "");
  EXPECT_EQ(jump("20120305.D01", Direction::Next), "20120310.D06");
  EXPECT_EQ(jump("20120305.D01", Direction::Previous), "20120303.D06");
  EXPECT_EQ(jump("20120310.D06", Direction::Next), "21000101.D05");
  EXPECT_EQ(jump("20120303.D06", Direction::Previous), "19010101.D02");
  EXPECT_EQ(jump("19010101.D02", Direction::Previous), std::nullopt);  // nothing earlier: stay
  EXPECT_EQ(jump("21000101.D05", Direction::Next), std::nullopt);

  // Without the end sentinel the search stops at the end of the index.
  std::filesystem::remove(folder / "21000101.D05");
  EXPECT_EQ(jump("20120310.D06", Direction::Next), std::nullopt);
  // Hand-made names that are no day are passed over.
  page("20121340.D03", "x");
  page("20120401.D01", "x");  // 1 April 2012 was a Sunday
  EXPECT_EQ(jump("20120310.D06", Direction::Next), std::nullopt);
}
