// File names here are case-sensitive: the index of each folder's names by
// their upper-case form finds "ALMANOUK.DAT" as "Almanouk.dat".

#include <algorithm>
#include <unordered_map>

#include "platform/System.h"
#include "platform/Text.h"

namespace almanouk::os {
namespace {

constexpr std::size_t kIndexedFolders = 4;
// File times move in ticks of the kernel's coarse clock (at most 10 ms): a
// change within the tick of the folder time the index was checked against
// leaves that time as it was, so such an index is read once more after it.
constexpr std::int64_t kFolderTimeTickNs = 20'000'000;

// The folder's stamp tells whether names came or went: its time and size change then.
bool sameFolderVersion(const FileStamp& a, const FileStamp& b) {
  return a.exists == b.exists && a.modifiedNs == b.modifiedNs && a.size == b.size && a.inode == b.inode &&
         a.device == b.device;
}

// The names of one folder by their upper-case form, and the folder's stamp when they were read.
struct Folder {
  struct Entry {
    std::string name;
    bool regular = false;
  };
  std::string path;
  FileStamp stamp;
  std::int64_t checkedNs = 0;  // wall time when stamp was taken
  std::unordered_map<std::string, Entry> byUpper;

  bool unsettled(std::int64_t nowNs) const {
    return checkedNs - stamp.modifiedNs < kFolderTimeTickNs && nowNs - stamp.modifiedNs >= kFolderTimeTickNs;
  }

  void read() {
    byUpper.clear();
    for (FolderEntry& entry : listFolder(path)) {
      std::string upper = upperAscii(entry.name);
      byUpper.try_emplace(std::move(upper), Entry{std::move(entry.name), entry.regular});
    }
  }
};

}  // namespace

struct NameIndex::State {
  std::vector<std::unique_ptr<Folder>> folders;

  Folder* known(const std::string& path) {
    auto found = std::find_if(folders.begin(), folders.end(), [&](const auto& folder) { return folder->path == path; });
    return found == folders.end() ? nullptr : found->get();
  }

  // The folder's names, read again when the folder changed since.
  Folder& current(const std::string& path) {
    FileStamp stamp = fileStamp(path);
    Folder* folder = known(path);
    if (!folder) {
      if (folders.size() == kIndexedFolders) folders.erase(folders.begin());
      folders.push_back(std::make_unique<Folder>());
      folder = folders.back().get();
      folder->path = path;
      folder->stamp.exists = !stamp.exists;  // forces the first read
    }
    std::int64_t now = wallClockNs();
    if (!sameFolderVersion(folder->stamp, stamp) || folder->unsettled(now)) {
      folder->stamp = stamp;
      folder->checkedNs = now;
      folder->read();
    }
    return *folder;
  }
};

NameIndex::NameIndex() : state_(std::make_unique<State>()) {}

NameIndex::~NameIndex() = default;

NameIndex::Found NameIndex::find(const std::string& folder, const std::string& name) {
  const std::string path = folder + "/" + name;
  Folder& names = state_->current(folder);
  auto entry = names.byUpper.find(upperAscii(name));
  if (entry == names.byUpper.end()) return {path, false, false};
  const Folder::Entry& match = entry->second;
  // Two names that differ only in case: the one asked for exactly wins.
  if (match.name != name) {
    FileStamp exact = fileStamp(path);
    if (exact.exists) return {path, true, exact.regular};
  }
  return {folder + "/" + match.name, true, match.regular};
}

void NameIndex::forEach(const std::string& folder,
                        const std::function<void(const std::string& name, bool regular)>& visit) {
  for (const auto& [upper, entry] : state_->current(folder).byUpper) visit(entry.name, entry.regular);
}

void NameIndex::noteChange(const std::string& folder, const std::string& name, bool exists) {
  Folder* names = state_->known(folder);
  if (!names) return;
  std::string upper = upperAscii(name);
  if (exists) {
    names->byUpper[upper] = Folder::Entry{name, true};
  } else {
    auto entry = names->byUpper.find(upper);
    if (entry != names->byUpper.end() && entry->second.name == name) names->byUpper.erase(entry);
  }
  names->stamp = fileStamp(folder);
  names->checkedNs = wallClockNs();
}

}  // namespace almanouk::os
