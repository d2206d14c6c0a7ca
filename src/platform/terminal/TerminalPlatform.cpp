#include "platform/terminal/TerminalPlatform.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "platform/Process.h"
#include "platform/ProgramSoundPlayer.h"
#include "platform/System.h"
#include "platform/Text.h"

namespace almanouk {
namespace {

// A change is shown at most this often while the program is busy; always before it waits.
constexpr double kPresentIntervalSeconds = 0.015;
// The rest of a key's sequence comes in the same write from any terminal;
// over a slow line it may lag this long behind its start.
constexpr double kSequenceRestSeconds = 0.05;
constexpr int kRaiseRequestCheckMs = 1000;

constexpr std::array kEndingSignals = {SIGINT, SIGTERM, SIGHUP};
constexpr std::array kTerminalSignals = {SIGINT, SIGTERM, SIGHUP, SIGWINCH, SIGTSTP, SIGCONT};
constexpr std::array kCrashSignals = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

// The signal handlers' only state: where they write the signal's number, and
// what a crash writes to give the terminal back. One terminal per process.
std::atomic<int> gSignalPipe{-1};

struct CrashRestore {
  int fd = -1;
  termios modes{};
  std::array<char, 512> bytes{};
  std::size_t length = 0;
};
std::atomic<const CrashRestore*> gCrashRestore{nullptr};
// What handled a crash before: it still does (a sanitizer's report, a core), after the terminal is back.
std::array<struct sigaction, kCrashSignals.size()> gCrashBefore{};

void onSignal(int signal) {
  const int saved = errno;
  const int pipe = gSignalPipe.load();
  const auto number = static_cast<unsigned char>(signal);
  if (pipe >= 0) {
    [[maybe_unused]] auto written = ::write(pipe, &number, 1);
  }
  errno = saved;
}

// A crash ends the program at once; the terminal is given back first.
void onCrash(int signal) {
  if (const CrashRestore* restore = gCrashRestore.load()) {
    [[maybe_unused]] auto written = ::write(restore->fd, restore->bytes.data(), restore->length);
    ::tcsetattr(restore->fd, TCSANOW, &restore->modes);
  }
  for (std::size_t i = 0; i < kCrashSignals.size(); ++i)
    if (kCrashSignals[i] == signal) ::sigaction(signal, &gCrashBefore[i], nullptr);
  ::raise(signal);
}

// Single keys as they are typed, nothing echoed, the output as sent; Ctrl+C
// and Ctrl+Z keep their signals, Ctrl+\ and Ctrl+S, Ctrl+Q, Ctrl+V become keys.
termios keyModes(termios modes) {
  modes.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
  modes.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  modes.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | IEXTEN);
  modes.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB);
  modes.c_cflag |= CS8;
  modes.c_cc[VMIN] = 1;
  modes.c_cc[VTIME] = 0;
  modes.c_cc[VQUIT] = _POSIX_VDISABLE;
  return modes;
}

// Broken at blanks to the width, as many lines as fit.
std::vector<std::string> wrapped(const std::string& text, int width, int lines) {
  std::vector<std::string> out;
  std::string rest = text;
  while (!rest.empty() && static_cast<int>(out.size()) < lines) {
    std::size_t cut = rest.size();
    if (static_cast<int>(rest.size()) > width) {
      cut = rest.rfind(' ', static_cast<std::size_t>(width));
      if (cut == std::string::npos || cut == 0) cut = static_cast<std::size_t>(width);
    }
    out.push_back(rest.substr(0, cut));
    rest.erase(0, cut);
    if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
  }
  return out;
}

// The speaker's tone as the terminal's bell: one ring as each tone begins.
class Bell : public SpeakerPort {
 public:
  explicit Bell(TerminalPlatform& platform) : platform_(platform) {}
  std::uint8_t readPort(std::uint16_t port) override { return state_.read(port); }
  void writePort(std::uint16_t port, std::uint8_t value) override {
    const bool before = state_.sounding();
    if (state_.write(port, value) && !before && state_.sounding()) platform_.ringBell();
  }

 private:
  TerminalPlatform& platform_;
  SpeakerPortState state_;
};

}  // namespace

struct TerminalPlatform::Tty {
  int fd = -1;
  termios saved{};
  std::array<int, 2> pipe{-1, -1};
  std::vector<std::pair<int, struct sigaction>> previous;
  CrashRestore crash;

  ~Tty() {
    gCrashRestore = nullptr;
    for (auto& [signal, action] : previous) {
      // A handler set meanwhile (termination ignored while the program ends) stays.
      struct sigaction current {};
      ::sigaction(signal, nullptr, &current);
      if (current.sa_handler == onSignal || current.sa_handler == onCrash) ::sigaction(signal, &action, nullptr);
    }
    gSignalPipe = -1;
    for (int end : pipe)
      if (end >= 0) ::close(end);
    if (fd >= 0) ::close(fd);
  }

  void install(int signal, void (*handler)(int), int flags) {
    struct sigaction action {}, before{};
    action.sa_handler = handler;
    action.sa_flags = flags;
    ::sigemptyset(&action.sa_mask);
    if (::sigaction(signal, &action, &before) == 0) previous.emplace_back(signal, before);
  }
};

TerminalPlatform::TerminalPlatform(std::string startFolder)
    : Platform(std::move(startFolder)), tty_(std::make_unique<Tty>()), painter_(terminal_), decoder_({}) {
  std::string whyNot;
  std::optional<TerminalDescription> described = describeTerminal(os::environmentValue("TERM"), whyNot);
  if (!described) throw std::runtime_error(whyNot);
  terminal_ = std::move(*described);
  decoder_ = TerminalInputDecoder(terminal_.keys);
  tty_->fd = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  if (tty_->fd < 0 || ::tcgetattr(tty_->fd, &tty_->saved) != 0)
    throw std::runtime_error(std::string("geen terminal om in te werken (") + std::strerror(errno) + ")");
  if (::pipe2(tty_->pipe.data(), O_CLOEXEC | O_NONBLOCK) != 0)
    throw std::runtime_error(std::string("de terminal kan niet worden bewaakt (") + std::strerror(errno) + ")");
  gSignalPipe = tty_->pipe[1];
  for (int signal : kTerminalSignals) tty_->install(signal, onSignal, SA_RESTART);
  for (std::size_t i = 0; i < kCrashSignals.size(); ++i) {
    tty_->install(kCrashSignals[i], onCrash, SA_RESETHAND);
    if (!tty_->previous.empty() && tty_->previous.back().first == kCrashSignals[i])
      gCrashBefore[i] = tty_->previous.back().second;
  }
  sound_ = std::make_unique<ProgramSoundPlayer>(process::programPath(), files());
  speaker_ = std::make_unique<Bell>(*this);
  measure();
}

TerminalPlatform::~TerminalPlatform() { leave(); }

bool TerminalPlatform::enter() {
  if (active_) return true;
  if (gone_) return false;
  if (::tcgetattr(tty_->fd, &tty_->saved) != 0) return false;
  const termios modes = keyModes(tty_->saved);
  if (::tcsetattr(tty_->fd, TCSANOW, &modes) != 0) return false;
  active_ = true;
  send(terminal_.enterAlternateScreen + terminal_.keypadOn + terminal_.metaOff);
  // What a crash writes: the same as leave, prepared now, for no handler may build it.
  const std::string restore = terminal_.resetAttributes + terminal_.showCursor + terminal_.keypadOff +
                              terminal_.metaOn +
                              (terminal_.leaveAlternateScreen.empty() ? terminal_.clearScreen
                                                                      : terminal_.leaveAlternateScreen);
  CrashRestore& crash = tty_->crash;
  crash.fd = tty_->fd;
  crash.modes = tty_->saved;
  crash.length = std::min(restore.size(), crash.bytes.size());
  std::memcpy(crash.bytes.data(), restore.data(), crash.length);
  gCrashRestore = &crash;
  painter_.invalidate();
  measure();
  if (tooSmall_) showTooSmall();
  changePending_ = true;
  present(true);
  return true;
}

void TerminalPlatform::leave() {
  if (!active_) return;
  gCrashRestore = nullptr;
  const CrashRestore& crash = tty_->crash;
  send(std::string_view(crash.bytes.data(), crash.length));
  ::tcsetattr(tty_->fd, TCSADRAIN, &tty_->saved);
  active_ = false;
}

void TerminalPlatform::openScreen(int, int, int) {
  screenOpen_ = true;
  enter();
  changePending_ = true;
  present(true);
}

void TerminalPlatform::closeScreen() {
  present(true);
  screenOpen_ = false;
  leave();
}

void TerminalPlatform::send(std::string_view bytes) {
  while (!bytes.empty() && !gone_) {
    const ssize_t written = ::write(tty_->fd, bytes.data(), bytes.size());
    if (written > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(written));
    } else if (written < 0 && errno == EAGAIN) {
      pollfd out{tty_->fd, POLLOUT, 0};
      ::poll(&out, 1, -1);
    } else if (written < 0 && errno == EINTR) {
      continue;
    } else {
      gone_ = true;  // the terminal hung up
      closeRequested();
    }
  }
}

void TerminalPlatform::ringBell() {
  if (active_) send(terminal_.ringBell);
}

// What the system says of the terminal's size, else what terminfo says.
void TerminalPlatform::measure() {
  winsize size{};
  if (::ioctl(tty_->fd, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 && size.ws_col > 0) {
    rows_ = size.ws_row;
    columns_ = size.ws_col;
  } else {
    rows_ = terminal_.rows > 0 ? terminal_.rows : Surface::kRows;
    columns_ = terminal_.width > 0 ? terminal_.width : Surface::kColumns;
  }
  painter_.setTerminalSize(rows_, columns_);
  tooSmall_ = rows_ < Surface::kRows || columns_ < Surface::kColumns;
}

void TerminalPlatform::showTooSmall() {
  const std::string text = "Almanouk heeft een terminal van minstens 80 \xC3\x97 25 tekens nodig; deze is " +
                           std::to_string(columns_) + " \xC3\x97 " + std::to_string(rows_) +
                           ". Maak het venster groter of de letters kleiner.";
  std::string out = terminal_.resetAttributes + terminal_.clearScreen + terminal_.hideCursor;
  int row = 0;
  for (const std::string& line : wrapped(text, std::max(columns_, 1), std::max(rows_, 1)))
    out += terminal_.cursorAddress(row++, 0) + line;
  send(out);
  painter_.invalidate();
}

int TerminalPlatform::msUntilPresent() const {
  if (!changePending_) return -1;
  const double left = lastPresent_ + kPresentIntervalSeconds - os::monotonicSeconds();
  return left <= 0 ? 0 : static_cast<int>(left * 1000) + 1;
}

void TerminalPlatform::present(bool force) {
  if (surface().takeChanged()) changePending_ = true;
  if (!active_ || gone_ || tooSmall_ || !changePending_) return;
  const double now = os::monotonicSeconds();
  if (!force && now - lastPresent_ < kPresentIntervalSeconds) return;
  send(painter_.paint(surface()));
  lastPresent_ = now;
  changePending_ = false;
}

void TerminalPlatform::waitForEvents(int milliseconds) {
  int timeout = milliseconds;
  if (decoder_.waiting()) {
    const double left = sequenceSince_ + kSequenceRestSeconds - os::monotonicSeconds();
    const int rest = left <= 0 ? 0 : static_cast<int>(left * 1000) + 1;
    timeout = timeout < 0 ? rest : std::min(timeout, rest);
  }
  std::array<pollfd, 2> watched{pollfd{tty_->pipe[0], POLLIN, 0}, pollfd{tty_->fd, POLLIN, 0}};
  const int count = ::poll(watched.data(), gone_ ? 1 : 2, timeout);
  if (count > 0 && watched[0].revents) handleSignals();
  if (count > 0 && !gone_ && watched[1].revents) readTerminal();
  if (decoder_.waiting() && os::monotonicSeconds() - sequenceSince_ >= kSequenceRestSeconds) take(decoder_.flush());
}

void TerminalPlatform::readTerminal() {
  std::array<char, 4096> buffer;
  for (;;) {
    const ssize_t count = ::read(tty_->fd, buffer.data(), buffer.size());
    if (count > 0) {
      const bool waitedBefore = decoder_.waiting();
      take(decoder_.feed(std::string_view(buffer.data(), static_cast<std::size_t>(count))));
      if (decoder_.waiting() && !waitedBefore) sequenceSince_ = os::monotonicSeconds();
      continue;
    }
    if (count < 0 && errno == EINTR) continue;
    if (count < 0 && errno == EAGAIN) return;
    // End of input or an error: the terminal is gone (the window closed, the connection lost).
    gone_ = true;
    closeRequested();
    return;
  }
}

void TerminalPlatform::take(const std::vector<TerminalInput>& inputs) {
  for (const TerminalInput& input : inputs) {
    switch (input.kind) {
      case TerminalInput::Kind::Close: closeRequested(); break;
      case TerminalInput::Kind::Key:
        // Nothing can be seen in a terminal too small: only the keys that end the program count.
        if (!tooSmall_ || input.key.is(keys::kAltX)) typedAhead_.push_back(input.key);
        break;
      case TerminalInput::Kind::Text:
        if (tooSmall_) break;
        for (char c : utf8ToCp437(input.text))
          if (Key::character(c).isPrintable()) typedAhead_.push_back(Key::character(c));
        break;
    }
  }
  fillKeyQueue();
}

// A terminal hands over a pasted text at once: what the queue has no room
// for waits here, in order, instead of pushing out what was typed first.
void TerminalPlatform::fillKeyQueue() {
  while (!typedAhead_.empty() && keyQueue().size() < KeyQueue::kCapacity) {
    keyQueue().push(typedAhead_.front());
    typedAhead_.pop_front();
  }
}

// As the window's close button: the program ends in order, and no further
// termination signal may cut that end short.
void TerminalPlatform::closeRequested() {
  keyQueue().push(keys::kClose);
  if (!std::exchange(closing_, true)) os::ignoreTerminationSignals();
}

void TerminalPlatform::handleSignals() {
  std::array<unsigned char, 64> numbers;
  ssize_t count = 0;
  while ((count = ::read(tty_->pipe[0], numbers.data(), numbers.size())) > 0) {
    for (ssize_t i = 0; i < count; ++i) {
      const int signal = numbers[static_cast<std::size_t>(i)];
      if (std::find(kEndingSignals.begin(), kEndingSignals.end(), signal) != kEndingSignals.end()) {
        closeRequested();
      } else if (signal == SIGWINCH) {
        measure();
        painter_.invalidate();
        changePending_ = true;
        if (active_ && tooSmall_) showTooSmall();
      } else if (signal == SIGTSTP) {
        suspend();
      } else if (signal == SIGCONT && active_) {
        // Stopped by another hand: the shell had the terminal meanwhile.
        const termios modes = keyModes(tty_->saved);
        ::tcsetattr(tty_->fd, TCSANOW, &modes);
        send(terminal_.enterAlternateScreen + terminal_.keypadOn + terminal_.metaOff);
        measure();
        painter_.invalidate();
        changePending_ = true;
        if (tooSmall_) showTooSmall();
      }
    }
  }
}

// Ctrl+Z: the terminal as it was for the shell while the program is stopped; all of it again at fg.
void TerminalPlatform::suspend() {
  const bool wasActive = active_;
  leave();
  struct sigaction stop {}, ours{};
  stop.sa_handler = SIG_DFL;
  ::sigemptyset(&stop.sa_mask);
  ::sigaction(SIGTSTP, &stop, &ours);
  ::raise(SIGTSTP);
  ::sigaction(SIGTSTP, &ours, nullptr);
  if (wasActive) enter();
}

void TerminalPlatform::pumpEvents() {
  fillKeyQueue();
  waitForEvents(0);
  present(false);
}

void TerminalPlatform::pause(int milliseconds) {
  const double deadline = os::monotonicSeconds() + std::max(milliseconds, 0) / 1000.0;
  for (;;) {
    present(true);
    const double left = deadline - os::monotonicSeconds();
    if (left <= 0) return;
    waitForEvents(static_cast<int>(left * 1000) + 1);
  }
}

void TerminalPlatform::awaitInput(int milliseconds) {
  showPendingPage();
  const std::uint64_t arrivals = keyQueue().arrivals();
  const double deadline = os::monotonicSeconds() + std::max(milliseconds, 0) / 1000.0;
  for (;;) {
    present(true);
    const double left = deadline - os::monotonicSeconds();
    if (keyQueue().arrivals() != arrivals || left <= 0) return;
    waitForEvents(static_cast<int>(left * 1000) + 1);
  }
}

// Sleeps on the terminal until a key comes; a terminal that is gone asks the program to end.
Key TerminalPlatform::waitForKey() {
  showPendingPage();
  for (;;) {
    Key key = readKey();
    if (!key.empty()) return key;
    if (gone_) return keys::kClose;
    present(true);
    // Another start's request to come forward is looked for once a second.
    waitForEvents(windowFiles().raiseRequest.empty() ? -1 : kRaiseRequestCheckMs);
  }
}

double TerminalPlatform::elapsedSeconds() { return os::monotonicSeconds(); }

void TerminalPlatform::yieldProcessor() { os::yieldProcessor(); }

// A command the program waits for has the terminal as the shell left it, and
// its output, until it ends; one that runs on its own writes nowhere.
void TerminalPlatform::runCommand(const std::string& line) {
  const bool detached = lowerAscii(left(line, 6)) == "start ";
  const bool wasActive = active_;
  if (!detached) leave();
  os::runCommandLine(line, files().workingFolder());
  if (!detached && wasActive) enter();
}

bool TerminalPlatform::showTextFile(std::string_view name) {
  const std::optional<std::string> text = files().contents(name);
  if (!text) return false;
  // The page's lines without the blanks that place it in a viewer's window.
  std::string shown;
  std::size_t start = 0;
  while (start < text->size()) {
    std::size_t end = text->find('\n', start);
    if (end == std::string::npos) end = text->size();
    std::string line = text->substr(start, end - start);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    line.erase(0, std::min(line.find_first_not_of(' '), line.size()));
    if (!line.empty() || !shown.empty()) shown += line + "\n";
    start = end + 1;
  }
  while (!shown.empty() && shown.back() == '\n') shown.pop_back();
  pendingPage_ = Page{"Almanouk", shown};
  return true;
}

void TerminalPlatform::showPendingPage() {
  if (!pendingPage_) return;
  const Page page = *std::exchange(pendingPage_, std::nullopt);
  showMessageBox(page.textUtf8, page.caption);
}

int TerminalPlatform::messageBox(std::string_view messageUtf8, std::string_view captionUtf8,
                                 const std::vector<std::string>& buttons) {
  if (!enter()) {
    std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(captionUtf8.size()), captionUtf8.data(),
                 static_cast<int>(messageUtf8.size()), messageUtf8.data());
    return 0;
  }
  return showMessageInWindow(messageUtf8, captionUtf8, buttons);
}

LocalDateTime TerminalPlatform::localNow() { return os::localNow(); }

std::string TerminalPlatform::rawEnvironmentValue(const std::string& name) { return os::environmentValue(name); }

bool terminalAvailable() { return ::isatty(STDIN_FILENO) == 1 && ::isatty(STDOUT_FILENO) == 1; }

}  // namespace almanouk
