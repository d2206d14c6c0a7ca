#include "platform/NumberedFiles.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/headless/HeadlessPlatform.h"

using namespace almanouk;

namespace {

struct NumberedFilesTest : ::testing::Test {
  test::TempFolder folder;
  HeadlessPlatform platform{test::headlessOptions(folder), KeyScript{}};
};

}  // namespace

TEST_F(NumberedFilesTest, FilesCloseThemselvesAndRefuseANumberInUse) {
  test::writeFile(folder / "in.txt", "een\r\ntwee");
  {
    InputFile in(platform, "IN.TXT", 1);
    EXPECT_TRUE(in.isOpen());
    OutputFile clash(platform, "uit.txt", 1);
    EXPECT_FALSE(clash.isOpen());
    EXPECT_EQ(clash.openError(), file_error::kNumberInUse);
    clash.line("nergens");
    EXPECT_EQ(in.nextLine(), "een");
    EXPECT_EQ(in.nextLine(), "twee");
    EXPECT_EQ(in.lineNumber(), 2);
    EXPECT_EQ(in.nextLine(), "");
  }
  EXPECT_EQ(platform.files().numberClashes(), 1);
  EXPECT_FALSE(platform.files().isOpen(1));
  EXPECT_FALSE(std::filesystem::exists(folder / "uit.txt"));
  InputFile missing(platform, "weg.txt", 2);
  EXPECT_EQ(missing.openError(), file_error::kNotFound);
  EXPECT_TRUE(missing.atEnd());
}

TEST_F(NumberedFilesTest, AReplacementTakesThePlaceOfTheOldFileOnlyWhenComplete) {
  test::writeFile(folder / "Almanouk.ini", "oud\r\n");
  {
    FileReplacement ini(platform, "ALMANOUK.INI", "almanouk.tm2", 1);
    ini.line("nieuw");
    EXPECT_EQ(test::readFile(folder / "Almanouk.ini"), "oud\r\n");
    EXPECT_TRUE(ini.commit());
  }
  EXPECT_EQ(test::fileNames(folder.path()), (std::vector<std::string>{"Almanouk.ini"}));
  EXPECT_EQ(test::readFile(folder / "Almanouk.ini"), "nieuw\r\n");

  {
    FileReplacement abandoned(platform, "Almanouk.ini", "almanouk.tm2", 1);
    abandoned.line("half");
  }
  EXPECT_EQ(test::fileNames(folder.path()), (std::vector<std::string>{"Almanouk.ini"}));

  // A full disk: a write fails, the old version stays and the temporary file goes.
  platform.files().setFaultHook([](FileFault fault, const std::string&) { return fault == FileFault::Write; });
  FileReplacement full(platform, "Almanouk.ini", "almanouk.tm2", 1);
  full.line("afgekapt");
  EXPECT_FALSE(full.commit());
  EXPECT_EQ(test::readFile(folder / "Almanouk.ini"), "nieuw\r\n");
  EXPECT_EQ(test::fileNames(folder.path()), (std::vector<std::string>{"Almanouk.ini"}));
}

TEST_F(NumberedFilesTest, BinaryFilesAreWrittenAtPositions) {
  BinaryFile page(platform, "20120307.D03", 1);
  EXPECT_EQ(page.length(), 0);
  EXPECT_TRUE(page.write(3, "ab"));
  EXPECT_EQ(page.read(1, 10), std::string("\0\0ab", 4));
  EXPECT_TRUE(page.close());
  EXPECT_EQ(test::readFile(folder / "20120307.D03"), std::string("\0\0ab", 4));
}
