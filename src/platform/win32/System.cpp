// The operating system on Windows. Paths are UTF-8 in the program and UTF-16
// for the system: every call converts, so a user name with "é" in its folder works.

#include "platform/System.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cerrno>
#include <cwchar>

#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/SystemName.h"
#include "platform/Text.h"
#include "platform/win32/Utf16.h"
#include "platform/win32/ZoneNames.h"

namespace almanouk {

const SystemKind kThisSystem = SystemKind::Windows;

const char kPathSeparator = '\\';

}  // namespace almanouk

namespace almanouk::os {

using win32::narrow;
using win32::wide;

namespace {

// 100-nanosecond ticks from 1601 to 1970.
constexpr std::int64_t kEpochTicks = 116'444'736'000'000'000LL;

std::int64_t nanoseconds(const FILETIME& time) {
  ULARGE_INTEGER ticks;
  ticks.LowPart = time.dwLowDateTime;
  ticks.HighPart = time.dwHighDateTime;
  return (static_cast<std::int64_t>(ticks.QuadPart) - kEpochTicks) * 100;
}

// The C library's error number for the system's last error.
int errorNumber(DWORD error = GetLastError()) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return EACCES;
    case ERROR_WRITE_PROTECT: return EROFS;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    default: return EIO;
  }
}

struct Handle {
  HANDLE handle;
  explicit Handle(HANDLE h) : handle(h) {}
  ~Handle() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool ok() const { return handle != INVALID_HANDLE_VALUE; }
};

// A file or folder opened only to be asked about or flushed.
HANDLE openForQuery(const std::string& path, DWORD access) {
  return CreateFileW(wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// Runs the line through cmd in the folder; the process, or nothing when it could not start.
HANDLE startProcess(const std::string& commandLine, const std::string& folder) {
  std::wstring line = wide(commandLine);
  std::wstring where = wide(folder);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, where.c_str(), &startup, &process))
    return nullptr;
  CloseHandle(process.hThread);
  return process.hProcess;
}

}  // namespace

bool isSeparator(char c) { return c == '/' || c == '\\'; }

bool isAbsolutePath(const std::string& path) {
  if (path.size() >= 3 && path[1] == ':' && isSeparator(path[2])) return true;
  return path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]);  // \\server\share
}

std::pair<std::string, std::string> splitPath(const std::string& path) {
  std::string::size_type slash = path.find_last_of("/\\");
  if (slash == std::string::npos) return {".", path};
  // "C:\name": the folder is the drive's root, not the drive's working folder.
  std::string folder = path.substr(0, slash);
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';
  return {folder, path.substr(slash + 1)};
}

std::string canonicalFolder(const std::string& path) {
  wchar_t full[MAX_PATH * 4];
  DWORD length = GetFullPathNameW(wide(path).c_str(), MAX_PATH * 4, full, nullptr);
  if (length == 0 || length >= MAX_PATH * 4) return path;
  std::string canonical = narrow(full, static_cast<int>(length));
  if (canonical.size() > 3 && isSeparator(canonical.back())) canonical.pop_back();
  return canonical;
}

bool sameFile(const std::string& a, const std::string& b) {
  Handle first(openForQuery(a, 0)), second(openForQuery(b, 0));
  BY_HANDLE_FILE_INFORMATION one{}, other{};
  return first.ok() && second.ok() && GetFileInformationByHandle(first.handle, &one) &&
         GetFileInformationByHandle(second.handle, &other) &&
         one.dwVolumeSerialNumber == other.dwVolumeSerialNumber && one.nFileIndexHigh == other.nFileIndexHigh &&
         one.nFileIndexLow == other.nFileIndexLow;
}

// Opened as the C library would, but sharing the file for deletion too: a
// file the program reads can be replaced meanwhile, as on other systems.
std::FILE* openFile(const std::string& path, const char* mode) {
  const std::string_view flags = mode;
  const bool update = flags.find('+') != std::string_view::npos;
  DWORD access = GENERIC_READ, disposition = OPEN_EXISTING;
  int descriptorFlags = _O_BINARY | (update ? _O_RDWR : _O_RDONLY);
  if (flags.starts_with("w")) {
    access = update ? GENERIC_READ | GENERIC_WRITE : GENERIC_WRITE;
    disposition = flags.find('x') != std::string_view::npos ? CREATE_NEW : CREATE_ALWAYS;
    descriptorFlags = _O_BINARY | (update ? _O_RDWR : _O_WRONLY);
  } else if (flags.starts_with("a")) {
    access = FILE_APPEND_DATA;
    disposition = OPEN_ALWAYS;
    descriptorFlags = _O_BINARY | _O_WRONLY | _O_APPEND;
  } else if (update) {
    access = GENERIC_READ | GENERIC_WRITE;
  }
  HANDLE handle = CreateFileW(wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    errno = errorNumber();
    return nullptr;
  }
  int descriptor = _open_osfhandle(reinterpret_cast<std::intptr_t>(handle), descriptorFlags);
  if (descriptor < 0) {
    CloseHandle(handle);
    errno = EIO;
    return nullptr;
  }
  std::string streamMode(flags);
  std::erase(streamMode, 'x');
  std::FILE* stream = _fdopen(descriptor, streamMode.c_str());
  if (!stream) _close(descriptor);
  return stream;
}

std::optional<std::size_t> readFileInto(const std::string& path, std::string& room) {
  HANDLE handle = CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  LARGE_INTEGER size{};
  bool read = GetFileSizeEx(handle, &size) && size.QuadPart < (1LL << 31);
  DWORD got = 0;
  if (read) {
    if (room.size() < static_cast<std::size_t>(size.QuadPart)) room.resize(static_cast<std::size_t>(size.QuadPart));
    read = size.QuadPart == 0 || ReadFile(handle, room.data(), static_cast<DWORD>(size.QuadPart), &got, nullptr);
  }
  CloseHandle(handle);
  if (!read) return std::nullopt;
  return got;
}

int removeFile(const std::string& path) { return DeleteFileW(wide(path).c_str()) ? 0 : errorNumber(); }

int renameOver(const std::string& from, const std::string& to) {
  return MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
             ? 0
             : errorNumber();
}

int makeFolders(const std::string& path) {
  for (std::size_t at = 0;;) {
    std::size_t slash = path.find_first_of("/\\", at);
    const std::string step = path.substr(0, slash);
    // Not the drive ("C:") nor the empty start of a "\\server" path.
    if (!step.empty() && !(step.size() == 2 && step[1] == ':') && !CreateDirectoryW(wide(step).c_str(), nullptr)) {
      const DWORD error = GetLastError();  // before isFolder asks the system again
      if (error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED && !isFolder(step)) return errorNumber(error);
    }
    if (slash == std::string::npos) break;
    at = slash + 1;
  }
  return isFolder(path) ? 0 : ENOTDIR;
}

bool isFolder(const std::string& path) {
  DWORD attributes = GetFileAttributesW(wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int resizeFile(const std::string& path, std::int64_t length) {
  Handle file(CreateFileW(wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.ok()) return errorNumber();
  LARGE_INTEGER size;
  size.QuadPart = length;
  if (!SetFilePointerEx(file.handle, size, nullptr, FILE_BEGIN) || !SetEndOfFile(file.handle)) return errorNumber();
  return 0;
}

FileStamp fileStamp(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  FileStamp stamp;
  if (!GetFileAttributesExW(wide(path).c_str(), GetFileExInfoStandard, &data)) return stamp;
  stamp.exists = true;
  stamp.regular = !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  stamp.size = (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  stamp.modifiedNs = nanoseconds(data.ftLastWriteTime);
  return stamp;
}

std::int64_t wallClockNs() {
  FILETIME now;
  GetSystemTimePreciseAsFileTime(&now);
  return nanoseconds(now);
}

std::vector<FolderEntry> listFolder(const std::string& folder) {
  std::vector<FolderEntry> entries;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(wide(folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return entries;
  do {
    std::string name = narrow(found.cFileName);
    if (name == "." || name == "..") continue;
    entries.push_back({std::move(name), !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)});
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return entries;
}

bool syncPath(const std::string& path) {
  // A folder's entries reach the disk with the rename that wrote them (MOVEFILE_WRITE_THROUGH).
  if (isFolder(path)) return true;
  Handle file(openForQuery(path, GENERIC_WRITE));
  return file.ok() && FlushFileBuffers(file.handle);
}

// A replacement inherits the folder's access rights, as every new file here does.
Permissions permissionsOf(const std::string&) { return {}; }

bool applyPermissions(const std::string&, const Permissions&) { return true; }

bool isReadOnly(const std::string& path) {
  DWORD attributes = GetFileAttributesW(wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         (attributes & FILE_ATTRIBUTE_READONLY);
}

bool hardLink(const std::string& existing, const std::string& newName) {
  return CreateHardLinkW(wide(newName).c_str(), wide(existing).c_str(), nullptr);
}

bool removeName(const std::string& path) {
  if (isFolder(path)) return false;
  return DeleteFileW(wide(path).c_str());
}

bool removeEmptyFolder(const std::string& path) { return RemoveDirectoryW(wide(path).c_str()) != 0; }

std::FILE* createTemporaryFile(const std::string& path) {
  if (isFolder(path)) {
    removeEmptyFolder(path);
  } else {
    removeName(path);
  }
  return openFile(path, "wbx");
}

bool isLink(const std::string& path) {
  DWORD attributes = GetFileAttributesW(wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The watcher, the one that waits so, does not run here: a wait takes its whole time.
FolderNames::FolderNames(const std::string&, std::vector<std::string> names) : names_(std::move(names)) {}
FolderNames::~FolderNames() = default;
void FolderNames::await(int milliseconds) { sleepMilliseconds(milliseconds); }

FileLock::~FileLock() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));  // closing releases the lock
}

void ignoreTerminationSignals() {}

namespace {

const char* lockProblem(DWORD error) {
  switch (error) {
    case ERROR_ACCESS_DENIED: return "geen rechten";
    case ERROR_PATH_NOT_FOUND: return "de map bestaat niet";
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION: return "dit bestandssysteem kan niet vergrendelen, zoals sommige netwerkschijven";
    case ERROR_WRITE_PROTECT: return "alleen-lezen";
    default: return "fout van het systeem";
  }
}

}  // namespace

LockOutcome FileLock::acquire(const std::string& markerPath) {
  // Others may read and write the marker, not delete it: the lock stays with the file.
  HANDLE file = CreateFileW(wide(markerPath).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return {error == ERROR_SHARING_VIOLATION ? LockState::HeldElsewhere : LockState::Failed, lockProblem(error)};
  }
  // A byte far past the marker's text: a lock here keeps others from writing the bytes it covers.
  OVERLAPPED beyondText{};
  beyondText.OffsetHigh = 0x40000000;
  if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &beyondText)) {
    const DWORD error = GetLastError();
    CloseHandle(file);
    return {error == ERROR_LOCK_VIOLATION ? LockState::HeldElsewhere : LockState::Failed, lockProblem(error)};
  }
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = reinterpret_cast<std::intptr_t>(file);
  return {LockState::Held, ""};
}

LocalDateTime localNow() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  LocalDateTime t;
  t.year = now.wYear;
  t.month = now.wMonth;
  t.day = now.wDay;
  t.hour = now.wHour;
  t.minute = now.wMinute;
  t.second = now.wSecond;
  t.millisecond = now.wMilliseconds;
  return t;
}

double monotonicSeconds() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void sleepMilliseconds(int ms) { Sleep(static_cast<DWORD>(ms > 0 ? ms : 0)); }

void yieldProcessor() { SwitchToThread(); }

std::string environmentValue(const std::string& name) {
  const wchar_t* value = _wgetenv(wide(name).c_str());
  return value ? narrow(value) : std::string();
}

// The zone's Windows name ("W. Europe Standard Time"); the zone database's names are not used here.
// Windows's name for the zone ("W. Europe Standard Time") as the zone database
// knows it; UTC for a zone the table lacks, as for none.
std::string localTimeZone() {
  DYNAMIC_TIME_ZONE_INFORMATION zone{};
  if (GetDynamicTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID || zone.TimeZoneKeyName[0] == L'\0') return "UTC";
  const std::string_view name = win32::zoneDatabaseName(narrow(zone.TimeZoneKeyName));
  return name.empty() ? "UTC" : std::string(name);
}

// The zoneinfo folder beside the program, in the system's code page, which
// the C library's fopen takes (its short name where the long one does not fit).
std::string zoneDataFolder() {
  wchar_t path[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  if (length == 0 || length >= MAX_PATH * 4) return {};
  std::wstring folder(path, length);
  folder = folder.substr(0, folder.find_last_of(L"\\/") + 1) + L"zoneinfo";
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
  auto inCodePage = [](const std::wstring& name) -> std::string {
    BOOL lost = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, nullptr, 0, nullptr, &lost);
    if (size <= 1 || lost) return {};
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, text.data(), size, nullptr, nullptr);
    text.pop_back();
    return text;
  };
  if (std::string text = inCodePage(folder); !text.empty()) return text;
  wchar_t shortName[MAX_PATH * 4];
  const DWORD shortLength = GetShortPathNameW(folder.c_str(), shortName, MAX_PATH * 4);
  if (shortLength == 0 || shortLength >= MAX_PATH * 4) return {};
  return inCodePage(std::wstring(shortName, shortLength));
}

// The window's own messages tell of a session that ends (WM_ENDSESSION).
void treatHangupAsTermination() {}

void runCommandLine(const std::string& line, const std::string& folder) {
  const bool detached = lowerAscii(line.substr(0, 6)) == "start ";
  HANDLE process = startProcess("cmd.exe /c " + (detached ? line.substr(6) : line), folder);
  if (!process) return;
  if (!detached) WaitForSingleObject(process, INFINITE);
  CloseHandle(process);
}

bool openInTextViewer(const std::string& name, const std::string& folder) {
  constexpr DWORD kWatchMs = 1500;
  HANDLE process = startProcess("notepad.exe \"" + name + "\"", folder);
  if (!process) return false;
  DWORD status = STILL_ACTIVE;
  if (WaitForSingleObject(process, kWatchMs) == WAIT_OBJECT_0) GetExitCodeProcess(process, &status);
  CloseHandle(process);
  return status == STILL_ACTIVE || status == 0;
}


}  // namespace almanouk::os

namespace almanouk::process {

std::vector<std::string> arguments(int, char**) {
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> result;
  for (int i = 1; i < count; ++i) result.push_back(win32::narrow(words[i]));
  LocalFree(words);
  return result;
}

std::string startFolder() {
  wchar_t folder[MAX_PATH * 4];
  DWORD length = GetCurrentDirectoryW(MAX_PATH * 4, folder);
  return length > 0 && length < MAX_PATH * 4 ? win32::narrow(folder, static_cast<int>(length)) : ".";
}

void useStartingTerminal() {
  // A program with a window has no terminal of its own: it borrows the one it was started from.
  if (GetConsoleWindow() == nullptr && AttachConsole(ATTACH_PARENT_PROCESS)) {
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
  }
  SetConsoleOutputCP(CP_UTF8);
}

std::string programPath() {
  wchar_t path[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  return length > 0 && length < MAX_PATH * 4 ? win32::narrow(path, static_cast<int>(length)) : std::string();
}

std::string packageProgram(const std::vector<std::string>& places) {
  const std::string self = programPath();
  const std::string folder = self.substr(0, self.find_last_of("\\/") + 1);
  for (const std::string& place : places)
    if (GetFileAttributesW(win32::wide(folder + place).c_str()) != INVALID_FILE_ATTRIBUTES) return folder + place;
  return {};
}

// The watcher needs the desktop's notifications, which this build does not speak yet.
void becomeProgram(const std::string&, const std::vector<std::string>&) {}

bool startProgram(const std::string& program, const std::vector<std::string>& arguments) {
  std::string line = "\"" + program + "\"";
  for (const std::string& argument : arguments) line += " \"" + argument + "\"";
  HANDLE process = os::startProcess(line, ".");
  if (!process) return false;
  CloseHandle(process);
  return true;
}

}  // namespace almanouk::process
