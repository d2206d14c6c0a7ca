#include "sync/SyncCommands.h"

#include "calendar/CalendarList.h"
#include "platform/Platform.h"
#include "platform/Secrets.h"
#include "platform/System.h"
#include "sync/CalDavCollection.h"

namespace almanouk {
namespace {

constexpr int kDefaultTimeoutSeconds = 30;

std::optional<HttpLogin> loginFromEnvironment() {
  const std::string user = os::environmentValue("ALMANOUK_SYNC_USER");
  const std::string password = os::environmentValue("ALMANOUK_SYNC_PASSWORD");
  if (user.empty() && password.empty()) return std::nullopt;
  return HttpLogin{user, password};
}

// Asked at the terminal: the user's name, and a password or "!command" that prints it.
struct AskedLogin {
  HttpLogin login;
  std::string passwordCommand;
};

std::optional<AskedLogin> askLogin() {
  std::optional<std::string> user = secrets::askAtTerminal("Gebruikersnaam: ", false);
  if (!user) return std::nullopt;
  std::optional<std::string> typed =
      secrets::askAtTerminal("Wachtwoord (of !opdracht die het geeft, zoals !pass show caldav): ", true);
  if (!typed) return std::nullopt;
  if (!typed->starts_with("!")) return AskedLogin{{*user, *typed}, {}};
  const std::string command = typed->substr(1);
  std::optional<std::string> password = secrets::commandOutput(command);
  if (!password) return std::nullopt;
  return AskedLogin{{*user, *password}, command};
}

std::string counted(int count, const char* what) { return std::to_string(count) + " " + what; }

// One line for the user: "ALMANOUK.AMN: 2 verstuurd, 1 ontvangen, ..."
std::string summaryOf(const std::string& calendarFile, const SyncReport& report) {
  return calendarFile + ": " + counted(report.sent, "verstuurd") + ", " + counted(report.received, "ontvangen") + ", " +
         counted(report.changed, "gewijzigd") + ", " + counted(report.deleted, "verwijderd") + ", " +
         counted(report.conflicts, report.conflicts == 1 ? "conflict bewaard" : "conflicten bewaard") + ", " +
         counted(static_cast<int>(report.errors.size()), report.errors.size() == 1 ? "fout" : "fouten");
}

}  // namespace

bool syncAvailable() { return true; }

int syncTimeoutSeconds() {
  const std::string given = os::environmentValue("ALMANOUK_SYNC_TIMEOUT");
  int seconds = 0;
  for (char c : given) {
    if (c < '0' || c > '9' || seconds > 3600) return kDefaultTimeoutSeconds;
    seconds = seconds * 10 + (c - '0');
  }
  return seconds > 0 ? seconds : kDefaultTimeoutSeconds;
}

int linkCalendar(Platform& platform, const std::string& address, const std::string& calendarFile, SyncOutput& output) {
  std::unique_ptr<HttpClient> http = makeHttpClient(syncTimeoutSeconds());
  if (!http) return output.err += "Geen verbinding mogelijk: de HTTP-bibliotheek start niet.\n", 1;
  std::optional<HttpLogin> login = loginFromEnvironment();
  std::string passwordCommand;
  bool typed = false;
  DavResult<std::string> found = CalDavCollection::discover(*http, address, login ? &*login : nullptr);
  if (auto* failure = std::get_if<DavFailure>(&found); failure && failure->status == 401 && !login) {
    std::optional<AskedLogin> asked = askLogin();
    if (!asked) {
      output.err += "De server vraagt een aanmelding: geef ALMANOUK_SYNC_USER en ALMANOUK_SYNC_PASSWORD, "
                    "of koppel vanuit een terminal.\n";
      return 1;
    }
    login = asked->login;
    passwordCommand = asked->passwordCommand;
    typed = passwordCommand.empty();
    found = CalDavCollection::discover(*http, address, &*login);
  }
  if (auto* failure = std::get_if<DavFailure>(&found)) return output.err += failure->message + "\n", 1;
  const std::string& url = std::get<std::string>(found);
  SyncState state;
  if (std::optional<SyncState> earlier = readSyncStateOf(platform, calendarFile); earlier && earlier->link.url == url)
    state = std::move(*earlier);  // the same collection again: what is known stays known
  state.link = {url, login ? login->user : std::string(), passwordCommand};
  if (typed) {
    std::optional<std::string> command = secrets::storeInKeyring(url, login->user, login->password);
    if (command) state.link.passwordCommand = *command;
    output.out += command ? "Het wachtwoord staat in de sleutelbos van het bureaublad.\n"
                          : "Het wachtwoord is niet bewaard (geen sleutelbos): geef het bij elke synchronisatie "
                            "met ALMANOUK_SYNC_PASSWORD, of koppel opnieuw met !opdracht.\n";
  }
  if (FileResult written = writeSyncStateOf(platform, calendarFile, state); !written)
    return output.err += saveFailedMessage(written.error()) + ".\n", 1;
  output.out += "Gekoppeld: " + calendarFile + " met " + url + "\n";
  return 0;
}

std::vector<std::string> linkedCalendars(Platform& platform) {
  std::vector<std::string> linked;
  for (const std::string& name : calendarFileNames(platform))
    if (platform.files().fileExists(syncStateName(name))) linked.push_back(name);
  return linked;
}

std::optional<HttpLogin> loginFor(const SyncLink& link, std::string& whyNot) {
  if (std::optional<HttpLogin> given = loginFromEnvironment()) return given;
  if (link.user.empty()) return std::nullopt;
  if (link.passwordCommand.empty()) {
    whyNot = "geen wachtwoord voor " + link.user + ": geef ALMANOUK_SYNC_PASSWORD";
    return std::nullopt;
  }
  std::optional<std::string> password = secrets::commandOutput(link.passwordCommand);
  if (!password) {
    whyNot = "de wachtwoordopdracht gaf geen wachtwoord (" + link.passwordCommand + ")";
    return std::nullopt;
  }
  return HttpLogin{link.user, *password};
}


int syncLinkedCalendars(Platform& platform, SyncOutput& output) {
  const std::vector<std::string> linked = linkedCalendars(platform);
  if (linked.empty()) return output.err += "Geen agenda gekoppeld: almanouk --sync-koppel ADRES NAAM.AMN\n", 1;
  std::unique_ptr<HttpClient> http = makeHttpClient(syncTimeoutSeconds());
  if (!http) return output.err += "Geen verbinding mogelijk: de HTTP-bibliotheek start niet.\n", 1;
  int status = 0;
  for (const std::string& calendar : linked) {
    std::optional<SyncState> state = readSyncStateOf(platform, calendar);
    std::string whyNot;
    std::optional<HttpLogin> login = state ? loginFor(state->link, whyNot) : std::nullopt;
    SyncReport report;
    if (!state) report.errors.push_back(syncStateName(calendar) + " is onleesbaar; koppel opnieuw");
    else if (!whyNot.empty()) report.errors.push_back(whyNot);
    else report = syncCalendar(platform, calendar, *http, login, {platform.now(), platform.timeZone()});
    output.out += summaryOf(calendar, report) + "\n";
    for (const std::string& note : report.notes) output.out += "  " + note + "\n";
    for (const std::string& error : report.errors) output.err += calendar + ": " + error + "\n";
    if (!report.errors.empty()) status = 1;
  }
  return status;
}

}  // namespace almanouk
