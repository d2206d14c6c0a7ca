#include "platform/Secrets.h"

#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <iostream>

namespace almanouk::secrets {
namespace {

// A word the command interpreter takes as it is.
std::string quoted(const std::string& word) {
  std::string out = "'";
  for (char c : word) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

void writeAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return;
    done += static_cast<std::size_t>(wrote);
  }
}

}  // namespace

std::optional<std::string> commandOutput(const std::string& command, const std::string& input) {
  int in[2], out[2];
  if (::pipe(in) != 0) return std::nullopt;
  if (::pipe(out) != 0) {
    ::close(in[0]), ::close(in[1]);
    return std::nullopt;
  }
  const pid_t child = ::fork();
  if (child == 0) {
    ::signal(SIGPIPE, SIG_DFL);
    ::dup2(in[0], 0);
    ::dup2(out[1], 1);
    ::close(in[0]), ::close(in[1]), ::close(out[0]), ::close(out[1]);
    ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(in[0]);
  ::close(out[1]);
  // A command that does not read its input must not end this program.
  ::signal(SIGPIPE, SIG_IGN);
  if (child > 0) writeAll(in[1], input);
  ::close(in[1]);
  std::string output;
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(out[0], buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    output.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(out[0]);
  if (child < 0) return std::nullopt;
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  const std::size_t end = output.find_first_of("\r\n");
  return end == std::string::npos ? output : output.substr(0, end);
}

std::optional<std::string> askAtTerminal(const std::string& prompt, bool hidden) {
  if (!::isatty(0)) return std::nullopt;
  // Silent before the prompt shows, and without discarding what was typed
  // ahead: a password typed (or pasted) at once is neither shown nor lost.
  termios before{};
  const bool quiet = hidden && ::tcgetattr(0, &before) == 0;
  if (quiet) {
    termios silent = before;
    silent.c_lflag &= static_cast<tcflag_t>(~ECHO);
    ::tcsetattr(0, TCSANOW, &silent);
  }
  std::cerr << prompt << std::flush;
  std::string line;
  const bool read = static_cast<bool>(std::getline(std::cin, line));
  if (quiet) {
    ::tcsetattr(0, TCSANOW, &before);
    std::cerr << '\n';
  }
  if (!read) return std::nullopt;
  return line;
}

std::optional<std::string> storeInKeyring(const std::string& address, const std::string& user,
                                          const std::string& password) {
  const std::string key = "almanouk " + quoted(address) + " user " + quoted(user);
  if (!commandOutput("command -v secret-tool >/dev/null && secret-tool store --label=" +
                         quoted("Almanouk: " + address) + " " + key,
                     password))
    return std::nullopt;
  return "secret-tool lookup " + key;
}

}  // namespace almanouk::secrets
