#pragma once

#include <string>

#include "shell/AppState.h"
#include "shell/MainLoop.h"

namespace almanouk {

class Platform;

// The program from its start to its end: the start-up (data folder, single
// instance guard, start-up notice, window), the initialisation of the data
// files, the reload entry, the main loop, and the orderly end.
class Program {
 public:
  // soundFolder: the command line's arguments joined by blanks.
  Program(Platform& platform, std::string soundFolder);
  // Runs to the end and returns the exit status.
  int run();

  const AppState& state() const { return app_; }
  AppState& state() { return app_; }

 private:
  void startUp();
  void enterDataFolder();
  void guardSingleInstance();
  void initialise();
  void ensureACalendarExists();
  void removeLeftovers();
  void reloadEntry();
  void programEnd();

  AppState app_;
  MainLoop mainLoop_;
};

}  // namespace almanouk
