// The versions kept of the user's files: what is kept and what goes, at the
// edges, and never anything outside the data folder through a planted link.

#include "platform/Versions.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"

namespace almanouk {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kDayMs = 86'400'000;

struct VersionsTest : ::testing::Test {
  test::TempFolder folder;
  LocalDateTime now = *LocalDateTime::parse("2012-03-07 09:00:00");
  Versions versions{[](std::string_view name) { return name == "ALMANOUK.AMN" || name == "20120307.D03"; },
                    [this] { return now; }};

  std::string path(const std::string& name) const { return (folder / name).string(); }
  fs::path kept(const std::string& name) const { return folder / "Versies" / name; }
  std::vector<std::string> keptNames(const std::string& name) const { return test::fileNames(kept(name)); }
  void later(std::int64_t ms) { now = LocalDateTime::fromMilliseconds(now.toMilliseconds() + ms); }
  // Replaced as the program replaces a file: a new file takes the name.
  void replace(const std::string& name, const std::string& bytes) {
    test::writeFile(folder / "nieuw", bytes);
    versions.keep(path(name), false);
    fs::rename(folder / "nieuw", folder / name);
  }
};

TEST_F(VersionsTest, WhatIsKeptAndWhatGoes) {
  // Nothing worth keeping: an empty file, a page of blanks.
  test::writeFile(folder / "ALMANOUK.AMN", "");
  versions.keep(path("ALMANOUK.AMN"), false);
  test::writeFile(folder / "20120307.D03", std::string(160, ' '));
  versions.keep(path("20120307.D03"), true);
  EXPECT_FALSE(fs::exists(folder / "Versies"));

  // Two replacements in one second keep both.
  test::writeFile(folder / "ALMANOUK.AMN", "een");
  replace("ALMANOUK.AMN", "twee");
  replace("ALMANOUK.AMN", "drie");
  EXPECT_EQ(keptNames("ALMANOUK.AMN"), (std::vector<std::string>{"20120307-090000", "20120307-090000.2"}));

  // A page changed in place keeps its old text, not a second name for the new.
  test::writeFile(folder / "20120307.D03", "oud");
  versions.keep(path("20120307.D03"), true);
  test::writeFile(folder / "20120307.D03", "nieuw");
  EXPECT_EQ(test::readFile(kept("20120307.D03") / "20120307-090000"), "oud");

  // Past 90 days a version goes, though fewer than 20 were kept; a day less and it stays.
  later(90 * kDayMs - 1000);
  replace("ALMANOUK.AMN", "vier");
  EXPECT_EQ(keptNames("ALMANOUK.AMN").size(), 3u);
  later(2000);
  replace("ALMANOUK.AMN", "vijf");
  EXPECT_EQ(keptNames("ALMANOUK.AMN").size(), 2u);
}

// A file that is not saved again still loses its old versions: the start prunes them all.
TEST_F(VersionsTest, TheStartPrunesTheVersionsOfFilesNotSavedAgain) {
  test::writeFile(folder / "ALMANOUK.AMN", "een");
  replace("ALMANOUK.AMN", "twee");
  later(105 * kDayMs);
  versions.pruneAll(folder.str());
  EXPECT_TRUE(keptNames("ALMANOUK.AMN").empty());
}

#ifndef _WIN32
// Names in a versions folder that the program did not write are the user's:
// pruning never touches them, however old they look.
TEST_F(VersionsTest, OnlyNamesOfTheFormItWritesArePruned) {
  fs::create_directories(kept("ALMANOUK.AMN"));
  const std::vector<std::string> foreign = {"20110101-120000.jpg", "20110615-083000 vakantie.txt", "2011010a-120000",
                                            "20110101-120000.2x", "foto.jpg"};
  for (const std::string& name : foreign) test::writeFile(kept("ALMANOUK.AMN") / name, "van de gebruiker");
  test::writeFile(kept("ALMANOUK.AMN") / "20110101-120000", "oude versie");
  test::writeFile(kept("ALMANOUK.AMN") / "20110101-120000.3", "oude versie");
  test::writeFile(folder / "ALMANOUK.AMN", "een");
  replace("ALMANOUK.AMN", "twee");
  std::vector<std::string> left = keptNames("ALMANOUK.AMN");
  for (const std::string& name : foreign) EXPECT_NE(std::find(left.begin(), left.end(), name), left.end()) << name;
  EXPECT_EQ(left.size(), foreign.size() + 1);
}

// A planted link, at the folder, at a file's folder in it, or at the copy's
// temporary name: nothing is written or pruned where it leads, and the user
// is told once.
TEST_F(VersionsTest, ALinkNeverLeadsAVersionOutOfTheDataFolder) {
  test::TempFolder elsewhere;
  const std::vector<std::string> theirs = {"20110101-120000", "20110615-083000", "20120307.D03"};
  for (const std::string& name : theirs) test::writeFile(elsewhere / name, "van de gebruiker");
  // A folder there with a name of the program's and a file named as a version.
  fs::create_directories(elsewhere / "ALMANOUK.AMN");
  test::writeFile(elsewhere / "ALMANOUK.AMN" / "20110101-120000", "van de gebruiker");
  for (int kind = 0; kind < 3; ++kind) {
    fs::remove_all(folder / "Versies");
    if (kind == 0) fs::create_directory_symlink(elsewhere.path(), folder / "Versies");
    if (kind == 1) {
      fs::create_directories(folder / "Versies");
      fs::create_directory_symlink(elsewhere.path(), kept("20120307.D03"));
    }
    if (kind == 2) {
      fs::create_directories(kept("20120307.D03"));
      fs::create_symlink(elsewhere / "doelwit", kept("20120307.D03") / "20120307-090000.tmp");
    }
    test::writeFile(folder / "20120307.D03", "oud");
    versions.keep(path("20120307.D03"), true);
    later(200 * kDayMs);
    versions.keep(path("20120307.D03"), true);
    versions.pruneAll(folder.str());
    EXPECT_EQ(test::fileNames(elsewhere.path()),
              (std::vector<std::string>{"20110101-120000", "20110615-083000", "20120307.D03", "ALMANOUK.AMN"}))
        << kind;
    EXPECT_TRUE(fs::exists(elsewhere / "ALMANOUK.AMN" / "20110101-120000")) << kind;
  }
  EXPECT_EQ(versions.takeNotice(), "Geen versies bewaard: Versies is een koppeling naar elders");
  EXPECT_EQ(versions.takeNotice(), "");
}
#endif

}  // namespace
}  // namespace almanouk
