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
    return std::make_unique<HeadlessPlatform>(headlessOptions(folder), *KeyScript::parse("Esc"));
  }

  void write(const std::string& name, const std::vector<std::string>& lines) {
    writeFile(folder / name, crlf(lines));
  }
  std::vector<std::string> lines(const std::string& name) { return splitLines(readFile(folder / name)); }
  bool exists(const std::string& name) { return std::filesystem::exists(folder / name); }

  // Runs what must end the program with a fatal file error: checks the exit
  // status and returns screen row 2. (The instance guard removes the marker as the end unwinds.)
  std::string expectFatal(const std::function<void()>& action) {
    int status = -1;
    try {
      action();
    } catch (const ProgramExit& exit) {
      status = exit.status;
    }
    EXPECT_EQ(status, 0) << "the program did not end";
    std::string row;
    for (int column = 1; column <= 80; ++column) row += static_cast<char>(platform->surface().charAt(2, column));
    while (!row.empty() && row.back() == ' ') row.pop_back();
    return row;
  }
};

}  // namespace almanouk::test
