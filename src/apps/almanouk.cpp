// The program users start: the real window, keyboard and sound, or the
// terminal it was started from.

#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "alarm/AlarmSound.h"
#include "platform/Process.h"
#include "platform/SystemName.h"
#include "platform/Text.h"
#include "platform/WindowPlatform.h"
#include "platform/console/ConsolePlatform.h"
#if ALMANOUK_TERMINAL
#include "platform/terminal/TerminalPlatform.h"
#endif
#include "shell/CommandLine.h"
#include "shell/Program.h"
#include "shell/WatcherSwitch.h"
#include "sync/SyncCommands.h"

namespace {

#if ALMANOUK_TERMINAL
constexpr bool kTerminalBuilt = true;
#else
constexpr bool kTerminalBuilt = false;
#endif

// The help, each part with what its build offers: a Windows build has no
// terminal, no watcher and no sync, and says nothing of them.
struct HelpPart {
  const char* synopsis;     // after "almanouk "
  const char* description;  // its lines in the list of options
  bool offered;
};

std::string usage() {
  const bool terminal = kTerminalBuilt;
  const bool watcher = almanouk::kThisSystem != almanouk::SystemKind::Windows;
  const bool sync = almanouk::syncAvailable();
  const HelpPart parts[] = {
      {nullptr, R"(  --terminal    in de terminal waarin het gestart is, zonder venster (over
                SSH, in tmux, op de console); zo start het ook vanzelf als er
                geen beeldscherm is en invoer en uitvoer een terminal zijn
)", terminal},
      {nullptr, R"(  GELUIDSMAP    de map waarvan het eerste *.mp3-bestand klinkt bij een alarm;
                alle woorden op de opdrachtregel samen noemen haar, dus een
                naam met spaties hoeft niet tussen aanhalingstekens
                (anders: de gegevensmap, met het ingebouwde roster.mp3)
)", true},
      {"--export NAAM.AMN BESTAND.ics | --export-all BESTAND.ics", R"(  --export      schrijf een almanouk als iCalendar (.ics) voor andere programma's
  --export-all  schrijf alle almanouks in een .ics, elk met zijn eigen categorie
)", true},
      {"--import BESTAND.ics NAAM.AMN", R"(  --import      zet de afspraken uit een .ics in een almanouk (die zo nodig
                wordt gemaakt); de almanouk zoals hij was blijft als NAAM.AM2
                Deze drie hebben geen scherm nodig en weigeren zolang het
                programma met dezelfde gegevensmap draait.
)", true},
      {"--zoek WOORD [--alle]", R"(  --zoek        toon de afspraken en dagboekbladzijden met WOORD (hoofdletters
                en accenten tellen niet mee), een per regel met de datum; met
                --alle in alle almanouks. Leest alleen, ook terwijl het
                programma draait; status 1 als niets gevonden is.
)", true},
      {"--wachter [aan | uit]", R"(  --wachter     laat de alarmen van de actieve almanouk komen terwijl het
                programma dicht is, als meldingen op het bureaublad met het
                geluid; zonder venster. Maakt plaats zodra het programma start
                en neemt het over als het eindigt. Met aan: ook bij elke
                aanmelding (in ~/.config/autostart), en nu; met uit: niet meer,
                en een wachter die draait stopt.
)", watcher},
      {"--sync-koppel ADRES NAAM.AMN | --sync", R"(  --sync-koppel koppel een almanouk aan een agenda op een CalDAV-server; ADRES
                is dat van de agenda of alleen van de server; vraagt in de
                terminal naam en wachtwoord als de server dat wil (of geef
                ALMANOUK_SYNC_USER en ALMANOUK_SYNC_PASSWORD)
  --sync        synchroniseer alle gekoppelde almanouks in twee richtingen;
                het draaiende programma doet dat zelf ook, bij de start, na
                het opslaan en elke vijf minuten
)", sync},
      {"--help | --version", R"(  --help        toon deze hulp
  --version     toon de versie
)", true},
  };
  std::string text = terminal ? "gebruik: almanouk [--terminal] [GELUIDSMAP]\n" : "gebruik: almanouk [GELUIDSMAP]\n";
  for (const HelpPart& part : parts)
    if (part.offered && part.synopsis) text += std::string("         almanouk ") + part.synopsis + "\n";
  text += "Almanouk: kalender, agenda, dagboek en wekker in een venster.\n\n";
  for (const HelpPart& part : parts)
    if (part.offered) text += part.description;
  return text + R"(
De gegevensmap is $APPDATA/Almanouk, anders $appdata/Almanouk, anders
$XDG_DATA_HOME/Almanouk, anders ~/.local/share/Almanouk. F1 in het programma
en man almanouk noemen de toetsen.
)";
}

// --help and --version alone are answered at once: no window, no data folder.
std::optional<int> answerInfoOption(const std::vector<std::string>& arguments) {
  if (arguments.size() != 1) return std::nullopt;
  const std::string& option = arguments[0];
  if (option == "--help" || option == "-h") {
    std::fputs(usage().c_str(), stdout);
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

// Turned on, the watcher also starts now; turned off, a watcher that runs is asked to end.
int switchWatcher(bool on) {
  almanouk::ConsolePlatform platform(almanouk::process::startFolder());
  const almanouk::FileResult switched = on ? almanouk::writeAutostartEntry(platform, almanouk::process::programPath())
                                           : almanouk::removeAutostartEntry(platform);
  if (!switched) {
    std::fprintf(stderr, "almanouk: %s\n", almanouk::cp437ToUtf8(almanouk::saveFailedMessage(switched.error())).c_str());
    return 1;
  }
  if (on) {
    almanouk::process::startProgram(almanouk::process::programPath(), {"--wachter"});
    std::printf("De wachter staat aan: hij start bij elke aanmelding, en nu.\n");
  } else {
    almanouk::askWatcherToEnd(platform);
    std::printf("De wachter staat uit.\n");
  }
  return 0;
}

// --wachter becomes the watcher, a small program of its own; --speel plays an alarm's sound for it.
std::optional<int> runWatcherWork(const std::vector<std::string>& arguments) {
  if (arguments.empty() || (arguments[0] != "--wachter" && arguments[0] != "--speel")) return std::nullopt;
  if (arguments[0] == "--speel" && arguments.size() == 2) {
    almanouk::ConsolePlatform platform(almanouk::process::startFolder());
    platform.setSoundPlayer(almanouk::makeSoundPlayer(platform.files()));
    return almanouk::playSoundFile(platform, arguments[1]) == almanouk::SoundOutcome::Played ? 0 : 1;
  }
  if (arguments.size() == 2 && (arguments[1] == "aan" || arguments[1] == "uit")) return switchWatcher(arguments[1] == "aan");
  if (arguments.size() != 1) return std::nullopt;
  const std::string watcher =
      almanouk::process::packageProgram({"almanouk-wachter", "../libexec/almanouk/almanouk-wachter"});
  if (!watcher.empty()) almanouk::process::becomeProgram(watcher, {});
  std::fprintf(stderr, "almanouk: de wachter (almanouk-wachter) is hier niet te starten\n");
  return 1;
}

// The window; the terminal when asked for, or when no display answers and
// the program was started in a terminal.
std::unique_ptr<almanouk::Platform> choosePlatform(bool inTerminal) {
#if ALMANOUK_TERMINAL
  if (inTerminal) return std::make_unique<almanouk::TerminalPlatform>(almanouk::process::startFolder());
  try {
    return almanouk::makeWindowPlatform(almanouk::process::startFolder());
  } catch (const almanouk::NoDisplay&) {
    if (!almanouk::terminalAvailable()) throw;
    return std::make_unique<almanouk::TerminalPlatform>(almanouk::process::startFolder());
  }
#else
  if (inTerminal) throw std::runtime_error("deze uitgave kan niet in een terminal draaien");
  return almanouk::makeWindowPlatform(almanouk::process::startFolder());
#endif
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments = almanouk::process::arguments(argc, argv);
  if (!arguments.empty()) almanouk::process::useStartingTerminal();
  if (auto status = answerInfoOption(arguments)) return *status;
  if (auto status = runCommandLine(arguments)) return *status;
  if (auto status = runWatcherWork(arguments)) return *status;
  const bool inTerminal = !arguments.empty() && arguments[0] == "--terminal";
  // The sound folder is the whole command tail, so a name with blanks needs no quotes.
  std::string soundFolder;
  for (std::size_t i = inTerminal ? 1 : 0; i < arguments.size(); ++i)
    soundFolder += (soundFolder.empty() ? "" : " ") + arguments[i];
  try {
    std::unique_ptr<almanouk::Platform> platform = choosePlatform(inTerminal);
    almanouk::Program program(*platform, soundFolder);
    return program.run();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "almanouk: %s\n", error.what());
    return 1;
  }
}
