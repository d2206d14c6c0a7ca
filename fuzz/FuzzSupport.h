#pragma once
// What every fuzz target shares: an empty data folder per input, a headless
// platform on it, and a way to run the program's readers in which its own
// orderly ends (a fatal file error, a script that is used up) are no failure.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

#include "platform/ProgramExit.h"
#include "platform/headless/HeadlessPlatform.h"

namespace almanouk::fuzz {

// The folder of this fuzzing process, emptied for every input. It is in
// memory where the system offers that: the program flushes every file it
// replaces to the disk, which would slow the runs down a hundredfold.
inline const std::filesystem::path& freshFolder() {
  static const std::filesystem::path folder =
      (std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                  : std::filesystem::temp_directory_path()) /
      ("almanouk-fuzz-" + std::to_string(std::random_device{}()));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

inline void writeFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline HeadlessPlatform::Options optionsFor(const std::filesystem::path& folder) {
  HeadlessPlatform::Options options;
  options.startFolder = folder.string();
  options.appData = folder.string();
  options.start = *LocalDateTime::parse("2012-03-07 10:25:00");
  return options;
}

// One platform for the whole fuzzing run, on the fresh folder, with a new
// key script for each input: building a platform (its 640 x 400 surface)
// for every input would cost more than the work under test.
inline HeadlessPlatform& platformFor(const std::filesystem::path& folder, std::string_view keys = "") {
  static HeadlessPlatform platform(optionsFor(folder), KeyScript{});
  platform.restartScript(*KeyScript::parse(keys));
  return platform;
}

template <typename Action>
void survive(Action action) {
  try {
    action();
  } catch (const ProgramExit&) {
  } catch (const RunEnded&) {
  }
}

}  // namespace almanouk::fuzz
