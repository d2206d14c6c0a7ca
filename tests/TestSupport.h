#pragma once
// Shared helpers of the tests: a fresh temporary folder per test, and small
// file helpers that bypass the program's own file layer.

#include <cstdint>
#include <filesystem>

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/headless/HeadlessPlatform.h"

namespace almanouk::test {

class TempFolder {
 public:
  // inMemory: in the system's memory file system where there is one.
  explicit TempFolder(bool inMemory = false);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& bytes);
// Lines joined with CR LF, each ended by CR LF.
std::string crlf(const std::vector<std::string>& lines);
// Splits on CR LF or LF; a final line end gives no empty last line.
std::vector<std::string> splitLines(const std::string& text);
std::vector<std::string> fileNames(const std::filesystem::path& folder);

// Options of a headless platform started in the folder at the given local time.
HeadlessPlatform::Options headlessOptions(const TempFolder& folder, const std::string& now = "2012-01-13 10:25:00");

// A current calendar file: header lines, then the 15 sections in file order
// ("Maandelijks", "Wekelijks", "Dagelijks", "Januari" ... "December"), each
// with the given entries between blank lines, and "Einde".
std::vector<std::string> calendarLines(const std::string& description, const std::string& key,
                                       const std::vector<std::vector<std::string>>& sections = {},
                                       const std::string& daysAhead = "7");

// The hostile-file corpus (tests/data/hostile): its file names, sorted, and one file's bytes.
std::vector<std::string> hostileCorpus();
std::string hostileFile(const std::string& name);
// A test name made of a corpus file name.
std::string corpusTestName(const ::testing::TestParamInfo<std::string>& info);

// A settings file in the current layout, as lines; every field can be changed.
struct SettingsSpec {
  std::string popup = "PopUp=ntp";
  std::string speaker = "PC-Speaker=aan";
  std::string sound = "Sound=aan";
  std::string theme = "1";
  std::string textColour = "12";
  std::string diaryDayColour = "13";
  std::vector<std::string> choices = {"-> ALMANOUK.AMN = Werk                          7"};
};
std::vector<std::string> settingsLines(const SettingsSpec& spec = {});

}  // namespace almanouk::test
