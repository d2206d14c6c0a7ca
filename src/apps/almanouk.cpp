// The program users start: the real window, keyboard and sound.

#include <cstdio>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/console/ConsolePlatform.h"
#include "platform/sdl/SdlPlatform.h"
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
std::optional<int> answerInfoOption(int argc, char** argv) {
  if (argc != 2) return std::nullopt;
  const std::string option = argv[1];
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
std::optional<int> runCommandLine(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  if (!almanouk::isCommandLineWork(arguments)) return std::nullopt;
  almanouk::ConsolePlatform platform(std::filesystem::current_path().string());
  almanouk::CommandLineOutput output;
  int status = almanouk::runCommandLineWork(platform, arguments, output);
  std::fputs(output.out.c_str(), stdout);
  std::fputs(output.err.c_str(), stderr);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (auto status = answerInfoOption(argc, argv)) return *status;
  if (auto status = runCommandLine(argc, argv)) return *status;
  // The sound folder is the whole command tail, so a name with blanks needs no quotes.
  std::string soundFolder;
  for (int i = 1; i < argc; ++i) soundFolder += (i > 1 ? " " : "") + std::string(argv[i]);
  try {
    almanouk::SdlPlatform platform(std::filesystem::current_path().string());
    almanouk::Program program(platform, soundFolder);
    return program.run();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "almanouk: %s\n", error.what());
    return 1;
  }
}
