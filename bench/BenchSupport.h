#pragma once
// A data folder the benchmarks share, and a run of the real program on the
// headless backend that reports how long its parts took in real time.

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace almanouk::bench {

// A data folder (APPDATA/Almanouk) that lives as long as the benchmark program.
class DataFolder {
 public:
  DataFolder();
  ~DataFolder();
  DataFolder(const DataFolder&) = delete;
  DataFolder& operator=(const DataFolder&) = delete;

  const std::filesystem::path& appData() const { return root_; }
  std::filesystem::path data() const { return root_ / "Almanouk"; }
  void write(const std::string& name, const std::string& bytes) const;
  // Dates the file back, so that the program sees a version that has settled.
  void backdate(const std::string& name) const;

 private:
  std::filesystem::path root_;
};

// The data folder with five calendars and their diaries: about 20,000 page files over eleven years.
const DataFolder& folderWithTwentyThousandPages();

// One calendar and a diary of 20,000 pages of a few lines each, every
// hundredth holding the word "tandarts".
const DataFolder& folderWithADiaryOfTwentyThousandPages();

// A data folder with one calendar of about 4000 lines.
const DataFolder& folderWithALongCalendar();

// A data folder with one calendar of about 100,000 lines, in use already and
// last written an hour ago.
const DataFolder& folderWithAHundredThousandLines();

// A data folder with a small calendar plus a monthly entry of 1 MB on the
// 15th, in use already and last written an hour ago.
const DataFolder& folderWithAOneMegabyteEntry();

struct RunTimes {
  std::vector<double> keyRead;  // real seconds from the start to each key the program read
  double end = 0;               // real seconds from the start to the program's end

  double startUp() const { return keyRead.empty() ? end : keyRead.front(); }
  // From reading key `from` (0-based) to reading key `to`, or to the end.
  double between(std::size_t from, std::size_t to) const {
    return (to < keyRead.size() ? keyRead[to] : end) - keyRead.at(from);
  }
};
// Runs the program at the given local time with the key script; the script should end it (Alt+X).
RunTimes runProgram(const DataFolder& folder, const std::string& now, const std::string& script);

}  // namespace almanouk::bench
