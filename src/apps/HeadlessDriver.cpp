#include "apps/HeadlessDriver.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/KeyNames.h"
#include "platform/SurfaceDump.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/System.h"
#include "shell/CommandLine.h"
#include "shell/Program.h"

namespace almanouk {
namespace {

constexpr const char* kUsage = R"(usage: almanouk-headless [options] [-- SOUND-FOLDER WORDS...]
       almanouk-headless [options] --run ARGUMENTS...
  --run ARGUMENTS  the command line's work (--import, --export, --zoek ...)
                   at the virtual time, instead of the program
  --data DIR       value given to APPDATA (data folder DIR/Almanouk)
  --start-dir DIR  folder the program is started in (default: current)
  --now "YYYY-MM-DD HH:MM:SS"   virtual local time at start (default: real time)
  --keys SCRIPT    key script (or --keys-file FILE)
  --realtime       the clock runs at real speed and pause really sleeps
  --screen FILE    write the final 80 x 25 screen as UTF-8, 25 lines of 80 characters
  --png FILE       write the final surface as PNG
  --log FILE       write the event log
  --out DIR        folder for snap: dumps (NAME.txt and NAME.png)
  --max-virtual S  end the run after S virtual seconds (default 86400)
  --draw-boxes     message boxes are drawn in the window too and wait for Enter,
                   Esc or Space, as when the system cannot show one
  --notifications  the desktop shows notifications (an alarm while the window
                   is not in front: see focus:out)
  --version        print the version and exit

Script: tokens separated by blanks: key names (below) and Alt+F4 (held);
"text" types each character (\" for a quote); wait:N, wait:Nms, wait:Nm,
wait:Nh let the program run N seconds, milliseconds, minutes or hours;
jump:N (same units) moves the clock on at once, as a machine that slept;
snap:NAME dumps the screen; focus:out and focus:in take the window from the
user and give it back; notification:ok, notification:snooze and
notification:close answer the last notification still open. The run ends when the script is used up and the program has waited
one virtual second.
Event log lines: time, then msgbox CAPTION|TEXT, run LINE, sound PATH,
tone HZ MS, notify SUMMARY|BODY, attention, exit STATUS or end script.
Key names: )";

struct DriverOptions {
  HeadlessPlatform::Options platform;
  std::vector<std::string> commandLine;  // --run: the command line's work
  std::string script;
  std::string screenFile, pngFile, logFile;
  std::string soundFolder;
};

std::string readWholeFile(const std::string& path, bool& ok) {
  std::ifstream in(path, std::ios::binary);
  ok = static_cast<bool>(in);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Nothing but an error message when the command line is wrong.
std::string parse(int argc, char** argv, DriverOptions& options) {
  options.platform.startFolder = std::filesystem::current_path().string();
  options.platform.start = os::localNow();
  options.platform.start.millisecond = 0;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--") {
      for (int k = i + 1; k < argc; ++k) options.soundFolder += (k > i + 1 ? " " : "") + std::string(argv[k]);
      break;
    }
    if (arg == "--run") {
      options.commandLine.assign(argv + i + 1, argv + argc);
      if (!isCommandLineWork(options.commandLine)) return "--run takes --import, --export, --export-all or --zoek";
      break;
    }
    if (arg == "--realtime") {
      options.platform.realtime = true;
      continue;
    }
    if (arg == "--draw-boxes") {
      options.platform.drawBoxes = true;
      continue;
    }
    if (arg == "--notifications") {
      options.platform.notificationService = true;
      continue;
    }
    if (i + 1 >= argc) return "missing value for " + arg;
    std::string value = argv[++i];
    if (arg == "--data") {
      options.platform.appData = value;
    } else if (arg == "--start-dir") {
      options.platform.startFolder = std::filesystem::absolute(value).string();
    } else if (arg == "--now") {
      auto start = LocalDateTime::parse(value);
      if (!start) return "bad --now: " + value;
      options.platform.start = *start;
    } else if (arg == "--keys") {
      options.script = value;
    } else if (arg == "--keys-file") {
      bool ok = false;
      options.script = readWholeFile(value, ok);
      if (!ok) return "cannot read " + value;
    } else if (arg == "--screen") {
      options.screenFile = value;
    } else if (arg == "--png") {
      options.pngFile = value;
    } else if (arg == "--log") {
      options.logFile = value;
    } else if (arg == "--out") {
      options.platform.snapFolder = value;
    } else if (arg == "--max-virtual") {
      char* end = nullptr;
      double seconds = std::strtod(value.c_str(), &end);
      if (*end || seconds <= 0) return "bad --max-virtual: " + value;
      options.platform.maxVirtualMs = static_cast<std::int64_t>(seconds * 1000);
    } else {
      return "unknown option " + arg;
    }
  }
  return {};
}

void writeOutputs(const DriverOptions& options, HeadlessPlatform& platform) {
  if (!options.screenFile.empty()) std::ofstream(options.screenFile, std::ios::binary) << screenText(platform.surface());
  if (!options.pngFile.empty()) writePng(platform.surface(), options.pngFile);
  if (!options.logFile.empty()) std::ofstream(options.logFile, std::ios::binary) << platform.log().text();
}

}  // namespace

int runHeadlessDriver(int argc, char** argv) {
  for (int i = 1; i < argc && std::string(argv[i]) != "--" && std::string(argv[i]) != "--run"; ++i) {
    if (std::string(argv[i]) == "--help") {
      std::cout << kUsage << keyNameList() << "\n";
      return 0;
    }
    if (std::string(argv[i]) == "--version") {
      std::cout << "almanouk-headless " << ALMANOUK_VERSION << "\n";
      return 0;
    }
  }
  DriverOptions options;
  if (std::string error = parse(argc, argv, options); !error.empty()) {
    std::cerr << "almanouk-headless: " << error << "\n" << kUsage << keyNameList() << "\n";
    return 2;
  }
  std::string scriptError;
  auto script = KeyScript::parse(options.script, &scriptError);
  if (!script) {
    std::cerr << "almanouk-headless: " << scriptError << "\n";
    return 2;
  }
  if (!options.platform.snapFolder.empty()) std::filesystem::create_directories(options.platform.snapFolder);
  HeadlessPlatform platform(options.platform, *script);
  if (!options.commandLine.empty()) {
    CommandLineOutput output;
    const int status = runCommandLineWork(platform, options.commandLine, output);
    std::cout << output.out;
    std::cerr << output.err;
    return status;
  }
  int status = 0;
  try {
    Program program(platform, options.soundFolder);
    status = program.run();
    platform.logEvent("exit " + std::to_string(status));
  } catch (const RunEnded&) {
    status = 0;
  }
  writeOutputs(options, platform);
  return status;
}

}  // namespace almanouk
