#pragma once
// A fresh data folder with a headless program on it, for the tests of the
// calendar and settings files.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "platform/ProgramExit.h"
#include "platform/Text.h"
#include "platform/headless/HeadlessPlatform.h"

namespace almanouk::test {

struct DataFolderTest : ::testing::Test {
  TempFolder folder;
  std::unique_ptr<HeadlessPlatform> platform = newPlatform();

  // A platform on the same folder whose script holds one key, enough for one fatal error.
  std::unique_ptr<HeadlessPlatform> newPlatform() {
    HeadlessPlatform::Options options;
    options.startFolder = folder.str();
    options.start = *LocalDateTime::parse("2012-01-13 10:25:00");
    return std::make_unique<HeadlessPlatform>(options, *KeyScript::parse("Esc"));
  }

  void write(const std::string& name, const std::vector<std::string>& lines) {
    writeFile(folder / name, crlf(lines));
  }
  std::vector<std::string> lines(const std::string& name) { return splitLines(readFile(folder / name)); }
  bool exists(const std::string& name) { return std::filesystem::exists(folder / name); }

  // Runs what must end the program with a fatal file error: checks the exit
  // status and that the instance marker is gone, and returns screen row 2.
  std::string expectFatal(const std::function<void()>& action) {
    writeFile(folder / "Almanouk.pyl", "pyl\r\n");
    int status = -1;
    try {
      action();
    } catch (const ProgramExit& exit) {
      status = exit.status;
    }
    EXPECT_EQ(status, 0) << "the program did not end";
    EXPECT_FALSE(exists("Almanouk.pyl"));
    std::string row;
    for (int column = 1; column <= 80; ++column) row += static_cast<char>(platform->surface().charAt(2, column));
    while (!row.empty() && row.back() == ' ') row.pop_back();
    return row;
  }
};

// The recurring sections and the months, each header with the given entries
// and blank lines, as a current calendar file holds them.
inline std::vector<std::string> calendarLines(const std::string& description, const std::string& key,
                                              const std::vector<std::vector<std::string>>& sections = {}) {
  static const char* const kHeaders[] = {"Maandelijks", "Wekelijks", "Dagelijks", "Januari",   "Februari",
                                         "Maart",       "April",     "Mei",       "Juni",      "Juli",
                                         "Augustus",    "September", "Oktober",   "November",  "December"};
  std::vector<std::string> lines = {description, key, "7", "", ""};
  for (std::size_t i = 0; i < 15; ++i) {
    lines.push_back(kHeaders[i]);
    lines.push_back("");
    if (i < sections.size()) lines.insert(lines.end(), sections[i].begin(), sections[i].end());
    lines.push_back("");
    lines.push_back("");
  }
  lines.push_back("Einde");
  return lines;
}

}  // namespace almanouk::test
