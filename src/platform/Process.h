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
// The full path of the running program's file; empty when the system does not say.
std::string programPath();
// Another program of the package: the first of the places, relative to this
// program's folder, where it is (beside it in a build; where an installation
// puts it); empty when it is nowhere.
std::string packageProgram(const std::vector<std::string>& places);
// Starts the program with the arguments on its own, without a command
// interpreter between (no word of them is read as the shell's); false when it could not start.
bool startProgram(const std::string& program, const std::vector<std::string>& arguments);
// Becomes the program with the arguments, in this same process (the
// watcher, a small program of its own); returns only when that failed.
void becomeProgram(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace almanouk::process
