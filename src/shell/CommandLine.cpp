#include "shell/CommandLine.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "calendar/CalendarCache.h"
#include "calendar/CalendarFile.h"
#include "calendar/CalendarInsert.h"
#include "calendar/CalendarList.h"
#include "calendar/CalendarModel.h"
#include "calendar/ICalExport.h"
#include "calendar/ICalImport.h"
#include "editors/CalendarManagement.h"
#include "platform/NumberedFiles.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "search/Search.h"
#include "settings/SettingsFile.h"
#include "shell/InstanceGuard.h"
#include "shell/UserFileVersions.h"
#include "sync/SyncCommands.h"

namespace almanouk {
namespace {

constexpr std::string_view kUsage =
    "gebruik: almanouk --export NAAM.AMN BESTAND.ics\n"
    "         almanouk --export-all BESTAND.ics\n"
    "         almanouk --import BESTAND.ics NAAM.AMN\n"
    "         almanouk --zoek WOORD [--alle]\n"
    "         almanouk --sync-koppel ADRES NAAM.AMN\n"
    "         almanouk --sync\n";

class Work {
 public:
  Work(Platform& platform, CommandLineOutput& output) : platform_(platform), output_(output), guard_(platform) {}
  ~Work() {
    versions_.reset();
    guard_.release();
  }

  // An .ics path as the user gave it, from the folder the program was started in.
  std::string path(const std::string& given) { return platform_.files().resolve(given); }

  // Into the data folder to read only: the program may be running on it.
  bool readDataFolder() {
    const std::string folder = platform_.dataFolder();
    return platform_.changeFolder(folder) || fail("Geen gegevensmap " + folder + ": start Almanouk eerst een keer.");
  }

  // Into the data folder, holding the program's instance lock: no program
  // can start on the folder meanwhile, and none may be running.
  bool enterDataFolder() {
    if (!readDataFolder()) return false;
    switch (guard_.acquire()) {
      case InstanceGuard::Outcome::Held: break;
      case InstanceGuard::Outcome::HeldElsewhere:
        return fail("Almanouk draait nu met " + platform_.dataFolder() + ". Sluit het programma en probeer het opnieuw.");
      case InstanceGuard::Outcome::Refused: return fail(guard_.reason());
    }
    versions_.emplace(platform_);
    return true;
  }

  // A calendar of the data folder, as typed on the command line (UTF-8).
  std::optional<std::string> findCalendar(const std::string& given) const {
    return findCalendarFile(calendarFileNames(platform_), utf8ToCp437(given));
  }

  std::unique_ptr<CalendarModel> readCalendar(const std::string& name) {
    std::optional<std::string> bytes = platform_.files().contents(name);
    if (!bytes) {
      fail("Kan " + name + " niet lezen (" + std::string(describe(platform_.files().lastProblem())) + ").");
      return nullptr;
    }
    return std::make_unique<CalendarModel>(std::move(*bytes));
  }

  bool fail(const std::string& message) {
    output_.err += "almanouk: " + message + "\n";
    return false;
  }
  bool fail(const FileResult& result) { return result || fail(saveFailedMessage(result.error()) + "."); }

  void say(const std::string& line) { output_.out += line + "\n"; }

  Platform& platform() { return platform_; }

 private:
  Platform& platform_;
  CommandLineOutput& output_;
  InstanceGuard guard_;
  std::optional<UserFileVersions> versions_;
};

// "1 afspraak", "2 afspraken".
std::string counted(std::size_t count, std::string_view one, std::string_view more) {
  return std::to_string(count) + " " + std::string(count == 1 ? one : more);
}

std::string listOfNames(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
  return list.empty() ? "geen" : list;
}

int exportCalendars(Work& work, const std::optional<std::string>& given, const std::string& icsPath) {
  Platform& platform = work.platform();
  std::vector<std::string> names;
  if (given) {
    std::optional<std::string> name = work.findCalendar(*given);
    if (!name)
      return work.fail("Geen almanouk " + *given + "; er zijn: " + listOfNames(calendarFileNames(platform)) + "."), 1;
    names.push_back(*name);
  } else {
    names = calendarFileNames(platform);
  }
  std::vector<std::unique_ptr<CalendarModel>> models;
  std::vector<ExportedCalendar> calendars;
  for (const std::string& name : names) {
    models.push_back(work.readCalendar(name));
    if (!models.back()) return 1;
    calendars.push_back({name, *models.back(), !given});
  }
  ExportReport report;
  const std::string text = exportICalendar(calendars, {platform.now(), platform.timeZone()}, report);
  FileReplacement file(platform, icsPath, icsPath + ".almanouk~", 1);
  file.text(text);
  if (!work.fail(file.commit())) return 1;
  work.say(listOfNames(names) + ": " + counted(report.events, "afspraak", "afspraken") + " geëxporteerd naar " + icsPath +
           (report.skipped.empty() ? "."
                                   : "; " + std::to_string(report.skipped.size()) +
                                         (report.skipped.size() == 1 ? " regel" : " regels") + " overgeslagen:"));
  for (const std::string& skipped : report.skipped) work.say("  " + skipped);
  return 0;
}

// A calendar for the import, made as the settings screen makes one when it
// does not exist yet: a name of eight characters, its own diary key, a line
// on the settings screen; but with the sections only (none of the template's
// examples among the user's appointments) and the file's own name for it.
std::optional<std::string> calendarForImport(Work& work, const std::string& given, const std::string& description) {
  if (std::optional<std::string> name = work.findCalendar(given)) return name;
  Platform& platform = work.platform();
  const std::string typed = utf8ToCp437(given);
  const std::string stem = lowerAscii(typed).ends_with(".amn") ? typed.substr(0, typed.size() - 4) : typed;
  const std::string name = calendarFileNameFor(stem);
  if (std::string refusal = refusalOf(platform, name); stem.empty() || !refusal.empty())
    return work.fail("Kan geen almanouk " + name + " maken: " + (stem.empty() ? "geen naam" : refusal) + "."), std::nullopt;
  if (calendarFileNames(platform).size() >= kMostCalendarChoices)
    return work.fail("Er zijn al " + std::to_string(kMostCalendarChoices) + " almanouks; " + name + " kan er niet bij."),
           std::nullopt;
  if (!work.fail(writeEmptyCalendar(platform, name, nextFreeDiaryKey(platform), description))) return std::nullopt;
  if (!work.fail(addCalendarChoice(platform, name))) return std::nullopt;
  work.say("Nieuwe almanouk " + name + " gemaakt.");
  return name;
}

std::string summaryLine(const ImportedEvents& events, const Insertion& insertion, const std::string& name) {
  std::set<std::size_t> given, added, writtenOut;
  for (std::size_t i = 0; i < events.entries.size(); ++i) {
    const ImportedEntry& entry = events.entries[i];
    given.insert(entry.event);
    if (!insertion.added[i]) continue;
    added.insert(entry.event);
    if (entry.writtenOut) writtenOut.insert(entry.event);
  }
  std::string line = name + ": " + counted(added.size(), "afspraak", "afspraken") + " geïmporteerd";
  if (!writtenOut.empty()) line += " (" + std::to_string(writtenOut.size()) + " uitgeschreven als losse datums)";
  if (given.size() > added.size())
    line += ", " + std::to_string(given.size() - added.size()) + (given.size() - added.size() == 1 ? " stond" : " stonden") +
            " er al in";
  if (const std::size_t skipped = events.skipped.size() + events.notRead; skipped > 0)
    line += ", " + std::to_string(skipped) + " overgeslagen";
  if (!events.notes.empty() || !events.skipped.empty() || events.notRead > 0) line += ":";
  return line;
}

// Lines of the calendar that count on no day, so that the user can mend them
// where the imported entries sit beside them.
void sayDeadLines(Work& work, const std::string& name, const CalendarModel& calendar) {
  const std::vector<DeadLine> dead = deadLines(calendar);
  if (dead.empty()) return;
  work.say("Let op: " + counted(dead.size(), "regel", "regels") + " van " + name +
           (dead.size() == 1 ? " telt" : " tellen") + " op geen dag mee:");
  for (const DeadLine& line : dead)
    work.say("  regel " + std::to_string(line.lineNumber) + " (" + cp437ToUtf8(line.line) + "): " +
             cp437ToUtf8(line.why));
}

// The .ics file's bytes, or why there are none: not there, a folder, no
// ordinary file, too large, not readable. Read past the file layer's cache:
// it is read once and may be large.
std::optional<std::string> readICalendarFile(Work& work, const std::string& path) {
  FileLayer& files = work.platform().files();
  switch (files.kind(path)) {
    case FileLayer::Kind::Missing: return work.fail(path + " bestaat niet."), std::nullopt;
    case FileLayer::Kind::Folder: return work.fail(path + " is een map, geen bestand."), std::nullopt;
    case FileLayer::Kind::Other: return work.fail(path + " is geen gewoon bestand."), std::nullopt;
    case FileLayer::Kind::Regular: break;
  }
  if (files.fileSize(path) > kLargestICalendar)
    return work.fail(path + " is te groot voor een agenda (meer dan " + std::to_string(kLargestICalendar >> 20) + " MB)."),
           std::nullopt;
  std::string text;
  std::optional<std::string_view> read = files.readInto(path, text);
  if (!read) return work.fail("Kan " + path + " niet lezen (geen rechten)."), std::nullopt;
  text.resize(read->size());
  return text;
}

// What an import could not take as the file says, per event: written out, a reminder, skipped.
void sayWhatWasNotExact(Work& work, const ImportedEvents& events) {
  constexpr std::size_t kMostTold = 20;
  std::size_t told = 0;
  for (const EventNote& note : events.notes)
    if (told++ < kMostTold) work.say("  \"" + note.summary + "\": " + note.what);
  for (const SkippedEvent& skipped : events.skipped)
    if (told++ < kMostTold) work.say("  \"" + skipped.summary + "\": " + skipped.why);
  if (told > kMostTold) work.say("  ... en " + std::to_string(told - kMostTold) + " meer");
  if (events.notRead > 0)
    work.say("  " + counted(events.notRead, "afspraak", "afspraken") + " daarna niet gelezen: " +
             std::string(kTooManyEntries));
}

int importCalendar(Work& work, const std::string& icsPath, const std::string& given) {
  Platform& platform = work.platform();
  const ImportClock clock{platform.now(), platform.timeZone()};
  const std::optional<std::string> text = readICalendarFile(work, icsPath);
  if (!text) return 1;
  std::variant<ImportedEvents, std::string> read = readICalendar(*text, clock);
  if (const std::string* whyNot = std::get_if<std::string>(&read)) return work.fail(icsPath + ": " + *whyNot + "."), 1;
  const ImportedEvents& events = std::get<ImportedEvents>(read);

  if (!work.enterDataFolder()) return 1;
  std::optional<std::string> name = calendarForImport(work, given, events.calendarName);
  if (!name) return 1;
  std::unique_ptr<CalendarModel> calendar = work.readCalendar(*name);
  if (!calendar) return 1;
  std::vector<std::string> old(calendar->lines().begin(), calendar->lines().end());
  if (!passesCalendarCheck(old))
    return work.fail(*name + " is beschadigd (de kopregels kloppen niet); herstel het eerst in het programma."), 1;

  std::vector<NewEntry> entries;
  entries.reserve(events.entries.size());
  for (const ImportedEntry& entry : events.entries) entries.push_back({entry.section, entry.line});
  Insertion insertion = insertEntries(*calendar, entries);
  work.say(summaryLine(events, insertion, *name));
  sayWhatWasNotExact(work, events);
  if (std::none_of(insertion.added.begin(), insertion.added.end(), [](bool added) { return added; })) {
    work.say("Niets nieuws: " + *name + " is niet gewijzigd.");
    return 0;
  }
  if (!passesCalendarCheck(insertion.lines))
    return work.fail(*name + " zou na het importeren niet meer kloppen; niets gewijzigd."), 1;
  if (!work.fail(writeCalendarLines(platform, backupName(*name), calendar->lines()))) return 1;
  std::vector<std::string_view> lines(insertion.lines.begin(), insertion.lines.end());
  if (!work.fail(writeCalendarLines(platform, *name, lines))) return 1;
  work.say("De vorige versie staat in " + backupName(*name) + ".");
  sayDeadLines(work, *name, CalendarModel(withLineEnds(lines)));
  return 0;
}

// Found entries and diary pages, one to a line in UTF-8, as grep reports:
// status 1 when nothing matched.
int searchCalendars(Work& work, const std::string& word, bool all) {
  Platform& platform = work.platform();
  if (!work.readDataFolder()) return 2;
  const Query query(utf8ToCp437(word));
  if (query.empty()) return work.fail("Geef een woord om te zoeken."), 2;
  std::vector<std::string> files;
  if (all) {
    files = calendarFileNames(platform);
  } else {
    std::string active = activeCalendarFile(platform);
    files.push_back(active.empty() ? std::string(kDefaultCalendarFile) : active);
  }
  CalendarCache cache(platform.files());
  Search search(platform, searchedCalendars(files, cache), query, calendarDay(platform.now()));
  search.finish(platform.files());
  for (const SearchHit& hit : search.hits()) {
    char date[16] = "----------";
    if (hit.date) std::snprintf(date, sizeof date, "%04d-%02d-%02d", hit.date->year % 10000, hit.date->month % 100, hit.date->day % 100);
    const bool page = hit.kind == SearchHit::Kind::Page;
    std::string where = page ? "dagboek" : search.calendars()[hit.calendar].description();
    work.say(std::string(date) + "  " + cp437ToUtf8(where) + "  " + cp437ToUtf8(hitLine(hit)));
  }
  return search.hits().empty() ? 1 : 0;
}

// Links a calendar to a CalDAV collection, or syncs every linked one, as
// the program's only user of the data folder meanwhile.
int syncWork(Work& work, std::span<const std::string> arguments, CommandLineOutput& output) {
  const bool link = arguments[0] == "--sync-koppel";
  if (arguments.size() != (link ? 3u : 1u)) {
    output.err += kUsage;
    return 2;
  }
  if (!syncAvailable()) return work.fail("deze versie van Almanouk is gebouwd zonder synchronisatie."), 1;
  if (!work.enterDataFolder()) return 1;
  SyncOutput said;
  int status = 0;
  if (link) {
    std::optional<std::string> name = work.findCalendar(arguments[2]);
    if (!name) return work.fail("Geen agenda " + arguments[2] + " in " + work.platform().dataFolder() + "."), 1;
    status = linkCalendar(work.platform(), arguments[1], *name, said);
  } else {
    status = syncLinkedCalendars(work.platform(), said);
  }
  output.out += said.out;
  output.err += said.err;
  return status;
}

}  // namespace

bool isCommandLineWork(std::span<const std::string> arguments) {
  return !arguments.empty() &&
         (arguments[0] == "--export" || arguments[0] == "--export-all" || arguments[0] == "--import" ||
          arguments[0] == "--zoek" || arguments[0] == "--sync" || arguments[0] == "--sync-koppel");
}

int runCommandLineWork(Platform& platform, std::span<const std::string> arguments, CommandLineOutput& output) {
  Work work(platform, output);
  const std::string& command = arguments[0];
  if (command == "--zoek") {
    const bool all = arguments.size() == 3 && arguments[2] == "--alle";
    if (arguments.size() != 2 && !all) {
      output.err += kUsage;
      return 2;
    }
    return searchCalendars(work, arguments[1], all);
  }
  if (command == "--sync" || command == "--sync-koppel") return syncWork(work, arguments, output);
  const std::size_t expected = command == "--export-all" ? 2 : 3;
  if (arguments.size() != expected) {
    output.err += kUsage;
    return 2;
  }
  if (!iCalendarAvailable()) return work.fail("deze versie van Almanouk is gebouwd zonder iCalendar (libical)."), 1;
  if (command == "--import") return importCalendar(work, work.path(arguments[1]), arguments[2]);
  const std::string icsPath = work.path(arguments.back());
  if (!work.enterDataFolder()) return 1;
  return exportCalendars(work, command == "--export" ? std::optional<std::string>(arguments[1]) : std::nullopt, icsPath);
}

}  // namespace almanouk
