#include "platform/FileLayer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/Text.h"
#include "platform/posix/PosixSystem.h"

namespace fs = std::filesystem;

namespace almanouk {
namespace {

constexpr std::size_t kReadChunk = 64 * 1024;

std::string upperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && lowerAscii(a) == lowerAscii(b);
}

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

int errorFor(const std::string& path) {
  std::error_code ec;
  return fs::exists(path, ec) ? file_error::kAccess : file_error::kNotFound;
}

}  // namespace

// An input file's bytes: small files are held whole (and shared with the
// cache), larger ones are read in chunks.
struct FileLayer::OpenFile {
  std::FILE* stream = nullptr;
  FileMode mode = FileMode::Input;
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
};

// A small input file as it was last read, with the stamp of that version.
struct FileLayer::CachedInput {
  std::string path;
  posix::FileStamp stamp;
  std::shared_ptr<const std::string> bytes;
};

FileLayer::FileLayer(std::string workingFolder) : workingFolder_(std::move(workingFolder)) {
  files_.resize(kMaxNumber + 1);
}

FileLayer::~FileLayer() = default;

// The alarm scan reads the calendar four times per poll and the event list
// once per day listed: files are read whole, and a file whose stamp has not
// changed is served from memory. A version written in the last seconds is not
// kept, as a rewrite within the file system's time resolution could keep
// its stamp.
std::shared_ptr<const std::string> FileLayer::readWhole(const std::string& path, const posix::FileStamp& stamp) {
  constexpr std::int64_t kSettledNs = 2'000'000'000;
  constexpr std::size_t kCachedFiles = 4;
  for (const CachedInput& cached : cache_)
    if (cached.path == path && cached.stamp == stamp) return cached.bytes;
  std::FILE* stream = std::fopen(path.c_str(), "rb");
  if (!stream) return nullptr;
  auto bytes = std::make_shared<std::string>(static_cast<std::size_t>(stamp.size), '\0');
  bytes->resize(std::fread(bytes->data(), 1, bytes->size(), stream));
  std::fclose(stream);
  forget(path);
  if (posix::wallClockNs() - stamp.modifiedNs > kSettledNs && static_cast<std::int64_t>(bytes->size()) == stamp.size) {
    if (cache_.size() == kCachedFiles) cache_.erase(cache_.begin());
    cache_.push_back({path, stamp, bytes});
  }
  return bytes;
}

void FileLayer::forget(const std::string& path) {
  std::erase_if(cache_, [&](const CachedInput& cached) { return cached.path == path; });
}

std::string FileLayer::absolute(std::string_view name) const {
  fs::path path{std::string(name)};
  if (path.is_absolute()) return path.string();
  return (fs::path(workingFolder_) / path).string();
}

std::string FileLayer::resolve(std::string_view name) const {
  std::string path = absolute(name);
  std::error_code ec;
  if (fs::exists(fs::symlink_status(path, ec))) return path;
  return matchIgnoringCase(path);
}

std::string FileLayer::matchIgnoringCase(const std::string& path) const {
  std::error_code ec;
  fs::path asPath(path);
  std::string base = asPath.filename().string();
  fs::path folder = asPath.parent_path();
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::string candidate = it->path().filename().string();
    if (equalsIgnoringCase(candidate, base)) return it->path().string();
  }
  return path;
}

FileLayer::OpenFile* FileLayer::file(int number) {
  if (number < 1 || number > kMaxNumber) return nullptr;
  return files_[static_cast<std::size_t>(number)].get();
}

void FileLayer::openFile(std::string_view name, FileMode mode, int number) {
  if (number < 1 || number > kMaxNumber) {
    lastError_ = file_error::kBadNumber;
    return;
  }
  closeFile(number);
  if (mode == FileMode::Input) {
    openInput(name, number);
    return;
  }
  std::string path = resolve(name);
  forget(path);
  std::FILE* stream = nullptr;
  if (mode == FileMode::Output) stream = std::fopen(path.c_str(), "wb");
  if (mode == FileMode::Append) stream = std::fopen(path.c_str(), "ab");
  if (mode == FileMode::Binary) {
    stream = std::fopen(path.c_str(), "r+b");
    if (!stream && errno == ENOENT) stream = std::fopen(path.c_str(), "w+b");
  }
  if (!stream) {
    lastError_ = file_error::kAccess;
    return;
  }
  auto open = std::make_unique<OpenFile>();
  open->stream = stream;
  open->mode = mode;
  files_[static_cast<std::size_t>(number)] = std::move(open);
  lastError_ = file_error::kNone;
}

void FileLayer::openInput(std::string_view name, int number) {
  constexpr std::int64_t kWholeFileLimit = 1 << 20;
  // The exact name first: the files read in every poll are found without a look at the folder.
  std::string path = absolute(name);
  posix::FileStamp stamp = posix::fileStamp(path);
  if (!stamp.exists) {
    path = matchIgnoringCase(path);
    stamp = posix::fileStamp(path);
  }
  if (!stamp.exists || !stamp.regular) {
    lastError_ = stamp.exists ? file_error::kAccess : file_error::kNotFound;
    return;
  }
  auto open = std::make_unique<OpenFile>();
  if (stamp.size <= kWholeFileLimit) {
    open->whole = readWhole(path, stamp);
    if (open->whole) {
      open->data = open->whole->data();
      open->length = open->whole->size();
    }
  } else {
    open->stream = std::fopen(path.c_str(), "rb");
  }
  if (!open->whole && !open->stream) {
    lastError_ = file_error::kAccess;
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

void FileLayer::readField(int number, std::string& text) {
  OpenFile* f = file(number);
  if (!f || f->mode != FileMode::Input) {
    lastError_ = file_error::kBadNumber;
    return;
  }
  auto peek = [&]() -> int { return f->fill() ? static_cast<unsigned char>(f->data[f->position]) : -1; };
  auto take = [&]() { ++f->position; };
  // A field ends at a comma or at the line end, which is consumed with it.
  auto endField = [&]() {
    for (int c = peek(); c != -1; c = peek()) {
      take();
      if (c == ',' || c == '\n') return;
    }
  };
  while (peek() == ' ') take();
  std::string field;
  if (peek() == '"') {
    take();
    for (int c = peek(); c != -1 && c != '"'; c = peek()) {
      field += static_cast<char>(c);
      take();
    }
    if (peek() == '"') take();
    endField();
  } else {
    for (int c = peek(); c != -1 && c != ',' && c != '\n'; c = peek()) {
      field += static_cast<char>(c);
      take();
    }
    if (!field.empty() && field.back() == '\r') field.pop_back();
    while (!field.empty() && field.back() == ' ') field.pop_back();
    if (peek() != -1) take();
  }
  text = std::move(field);
  lastError_ = file_error::kNone;
}

void FileLayer::writeText(int number, std::string_view text) {
  OpenFile* f = file(number);
  if (!f || f->mode == FileMode::Input) {
    lastError_ = file_error::kBadNumber;
    return;
  }
  if (f->mode == FileMode::Binary) std::fseek(f->stream, 0, SEEK_END);
  bool ok = std::fwrite(text.data(), 1, text.size(), f->stream) == text.size();
  lastError_ = ok ? file_error::kNone : file_error::kAccess;
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
  std::fseek(f->stream, static_cast<long>(position - 1), SEEK_SET);
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f->stream) == bytes.size();
  lastError_ = ok ? file_error::kNone : file_error::kAccess;
}

void FileLayer::closeFile(int number) {
  if (number == 0) {
    for (auto& f : files_) f.reset();
    return;
  }
  if (number >= 1 && number <= kMaxNumber) files_[static_cast<std::size_t>(number)].reset();
}

void FileLayer::deleteFile(std::string_view name) {
  std::error_code ec;
  std::string path = resolve(name);
  forget(path);
  if (fs::is_directory(path, ec)) return;
  fs::remove(path, ec);
  lastError_ = ec ? errorFor(path) : file_error::kNone;
}

bool FileLayer::renameFile(std::string_view oldName, std::string_view newName) {
  std::string from = resolve(oldName);
  std::string to = resolve(newName);
  forget(from);
  forget(to);
  std::error_code ec;
  if (fs::exists(fs::symlink_status(to, ec)) || !fs::exists(fs::symlink_status(from, ec))) {
    lastError_ = fs::exists(from, ec) ? file_error::kAccess : file_error::kNotFound;
    return false;
  }
  fs::rename(from, to, ec);
  lastError_ = ec ? file_error::kAccess : file_error::kNone;
  return !ec;
}

bool FileLayer::replaceFile(std::string_view tempName, std::string_view targetName) {
  std::string from = resolve(tempName);
  std::string to = resolve(targetName);
  forget(from);
  forget(to);
  std::error_code ec;
  if (!fs::is_regular_file(from, ec)) {
    lastError_ = file_error::kNotFound;
    return false;
  }
  posix::syncPath(from);
  fs::rename(from, to, ec);
  if (ec) {
    lastError_ = file_error::kAccess;
    return false;
  }
  posix::syncPath(fs::path(to).parent_path().string());
  lastError_ = file_error::kNone;
  return true;
}

bool FileLayer::fileExists(std::string_view name) const {
  std::error_code ec;
  return fs::is_regular_file(resolve(name), ec);
}

void FileLayer::makeFolder(std::string_view path) {
  std::error_code ec;
  fs::create_directories(absolute(path), ec);
  lastError_ = ec ? file_error::kAccess : file_error::kNone;
}

bool FileLayer::changeFolder(std::string_view path) {
  std::string target = resolve(path);
  std::error_code ec;
  if (!fs::is_directory(target, ec)) {
    lastError_ = file_error::kNotFound;
    return false;
  }
  workingFolder_ = fs::weakly_canonical(target, ec).string();
  if (ec) workingFolder_ = target;
  lastError_ = file_error::kNone;
  return true;
}

std::string FileLayer::findFirst(std::string_view pattern) {
  found_.clear();
  foundNext_ = 0;
  std::string full = absolute(pattern);
  std::string::size_type slash = full.rfind('/');
  std::string folder = full.substr(0, slash + 1);
  std::string namePattern = full.substr(slash + 1);
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    std::error_code typeError;
    if (name.empty() || name[0] == '.' || !it->is_regular_file(typeError)) continue;
    if (wildcardMatch(namePattern, name)) found_.push_back(std::move(name));
  }
  std::sort(found_.begin(), found_.end(), [](const std::string& a, const std::string& b) {
    std::string ua = upperAscii(a), ub = upperAscii(b);
    return ua != ub ? ua < ub : a < b;
  });
  return findNext();
}

std::string FileLayer::findNext() {
  if (foundNext_ >= found_.size()) return {};
  return found_[foundNext_++];
}

}  // namespace almanouk
