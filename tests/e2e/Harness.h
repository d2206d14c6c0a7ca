#pragma once
// Runs the real program on the headless backend in a fresh temporary folder:
// a start folder and an APPDATA folder whose Almanouk folder is the data folder.

#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "platform/headless/HeadlessPlatform.h"
#include "shell/Program.h"
#include "shell/Watcher.h"

namespace almanouk::test {

struct RunResult {
  int status = 0;
  bool scriptEnded = false;             // the run ended because the script was used up
  std::vector<std::string> events;      // event log without time stamps
  std::vector<std::string> screen;      // the 25 screen rows as UTF-8
  int fileChangesAfterFirstKey = 0;     // files created, written, renamed or removed once keys came
  std::set<std::string> changedFiles;   // names of the files the run created, wrote, renamed or removed
};

class Harness {
 public:
  Harness();

  std::filesystem::path startFolder() const { return root_ / "start"; }
  std::filesystem::path dataFolder() const { return root_ / "appdata" / "Almanouk"; }
  std::filesystem::path data(const std::string& name) const { return dataFolder() / name; }
  void writeData(const std::string& name, const std::string& bytes);
  bool dataExists(const std::string& name) const { return std::filesystem::exists(data(name)); }

  // Runs the program from the given local time with the key script.
  RunResult run(const std::string& now, const std::string& script, const std::string& soundFolder = "");

  // The program's work on the command line (import, export) in the same
  // folders, at the given local time, as the zone Europe/Amsterdam has it.
  struct CommandLineRun {
    int status = 0;
    std::string out, err;
  };
  CommandLineRun commandLine(const std::string& now, const std::vector<std::string>& arguments);

  // Runs the watcher (almanouk --wachter) from the given local time while the
  // script lasts; it keeps its hold on the data folder until the next watch or closeWatcher.
  RunResult watch(const std::string& now, const std::string& script);
  void closeWatcher();

  HeadlessPlatform& platform() { return *platform_; }
  // Lets the last run's program go, with its hold on the data folder, as a program that ended would.
  void close() {
    program_.reset();
    platform_.reset();
  }
  std::filesystem::path root() const { return root_.path(); }
  // Makes file steps of the coming runs fail: true for those that are to fail.
  FileLayer::FaultHook faults;
  // The value of HOME in the coming runs; none: the real environment's.
  std::optional<std::string> home;
  // What the coming runs' machine is like: boxes drawn in the window (and
  // waiting for their key), no sound device, a sound file the player cannot
  // open, no text viewer.
  bool drawBoxes = false, soundFails = false, soundFileFails = false, viewerFails = false, notificationService = false;
  const AppState& state() const { return program_->state(); }
  // The program's state after the run, to look at or to set up a unit of it.
  AppState& app() { return program_->state(); }
  // Screen row (1-based) as UTF-8, from the last run.
  const std::string& row(int r) const { return last_.screen.at(static_cast<std::size_t>(r - 1)); }
  // Characters [column, column + count) of a screen row, both 1-based, as UTF-8.
  std::string text(int row, int column, int count) const;

 private:
  TempFolder root_;
  std::unique_ptr<HeadlessPlatform> platform_;
  std::unique_ptr<Program> program_;
  RunResult last_;
  std::unique_ptr<HeadlessPlatform> watcherPlatform_;
  std::unique_ptr<Watcher> watcher_;
};

// The selected date after a run, to compare with another.
struct Day {
  int day, month, year;
  bool operator==(const Day&) const = default;
};
inline Day selected(const Harness& h) { return {h.state().date.day, h.state().date.month, h.state().date.year}; }

// A calendar file with entries in the recurring sections and the months (1-12).
std::string calendarFile(const std::string& description, const std::vector<std::string>& monthly,
                         const std::vector<std::string>& weekly, const std::vector<std::string>& daily,
                         const std::vector<std::pair<int, std::vector<std::string>>>& months,
                         const std::string& daysAhead = "7", const std::string& diaryKey = "0");


}  // namespace almanouk::test
