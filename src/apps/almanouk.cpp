// The program users start: the real window, keyboard and sound.

#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Process.h"
#include "platform/WindowPlatform.h"
#include "platform/console/ConsolePlatform.h"
#include "shell/CommandLine.h"
#include "shell/Program.h"

namespace {

constexpr const char* kUsage = R"(usage: almanouk [SOUND-FOLDER]
       almanouk --export NAME.AMN FILE.ics | --export-all FILE.ics
       almanouk --import FILE.ics NAME.AMN
       almanouk --help | --version
Almanouk: a Dutch-language calendar, agenda, diary and alarm clock in one window.

  SOUND-FOLDER  the folder whose first *.mp3 plays at an alarm; all words on
                the command line together name it, so blanks need no quotes
                (default: the data folder, with the built-in roster.mp3)
  --export      write one calendar as iCalendar (.ics) for other programs
  --export-all  write every calendar into one .ics, each with its category
  --import      add the events of an .ics to a calendar (made when missing);
                a copy of the calendar as it was is kept as NAME.AM2
                These three need no display; they refuse to run while
                the program runs on the same data folder.
  --help        print this help and exit
  --version     print the version and exit

The data folder is $APPDATA/Almanouk, else $appdata/Almanouk, else
$XDG_DATA_HOME/Almanouk, else ~/.local/share/Almanouk. F1 in the program and
man almanouk tell its keys.
)";

// --help and --version alone are answered at once: no window, no data folder.
std::optional<int> answerInfoOption(const std::vector<std::string>& arguments) {
  if (arguments.size() != 1) return std::nullopt;
  const std::string& option = arguments[0];
  if (option == "--help" || option == "-h") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (option == "--version") {
    std::printf("almanouk %s\n", ALMANOUK_VERSION);
    return 0;
  }
  return std::nullopt;
}

// Import and export run on the console: no window, no display needed.
std::optional<int> runCommandLine(const std::vector<std::string>& arguments) {
  if (!almanouk::isCommandLineWork(arguments)) return std::nullopt;
  almanouk::ConsolePlatform platform(almanouk::process::startFolder());
  almanouk::CommandLineOutput output;
  int status = almanouk::runCommandLineWork(platform, arguments, output);
  std::fputs(output.out.c_str(), stdout);
  std::fputs(output.err.c_str(), stderr);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments = almanouk::process::arguments(argc, argv);
  if (!arguments.empty()) almanouk::process::useStartingTerminal();
  if (auto status = answerInfoOption(arguments)) return *status;
  if (auto status = runCommandLine(arguments)) return *status;
  // The sound folder is the whole command tail, so a name with blanks needs no quotes.
  std::string soundFolder;
  for (const std::string& word : arguments) soundFolder += (soundFolder.empty() ? "" : " ") + word;
  try {
    std::unique_ptr<almanouk::Platform> platform = almanouk::makeWindowPlatform(almanouk::process::startFolder());
    almanouk::Program program(*platform, soundFolder);
    return program.run();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "almanouk: %s\n", error.what());
    return 1;
  }
}
