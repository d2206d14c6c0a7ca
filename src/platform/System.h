#pragma once
// What the program needs from the operating system beyond the C++ library:
// file stamps and listings, durable writes, file modes, the clock, the
// environment and the command interpreter. One implementation per system
// (posix/, win32/), chosen by the build. Only the platform layer includes this.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/LocalTime.h"
#include "platform/LockOutcome.h"

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

// Paths. Both '/' and the system's own separator (Paths.h) part a path.
bool isSeparator(char c);
bool isAbsolutePath(const std::string& path);
// The folder and the name of a path; "." for a path without a folder.
std::pair<std::string, std::string> splitPath(const std::string& path);
// Absolute, without "." and ".." steps; as given when that cannot be worked out.
std::string canonicalFolder(const std::string& path);
// Two paths that name one file or folder.
bool sameFile(const std::string& a, const std::string& b);

// Files. The functions that can fail return 0 or the C library's error
// number (ENOENT, EACCES, ENOSPC, ...), as the file layer tells them apart.
// As fopen opens it; "x" in the mode makes a new file only, never through an
// existing name. A file it makes is the user's alone (0600): a diary is private.
std::FILE* openFile(const std::string& path, const char* mode);
// The whole file into the front of room, which grows as needed and is kept
// for the next file: for reading many small files once, with as few calls to
// the system as it takes. Its length; nothing when it cannot be read.
std::optional<std::size_t> readFileInto(const std::string& path, std::string& room);
int removeFile(const std::string& path);
// Renames over an existing target in one step.
int renameOver(const std::string& from, const std::string& to);
// Makes the folder and those above it that are missing, the user's alone (0700).
int makeFolders(const std::string& path);
bool isFolder(const std::string& path);
int resizeFile(const std::string& path, std::int64_t length);

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
// Removes a folder that holds nothing.
bool removeEmptyFolder(const std::string& path);
// A file made anew under a temporary name, whatever stood there (a file left
// by a run that was cut short, a link, an empty folder): made exclusively,
// never written through a link, never a file someone else opened under that
// name. Every temporary file of the program is made here.
std::FILE* createTemporaryFile(const std::string& path);
// The name is a symbolic link.
bool isLink(const std::string& path);

// The names in folders, found as a file system that ignores the case of
// ASCII letters finds them, as the program was written for: an existing file
// whose name differs only in case is used; a new file gets the name as given.
// Where the system does this itself it is asked; elsewhere each folder's
// names are kept in memory, read again only when the folder changed behind
// the program's back, so a lookup costs the same with 20,000 diary pages as
// with none.
class NameIndex {
 public:
  struct Found {
    std::string path;  // the existing file's, else the folder and the name as given
    bool exists = false;
    bool regular = false;
  };

  NameIndex();
  ~NameIndex();
  NameIndex(const NameIndex&) = delete;
  NameIndex& operator=(const NameIndex&) = delete;

  Found find(const std::string& folder, const std::string& name);
  // Every name of the folder, with whether it is an ordinary file.
  void forEach(const std::string& folder, const std::function<void(const std::string& name, bool regular)>& visit);
  // The program itself made or removed the name.
  void noteChange(const std::string& folder, const std::string& name, bool exists);

 private:
  struct State;  // each system's own
  std::unique_ptr<State> state_;
};

// The program's lock on its data folder, held as long as this object lives;
// the system releases it when the program ends in any way, so no stale lock
// is ever left. It is held on what the user cannot remove by accident: the
// folder itself (POSIX), or the marker file in it held open so that it
// cannot be deleted (Windows).
class FileLock {
 public:
  FileLock() = default;
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  LockOutcome acquire(const std::string& markerPath);

 private:
  std::intptr_t handle_ = -1;
};
LocalDateTime localNow();
// Names in a folder, watched from now on: a wait ends early when one of
// them comes or goes. Where the system cannot watch, a wait takes its whole time.
class FolderNames {
 public:
  FolderNames(const std::string& folder, std::vector<std::string> names);
  ~FolderNames();
  FolderNames(const FolderNames&) = delete;
  FolderNames& operator=(const FolderNames&) = delete;
  // Waits up to the time, less when one of the names came or went since the last wait.
  void await(int milliseconds);

 private:
  std::intptr_t handle_ = -1;
  std::vector<std::string> names_;
};

// Seconds of a monotonic clock.
double monotonicSeconds();
void sleepMilliseconds(int ms);
void yieldProcessor();
std::string environmentValue(const std::string& name);
// The local time zone's name as the zone database knows it ("Europe/Amsterdam"); "UTC" when none is set.
std::string localTimeZone();
// The folder of the zone database the program ships for its iCalendar library,
// named as the C library's file functions take it; empty where the library
// reads the system's own (Linux).
std::string zoneDataFolder();
// A hangup (the terminal or the session going) asks the program to end as
// the termination signal does, which the window's library turns into a close request.
void treatHangupAsTermination();
// Once the program ends in order, a further termination signal must not cut
// that end short: from then on they are ignored.
void ignoreTerminationSignals();
// Runs a command line of the program (an entry's "# " command) through the
// system's command interpreter in the folder. A line that starts with
// "start " runs on its own, its output discarded; another is waited for.
// "notepad" is the system's text viewer.
void runCommandLine(const std::string& line, const std::string& folder);
// Opens the file in the system's text viewer, on its own, and watches it for
// a moment: false when it could not start or ended with a failure meanwhile.
bool openInTextViewer(const std::string& name, const std::string& folder);

}  // namespace almanouk::os
