// File names here are case-sensitive: the index of each folder's names by
// their upper-case form finds "ALMANOUK.DAT" as "Almanouk.dat". The system
// tells of every name that comes or goes in an indexed folder (inotify), the
// program's own and others' alike, so the index follows without reading the
// folder again; where it cannot tell, the folder's stamp decides.

#include <sys/inotify.h>
#include <unistd.h>

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
  int watch = -1;              // the system's watch on the folder, when it has one
  std::unordered_map<std::string, Entry> byUpper;

  // The name as it is now on disk, whoever changed it.
  void follow(const std::string& name) {
    const FileStamp now = fileStamp(path + "/" + name);
    std::string upper = upperAscii(name);
    if (now.exists) {
      byUpper[std::move(upper)] = Entry{name, now.regular};
      return;
    }
    auto entry = byUpper.find(upper);
    if (entry != byUpper.end() && entry->second.name == name) byUpper.erase(entry);
  }

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
  int events = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);

  State() = default;
  State(const State&) = delete;
  State& operator=(const State&) = delete;
  ~State() {
    if (events >= 0) ::close(events);
  }

  Folder* known(const std::string& path) {
    auto found = std::find_if(folders.begin(), folders.end(), [&](const auto& folder) { return folder->path == path; });
    return found == folders.end() ? nullptr : found->get();
  }

  void unwatch(Folder& folder) {
    if (folder.watch >= 0) ::inotify_rm_watch(events, folder.watch);
    folder.watch = -1;
  }

  // Watched before it is read, so that nothing that comes between is missed.
  void read(Folder& folder, const FileStamp& stamp) {
    unwatch(folder);
    if (events >= 0)
      folder.watch = ::inotify_add_watch(events, folder.path.c_str(),
                                         IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF |
                                             IN_MOVE_SELF | IN_ONLYDIR);
    folder.stamp = stamp;
    folder.checkedNs = wallClockNs();
    folder.read();
  }

  // What the system told since the last look; a folder it lost track of is read again.
  void takeEvents() {
    alignas(inotify_event) char buffer[16 * 1024];
    for (ssize_t size; (size = ::read(events, buffer, sizeof buffer)) > 0;) {
      for (ssize_t at = 0; at < size;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        if (event->mask & IN_Q_OVERFLOW) {
          for (auto& folder : folders) unwatch(*folder);  // each is read again at its next look
          continue;
        }
        auto folder = std::find_if(folders.begin(), folders.end(), [&](const auto& f) { return f->watch == event->wd; });
        if (folder == folders.end()) continue;
        if (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) unwatch(**folder);
        else if (event->len > 0) (*folder)->follow(event->name);
      }
    }
  }

  // The folder's names: as the system told, or read again when the folder changed since.
  Folder& current(const std::string& path) {
    takeEvents();
    Folder* folder = known(path);
    if (folder && folder->watch >= 0) return *folder;
    FileStamp stamp = fileStamp(path);
    if (!folder) {
      if (folders.size() == kIndexedFolders) {
        unwatch(*folders.front());
        folders.erase(folders.begin());
      }
      folders.push_back(std::make_unique<Folder>());
      folder = folders.back().get();
      folder->path = path;
      folder->stamp.exists = !stamp.exists;  // forces the first read
    }
    if (!sameFolderVersion(folder->stamp, stamp) || folder->unsettled(wallClockNs())) read(*folder, stamp);
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

void NameIndex::noteChange(const std::string& folder, const std::string& name, bool) {
  Folder* names = state_->known(folder);
  if (!names) return;
  names->follow(name);
  if (names->watch >= 0) return;  // the system tells of the change too
  names->stamp = fileStamp(folder);
  names->checkedNs = wallClockNs();
}

}  // namespace almanouk::os
