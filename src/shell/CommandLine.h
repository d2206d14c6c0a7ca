#pragma once
// The program's work on the command line, without a window:
//   almanouk --export NAME.AMN FILE.ics   one calendar as iCalendar
//   almanouk --export-all FILE.ics        every calendar, each event with its calendar as category
//   almanouk --import FILE.ics NAME.AMN   events into a calendar, made as the settings screen makes one
//   almanouk --zoek WORD [--alle]         entries and diary pages with the word, as the search screen finds them
// Calendars are looked up in the data folder as the program finds them; the
// work that writes is refused while the program runs on that folder.

#include <span>
#include <string>

namespace almanouk {

class Platform;

struct CommandLineOutput {
  std::string out;  // UTF-8, for standard output
  std::string err;  // for the error output
};

// Whether the arguments ask for work on the command line rather than the window.
bool isCommandLineWork(std::span<const std::string> arguments);

// Does it in the platform's data folder; returns the exit status (0 done,
// 1 failed or, for a search, nothing found, 2 the arguments do not fit). Paths of .ics files are taken from
// the platform's working folder.
int runCommandLineWork(Platform& platform, std::span<const std::string> arguments, CommandLineOutput& output);

}  // namespace almanouk
