// What the user set on their files holds: a private file stays private, a
// read-only one is not replaced, a link put at a temporary name is never
// written through, and the versions kept stay within their bounds.

#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/Harness.h"
#include "platform/Versions.h"

using namespace almanouk;
using test::Harness;
namespace fs = std::filesystem;

namespace {

fs::perms modeOf(const fs::path& path) { return fs::status(path).permissions() & fs::perms::all; }

}  // namespace

TEST(FileModes, AReplacementKeepsTheModeAndAReadOnlyFileIsNotReplaced) {
  Harness h;
  h.run("2012-03-07 09:00:00", "");
  fs::permissions(h.data("ALMANOUK.AMN"), fs::perms::owner_read | fs::perms::owner_write);
  h.run("2012-03-07 09:00:00", "F2 Home \"07 Privé\" Esc");
  EXPECT_NE(test::readFile(h.data("ALMANOUK.AMN")).find("07 Priv"), std::string::npos);
  EXPECT_EQ(modeOf(h.data("ALMANOUK.AMN")), fs::perms::owner_read | fs::perms::owner_write);

  fs::permissions(h.data("ALMANOUK.AMN"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const std::string before = test::readFile(h.data("ALMANOUK.AMN"));
  h.run("2012-03-07 09:00:00", "F2 Home \"08 Niet\" Esc");
  EXPECT_EQ(h.row(25).substr(0, 49), " Opslaan mislukt (alleen-lezen): ALMANOUK.AMN is ");
  EXPECT_EQ(test::readFile(h.data("ALMANOUK.AMN")), before);
  EXPECT_EQ(modeOf(h.data("ALMANOUK.AMN")), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}

// A link at the editor's temporary name, put there to have the save write
// through it: the program makes a file of its own instead.
TEST(FileModes, ALinkAtATemporaryNameIsNeverWrittenThrough) {
  Harness h;
  h.run("2012-03-07 09:00:00", "");
  h.writeData("doelwit.txt", "niet aankomen");
  for (const char* temporary : {"AlmanTmp.lst", "alarm.txt"})
    fs::create_symlink(h.data("doelwit.txt"), h.data(temporary));
  h.run("2012-01-13 10:24:50", "F2 Home \"07 x\" Esc wait:20");  // and the template's alarm page at 10:25
  EXPECT_EQ(test::readFile(h.data("doelwit.txt")), "niet aankomen");
  EXPECT_NE(test::readFile(h.data("ALMANOUK.AMN")).find("07 x"), std::string::npos);
  EXPECT_FALSE(fs::is_symlink(h.data("alarm.txt")));
}

TEST(FileModes, VersionsKeepTheNewestTwentyAndNoneOlderThanNinetyDays) {
  test::TempFolder folder;
  LocalDateTime now = *LocalDateTime::parse("2012-03-07 09:00:00");
  Versions versions([](std::string_view name) { return name == "ALMANOUK.AMN"; }, [&] { return now; });
  test::writeFile(folder / "ALMANOUK.AMN", "eerste");
  versions.keep((folder / "ALMANOUK.AMN").string(), false);
  now = LocalDateTime::fromMilliseconds(now.toMilliseconds() + 91LL * 86'400'000);
  for (int i = 0; i < 25; ++i) {
    // Replaced as the program replaces a file: a new file takes the name, the old one's content stays as it was.
    test::writeFile(folder / "nieuw", "versie " + std::to_string(i));
    fs::rename(folder / "nieuw", folder / "ALMANOUK.AMN");
    versions.keep((folder / "ALMANOUK.AMN").string(), i % 2 == 0);
    now = LocalDateTime::fromMilliseconds(now.toMilliseconds() + 1000);
  }
  test::writeFile(folder / "NOTITIE.TXT", "geen versie");
  versions.keep((folder / "NOTITIE.TXT").string(), false);
  std::vector<std::string> kept = test::fileNames(folder / "Versies" / "ALMANOUK.AMN");
  ASSERT_EQ(kept.size(), 20u);  // "eerste" was too old, versions 0 to 4 too many
  EXPECT_EQ(test::readFile(folder / "Versies" / "ALMANOUK.AMN" / kept.front()), "versie 5");
  EXPECT_FALSE(fs::exists(folder / "Versies" / "NOTITIE.TXT"));
}

// A diary is private: the data folder the program makes is the user's alone,
// and so is every file it makes there; a file that exists keeps its mode.
TEST(FileModes, WhatTheProgramMakesIsTheUsersAlone) {
  Harness h;
  fs::remove(h.dataFolder());
  h.run("2012-03-07 09:00:00", "Enter \"dagboek\" Esc F4 \"nwerk\" Enter Esc");
  EXPECT_EQ(modeOf(h.dataFolder()), fs::perms::owner_all);
  for (const char* made : {"20120307.D03", "WERK0000.AMN", "ALMANOUK.AMN", "Almanouk.ini"})
    EXPECT_EQ(modeOf(h.data(made)), fs::perms::owner_read | fs::perms::owner_write) << made;
  for (const auto& version : fs::recursive_directory_iterator(h.data("Versies")))
    EXPECT_EQ(modeOf(version.path()) & (fs::perms::group_all | fs::perms::others_all), fs::perms::none) << version.path();
}
