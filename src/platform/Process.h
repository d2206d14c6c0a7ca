#pragma once
// What the programs' entry points need of the system: their words, their
// start folder, and a terminal to print to.

#include <string>
#include <vector>

namespace almanouk::process {

// The words after the program's name, in UTF-8 (Windows hands them over in UTF-16).
std::vector<std::string> arguments(int argc, char** argv);
// The folder the program was started in.
std::string startFolder();
// Standard output and errors reach the terminal the program was started
// from, in UTF-8: a Windows program with a window has no terminal of its own.
void useStartingTerminal();

}  // namespace almanouk::process
