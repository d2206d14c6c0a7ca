// Whole flows kept as data, a folder each in tests/e2e/cases:
//   case      what to run, in order: "now YYYY-MM-DD HH:MM:SS" (the clock for
//             the steps after it), "keys SCRIPT" (the program with a key
//             script), "run ARGUMENTS" (the command line's work); "#" comments
//   before/   files put in the data folder first: UTF-8 with LF here, code
//             page 437 with CR LF there
//   start/    files put in the folder the program starts in, as they are
//   expected  what the runs must leave, in sections: "== screen" (the last
//             key run's screen, trailing blanks dropped; "== screen N" the
//             Nth's), "== events" (the key runs' event logs, times to the
//             minute), "== out" (what the command
//             lines printed, with their status), "== file NAME" (a data file
//             as UTF-8 with LF), "== gone NAME" (a file that must not exist)
// ALMANOUK_BLESS=1 writes what the runs left into `expected` instead, for review with git diff.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <algorithm>
#include <cctype>
#include <iomanip>
#include <map>
#include <sstream>

#include "TestSupport.h"
#include "calendar/ICalImport.h"
#include "e2e/Harness.h"
#include "platform/Text.h"

namespace almanouk::test {
namespace {

const std::filesystem::path kCases = std::filesystem::path(ALMANOUK_TEST_DATA).parent_path() / "e2e" / "cases";

std::string utf8Text(const std::string& fileBytes) {
  std::string text;
  for (const std::string& line : splitLines(fileBytes)) text += cp437ToUtf8(line) + "\n";
  return text;
}

std::string withoutTrailingBlanks(const std::string& line) { return line.substr(0, line.find_last_not_of(' ') + 1); }

// The arguments of a "run" line: words, or "quoted words".
std::vector<std::string> words(const std::string& line) {
  std::vector<std::string> out;
  std::istringstream in(line);
  std::string word;
  while (in >> std::quoted(word)) out.push_back(word);
  return out;
}

struct Expected {
  std::vector<std::string> order;           // section headers as written
  std::map<std::string, std::string> text;  // by header
};

Expected readExpected(const std::filesystem::path& file) {
  Expected expected;
  std::string header;
  for (const std::string& line : splitLines(readFile(file))) {
    if (line.starts_with("== ")) {
      header = line.substr(3);
      expected.order.push_back(header);
      expected.text[header];
    } else if (!header.empty()) {
      expected.text[header] += line + "\n";
    }
  }
  return expected;
}

// Runs a case's steps and gives what each section of `expected` holds after them.
class CaseRun {
 public:
  explicit CaseRun(const std::filesystem::path& folder) : folder_(folder) {}

  void run() {
    const std::filesystem::path before = folder_ / "before";
    if (std::filesystem::exists(before))
      for (const auto& file : std::filesystem::directory_iterator(before))
        h_.writeData(file.path().filename().string(), crlf(splitLines(cp437(readFile(file.path())))));
    const std::filesystem::path start = folder_ / "start";
    if (std::filesystem::exists(start))
      for (const auto& file : std::filesystem::directory_iterator(start))
        std::filesystem::copy(file.path(), h_.startFolder() / file.path().filename(), std::filesystem::copy_options::recursive);
    std::string now = "2026-12-09 09:00:00";
    for (const std::string& line : splitLines(readFile(folder_ / "case"))) {
      if (line.empty() || line.starts_with("#")) continue;
      const std::size_t blank = line.find(' ');
      const std::string word = line.substr(0, blank), rest = blank == std::string::npos ? "" : line.substr(blank + 1);
      if (word == "now") {
        now = rest;
      } else if (word == "keys") {
        keyRun(now, rest);
      } else if (word == "run") {
        Harness::CommandLineRun result = h_.commandLine(now, words(rest));
        out_ += "$ almanouk " + rest + "\n" + withoutRoot(result.out + result.err) + "(" +
                std::to_string(result.status) + ")\n";
      } else {
        ADD_FAILURE() << "case: no such step: " << line;
      }
    }
  }

  std::string section(const std::string& header) const {
    if (header == "screen") return screens_.empty() ? std::string() : screens_.back();
    if (header.starts_with("screen ")) {
      const std::size_t n = static_cast<std::size_t>(std::stoi(header.substr(7)));
      return n >= 1 && n <= screens_.size() ? screens_[n - 1] : "(geen scherm)\n";
    }
    if (header == "events") return events_;
    if (header == "out") return out_;
    if (header.starts_with("file ")) {
      const std::filesystem::path path = h_.data(header.substr(5));
      return std::filesystem::exists(path) ? utf8Text(readFile(path)) : "(geen bestand)\n";
    }
    if (header.starts_with("gone ")) return std::filesystem::exists(h_.data(header.substr(5))) ? "(bestaat)\n" : "";
    ADD_FAILURE() << "expected: no such section: " << header;
    return {};
  }

 private:
  void keyRun(const std::string& now, const std::string& script) {
    RunResult result = h_.run(now, script);
    std::string screen;
    for (const std::string& row : result.screen) screen += withoutTrailingBlanks(row) + "\n";
    screens_.push_back(screen);
    for (const std::string& line : h_.platform().log().lines()) {
      // "YYYY-MM-DD HH:MM:SS.mmm event": the minute is what a flow can promise.
      events_ += line.substr(0, 16) + line.substr(std::min(line.size(), std::size_t{23})) + "\n";
    }
    h_.close();
  }

  // The run's temporary folder as "<tmp>", so that the text is the same in every run;
  // on Windows with '/' for its separators, as the expected texts are written.
  std::string withoutRoot(std::string text) const {
    const std::string root = h_.root().string();
    for (std::size_t at; (at = text.find(root)) != std::string::npos;) text.replace(at, root.size(), "<tmp>");
#ifdef _WIN32
    std::replace(text.begin(), text.end(), '\\', '/');
#endif
    return text;
  }

  std::filesystem::path folder_;
  Harness h_;
  std::vector<std::string> screens_;
  std::string events_, out_;
};

std::vector<std::string> caseNames() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(kCases))
    if (std::filesystem::exists(entry.path() / "case")) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

struct CaseFolder : ::testing::TestWithParam<std::string> {};

TEST_P(CaseFolder, LeavesWhatItExpects) {
  const std::filesystem::path folder = kCases / GetParam();
  const std::string steps = readFile(folder / "case");
  if (!iCalendarAvailable() && (steps.find("--export") != std::string::npos || steps.find("--import") != std::string::npos))
    GTEST_SKIP() << "this build has no iCalendar";
  CaseRun run(folder);
  run.run();
  Expected expected = readExpected(folder / "expected");
  if (std::getenv("ALMANOUK_BLESS")) {
    if (expected.order.empty()) expected.order = {"screen", "events"};
    std::string text;
    for (const std::string& header : expected.order) text += "== " + header + "\n" + run.section(header);
    writeFile(folder / "expected", text);
    return;
  }
  for (const std::string& header : expected.order)
    EXPECT_EQ(run.section(header), expected.text[header]) << "section " << header << " of " << GetParam();
}

std::string caseTestName(const ::testing::TestParamInfo<std::string>& info) {
  std::string name;
  for (char c : info.param) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, CaseFolder, ::testing::ValuesIn(caseNames()), caseTestName);

}  // namespace
}  // namespace almanouk::test
