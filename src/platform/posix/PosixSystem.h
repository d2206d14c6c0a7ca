#pragma once
// The few operating-system calls the platform layer needs beyond the C++
// library. Only the platform layer includes this.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/LocalTime.h"

namespace almanouk::posix {

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
LocalDateTime localNow();
// Seconds of a monotonic clock.
double monotonicSeconds();
void sleepMilliseconds(int ms);
void yieldProcessor();
std::string environmentValue(const std::string& name);
// Runs a line through /bin/sh in the folder: waited for, or detached in a
// session of its own with its output discarded.
void runShell(const std::string& line, const std::string& folder, bool detached);

}  // namespace almanouk::posix
