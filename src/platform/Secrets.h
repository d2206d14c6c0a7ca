#pragma once
// Where a calendar server's password comes from: a command the user names
// (a password manager such as "pass show caldav"), the desktop's keyring
// (Secret Service, through its command-line tool), or the user at the
// terminal. A password is never written to a file.

#include <optional>
#include <string>

namespace almanouk::secrets {

// The first line the command prints, run through the system's command
// interpreter with the input on its standard input; nothing when it fails.
std::optional<std::string> commandOutput(const std::string& command, const std::string& input = {});

// A line typed at the terminal (hidden: not shown as it is typed); nothing
// when standard input is no terminal.
std::optional<std::string> askAtTerminal(const std::string& prompt, bool hidden);

// Keeps the password in the desktop's keyring under the address; the
// command that gives it back, or nothing when there is no keyring.
std::optional<std::string> storeInKeyring(const std::string& address, const std::string& user,
                                          const std::string& password);

}  // namespace almanouk::secrets
