#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileResult.h"
#include "platform/LockOutcome.h"

namespace almanouk {

namespace os {
class FileLock;
class NameIndex;
}

// Replacement: a new file under a temporary name, created exclusively and
// never through a link; a stale one of that name (left by a run that was
// killed, or a link put there) is removed first.
enum class FileMode { Input, Output, Append, Binary, Replacement };

// What tells one version of a file's contents from another. A version written
// in the last moments is not settled: a rewrite within the file system's time
// resolution could keep its stamp.
struct FileVersion {
  std::int64_t size = 0;
  std::int64_t modifiedNs = 0;
  std::uint64_t inode = 0;
  bool settled = false;

  bool operator==(const FileVersion&) const = default;
  // The same contents, as far as the stamp tells, settled or not.
  bool sameAs(const FileVersion& other) const {
    return size == other.size && modifiedNs == other.modifiedNs && inode == other.inode;
  }
};

// Error numbers of the file operations.
namespace file_error {
inline constexpr int kNone = 0;
inline constexpr int kNotFound = 2;
inline constexpr int kAccess = 5;
inline constexpr int kBadNumber = 52;
inline constexpr int kNumberInUse = 55;
}  // namespace file_error

// The steps that change files, which tests can watch or make fail on purpose
// (an injected failure is a full disk).
enum class FileFault { Create, Write, Sync, Rename, Remove, Lock };

// Files opened by number (1 to 3), folders and wildcard search, all relative
// to a working folder held here rather than by the process, so that several
// program instances can share one test process.
//
// Names resolve without regard to ASCII case within their folder, as the
// program was written for a case-insensitive file system (os::NameIndex): an
// existing file whose name differs only in case is used, and a new file gets
// the name as given, so "Almanouk.dat" and "ALMANOUK.DAT" never both exist.
// Failures never throw: they set lastError and leave the number closed.
class FileLayer {
 public:
  static constexpr int kMaxNumber = 3;
  // Asked before every step that changes a file; true makes that step fail.
  using FaultHook = std::function<bool(FileFault, const std::string& path)>;
  // Told the path of an existing file just before the program replaces or
  // deletes it, or first changes it in place, so that its content can be kept.
  using VersionHook = std::function<void(const std::string& path, bool changedInPlace)>;

  explicit FileLayer(std::string workingFolder);
  ~FileLayer();
  FileLayer(const FileLayer&) = delete;
  FileLayer& operator=(const FileLayer&) = delete;

  void openFile(std::string_view name, FileMode mode, int number);
  bool isOpen(int number) const;
  // A file object refused a number already open: a fault of the program, counted so tests can see it.
  void noteNumberClash() { ++numberClashes_; }
  int numberClashes() const { return numberClashes_; }
  int lastError() const { return lastError_; }
  // Why the last operation that failed did, as the user is told.
  FileProblem lastProblem() const { return lastProblem_; }
  // Next line without CR LF or LF; empty at the end; unchanged on a closed number.
  void readLine(int number, std::string& text);
  void writeLine(int number, std::string_view text);
  void writeText(int number, std::string_view text);
  // True when nothing more can be read, and for a number that is not open.
  bool atEnd(int number);
  std::int64_t fileLength(int number);
  // Binary files: bytes at 1-based positions. A read past the end gives fewer bytes.
  std::string readBytes(int number, std::int64_t position, std::size_t count);
  void writeBytes(int number, std::int64_t position, std::string_view bytes);
  // Hands what was written to a number to the system, so other programs and a
  // crash of this one see it; false when that (or an earlier write) failed.
  [[nodiscard]] bool flushFile(int number);
  // False for input files and for a binary file that could only be opened for reading.
  bool isWritable(int number);
  // 0 closes every number; closing a closed number does nothing. False when
  // a write to the file or the close itself failed: what it holds is not
  // what was written.
  [[nodiscard]] bool closeFile(int number);

  // Deletes a user file; a missing file counts as deleted.
  FileResult deleteFile(std::string_view name);
  // Deletes a file of the program's own whose loss does not matter (a
  // temporary file, the diary index, a copy cut short): a failure leaves only
  // litter behind, and no earlier version of it is kept.
  void discardFile(std::string_view name);
  // Fails when the new name exists.
  FileResult renameFile(std::string_view oldName, std::string_view newName);
  // Makes temp durable and renames it over target in one step, so a crash
  // leaves either the old or the new file, never neither. The new file gets
  // the old one's mode and owner; a file the user made read-only is not replaced.
  FileResult replaceFile(std::string_view tempName, std::string_view targetName);
  // Before a file is first changed in place (a diary page): its content is kept.
  void keepVersion(std::string_view name);
  // Cuts a closed file to its first length bytes, in place.
  FileResult truncateFile(std::string_view name, std::int64_t length);
  bool fileExists(std::string_view name);
  // Length of an ordinary file, -1 when there is none.
  std::int64_t fileSize(std::string_view name);
  // What a name is, for a reader to tell why it cannot read it.
  enum class Kind { Missing, Regular, Folder, Other };
  Kind kind(std::string_view name);
  // The version of an ordinary file, nothing when there is none.
  std::optional<FileVersion> version(std::string_view name);
  // The bytes of an ordinary file, nothing when it cannot be read.
  std::optional<std::string> contents(std::string_view name);
  // The same read into room, which is kept for the next file, without
  // keeping a copy: for reading many files once. The name is taken as a
  // listing gave it, without looking it up. Nothing when it cannot be read.
  std::optional<std::string_view> readInto(std::string_view name, std::string& room);
  void makeFolder(std::string_view path);
  bool changeFolder(std::string_view path);
  const std::string& workingFolder() const { return workingFolder_; }

  // Ordinary, visible files matching * and ?, sorted by their upper-case
  // names so that every listing is deterministic. Empty string when none/no more.
  std::string findFirst(std::string_view pattern);
  std::string findNext();

  // Full path of a name: relative names are in the working folder, and an
  // existing file whose name differs only in case is preferred.
  std::string resolve(std::string_view name);

  // Takes a lock on the file (made when missing) that no other program can
  // take while this one holds it, until the layer goes; false when another holds it.
  // The program's lock on the working folder, shown by the marker of that name.
  LockOutcome lockFolder(std::string_view markerName);
  void releaseLock();

  void setFaultHook(FaultHook hook) { faultHook_ = std::move(hook); }
  void setVersionHook(VersionHook hook) { versionHook_ = std::move(hook); }

 private:
  struct OpenFile;
  struct CachedInput;
  struct Resolved {
    std::string path;
    bool exists = false;
    bool regular = false;
  };

  OpenFile* file(int number);
  void noteWrite(OpenFile& file, int systemError);
  void makeWhole(OpenFile& file, std::int64_t position, std::string_view bytes);
  void openInput(std::string_view name, int number);
  std::shared_ptr<const std::string> readWhole(const std::string& path, std::int64_t size, std::int64_t modifiedNs);
  void forget(const std::string& path);
  std::string absolute(std::string_view name) const;
  Resolved lookup(std::string_view name);
  // Brings the index of the path's folder up to date after the program itself added or removed the name.
  void noteChange(const std::string& path, bool exists);
  bool fails(FileFault fault, const std::string& path) const;
  FileResult remove(std::string_view name, bool keepVersion);
  // Sets lastError and lastProblem from the system's error number.
  void noteFailure(int systemError);
  FileResult failure(std::string_view name) const;

  std::string workingFolder_;
  int lastError_ = 0;
  FileProblem lastProblem_ = FileProblem::Other;
  int numberClashes_ = 0;
  std::vector<std::unique_ptr<OpenFile>> files_;
  std::vector<CachedInput> cache_;
  std::unique_ptr<os::NameIndex> names_;
  std::vector<std::string> found_;
  std::size_t foundNext_ = 0;
  FaultHook faultHook_;
  VersionHook versionHook_;
  std::unique_ptr<os::FileLock> lock_;
};

}  // namespace almanouk
