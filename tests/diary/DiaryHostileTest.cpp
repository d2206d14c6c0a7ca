// Every reader of diary pages over the hostile corpus, each file taken as a
// page: no crash, no write outside the data folder, and no byte lost that the
// user did not touch.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "diary/DiaryStore.h"
#include "e2e/Harness.h"
#include "platform/NumberedFiles.h"

using namespace almanouk;

namespace {

struct DiaryHostileTest : ::testing::TestWithParam<std::string> {
  std::string contents = test::hostileFile(GetParam());
};

// The page after the editor put a byte at a position and saved it: padded to
// a screen while open, then cut after its last character that is not blank.
std::string expectedAfterTyping(std::string page, std::size_t at, char c) {
  if (page.size() < 1840) page.resize(1840, ' ');
  page[at] = c;
  return page.substr(0, page.find_last_not_of(std::string_view("\0 ", 2)) + 1);
}

}  // namespace

TEST_P(DiaryHostileTest, StoreReadersGetThrough) {
  test::TempFolder folder;
  HeadlessPlatform platform(test::headlessOptions(folder), KeyScript{});
  test::writeFile(folder / "20120307.d03", contents);
  test::writeFile(folder / "20120308.D04", contents);
  ASSERT_TRUE(ensureSentinelPages(platform, "0"));
  EXPECT_EQ(pageNames(platform, "0").size(), 4u);
  EXPECT_EQ(findWrittenPage(platform, "0", "20120306.D02", Direction::Next),
            contents.empty() ? "21000101.D05" : "20120307.d03");  // an empty file is no page
  BinaryFile page(platform, "20120307.D03", 1);
  ASSERT_TRUE(savePage(platform, page, "20120307.D03"));
  std::size_t kept = contents.find_last_not_of(std::string_view("\0 ", 2));
  if (kept == std::string::npos) {
    EXPECT_FALSE(std::filesystem::exists(folder / "20120307.d03"));
  } else {
    EXPECT_EQ(test::readFile(folder / "20120307.d03"), contents.substr(0, kept + 1));
  }
}

TEST_P(DiaryHostileTest, TheEditorChangesOnlyWhatIsTyped) {
  test::Harness h;
  h.writeData("20120307.d03", contents);
  h.run("2012-03-07 09:00:00", "Enter Down Up End Home PgDn PgUp \"x\" Esc");
  std::string expected = expectedAfterTyping(contents, 82, 'x');
  EXPECT_TRUE(test::readFile(h.data("20120307.d03")) == expected);
  EXPECT_EQ(h.text(5, 4, 4), "week");
}

// An identifier made of "/" or ".." from a damaged calendar keeps the pages in the data folder.
TEST(DiaryIdentifier, StrangeIdentifiersStayInTheDataFolder) {
  for (const char* id : {"/", "..", "../x", "*"}) {
    test::Harness h;
    h.writeData("ALMANOUK.AMN", test::calendarFile("Vreemd", {}, {}, {}, {}, "7", id));
    h.run("2012-03-07 09:00:00", "Enter \"x\" Esc");
    std::vector<std::string> outside = test::fileNames(h.dataFolder().parent_path());
    EXPECT_EQ(outside, (std::vector<std::string>{"Almanouk"})) << id;
    int pages = 0;
    for (const std::string& name : test::fileNames(h.dataFolder())) pages += name.rfind("20120307.D", 0) == 0;
    EXPECT_EQ(pages, 1) << id;
  }
}

INSTANTIATE_TEST_SUITE_P(Corpus, DiaryHostileTest, ::testing::ValuesIn(test::hostileCorpus()), test::corpusTestName);
