#pragma once
// What the program needs from the operating system beyond the C++ library:
// file stamps and listings, durable writes, file modes, the clock, the
// environment and the command interpreter. One implementation per system
// (posix/, win32/), chosen by the build. Only the platform layer includes this.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/LocalTime.h"

namespace almanouk::os {

// What identifies one version of a file's contents.
struct FileStamp {
  bool exists = false;
  bool regular = false;
  std::int64_t size = 0;
  std::int64_t modifiedNs = 0;
  std::uint64_t device = 0;
  std::uint64_t inode = 0;

  bool operator==(const FileStamp&) const = default;
};
FileStamp fileStamp(const std::string& path);
// The real time of day in nanoseconds since 1970, as file times count.
std::int64_t wallClockNs();

// One name of a folder listing.
struct FolderEntry {
  std::string name;
  bool regular = false;  // an ordinary file, or a link to one
};
// Every name in the folder but "." and ".."; empty when it cannot be read.
std::vector<FolderEntry> listFolder(const std::string& folder);

// Flushes a file's or a folder's contents to the disk; false when it could not.
bool syncPath(const std::string& path);

// Who may do what with a file, to give its replacement the same.
struct Permissions {
  bool known = false;
  std::uint32_t mode = 0;
  std::uint32_t owner = 0, group = 0;
};
Permissions permissionsOf(const std::string& path);
// Gives the file the mode, and the owner where the system lets this user; false when the mode could not be set.
bool applyPermissions(const std::string& path, const Permissions& permissions);
// The file's own mode (or attribute) forbids writing it: the user made it read-only.
bool isReadOnly(const std::string& path);
// A second name for the same contents; false where the system cannot make one.
bool hardLink(const std::string& existing, const std::string& newName);
// Removes a name that is a link or an ordinary file, never a folder, without following a link.
bool removeName(const std::string& path);
// The name is a symbolic link.
bool isLink(const std::string& path);

// A lock on a file held as long as this object lives; the system releases
// it when the program ends in any way, so no stale lock is ever left.
class FileLock {
 public:
  FileLock() = default;
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  // False when another program holds it (or the file cannot be opened).
  bool acquire(const std::string& path);

 private:
  std::intptr_t handle_ = -1;
};
LocalDateTime localNow();
// Seconds of a monotonic clock.
double monotonicSeconds();
void sleepMilliseconds(int ms);
void yieldProcessor();
std::string environmentValue(const std::string& name);
// The local time zone's name as the zone database knows it ("Europe/Amsterdam"); "UTC" when none is set.
std::string localTimeZone();
// A hangup (the terminal or the session going) asks the program to end as
// the termination signal does, which the window's library turns into a close request.
void treatHangupAsTermination();
// Runs a line through /bin/sh in the folder: waited for, or detached in a
// session of its own with its output discarded.
void runShell(const std::string& line, const std::string& folder, bool detached);
// Starts the line on its own as runShell does detached, and watches it for a
// moment: false when it could not start or ended with a failure meanwhile.
bool startWatched(const std::string& line, const std::string& folder);

}  // namespace almanouk::os
