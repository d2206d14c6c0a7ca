// Another program (a sync tool, a text editor, a second machine through a
// synced folder) changes a file while a screen has it open: its version is
// never lost, and the screen says so.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "e2e/Harness.h"

using namespace almanouk;

namespace {

// Another program writes a file when the program has read so many keys.
class ChangedMeanwhile : public HeadlessPlatform {
 public:
  ChangedMeanwhile(Options options, KeyScript script, std::uint64_t afterKeys, std::function<void()> change)
      : HeadlessPlatform(std::move(options), std::move(script)), afterKeys_(afterKeys), change_(std::move(change)) {}
  Key waitForKey() override {
    if (change_ && keysRead() == afterKeys_) std::exchange(change_, nullptr)();
    return HeadlessPlatform::waitForKey();
  }

 private:
  std::uint64_t afterKeys_;
  std::function<void()> change_;
};

struct Case {
  const char* name;
  std::string keys;       // the change comes after the first key
  const char* file;
  std::string theirs;
  std::function<void(test::Harness&)> check;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

std::vector<std::string> versions(test::Harness& h, const std::string& file) {
  std::vector<std::string> kept;
  std::filesystem::path folder = h.dataFolder() / "Versies" / file;
  if (std::filesystem::exists(folder))
    for (const auto& entry : std::filesystem::directory_iterator(folder)) kept.push_back(test::readFile(entry.path()));
  return kept;
}

class OtherProgramTest : public ::testing::TestWithParam<Case> {};

TEST_P(OtherProgramTest, KeepsTheirVersionAndSaysSo) {
  const Case& c = GetParam();
  test::Harness h;
  h.run("2012-03-07 09:15:00", "Alt+X");
  h.writeData("20120307.D03", std::string(82, ' ') + "oud");
  HeadlessPlatform::Options options;
  options.startFolder = h.startFolder().string();
  options.appData = h.dataFolder().parent_path().string();
  options.start = *LocalDateTime::parse("2012-03-07 09:15:00");
  ChangedMeanwhile platform(options, *KeyScript::parse(c.keys), 1, [&] { h.writeData(c.file, c.theirs); });
  try {
    Program(platform, "").run();
  } catch (const RunEnded&) {
  }
  const std::string screen = test::readFile(h.data(c.file));
  std::string status;
  for (int column = 1; column <= 80; ++column) status += static_cast<char>(platform.surface().charAt(25, column));
  EXPECT_NE(status.find(std::string(c.file) + " was elders gewijzigd"), std::string::npos) << status;
  c.check(h);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, OtherProgramTest,
    ::testing::Values(
        Case{"ListEditor", "F2 Home \"07 Mijn regel\" Esc", "ALMANOUK.AMN",
             test::calendarFile("Elders", {"05 hun regel"}, {}, {}, {}),
             [](test::Harness& h) {
               EXPECT_NE(test::readFile(h.data("ALMANOUK.AMN")).find("07 Mijn regel"), std::string::npos);
               std::vector<std::string> kept = versions(h, "ALMANOUK.AMN");
               EXPECT_TRUE(std::any_of(kept.begin(), kept.end(),
                                       [](const std::string& v) { return v.find("05 hun regel") != std::string::npos; }));
             }},
        Case{"SettingsScreen", "F4 Space Esc", "Almanouk.ini", test::crlf(test::settingsLines({.sound = "Sound=uit"})),
             [](test::Harness& h) {
               EXPECT_NE(test::readFile(h.data("Almanouk.ini")).find("PopUp=uit"), std::string::npos);
               std::vector<std::string> kept = versions(h, "Almanouk.ini");
               EXPECT_TRUE(std::any_of(kept.begin(), kept.end(),
                                       [](const std::string& v) { return v.find("Sound=uit") != std::string::npos; }));
             }},
        // Their page blanked here is not deleted; it stays theirs.
        Case{"Diary", "Enter Ctrl+L Esc", "20120307.D03", "hun pagina",
             [](test::Harness& h) { EXPECT_EQ(test::readFile(h.data("20120307.D03")), "hun pagina"); }}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
