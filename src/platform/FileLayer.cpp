#include "platform/FileLayer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/Paths.h"
#include "platform/System.h"
#include "platform/SystemName.h"
#include "platform/TemporaryFiles.h"
#include "platform/Text.h"

namespace almanouk {
namespace {

constexpr std::size_t kReadChunk = 64 * 1024;
// A file version younger than this may still change without a new stamp.
constexpr std::int64_t kSettledNs = 2'000'000'000;

// * matches any run of characters, ? exactly one; letters match in any case.
bool wildcardMatch(std::string_view pattern, std::string_view name) {
  std::size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || lower(pattern[p]) == lower(name[n]))) {
      ++p, ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// 0 when every byte went to the stream, else the system's error number.
int writeAll(std::FILE* stream, std::string_view bytes) {
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size()) return 0;
  return errno ? errno : EIO;
}

FileProblem problemOf(int systemError) {
  switch (systemError) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
    case EFBIG: return FileProblem::DiskFull;
    case EACCES:
    case EPERM: return FileProblem::NoRights;
    case EROFS: return FileProblem::ReadOnly;
    case ENOENT: return FileProblem::NotFound;
    default: return FileProblem::Other;
  }
}

}  // namespace

// An open numbered file. Input files are read from memory (small files
// whole, shared with the cache) or in chunks.
struct FileLayer::OpenFile {
  std::FILE* stream = nullptr;
  FileMode mode = FileMode::Input;
  std::string path;
  bool readOnly = false;  // a binary file the program may only read
  int writeError = 0;     // the system's error number of the first write that failed
  std::shared_ptr<const std::string> whole;
  std::unique_ptr<char[]> chunk;  // left uninitialised: it is filled before it is read
  const char* data = nullptr;
  std::size_t length = 0;
  std::size_t position = 0;

  ~OpenFile() {
    if (stream) std::fclose(stream);
  }

  // Makes at least one unread byte available; false at the end.
  bool fill() {
    if (position < length) return true;
    if (!stream || mode != FileMode::Input) return false;
    if (!chunk) chunk.reset(new char[kReadChunk]);
    length = std::fread(chunk.get(), 1, kReadChunk, stream);
    data = chunk.get();
    position = 0;
    return length > 0;
  }

  // The error number of the first write that failed, or of a flush and close
  // that failed; 0 when everything written is in the file.
  int close() {
    int error = writeError;
    if (stream && std::fclose(stream) != 0 && error == 0) error = errno ? errno : EIO;
    stream = nullptr;
    return error;
  }
};

// A small input file as it was last read, with the stamp of that version.
struct FileLayer::CachedInput {
  std::string path;
  std::int64_t size = 0;
  std::int64_t modifiedNs = 0;
  std::shared_ptr<const std::string> bytes;
};

FileLayer::FileLayer(std::string workingFolder)
    : workingFolder_(std::move(workingFolder)), names_(std::make_unique<os::NameIndex>()) {
  files_.resize(kMaxNumber + 1);
}

FileLayer::~FileLayer() = default;

bool FileLayer::fails(FileFault fault, const std::string& path) const { return faultHook_ && faultHook_(fault, path); }

void FileLayer::noteFailure(int systemError) {
  lastError_ = systemError == ENOENT ? file_error::kNotFound : file_error::kAccess;
  lastProblem_ = problemOf(systemError);
}

FileResult FileLayer::failure(std::string_view name) const { return FileResult(baseName(name), lastProblem_); }

void FileLayer::noteChange(const std::string& path, bool exists) {
  const auto [folder, name] = os::splitPath(path);
  names_->noteChange(folder, name, exists);
}

// The alarm scan reads the calendar four times per poll and the event list
// once per day listed: files are read whole, and a file whose stamp has not
// changed is served from memory. A version written in the last seconds is not
// kept, as a rewrite within the file system's time resolution could keep
// its stamp.
std::shared_ptr<const std::string> FileLayer::readWhole(const std::string& path, std::int64_t size,
                                                        std::int64_t modifiedNs) {
  constexpr std::size_t kCachedFiles = 4;
  for (const CachedInput& cached : cache_)
    if (cached.path == path && cached.size == size && cached.modifiedNs == modifiedNs) return cached.bytes;
  std::FILE* stream = os::openFile(path, "rb");
  if (!stream) return nullptr;
  auto bytes = std::make_shared<std::string>(static_cast<std::size_t>(size), '\0');
  bytes->resize(std::fread(bytes->data(), 1, bytes->size(), stream));
  std::fclose(stream);
  forget(path);
  if (os::wallClockNs() - modifiedNs > kSettledNs && static_cast<std::int64_t>(bytes->size()) == size) {
    if (cache_.size() == kCachedFiles) cache_.erase(cache_.begin());
    cache_.push_back({path, size, modifiedNs, bytes});
  }
  return bytes;
}

void FileLayer::forget(const std::string& path) {
  std::erase_if(cache_, [&](const CachedInput& cached) { return cached.path == path; });
}

std::string FileLayer::absolute(std::string_view name) const {
  if (os::isAbsolutePath(std::string(name))) return std::string(name);
  // "\folder\name" on Windows starts at the root of the working folder's drive.
  if (kThisSystem == SystemKind::Windows && !name.empty() && os::isSeparator(name[0]) && workingFolder_.size() >= 2 &&
      workingFolder_[1] == ':')
    return workingFolder_.substr(0, 2) + std::string(name);
  return workingFolder_ + kPathSeparator + std::string(name);
}

FileLayer::Resolved FileLayer::lookup(std::string_view name) {
  const auto [folder, base] = os::splitPath(absolute(name));
  os::NameIndex::Found found = names_->find(folder, base);
  return {std::move(found.path), found.exists, found.regular};
}

std::string FileLayer::resolve(std::string_view name) { return lookup(name).path; }

FileLayer::OpenFile* FileLayer::file(int number) {
  if (number < 1 || number > kMaxNumber) return nullptr;
  return files_[static_cast<std::size_t>(number)].get();
}

bool FileLayer::isOpen(int number) const {
  return number >= 1 && number <= kMaxNumber && files_[static_cast<std::size_t>(number)] != nullptr;
}

void FileLayer::openFile(std::string_view name, FileMode mode, int number) {
  if (number < 1 || number > kMaxNumber) {
    lastError_ = file_error::kBadNumber;
    return;
  }
  // The file objects never open a number in use; a number reused by hand loses what it held.
  static_cast<void>(closeFile(number));
  if (mode == FileMode::Input) {
    openInput(name, number);
    return;
  }
  Resolved target = lookup(name);
  forget(target.path);
  // A binary file is made at its first write, and fails to be made there.
  if (!target.exists && mode != FileMode::Binary && fails(FileFault::Create, target.path)) {
    noteFailure(ENOSPC);
    return;
  }
  std::FILE* stream = nullptr;
  // A file written anew is never written through a link someone put in its place.
  if (mode == FileMode::Output && target.exists && os::isLink(target.path)) os::removeName(target.path);
  if (mode == FileMode::Output) stream = os::openFile(target.path, "wb");
  if (mode == FileMode::Append) stream = os::openFile(target.path, "ab");
  if (mode == FileMode::Replacement) stream = os::createTemporaryFile(target.path);
  bool readOnly = false;
  if (mode == FileMode::Binary) {
    // A file the user made read-only can still be shown, and is left as it is.
    readOnly = target.exists && os::isReadOnly(target.path);
    stream = os::openFile(target.path, readOnly ? "rb" : "r+b");
    if (!stream && errno == EACCES && (stream = os::openFile(target.path, "rb"))) readOnly = true;
  }
  // A binary file that is not there yet comes with its first write, whole.
  const bool madeAtFirstWrite = mode == FileMode::Binary && !stream && errno == ENOENT;
  if (!stream && !madeAtFirstWrite) {
    noteFailure(errno);
    return;
  }
  if (!target.exists && stream) noteChange(target.path, true);
  auto open = std::make_unique<OpenFile>();
  open->stream = stream;
  open->mode = mode;
  open->path = target.path;
  open->readOnly = readOnly;
  files_[static_cast<std::size_t>(number)] = std::move(open);
  lastError_ = file_error::kNone;
}

void FileLayer::openInput(std::string_view name, int number) {
  constexpr std::int64_t kWholeFileLimit = 1 << 20;
  // The exact name first: the files read in every poll are found without a look at the folder.
  std::string path = absolute(name);
  os::FileStamp stamp = os::fileStamp(path);
  if (!stamp.exists) {
    Resolved match = lookup(name);
    if (match.exists) stamp = os::fileStamp(match.path);
    path = match.path;
  }
  if (!stamp.exists || !stamp.regular) {
    noteFailure(stamp.exists ? EACCES : ENOENT);
    return;
  }
  auto open = std::make_unique<OpenFile>();
  open->path = path;
  if (stamp.size <= kWholeFileLimit) {
    open->whole = readWhole(path, stamp.size, stamp.modifiedNs);
    if (open->whole) {
      open->data = open->whole->data();
      open->length = open->whole->size();
    }
  } else {
    open->stream = os::openFile(path, "rb");
  }
  if (!open->whole && !open->stream) {
    noteFailure(errno ? errno : EACCES);
    return;
  }
  files_[static_cast<std::size_t>(number)] = std::move(open);
  lastError_ = file_error::kNone;
}

void FileLayer::readLine(int number, std::string& text) {
  OpenFile* f = file(number);
  if (!f || f->mode != FileMode::Input) {
    lastError_ = file_error::kBadNumber;
    return;
  }
  std::string line;
  while (f->fill()) {
    const char* start = f->data + f->position;
    std::size_t available = f->length - f->position;
    const void* newline = std::memchr(start, '\n', available);
    if (newline) {
      auto count = static_cast<std::size_t>(static_cast<const char*>(newline) - start);
      line.append(start, count);
      f->position += count + 1;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      text = std::move(line);
      lastError_ = file_error::kNone;
      return;
    }
    line.append(start, available);
    f->position += available;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  text = std::move(line);
  lastError_ = file_error::kNone;
}

void FileLayer::writeText(int number, std::string_view text) {
  OpenFile* f = file(number);
  if (!f || f->mode == FileMode::Input) {
    lastError_ = file_error::kBadNumber;
    return;
  }
  if (f->mode == FileMode::Binary) std::fseek(f->stream, 0, SEEK_END);
  noteWrite(*f, fails(FileFault::Write, f->path) ? ENOSPC : writeAll(f->stream, text));
}

// A failed write makes every later close of the file report it.
void FileLayer::noteWrite(OpenFile& file, int systemError) {
  if (systemError == 0) {
    lastError_ = file_error::kNone;
    return;
  }
  if (file.writeError == 0) file.writeError = systemError;
  noteFailure(systemError);
}

void FileLayer::writeLine(int number, std::string_view text) {
  std::string line(text);
  line += "\r\n";
  writeText(number, line);
}

bool FileLayer::atEnd(int number) {
  OpenFile* f = file(number);
  if (!f) return true;
  if (f->mode == FileMode::Input) return !f->fill();
  if (f->mode != FileMode::Binary) return true;
  long here = std::ftell(f->stream);
  return here < 0 || here >= fileLength(number);
}

std::int64_t FileLayer::fileLength(int number) {
  OpenFile* f = file(number);
  if (!f) {
    lastError_ = file_error::kBadNumber;
    return 0;
  }
  if (f->whole) return static_cast<std::int64_t>(f->whole->size());
  lastError_ = file_error::kNone;
  if (!f->stream) return 0;  // not made yet
  std::fflush(f->stream);
  long here = std::ftell(f->stream);
  std::fseek(f->stream, 0, SEEK_END);
  long length = std::ftell(f->stream);
  if (f->mode != FileMode::Append) std::fseek(f->stream, here, SEEK_SET);
  lastError_ = file_error::kNone;
  return length < 0 ? 0 : length;
}

std::string FileLayer::readBytes(int number, std::int64_t position, std::size_t count) {
  OpenFile* f = file(number);
  if (!f || f->mode != FileMode::Binary || position < 1) {
    lastError_ = file_error::kBadNumber;
    return {};
  }
  lastError_ = file_error::kNone;
  if (!f->stream) return {};  // not made yet
  std::string bytes(count, '\0');
  std::fseek(f->stream, static_cast<long>(position - 1), SEEK_SET);
  bytes.resize(std::fread(bytes.data(), 1, count, f->stream));
  lastError_ = file_error::kNone;
  return bytes;
}

void FileLayer::writeBytes(int number, std::int64_t position, std::string_view bytes) {
  OpenFile* f = file(number);
  if (!f || f->mode != FileMode::Binary || position < 1) {
    lastError_ = file_error::kBadNumber;
    return;
  }
  if (f->readOnly) {
    noteFailure(EROFS);
    return;
  }
  if (!f->stream) {
    makeWhole(*f, position, bytes);
    return;
  }
  std::fseek(f->stream, static_cast<long>(position - 1), SEEK_SET);
  noteWrite(*f, fails(FileFault::Write, f->path) ? ENOSPC : writeAll(f->stream, bytes));
}

// A file's first bytes under a temporary name, then in its place: a run cut
// short leaves no empty file, only none. Later writes go to it in place.
void FileLayer::makeWhole(OpenFile& file, std::int64_t position, std::string_view bytes) {
  const std::string temp = os::splitPath(file.path).first + kPathSeparator + std::string(temporary::kPage);
  if (fails(FileFault::Create, file.path)) {
    noteWrite(file, ENOSPC);
    return;
  }
  std::FILE* made = os::createTemporaryFile(temp);
  if (!made) {
    noteWrite(file, errno ? errno : EIO);
    return;
  }
  std::string content(static_cast<std::size_t>(position - 1), '\0');
  content += bytes;
  int error = fails(FileFault::Write, file.path) ? ENOSPC : writeAll(made, content);
  if (std::fclose(made) != 0 && error == 0) error = errno ? errno : EIO;
  if (error == 0 && (fails(FileFault::Sync, file.path) || !os::syncPath(temp))) error = EIO;
  if (error == 0 && (fails(FileFault::Rename, file.path) || os::renameOver(temp, file.path) != 0)) error = errno ? errno : EIO;
  if (error != 0) {
    os::removeName(temp);
    noteWrite(file, error);
    return;
  }
  os::syncPath(os::splitPath(file.path).first);
  noteChange(file.path, true);
  file.stream = os::openFile(file.path, "r+b");
  noteWrite(file, file.stream ? 0 : (errno ? errno : EIO));
}

bool FileLayer::flushFile(int number) {
  OpenFile* f = file(number);
  if (f && !f->stream && f->mode == FileMode::Binary && f->writeError == 0) return true;  // nothing written yet
  if (!f || !f->stream) return false;
  errno = 0;
  noteWrite(*f, std::fflush(f->stream) == 0 ? 0 : (errno ? errno : EIO));
  // A write that failed earlier is still missing from the file.
  if (f->writeError != 0) {
    noteFailure(f->writeError);
    return false;
  }
  return true;
}

bool FileLayer::isWritable(int number) {
  OpenFile* f = file(number);
  return f && f->mode != FileMode::Input && !f->readOnly;
}

bool FileLayer::closeFile(int number) {
  if (number == 0) {
    bool ok = true;
    for (int n = 1; n <= kMaxNumber; ++n) ok = closeFile(n) && ok;
    return ok;
  }
  OpenFile* f = file(number);
  if (!f) return true;
  errno = 0;
  int error = f->close();
  files_[static_cast<std::size_t>(number)].reset();
  if (error != 0) noteFailure(error);
  return error == 0;
}

FileResult FileLayer::deleteFile(std::string_view name) { return remove(name, true); }

// Litter of the program's own: nothing of it is kept.
void FileLayer::discardFile(std::string_view name) { static_cast<void>(remove(name, false)); }

FileResult FileLayer::remove(std::string_view name, bool keepVersion) {
  Resolved target = lookup(name);
  forget(target.path);
  if (!target.exists) {
    lastError_ = file_error::kNotFound;
    return {};
  }
  if (os::isFolder(target.path)) return {};
  if (fails(FileFault::Remove, target.path)) {
    noteFailure(ENOSPC);
    return failure(name);
  }
  if (keepVersion && versionHook_) versionHook_(target.path, false);
  int error = os::removeFile(target.path);
  if (error == 0 || error == ENOENT) noteChange(target.path, false);
  if (error != 0 && error != ENOENT) {
    noteFailure(error);
    return failure(name);
  }
  lastError_ = file_error::kNone;
  return {};
}

FileResult FileLayer::renameFile(std::string_view oldName, std::string_view newName) {
  Resolved from = lookup(oldName);
  Resolved to = lookup(newName);
  forget(from.path);
  forget(to.path);
  if (to.exists || !from.exists) {
    noteFailure(from.exists ? EEXIST : ENOENT);
    return failure(newName);
  }
  int error = fails(FileFault::Rename, to.path) ? ENOSPC : os::renameOver(from.path, to.path);
  if (error != 0) {
    noteFailure(error);
    return failure(newName);
  }
  noteChange(from.path, false);
  noteChange(to.path, true);
  lastError_ = file_error::kNone;
  return {};
}

FileResult FileLayer::replaceFile(std::string_view tempName, std::string_view targetName) {
  Resolved from = lookup(tempName);
  Resolved to = lookup(targetName);
  forget(from.path);
  forget(to.path);
  if (!from.exists || !from.regular) {
    noteFailure(ENOENT);
    return failure(targetName);
  }
  if (to.exists && os::isReadOnly(to.path)) {
    noteFailure(EROFS);
    return failure(targetName);
  }
  if (fails(FileFault::Sync, from.path) || fails(FileFault::Rename, to.path)) {
    noteFailure(ENOSPC);
    return failure(targetName);
  }
  errno = 0;
  // The mode first: the new version is never, not even for a moment, more open than the old.
  if ((to.exists && !os::applyPermissions(from.path, os::permissionsOf(to.path))) || !os::syncPath(from.path)) {
    noteFailure(errno ? errno : EIO);
    return failure(targetName);
  }
  if (to.exists && versionHook_) versionHook_(to.path, false);
  if (int error = os::renameOver(from.path, to.path); error != 0) {
    noteFailure(error);
    return failure(targetName);
  }
  noteChange(from.path, false);
  noteChange(to.path, true);
  os::syncPath(os::splitPath(to.path).first);
  lastError_ = file_error::kNone;
  return {};
}

LockOutcome FileLayer::lockFolder(std::string_view markerName) {
  Resolved target = lookup(markerName);
  if (fails(FileFault::Lock, target.path)) return {LockState::Failed, "dit bestandssysteem kan niet vergrendelen"};
  auto lock = std::make_unique<os::FileLock>();
  const LockOutcome outcome = lock->acquire(target.path);
  if (outcome.state != LockState::Held) return outcome;
  // On some systems the lock makes the marker.
  if (!target.exists && os::fileStamp(target.path).exists) noteChange(target.path, true);
  lock_ = std::move(lock);
  return outcome;
}

void FileLayer::releaseLock() { lock_.reset(); }

void FileLayer::keepVersion(std::string_view name) {
  Resolved target = lookup(name);
  if (target.exists && target.regular && versionHook_) versionHook_(target.path, true);
}

FileResult FileLayer::truncateFile(std::string_view name, std::int64_t length) {
  Resolved target = lookup(name);
  forget(target.path);
  if (fails(FileFault::Write, target.path)) {
    noteFailure(ENOSPC);
    return failure(name);
  }
  if (int error = os::resizeFile(target.path, length); error != 0) {
    noteFailure(error);
    return failure(name);
  }
  noteChange(target.path, true);
  return {};
}

bool FileLayer::fileExists(std::string_view name) {
  Resolved target = lookup(name);
  return target.exists && target.regular;
}

std::int64_t FileLayer::fileSize(std::string_view name) {
  Resolved target = lookup(name);
  if (!target.exists || !target.regular) return -1;
  os::FileStamp stamp = os::fileStamp(target.path);
  return stamp.exists && stamp.regular ? stamp.size : -1;
}

std::optional<FileVersion> FileLayer::version(std::string_view name) {
  std::string path = absolute(name);
  os::FileStamp stamp = os::fileStamp(path);
  if (!stamp.exists) stamp = os::fileStamp(lookup(name).path);
  if (!stamp.exists || !stamp.regular) return std::nullopt;
  bool settled = os::wallClockNs() - stamp.modifiedNs > kSettledNs;
  return FileVersion{stamp.size, stamp.modifiedNs, stamp.inode, settled};
}

FileLayer::Kind FileLayer::kind(std::string_view name) {
  const Resolved target = lookup(name);
  if (os::isFolder(target.path)) return Kind::Folder;
  if (!target.exists) return Kind::Missing;
  return target.regular ? Kind::Regular : Kind::Other;
}

std::optional<std::string> FileLayer::contents(std::string_view name) {
  Resolved target = lookup(name);
  if (!target.exists || !target.regular) return std::nullopt;
  os::FileStamp stamp = os::fileStamp(target.path);
  std::shared_ptr<const std::string> bytes = readWhole(target.path, stamp.size, stamp.modifiedNs);
  if (!bytes) return std::nullopt;
  return *bytes;
}

std::optional<std::string_view> FileLayer::readInto(std::string_view name, std::string& room) {
  std::optional<std::size_t> length = os::readFileInto(absolute(name), room);
  if (!length) return std::nullopt;
  return std::string_view(room).substr(0, *length);
}

void FileLayer::makeFolder(std::string_view path) {
  if (int error = os::makeFolders(absolute(path)); error != 0) {
    noteFailure(error);
  } else {
    lastError_ = file_error::kNone;
  }
}

bool FileLayer::changeFolder(std::string_view path) {
  std::string target = resolve(path);
  if (!os::isFolder(target)) {
    lastError_ = file_error::kNotFound;
    return false;
  }
  workingFolder_ = os::canonicalFolder(target);
  lastError_ = file_error::kNone;
  return true;
}

std::string FileLayer::findFirst(std::string_view pattern) {
  found_.clear();
  foundNext_ = 0;
  // Named, not bound: clang 14 cannot capture a structured binding.
  const auto parts = os::splitPath(absolute(pattern));
  const std::string& namePattern = parts.second;
  std::vector<std::pair<std::string, std::string>> matches;  // upper-case name, name
  names_->forEach(parts.first, [&](const std::string& name, bool regular) {
    if (regular && !name.empty() && name[0] != '.' && wildcardMatch(namePattern, name))
      matches.emplace_back(upperAscii(name), name);
  });
  std::sort(matches.begin(), matches.end());
  found_.reserve(matches.size());
  for (auto& match : matches) found_.push_back(std::move(match.second));
  return findNext();
}

std::string FileLayer::findNext() {
  if (foundNext_ >= found_.size()) return {};
  return found_[foundNext_++];
}

}  // namespace almanouk
