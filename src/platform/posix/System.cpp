#include "platform/System.h"

#include <dirent.h>
#include <fcntl.h>
#include <sched.h>
#include <poll.h>
#include <sys/file.h>
#ifdef __linux__
#include <sys/inotify.h>
#endif
#include <sys/stat.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/SystemName.h"
#include "platform/Text.h"

namespace almanouk {

const SystemKind kThisSystem = SystemKind::Linux;

const char kPathSeparator = '/';

}  // namespace almanouk

namespace almanouk::os {

bool isSeparator(char c) { return c == '/'; }

bool isAbsolutePath(const std::string& path) { return !path.empty() && path[0] == '/'; }

std::pair<std::string, std::string> splitPath(const std::string& path) {
  std::string::size_type slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

std::string canonicalFolder(const std::string& path) {
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (!resolved) return path;
  std::string canonical = resolved;
  std::free(resolved);
  return canonical;
}

bool sameFile(const std::string& a, const std::string& b) {
  struct stat first {}, second {};
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

std::FILE* openFile(const std::string& path, const char* mode) {
  const std::string_view flags = mode;
  const bool update = flags.find('+') != std::string_view::npos;
  int access = update ? O_RDWR : O_RDONLY;
  if (flags.starts_with("w")) access = (update ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC;
  if (flags.starts_with("a")) access = (update ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
  if (flags.find('x') != std::string_view::npos) access |= O_EXCL;
  const int descriptor = ::open(path.c_str(), access | O_CLOEXEC, 0600);
  if (descriptor < 0) return nullptr;
  std::string streamMode(flags.substr(0, 1));
  if (update) streamMode += '+';
  std::FILE* file = ::fdopen(descriptor, (streamMode + "b").c_str());
  if (!file) ::close(descriptor);
  return file;
}

std::optional<std::size_t> readFileInto(const std::string& path, std::string& room) {
  constexpr std::size_t kFirstRoom = 16 * 1024;
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return std::nullopt;
  if (room.size() < kFirstRoom) room.resize(kFirstRoom);
  std::size_t length = 0;
  ssize_t read = 0;
  // A regular file reads short only at its end.
  do {
    if (length == room.size()) room.resize(room.size() * 2);
    read = ::read(descriptor, room.data() + length, room.size() - length);
    if (read > 0) length += static_cast<std::size_t>(read);
  } while (length == room.size() || (read < 0 && errno == EINTR));
  ::close(descriptor);
  if (read < 0) return std::nullopt;
  return length;
}

int removeFile(const std::string& path) { return ::unlink(path.c_str()) == 0 ? 0 : errno; }

int renameOver(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int makeFolders(const std::string& path) {
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string step = path.substr(0, slash);
    if (!step.empty() && ::mkdir(step.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    if (slash == std::string::npos) break;
  }
  return isFolder(path) ? 0 : ENOTDIR;
}

bool isFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

int resizeFile(const std::string& path, std::int64_t length) {
  return ::truncate(path.c_str(), static_cast<off_t>(length)) == 0 ? 0 : errno;
}

FileStamp fileStamp(const std::string& path) {
  struct stat info {};
  FileStamp stamp;
  if (::stat(path.c_str(), &info) != 0) return stamp;
  stamp.exists = true;
  stamp.regular = S_ISREG(info.st_mode);
  stamp.size = info.st_size;
  stamp.modifiedNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
  stamp.device = info.st_dev;
  stamp.inode = info.st_ino;
  return stamp;
}

std::vector<FolderEntry> listFolder(const std::string& folder) {
  std::vector<FolderEntry> entries;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return entries;
  while (const dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    bool regular = entry->d_type == DT_REG;
    if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
      struct stat info {};
      regular = ::stat((folder + "/" + name).c_str(), &info) == 0 && S_ISREG(info.st_mode);
    }
    entries.push_back({std::move(name), regular});
  }
  ::closedir(dir);
  return entries;
}

std::int64_t wallClockNs() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

bool syncPath(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

Permissions permissionsOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return {};
  return {true, static_cast<std::uint32_t>(info.st_mode & 07777), info.st_uid, info.st_gid};
}

bool applyPermissions(const std::string& path, const Permissions& permissions) {
  if (!permissions.known) return true;
  // Only the owner may give a file away; another user's file keeps the writer as its owner.
  if (::chown(path.c_str(), permissions.owner, permissions.group) != 0) errno = 0;
  return ::chmod(path.c_str(), permissions.mode) == 0;
}

bool isReadOnly(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & S_IWUSR) == 0;
}

bool hardLink(const std::string& existing, const std::string& newName) {
  return ::link(existing.c_str(), newName.c_str()) == 0;
}

bool removeName(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
  return ::unlink(path.c_str()) == 0;
}

bool removeEmptyFolder(const std::string& path) { return ::rmdir(path.c_str()) == 0; }

std::FILE* createTemporaryFile(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) {
      removeEmptyFolder(path);
    } else {
      removeName(path);
    }
  }
  return openFile(path, "wbx");
}

bool isLink(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

FileLock::~FileLock() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));  // closing releases the lock
}

FolderNames::FolderNames(const std::string& folder, std::vector<std::string> names) : names_(std::move(names)) {
#ifdef __linux__
  const int watch = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  if (watch < 0) return;
  if (::inotify_add_watch(watch, folder.c_str(), IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO) < 0) {
    ::close(watch);
    return;
  }
  handle_ = watch;
#else
  static_cast<void>(folder);
#endif
}

FolderNames::~FolderNames() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

void FolderNames::await(int milliseconds) {
  if (handle_ < 0) {
    sleepMilliseconds(milliseconds);
    return;
  }
#ifdef __linux__
  const double end = monotonicSeconds() + milliseconds / 1000.0;
  for (;;) {
    const int left = static_cast<int>((end - monotonicSeconds()) * 1000);
    pollfd watch{static_cast<int>(handle_), POLLIN, 0};
    if (left <= 0 || ::poll(&watch, 1, left) <= 0) return;
    alignas(inotify_event) char events[4096];
    bool named = false;
    for (ssize_t length; (length = ::read(static_cast<int>(handle_), events, sizeof events)) > 0;)
      for (ssize_t at = 0; at < length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(events + at);
        if (event->len > 0)
          for (const std::string& name : names_) named = named || name == event->name;
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    if (named) return;
  }
#endif
}

namespace {

const char* lockProblem(int error) {
  switch (error) {
    case EACCES:
    case EPERM: return "geen rechten";
    case ENOENT:
    case ENOTDIR: return "de map bestaat niet";
    case ENOLCK:
    case EOPNOTSUPP:
    case ENOSYS:
    case EINVAL: return "dit bestandssysteem kan niet vergrendelen, zoals sommige netwerkschijven";
    case EIO: return "leesfout van de schijf";
    default: return "fout van het systeem";
  }
}

}  // namespace

LockOutcome FileLock::acquire(const std::string& markerPath) {
  // The folder: a marker deleted by hand takes no lock with it.
  const int folder = ::open(splitPath(markerPath).first.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return {LockState::Failed, lockProblem(errno)};
  if (::flock(folder, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(folder);
    return {error == EWOULDBLOCK ? LockState::HeldElsewhere : LockState::Failed, lockProblem(error)};
  }
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
  handle_ = folder;
  return {LockState::Held, ""};
}

LocalDateTime localNow() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  ::localtime_r(&now.tv_sec, &local);
  LocalDateTime t;
  t.year = local.tm_year + 1900;
  t.month = local.tm_mon + 1;
  t.day = local.tm_mday;
  t.hour = local.tm_hour;
  t.minute = local.tm_min;
  t.second = local.tm_sec > 59 ? 59 : local.tm_sec;
  t.millisecond = static_cast<int>(now.tv_nsec / 1'000'000);
  return t;
}

double monotonicSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void sleepMilliseconds(int ms) {
  if (ms <= 0) return;
  timespec wait{ms / 1000, static_cast<long>(ms % 1000) * 1'000'000L};
  while (::nanosleep(&wait, &wait) != 0 && errno == EINTR) {
  }
}

void yieldProcessor() { ::sched_yield(); }

std::string environmentValue(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value ? value : "";
}

namespace {

// "…/zoneinfo/Europe/Amsterdam" names the zone after "zoneinfo/".
std::string zoneInPath(const std::string& path) {
  constexpr std::string_view kMarker = "zoneinfo/";
  std::size_t at = path.rfind(kMarker);
  return at == std::string::npos ? std::string() : path.substr(at + kMarker.size());
}

}  // namespace

// TZ first (":Europe/Amsterdam", "Europe/Amsterdam" or a path into the zone
// files), then the zone file /etc/localtime links to, then /etc/timezone.
std::string localTimeZone() {
  std::string zone = environmentValue("TZ");
  if (!zone.empty() && zone[0] == ':') zone.erase(0, 1);
  if (!zone.empty() && zone[0] == '/') zone = zoneInPath(zone);
  if (!zone.empty()) return zone;
  char target[512];
  ssize_t length = ::readlink("/etc/localtime", target, sizeof target - 1);
  if (length > 0) zone = zoneInPath(std::string(target, static_cast<std::size_t>(length)));
  if (!zone.empty()) return zone;
  if (std::FILE* file = std::fopen("/etc/timezone", "r")) {
    char line[128] = {};
    if (std::fgets(line, sizeof line, file)) zone = line;
    std::fclose(file);
    while (!zone.empty() && (zone.back() == '\n' || zone.back() == ' ')) zone.pop_back();
  }
  return zone.empty() ? "UTC" : zone;
}

std::string zoneDataFolder() { return {}; }

namespace {

void onHangup(int) { ::raise(SIGTERM); }

}  // namespace

void ignoreTerminationSignals() {
  for (int signal : {SIGTERM, SIGHUP, SIGINT}) ::signal(signal, SIG_IGN);
}

void treatHangupAsTermination() {
  struct sigaction action {};
  action.sa_handler = onHangup;
  ::sigemptyset(&action.sa_mask);
  ::sigaction(SIGHUP, &action, nullptr);
}

namespace {

// In a child: a session of its own, with its input and output on /dev/null.
void detachChild() {
  ::signal(SIGPIPE, SIG_DFL);  // the sync's connections ignore it; a command must not
  ::setsid();
  int null = ::open("/dev/null", O_RDWR);
  if (null < 0) return;
  ::dup2(null, 0);
  ::dup2(null, 1);
  ::dup2(null, 2);
}

// In the watcher: waits up to the time for the child to end; its status, or
// 0 when it runs on (the viewer is up).
int watchFor(pid_t child, int milliseconds) {
  const timespec wait{milliseconds / 1000, (milliseconds % 1000) * 1'000'000L};
  sigset_t childEnded;
  ::sigemptyset(&childEnded);
  ::sigaddset(&childEnded, SIGCHLD);
  timespec left = wait;
  for (;;) {
    int status = 0;
    if (::waitpid(child, &status, WNOHANG) == child) return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
    if (::sigtimedwait(&childEnded, nullptr, &left) < 0 && errno == EAGAIN) return 0;
  }
}

// Starts the line through /bin/sh on its own, in a session of its own with
// its output discarded, and watches it for a moment. A watcher in between
// does the watching and ends then, so that the line runs on as no child of
// the program's: nothing is left to reap when it ends.
bool startWatched(const std::string& line, const std::string& folder) {
  constexpr int kWatchMs = 1500;
  sigset_t childEnded, before;
  ::sigemptyset(&childEnded);
  ::sigaddset(&childEnded, SIGCHLD);
  ::sigprocmask(SIG_BLOCK, &childEnded, &before);
  pid_t watcher = ::fork();
  if (watcher == 0) {
    if (::chdir(folder.c_str()) != 0) ::_exit(127);
    detachChild();
    pid_t child = ::fork();
    if (child == 0) {
      ::sigprocmask(SIG_SETMASK, &before, nullptr);
      ::execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::_exit(child < 0 ? 127 : watchFor(child, kWatchMs));
  }
  ::sigprocmask(SIG_SETMASK, &before, nullptr);
  if (watcher < 0) return false;
  int status = 0;
  while (::waitpid(watcher, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Runs the line through /bin/sh in the folder: waited for, or detached.
void runShell(const std::string& line, const std::string& folder, bool detached) {
  pid_t child = ::fork();
  if (child < 0) return;
  if (child == 0) {
    ::signal(SIGPIPE, SIG_DFL);
    if (::chdir(folder.c_str()) != 0) ::_exit(127);
    if (detached) {
      detachChild();
      // A grandchild, so the program never has to reap it.
      if (::fork() != 0) ::_exit(0);
    }
    ::execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
}

// The Windows text editor is whatever the desktop opens text files with.
std::string desktopLine(std::string line) {
  const std::string head = lowerAscii(line.substr(0, 8));
  if (head == "notepad" || head == "notepad ") line = "xdg-open" + line.substr(std::min<std::size_t>(7, line.size()));
  return line;
}

}  // namespace

void runCommandLine(const std::string& line, const std::string& folder) {
  const bool detached = lowerAscii(line.substr(0, 6)) == "start ";
  runShell(desktopLine(detached ? line.substr(6) : line), folder, detached);
}

bool openInTextViewer(const std::string& name, const std::string& folder) {
  return startWatched(desktopLine("notepad " + name), folder);
}


}  // namespace almanouk::os

namespace almanouk::process {

std::vector<std::string> arguments(int argc, char** argv) { return {argv + 1, argv + argc}; }

std::string startFolder() {
  char* folder = ::getcwd(nullptr, 0);
  std::string path = folder ? folder : ".";
  std::free(folder);
  return path;
}

void useStartingTerminal() {}

std::string programPath() {
  char path[4096];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string();
}

std::string packageProgram(const std::vector<std::string>& places) {
  const std::string self = programPath();
  const std::string folder = self.substr(0, self.find_last_of('/') + 1);
  for (const std::string& place : places)
    if (::access((folder + place).c_str(), X_OK) == 0) return folder + place;
  return {};
}

void becomeProgram(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<char*> words{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) words.push_back(const_cast<char*>(argument.c_str()));
  words.push_back(nullptr);
  ::execv(program.c_str(), words.data());
}

bool startProgram(const std::string& program, const std::vector<std::string>& arguments) {
  if (::access(program.c_str(), X_OK) != 0) return false;
  std::vector<char*> words{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) words.push_back(const_cast<char*>(argument.c_str()));
  words.push_back(nullptr);
  pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    os::detachChild();
    // A grandchild, so the program never has to reap it.
    if (::fork() != 0) ::_exit(0);
    ::execv(program.c_str(), words.data());
    ::_exit(127);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return true;
}

}  // namespace almanouk::process
