#include "help/ReadmeText.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/SystemName.h"
#include "platform/Text.h"
#include "platform/headless/HeadlessPlatform.h"

using namespace almanouk;

namespace {

const std::string& line(int number) { return readmeLines().at(static_cast<std::size_t>(number - 1)); }

}  // namespace

TEST(Readme, HasTheFixedLineStructure) {
  const auto& lines = readmeLines();
  ASSERT_EQ(lines.size(), 144u);
  for (const auto& text : lines) EXPECT_LE(text.size(), 78u) << text;
  EXPECT_EQ(line(1), "");
  const bool windows = kThisSystem == SystemKind::Windows;
  EXPECT_EQ(line(2), std::string(windows ? " Almanouk v1.45 voor Windows 8 en nieuwer. " : " Almanouk v1.45 voor Linux. ") +
                         std::string(kMakerLine));
  EXPECT_EQ(line(3), " " + std::string(77, '-'));
  EXPECT_EQ(line(142), line(3));
  EXPECT_EQ(line(100), "   Voorbeelden voor invullen van de almanouk via F2:");
  // Sections: a heading in columns 2-13, prose from column 15, continuation lines indented 14.
  const std::pair<int, int> sections[] = {{6, 14}, {17, 23}, {31, 68}, {71, 83}, {86, 95}};
  for (auto [first, last] : sections) {
    EXPECT_NE(line(first)[1], ' ') << first;
    EXPECT_EQ(line(first).substr(13, 1), " ") << first;
    EXPECT_NE(line(first)[14], ' ') << first;
    for (int n = first + 1; n <= last; ++n) {
      if (!line(n).empty()) {
        EXPECT_EQ(line(n).find_first_not_of(' '), 14u) << n;
      }
    }
    EXPECT_EQ(line(first - 1), "");
    EXPECT_EQ(line(first - 2), "");
  }
  // Where the data is, and how to start, as the system has it.
  EXPECT_EQ(line(25), std::string(23, ' ') + (windows ? "md \"%appdata%\\Almanouk\"" : "iconv -f CP437 -t UTF-8 ALMANOUK.AMN"));
  EXPECT_EQ(line(17).find("Program Files") != std::string::npos, windows);
  EXPECT_EQ(line(105), "   Maandelijks");
  EXPECT_EQ(line(108), cp437("   02 18:30 Elke maand popupt deze op de tijd én wordt getoond."));
  EXPECT_EQ(line(113), "   Wekelijks");
  EXPECT_EQ(line(121), "   Dagelijks");
  EXPECT_EQ(line(126), "   Januari");
  EXPECT_EQ(line(128), "   1 Een voorbeeld.");
  EXPECT_EQ(line(136), "   22 2008 10:30 # notepad c:\\notes\\belangrijk.txt");
  for (int n = 137; n <= 141; ++n) EXPECT_EQ(line(n), "") << n;
}

TEST(Readme, IsWrittenWithCrLf) {
  test::TempFolder folder;
  HeadlessPlatform platform(test::headlessOptions(folder), KeyScript{});
  ASSERT_TRUE(writeReadme(platform));
  std::string bytes = test::readFile(folder / "Almanouk145.txt");
  std::string expected;
  for (const auto& text : readmeLines()) expected += text + "\r\n";
  EXPECT_EQ(bytes, expected);
}

// What each system's text says it needs is what its build needs: the Windows
// program is one file that imports calls of Windows 8 (the precise clock).
TEST(Readme, EachSystemsTextNamesWhatItsBuildNeeds) {
  struct Row {
    SystemKind system;
    const char* named;
    std::vector<const char*> neverNamed;
  };
  const Row rows[] = {
      {SystemKind::Windows, "Windows 8 of", {"fmod.dll", "2K", "XP", "Vista", "W7"}},
      {SystemKind::Linux, "SDL2_mixer", {"fmod.dll", "Windows"}},
  };
  for (const Row& row : rows) {
    const std::vector<std::string> lines = readmeLinesFor(row.system);
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    EXPECT_EQ(lines.size(), 144u);
    EXPECT_NE(text.find(row.named), std::string::npos) << row.named;
    for (const char* word : row.neverNamed) EXPECT_EQ(text.find(word), std::string::npos) << word;
  }
}
