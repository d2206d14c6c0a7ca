#include "platform/Versions.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "platform/FileResult.h"
#include "platform/Paths.h"
#include "platform/System.h"

namespace almanouk {
namespace {

constexpr std::int64_t kDayMs = 86'400'000;

std::string stampOf(const LocalDateTime& time) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", time.year % 10000, time.month % 100, time.day % 100,
                time.hour % 100, time.minute % 100, time.second % 100);
  return stamp;
}

bool allDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The time a version's name stands for: "yyyymmdd-hhmmss", or with ".N" after
// it; nothing for any other name, which the program did not make and never removes.
std::optional<LocalDateTime> timeOf(const std::string& name) {
  const std::string_view stamp = std::string_view(name).substr(0, 15);
  if (stamp.size() < 15 || stamp[8] != '-' || !allDigits(stamp.substr(0, 8)) || !allDigits(stamp.substr(9))) return std::nullopt;
  if (name.size() > 15 && (name[15] != '.' || !allDigits(std::string_view(name).substr(16)))) return std::nullopt;
  std::string text = name.substr(0, 4) + "-" + name.substr(4, 2) + "-" + name.substr(6, 2) + " " + name.substr(9, 2) +
                     ":" + name.substr(11, 2) + ":" + name.substr(13, 2);
  return LocalDateTime::parse(text);
}

struct FileClose {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileClose>;

// A page of blanks (or an empty file) holds nothing worth keeping.
bool holdsText(const std::string& path) {
  File in(os::openFile(path, "rb"));
  if (!in) return false;
  for (int c; (c = std::fgetc(in.get())) != EOF;)
    if (c != ' ' && c != '\0') return true;
  return false;
}

// Whole or not at all: a copy cut short by a crash never stands as a version.
void copyBytes(const std::string& from, const std::string& to) {
  const std::string temp = to + ".tmp";
  {
    File in(os::openFile(from, "rb"));
    if (!in) return;
    File out(os::createTemporaryFile(temp));
    if (!out) return;
    char buffer[64 * 1024];
    bool written = true;
    for (std::size_t read; written && (read = std::fread(buffer, 1, sizeof buffer, in.get())) > 0;)
      written = std::fwrite(buffer, 1, read, out.get()) == read;
    if (!written || std::fflush(out.get()) != 0) {
      out.reset();
      os::removeName(temp);
      return;
    }
  }
  if (!os::syncPath(temp) || os::renameOver(temp, to) != 0) os::removeName(temp);
}

}  // namespace

// The folder or the file's folder in it is a link: nothing is kept, and the user is told once.
bool Versions::refusesLink(const std::string& folder) {
  const std::string versions = os::splitPath(folder).first;
  if (!os::isLink(versions) && !os::isLink(folder)) return false;
  if (!std::exchange(linkTold_, true))
    notice_ = "Geen versies bewaard: " + std::string(kFolder) + " is een koppeling naar elders";
  return true;
}

void Versions::keep(const std::string& path, bool changedInPlace) {
  const std::string_view name = baseName(path);
  if (!policy_(name) || !holdsText(path)) return;
  const std::string folder =
      os::splitPath(path).first + kPathSeparator + std::string(kFolder) + kPathSeparator + std::string(name);
  if (refusesLink(folder) || os::makeFolders(folder) != 0) return;
  const LocalDateTime now = clock_();
  const std::string stamped = folder + kPathSeparator + stampOf(now);
  std::string version = stamped;
  for (int n = 2; os::fileStamp(version).exists; ++n) version = stamped + "." + std::to_string(n);
  if (changedInPlace || !os::hardLink(path, version)) copyBytes(path, version);
  prune(folder, now);
}

void Versions::pruneAll(const std::string& dataFolder) {
  const std::string versions = dataFolder + kPathSeparator + std::string(kFolder);
  if (os::isLink(versions)) return;
  const LocalDateTime now = clock_();
  for (const os::FolderEntry& entry : os::listFolder(versions)) {
    const std::string folder = versions + kPathSeparator + entry.name;
    if (!entry.regular && !os::isLink(folder) && os::isFolder(folder)) prune(folder, now);
  }
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
    if (tooMany || timeOf(names[i])->toMilliseconds() < oldest) os::removeName(folder + kPathSeparator + names[i]);
  }
}

}  // namespace almanouk
