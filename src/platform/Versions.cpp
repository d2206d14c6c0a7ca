#include "platform/Versions.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>
#include <vector>

#include "platform/FileResult.h"
#include "platform/System.h"

namespace fs = std::filesystem;

namespace almanouk {
namespace {

constexpr std::int64_t kDayMs = 86'400'000;

std::string stampOf(const LocalDateTime& time) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", time.year % 10000, time.month % 100, time.day % 100,
                time.hour % 100, time.minute % 100, time.second % 100);
  return stamp;
}

// The time a version's name stands for; nothing for a name the program did not make.
std::optional<LocalDateTime> timeOf(const std::string& name) {
  if (name.size() < 15 || name[8] != '-') return std::nullopt;
  std::string text = name.substr(0, 4) + "-" + name.substr(4, 2) + "-" + name.substr(6, 2) + " " + name.substr(9, 2) +
                     ":" + name.substr(11, 2) + ":" + name.substr(13, 2);
  return LocalDateTime::parse(text);
}

// A page of blanks (or an empty file) holds nothing worth keeping.
bool holdsText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  for (char c; in.get(c);)
    if (c != ' ' && c != '\0') return true;
  return false;
}

// Whole or not at all: a copy cut short by a crash never stands as a version.
void copyBytes(const std::string& from, const std::string& to) {
  const std::string temp = to + ".tmp";
  {
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(temp, std::ios::binary);
    out << in.rdbuf();
    if (!out.flush()) {
      os::removeName(temp);
      return;
    }
  }
  std::error_code error;
  if (!os::syncPath(temp)) return os::removeName(temp), void();
  fs::rename(temp, to, error);
}

}  // namespace

void Versions::keep(const std::string& path, bool changedInPlace) {
  const std::string_view name = baseName(path);
  if (!policy_(name) || !holdsText(path)) return;
  std::error_code error;
  const fs::path folder = fs::path(path).parent_path() / kFolder / std::string(name);
  fs::create_directories(folder, error);
  const LocalDateTime now = clock_();
  std::string version = (folder / stampOf(now)).string();
  for (int n = 2; fs::exists(version, error); ++n) version = (folder / (stampOf(now) + "." + std::to_string(n))).string();
  if (changedInPlace || !os::hardLink(path, version)) copyBytes(path, version);
  prune(folder.string(), now);
}

// The newest kKeptPerFile versions, none older than kKeptDays days.
void Versions::prune(const std::string& folder, const LocalDateTime& now) {
  std::vector<std::string> names;
  for (const os::FolderEntry& entry : os::listFolder(folder))
    if (entry.regular && timeOf(entry.name)) names.push_back(entry.name);
  std::sort(names.begin(), names.end());  // oldest first: the stamps sort as times do
  const std::int64_t oldest = now.toMilliseconds() - kKeptDays * kDayMs;
  for (std::size_t i = 0; i < names.size(); ++i) {
    bool tooMany = names.size() - i > static_cast<std::size_t>(kKeptPerFile);
    if (tooMany || timeOf(names[i])->toMilliseconds() < oldest) os::removeName(folder + "/" + names[i]);
  }
}

}  // namespace almanouk
