#include "e2e/Harness.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/SurfaceDump.h"
#include "platform/Text.h"
#include "shell/CommandLine.h"

namespace almanouk::test {

Harness::Harness() {
  std::filesystem::create_directories(startFolder());
  std::filesystem::create_directories(dataFolder());
}

void Harness::writeData(const std::string& name, const std::string& bytes) { writeFile(data(name), bytes); }

Harness::CommandLineRun Harness::commandLine(const std::string& now, const std::vector<std::string>& arguments) {
  HeadlessPlatform::Options options;
  options.startFolder = startFolder().string();
  options.start = *LocalDateTime::parse(now);
  options.appData = (root_.path() / "appdata").string();
  HeadlessPlatform platform(options, KeyScript{});
  platform.files().setFaultHook([this](FileFault fault, const std::string& path) { return faults && faults(fault, path); });
  CommandLineOutput output;
  int status = runCommandLineWork(platform, arguments, output);
  return {status, output.out, output.err};
}

RunResult Harness::run(const std::string& now, const std::string& script, const std::string& soundFolder) {
  HeadlessPlatform::Options options;
  options.startFolder = startFolder().string();
  options.start = *LocalDateTime::parse(now);
  options.appData = (root_.path() / "appdata").string();
  options.home = home;
  options.drawBoxes = drawBoxes;
  options.soundFails = soundFails;
  options.soundFileFails = soundFileFails;
  options.viewerFails = viewerFails;
  options.notificationService = notificationService;
  std::string error;
  auto keys = KeyScript::parse(script, &error);
  if (!keys) throw std::invalid_argument(error);
  program_.reset();
  platform_ = std::make_unique<HeadlessPlatform>(options, *keys);
  program_ = std::make_unique<Program>(*platform_, soundFolder);
  last_ = RunResult{};
  platform_->files().setFaultHook([this](FileFault fault, const std::string& path) {
    if (platform_->keysRead() > 0) ++last_.fileChangesAfterFirstKey;
    last_.changedFiles.insert(std::filesystem::path(path).filename().string());
    return faults && faults(fault, path);
  });
  try {
    last_.status = program_->run();
  } catch (const RunEnded& ended) {
    last_.scriptEnded = ended.scriptUsedUp;
  }
  EXPECT_EQ(platform_->files().numberClashes(), 0) << "two files were given one number";
  last_.events = platform_->log().events();
  last_.screen = splitLines(screenText(platform_->surface()));
  return last_;
}

RunResult Harness::watch(const std::string& now, const std::string& script) {
  HeadlessPlatform::Options options;
  options.startFolder = startFolder().string();
  options.start = *LocalDateTime::parse(now);
  options.appData = (root_.path() / "appdata").string();
  options.notificationService = notificationService;
  options.soundFails = soundFails;
  options.soundFileFails = soundFileFails;
  std::string error;
  auto keys = KeyScript::parse(script, &error);
  if (!keys) throw std::invalid_argument(error);
  closeWatcher();
  watcherPlatform_ = std::make_unique<HeadlessPlatform>(options, *keys);
  watcher_ = std::make_unique<Watcher>(*watcherPlatform_);
  RunResult result;
  try {
    result.status = watcher_->run();
  } catch (const RunEnded& ended) {
    result.scriptEnded = ended.scriptUsedUp;
  }
  result.events = watcherPlatform_->log().events();
  return result;
}

void Harness::closeWatcher() {
  watcher_.reset();
  watcherPlatform_.reset();
}

std::string Harness::text(int row, int column, int count) const {
  std::string out;
  for (int c = column; c < column + count; ++c) out += cp437CharToUtf8(platform_->surface().charAt(row, c));
  return out;
}

std::string calendarFile(const std::string& description, const std::vector<std::string>& monthly,
                         const std::vector<std::string>& weekly, const std::vector<std::string>& daily,
                         const std::vector<std::pair<int, std::vector<std::string>>>& months,
                         const std::string& daysAhead, const std::string& diaryKey) {
  std::vector<std::vector<std::string>> sections(15);
  sections[0] = monthly;
  sections[1] = weekly;
  sections[2] = daily;
  for (const auto& [month, entries] : months) sections.at(static_cast<std::size_t>(month) + 2) = entries;
  return crlf(calendarLines(description, diaryKey, sections, daysAhead));
}

}  // namespace almanouk::test
