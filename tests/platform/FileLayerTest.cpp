#include "platform/FileLayer.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

using namespace almanouk;

namespace {

struct FileLayerTest : ::testing::Test {
  test::TempFolder folder;
  FileLayer files{folder.str()};
};

}  // namespace

TEST_F(FileLayerTest, MissingInputFileReadsAsEmptyAndLeavesTheVariable) {
  files.openFile("nothere.txt", FileMode::Input, 1);
  EXPECT_EQ(files.lastError(), file_error::kNotFound);
  EXPECT_TRUE(files.atEnd(1));
  std::string text = "kept";
  files.readLine(1, text);
  EXPECT_EQ(text, "kept");
  EXPECT_NE(files.lastError(), 0);
  EXPECT_TRUE(files.closeFile(1));  // closing a closed number does nothing
  EXPECT_TRUE(files.closeFile(0));
}

TEST_F(FileLayerTest, WritesCrLfAndReadsBothLineEnds) {
  files.openFile("a.txt", FileMode::Output, 1);
  files.writeLine(1, "Januari");
  files.writeText(1, "13 ");
  files.writeLine(1, "10:25");
  EXPECT_TRUE(files.closeFile(1));
  EXPECT_EQ(test::readFile(folder / "a.txt"), "Januari\r\n13 10:25\r\n");

  test::writeFile(folder / "b.txt", "one\ntwo\r\n\r\nlast");
  files.openFile("b.txt", FileMode::Input, 2);
  std::string line;
  std::vector<std::string> lines;
  while (!files.atEnd(2)) {
    files.readLine(2, line);
    lines.push_back(line);
  }
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "", "last"}));
  files.readLine(2, line);
  EXPECT_EQ(line, "");  // past the end: the empty string
}

// A data folder deep in a profile: past the 260 characters old Windows paths held.
TEST_F(FileLayerTest, AFolderPathPastTwoHundredSixtyCharactersServesAsAnyOther) {
  std::filesystem::path deep = folder.path();
  while (deep.string().size() < 300) deep /= "een-lange-mapnaam-van-de-gebruiker";
  std::filesystem::create_directories(deep);
  FileLayer inDeep(deep.string());
  inDeep.openFile("ALMANOUK.AMN", FileMode::Output, 1);
  inDeep.writeLine(1, "diep");
  ASSERT_TRUE(inDeep.closeFile(1));
  inDeep.openFile("nieuw.tmp", FileMode::Replacement, 2);
  inDeep.writeLine(2, "dieper");
  ASSERT_TRUE(inDeep.closeFile(2));
  EXPECT_TRUE(inDeep.replaceFile("nieuw.tmp", "almanouk.amn"));
  EXPECT_EQ(inDeep.contents("ALMANOUK.AMN"), "dieper\r\n");
  EXPECT_TRUE(inDeep.fileExists("Almanouk.Amn"));
}

TEST_F(FileLayerTest, AppendCreatesAndExtends) {
  files.openFile("list.tmp", FileMode::Append, 3);
  files.writeLine(3, "A.AMN");
  EXPECT_TRUE(files.closeFile(3));
  files.openFile("list.tmp", FileMode::Append, 3);
  files.writeLine(3, "tjek");
  EXPECT_TRUE(files.closeFile(3));
  EXPECT_EQ(test::readFile(folder / "list.tmp"), "A.AMN\r\ntjek\r\n");
}

TEST_F(FileLayerTest, BinaryFilesAreCreatedEmptyAndWrittenAtPositions) {
  files.openFile("20120307.D03", FileMode::Binary, 1);
  EXPECT_EQ(files.lastError(), 0);
  EXPECT_EQ(files.fileLength(1), 0);
  files.writeBytes(1, 3, "ab");
  EXPECT_EQ(files.fileLength(1), 4);
  EXPECT_EQ(files.readBytes(1, 3, 10), "ab");
  EXPECT_TRUE(files.closeFile(1));
  EXPECT_EQ(test::readFile(folder / "20120307.D03"), std::string("\0\0ab", 4));
}

TEST_F(FileLayerTest, NamesResolveWithoutRegardToCase) {
  test::writeFile(folder / "Almanouk.dat", "x\r\n");
  files.openFile("ALMANOUK.DAT", FileMode::Input, 1);
  EXPECT_EQ(files.lastError(), 0);
  EXPECT_TRUE(files.closeFile(1));
  // A file being created reuses the existing name's case.
  files.openFile("ALMANOUK.DAT", FileMode::Output, 1);
  EXPECT_TRUE(files.closeFile(1));
  EXPECT_EQ(test::fileNames(folder.path()), (std::vector<std::string>{"Almanouk.dat"}));

  EXPECT_TRUE(files.renameFile("almanouk.DAT", "Other.txt"));
  EXPECT_EQ(test::fileNames(folder.path()), (std::vector<std::string>{"Other.txt"}));
  EXPECT_EQ(files.findFirst("*.TXT"), "Other.txt");
  EXPECT_TRUE(files.deleteFile("OTHER.TXT"));
  EXPECT_TRUE(test::fileNames(folder.path()).empty());
}

TEST_F(FileLayerTest, RenameFailsOverAnExistingFileButReplaceSucceeds) {
  test::writeFile(folder / "CONVER.TMP", "new");
  test::writeFile(folder / "ALMANOUK.AMN", "old");
  EXPECT_FALSE(files.renameFile("CONVER.TMP", "almanouk.amn"));
  EXPECT_NE(files.lastError(), 0);
  EXPECT_TRUE(files.replaceFile("CONVER.TMP", "almanouk.amn"));
  EXPECT_EQ(test::fileNames(folder.path()), (std::vector<std::string>{"ALMANOUK.AMN"}));
  EXPECT_EQ(test::readFile(folder / "ALMANOUK.AMN"), "new");
}

TEST_F(FileLayerTest, FindListsMatchingVisibleFilesSortedThenEnds) {
  EXPECT_EQ(files.findFirst("*.AMN"), "");
  EXPECT_EQ(files.findNext(), "");
  for (const char* name : {"b.amn", "A.AMN", "c.txt", ".hidden.AMN", "19010101.D02", "20120307.D13"})
    test::writeFile(folder / name, "");
  std::filesystem::create_directory(folder / "dir.amn");
  EXPECT_EQ(files.findFirst("*.AMN"), "A.AMN");
  EXPECT_EQ(files.findNext(), "b.amn");
  EXPECT_EQ(files.findNext(), "");
  EXPECT_EQ(files.findNext(), "");
  EXPECT_EQ(files.findFirst("*.D0?"), "19010101.D02");
  EXPECT_EQ(files.findNext(), "");
  EXPECT_EQ(files.findFirst(folder.str() + "/*.d??"), "19010101.D02");
  EXPECT_EQ(files.findNext(), "20120307.D13");
}

TEST_F(FileLayerTest, FoldersAreMadeAndEntered) {
  files.makeFolder("data/Almanouk");
  files.makeFolder("data/Almanouk");  // an existing folder stays
  EXPECT_TRUE(files.changeFolder("data/Almanouk"));
  files.openFile("Almanouk.pyl", FileMode::Output, 1);
  files.writeLine(1, "pyl");
  EXPECT_TRUE(files.closeFile(1));
  EXPECT_EQ(test::readFile(folder / "data/Almanouk/Almanouk.pyl"), "pyl\r\n");
  EXPECT_FALSE(files.changeFolder("no/such/folder"));
}

namespace {

std::string readAll(FileLayer& files, const std::string& name) {
  files.openFile(name, FileMode::Input, 1);
  std::string all, line;
  while (!files.atEnd(1)) {
    files.readLine(1, line);
    all += line + "|";
  }
  EXPECT_TRUE(files.closeFile(1));
  return all;
}

void age(const std::filesystem::path& path) {
  std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
}

}  // namespace

// Settled files are served from memory while their stamp stays; any change is read anew.
TEST_F(FileLayerTest, RereadsAFileThatChangedSinceItWasLastRead) {
  test::writeFile(folder / "A.AMN", "een\r\ntwee\r\n");
  age(folder / "A.AMN");
  EXPECT_EQ(readAll(files, "A.AMN"), "een|twee|");
  test::writeFile(folder / "A.AMN", "drie\r\n");  // another program's edit
  EXPECT_EQ(readAll(files, "a.amn"), "drie|");

  age(folder / "A.AMN");
  EXPECT_EQ(readAll(files, "A.AMN"), "drie|");
  files.openFile("A.AMN", FileMode::Output, 2);  // our own rewrite, same size and an old stamp
  files.writeLine(2, "vier");
  EXPECT_TRUE(files.closeFile(2));
  age(folder / "A.AMN");
  EXPECT_EQ(readAll(files, "A.AMN"), "vier|");
}

TEST_F(FileLayerTest, LargeFilesAreReadInChunks) {
  std::string big;
  for (int i = 0; i < 100000; ++i) big += "regel " + std::to_string(i) + "\r\n";
  ASSERT_GT(big.size(), 1u << 20);
  test::writeFile(folder / "groot.txt", big);
  files.openFile("groot.txt", FileMode::Input, 1);
  EXPECT_EQ(files.fileLength(1), static_cast<std::int64_t>(big.size()));
  std::string line;
  int count = 0;
  while (!files.atEnd(1)) {
    files.readLine(1, line);
    ++count;
  }
  EXPECT_EQ(count, 100000);
  EXPECT_EQ(line, "regel 99999");
}

// What every system must give the program: names in any case, and a rename
// over an existing file in one step.
TEST_F(FileLayerTest, NamesInAnyCaseAndARenameOverAnExistingFile) {
  test::writeFile(folder / "Almanouk.dat", "index");
  EXPECT_TRUE(files.fileExists("ALMANOUK.DAT"));
  EXPECT_EQ(files.contents("almanouk.DAT"), "index");
  files.openFile("nieuw.tmp", FileMode::Replacement, 2);
  files.writeLine(2, "nieuw");
  ASSERT_TRUE(files.closeFile(2));
  EXPECT_TRUE(files.replaceFile("NIEUW.TMP", "almanouk.dat"));
  EXPECT_EQ(test::readFile(folder / "Almanouk.dat"), "nieuw\r\n");
  EXPECT_FALSE(files.fileExists("nieuw.tmp"));
}

// Here a file still being read can be replaced; Windows refuses that, and the
// program reads a file whole before it replaces it.
TEST_F(FileLayerTest, AFileBeingReadCanBeReplaced) {
  test::writeFile(folder / "groot.amn", std::string(3 << 20, 'x') + "\r\nlaatste\r\n");  // read in pieces, kept open
  files.openFile("groot.amn", FileMode::Input, 1);
  std::string line;
  files.readLine(1, line);
  files.openFile("nieuw.tmp", FileMode::Replacement, 2);
  files.writeLine(2, "nieuw");
  ASSERT_TRUE(files.closeFile(2));
  EXPECT_TRUE(files.replaceFile("nieuw.tmp", "groot.amn"));
  files.readLine(1, line);
  EXPECT_EQ(line, "laatste");  // the old version, still open, reads to its end
}

// The folder's names are kept in memory; what another program adds, renames
// or removes is seen at the next look all the same.
TEST_F(FileLayerTest, TheNameIndexFollowsChangesMadeBehindItsBack) {
  EXPECT_FALSE(files.fileExists("nieuw.txt"));
  test::writeFile(folder / "Nieuw.TXT", "x");
  EXPECT_TRUE(files.fileExists("NIEUW.txt"));
  EXPECT_EQ(files.fileSize("nieuw.txt"), 1);
  std::filesystem::rename(folder / "Nieuw.TXT", folder / "Anders.txt");
  EXPECT_FALSE(files.fileExists("nieuw.txt"));
  EXPECT_EQ(files.findFirst("*.txt"), "Anders.txt");
  std::filesystem::remove(folder / "Anders.txt");
  EXPECT_EQ(files.findFirst("*.txt"), "");
  EXPECT_EQ(files.fileSize("anders.txt"), -1);
  // Another program's name that comes in the same moment as the program's own.
  for (int i = 0; i < 20; ++i) {
    const std::string own = "eigen" + std::to_string(i) + ".txt", theirs = "vreemd" + std::to_string(i) + ".txt";
    files.openFile(own, FileMode::Output, 1);
    ASSERT_TRUE(files.closeFile(1));
    test::writeFile(folder / theirs, "x");
    EXPECT_TRUE(files.fileExists(theirs)) << i;
    std::filesystem::remove(folder / theirs);
    EXPECT_FALSE(files.fileExists(theirs)) << i;
  }
}

TEST_F(FileLayerTest, OwnChangesAreSeenAtOnceAndTwoNamesDifferingInCaseResolveExactly) {
  for (int i = 0; i < 50; ++i) {
    files.openFile("P" + std::to_string(i) + ".D03", FileMode::Binary, 1);
    files.writeBytes(1, 1, "x");
    EXPECT_TRUE(files.closeFile(1));
    EXPECT_TRUE(files.fileExists("p" + std::to_string(i) + ".d03"));
  }
  EXPECT_TRUE(files.deleteFile("p7.d03"));
  EXPECT_FALSE(files.fileExists("P7.D03"));
  test::writeFile(folder / "twee.txt", "klein");
  test::writeFile(folder / "TWEE.TXT", "GROOT!");
  EXPECT_EQ(files.fileSize("twee.txt"), 5);
  EXPECT_EQ(files.fileSize("TWEE.TXT"), 6);
}

// A failed write or sync never reaches the user's file: the rename that would
// put the new version in place does not happen.
TEST_F(FileLayerTest, FailedWritesAreReportedAtClose) {
  int failWrites = 1;
  files.setFaultHook([&](FileFault fault, const std::string&) { return fault == FileFault::Write && failWrites-- > 0; });
  files.openFile("a.txt", FileMode::Output, 1);
  files.writeLine(1, "kwijt");
  EXPECT_NE(files.lastError(), 0);
  files.writeLine(1, "wel");
  EXPECT_FALSE(files.closeFile(1));
  files.openFile("b.txt", FileMode::Output, 1);
  files.writeLine(1, "goed");
  EXPECT_TRUE(files.closeFile(1));

  test::writeFile(folder / "doel.txt", "oud");
  test::writeFile(folder / "doel.tmp", "nieuw");
  files.setFaultHook([](FileFault fault, const std::string&) { return fault == FileFault::Sync; });
  EXPECT_FALSE(files.replaceFile("doel.tmp", "doel.txt"));
  EXPECT_EQ(test::readFile(folder / "doel.txt"), "oud");
}

// A new page is there whole or not at all: opening makes nothing, and a first
// write cut short at any step leaves no file (an empty page would be kept as one).
TEST_F(FileLayerTest, ANewBinaryFileComesWholeWithItsFirstWrite) {
  for (FileFault failing : {FileFault::Create, FileFault::Write, FileFault::Sync, FileFault::Rename}) {
    files.setFaultHook([&](FileFault fault, const std::string&) { return fault == failing; });
    files.openFile("20120307.D03", FileMode::Binary, 1);
    EXPECT_EQ(files.fileLength(1), 0);
    EXPECT_FALSE(std::filesystem::exists(folder / "20120307.D03"));
    files.writeBytes(1, 3, "k");
    EXPECT_FALSE(files.closeFile(1)) << static_cast<int>(failing);
    EXPECT_FALSE(std::filesystem::exists(folder / "20120307.D03")) << static_cast<int>(failing);
    EXPECT_EQ(test::fileNames(folder.path()), std::vector<std::string>{});
  }
  files.setFaultHook(nullptr);
  files.openFile("20120307.D03", FileMode::Binary, 1);
  files.writeBytes(1, 3, "k");
  files.writeBytes(1, 4, "l");
  EXPECT_TRUE(files.closeFile(1));
  EXPECT_EQ(test::readFile(folder / "20120307.D03"), std::string(2, '\0') + "kl");
}

#ifdef _WIN32
// A name from the root without a drive (as "cd \Users" takes it) starts at the
// root of the working folder's drive, not inside the working folder.
TEST_F(FileLayerTest, ANameFromTheRootIsOnTheWorkingFoldersDrive) {
  const std::string drive = folder.str().substr(0, 2);
  ASSERT_EQ(drive[1], ':');
  EXPECT_EQ(files.resolve("\\nergens-almanouk\\x.ics"), drive + "\\nergens-almanouk\\x.ics");
  EXPECT_EQ(files.resolve("/nergens-almanouk/x.ics").substr(0, 3), drive + "/");
}
#endif
