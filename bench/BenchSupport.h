#pragma once
// A data folder the benchmarks share, and a run of the real program on the
// headless backend that reports how long its parts took in real time.

#include <chrono>
#include <filesystem>
#include <string>

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

 private:
  std::filesystem::path root_;
};

// The data folder with five calendars and their diaries: about 20,000 page files over eleven years.
const DataFolder& folderWithTwentyThousandPages();

struct RunTimes {
  double startUpSeconds = 0;  // from the start to the first key read
  double keysSeconds = 0;     // from the first key read to the end
};
// Runs the program at the given local time with the key script; the script should end it (Alt+X).
RunTimes runProgram(const DataFolder& folder, const std::string& now, const std::string& script);

}  // namespace almanouk::bench
