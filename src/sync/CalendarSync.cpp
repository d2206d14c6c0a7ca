#include "sync/CalendarSync.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <set>

#include "calendar/CalendarFile.h"
#include "calendar/CalendarInsert.h"
#include "calendar/CalendarModel.h"
#include "calendar/ICalExport.h"
#include "calendar/ICalImport.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "settings/SettingsFile.h"
#include "sync/CalDavCollection.h"
#include "sync/EventPatch.h"
#include "sync/SyncPlan.h"

namespace almanouk {
namespace {

// A sync that met an event changed meanwhile plans again, at most this often.
constexpr int kPasses = 3;
// Lines of an event the calendar cannot hold exactly, written out as dates.
constexpr std::string_view kSeriesMark = " [reeks]";
// A new event's identity is tried with these suffixes when its href is taken by another event.
constexpr int kHrefTries = 5;

struct Current {
  std::vector<SyncLine> lines;
  std::vector<int> lineNumbers;  // 1-based, in the file
};

// The lines that count: entries of a section, not the ones below a blank line.
Current currentLines(const CalendarModel& model) {
  std::set<int> dead;
  for (const DeadLine& line : deadLines(model)) dead.insert(line.lineNumber);
  Current current;
  for (const Entry& entry : model.entries()) {
    if (dead.contains(entry.lineNumber) || entry.line.find_first_not_of(' ') == std::string_view::npos) continue;
    current.lines.push_back({entry.section, std::string(entry.line)});
    current.lineNumbers.push_back(entry.lineNumber);
  }
  return current;
}

struct Mapped {
  bool readable = false;
  bool exact = false;
  std::vector<SyncLine> lines;
};

// The server's event as the calendar's lines.
Mapped linesOf(const std::string& ics, const ImportClock& clock) {
  auto read = readICalendar(ics, clock);
  Mapped mapped;
  const auto* events = std::get_if<ImportedEvents>(&read);
  // An event the reader skipped (a date it cannot read) is no event of no lines:
  // kept as unread, so that it is fetched again once it can be read.
  if (!events || (events->entries.empty() && !events->skipped.empty())) return mapped;
  mapped.readable = true;
  bool writtenOut = false;
  for (const ImportedEntry& entry : events->entries) {
    mapped.lines.push_back({entry.section, entry.line});
    writtenOut = writtenOut || entry.writtenOut;
  }
  mapped.exact = mapped.lines.size() == 1 && !writtenOut;
  if (!mapped.exact)
    for (SyncLine& line : mapped.lines) line.text += kSeriesMark;
  return mapped;
}

// The identity of an entry sent as a new event: the same line of the same
// calendar gets the same one, so that a sync cut short after sending it finds it again.
std::string newEventName(const std::string& calendar, const SyncLine& line, int repeat) {
  const std::uint64_t hash =
      textFingerprint({calendar, std::to_string(static_cast<int>(line.section)), line.text, std::to_string(repeat)});
  char name[40];
  std::snprintf(name, sizeof name, "almanouk-%016llx", static_cast<unsigned long long>(hash));
  return name;
}

std::string shown(const SyncLine& line) { return cp437ToUtf8(line.text); }

class Pass {
 public:
  Pass(const std::string& calendarFile, CalDavCollection& collection, SyncState& state, const SyncClock& clock,
       SyncReport& report)
      : calendarFile_(calendarFile),
        collection_(collection),
        state_(state),
        importClock_{clock.now, clock.timeZone},
        exportClock_{clock.now, clock.timeZone},
        report_(report) {}

  struct Outcome {
    std::optional<std::vector<std::string>> lines;  // the calendar's new lines, when they changed
    bool stale = false;      // an event changed on the server meanwhile: plan again
    bool abandoned = false;  // the calendar cannot take the changes: neither it nor the state may be written
  };

  Outcome run(const std::string& calendar) {
    model_ = std::make_unique<CalendarModel>(calendar);
    current_ = currentLines(*model_);
    if (!readServer()) return {};
    diff_ = diffLocal(state_.records, current_.lines);
    adoptMatchingNewEvents();
    indexLinesOfRecords();
    for (std::size_t r = 0; r < state_.records.size(); ++r) settle(r);
    sendNewLines();
    Outcome outcome;
    outcome.lines = newCalendar();
    if (!outcome.lines && (!removed_.empty() || !additions_.empty())) return {{}, false, true};
    keepOnlyPresentRecords();
    if (!stale_ && allRead_) state_.token = wrote_ ? tokenAfterOwnWrites() : listing_.token;
    outcome.stale = stale_;
    return outcome;
  }

 private:
  bool fail(std::string message) {
    report_.errors.push_back(std::move(message));
    return false;
  }

  // The server's changes: which records changed or went, and the new events.
  bool readServer() {
    DavResult<Listing> listing = collection_.changesSince(state_.token);
    if (auto* failure = std::get_if<DavFailure>(&listing)) return fail(failure->message);
    listing_ = std::move(std::get<Listing>(listing));
    std::map<std::string, std::size_t> recordOf;
    for (std::size_t r = 0; r < state_.records.size(); ++r) recordOf[state_.records[r].href] = r;
    remote_.assign(state_.records.size(), RemoteChange::Unchanged);
    std::vector<std::string> wanted;
    std::set<std::string> present;
    for (const RemoteItem& item : listing_.present) {
      present.insert(item.href);
      auto known = recordOf.find(item.href);
      if (known != recordOf.end() && !item.etag.empty() && state_.records[known->second].etag == item.etag) continue;
      wanted.push_back(item.href);
    }
    for (const std::string& href : listing_.removed) {
      auto known = recordOf.find(href);
      if (known != recordOf.end() && !present.contains(href)) remote_[known->second] = RemoteChange::Deleted;
    }
    if (listing_.complete)
      for (std::size_t r = 0; r < state_.records.size(); ++r)
        if (!present.contains(state_.records[r].href)) remote_[r] = RemoteChange::Deleted;
    DavResult<std::vector<RemoteEvent>> fetched = collection_.fetch(wanted);
    if (auto* failure = std::get_if<DavFailure>(&fetched)) return fail(failure->message);
    std::set<std::string> arrived;
    for (RemoteEvent& event : std::get<std::vector<RemoteEvent>>(fetched)) {
      arrived.insert(event.href);
      if (event.ics.empty()) {  // gone by the time it was asked for
        if (auto known = recordOf.find(event.href); known != recordOf.end()) remote_[known->second] = RemoteChange::Deleted;
        continue;
      }
      Mapped mapped = linesOf(event.ics, importClock_);
      if (!mapped.readable) {
        report_.errors.push_back("Onleesbare afspraak op de server overgeslagen: " + event.href);
        allRead_ = false;
        continue;
      }
      auto known = recordOf.find(event.href);
      if (known == recordOf.end()) {
        newEvents_.push_back({std::move(event), std::move(mapped)});
        continue;
      }
      const std::size_t r = known->second;
      remote_[r] = RemoteChange::Changed;
      changedEvents_[r] = {std::move(event), std::move(mapped)};
    }
    // Asked for and not given, nor said to be gone: asked again next time.
    for (const std::string& href : wanted)
      if (!arrived.contains(href)) allRead_ = false;
    return true;
  }

  struct Incoming {
    RemoteEvent event;
    Mapped mapped;
  };

  // A new event on the server whose lines are new lines here too: the same
  // event (sent by a sync cut short, or made on both sides alike), bound, not doubled.
  void adoptMatchingNewEvents() {
    std::multimap<std::pair<Section, std::string>, std::size_t> unowned;
    for (std::size_t line = 0; line < current_.lines.size(); ++line)
      if (diff_.ownerOf[line] < 0) unowned.emplace(std::pair{current_.lines[line].section, current_.lines[line].text}, line);
    for (Incoming& incoming : newEvents_) {
      std::vector<std::multimap<std::pair<Section, std::string>, std::size_t>::iterator> found;
      for (const SyncLine& line : incoming.mapped.lines) {
        auto range = unowned.equal_range({line.section, line.text});
        auto free = std::find_if(range.first, range.second, [&found](const auto& candidate) {
          return std::none_of(found.begin(), found.end(), [&candidate](auto taken) { return taken->second == candidate.second; });
        });
        if (free == range.second) break;
        found.push_back(free);
      }
      const bool same = !incoming.mapped.lines.empty() && found.size() == incoming.mapped.lines.size();
      const std::size_t record = addRecord(incoming.event, incoming.mapped);
      if (!same) {
        insertLines(record);
        ++report_.received;
        continue;
      }
      for (auto taken : found) {
        diff_.ownerOf[taken->second] = static_cast<std::ptrdiff_t>(record);
        unowned.erase(taken);
      }
    }
  }

  std::size_t addRecord(const RemoteEvent& event, const Mapped& mapped) {
    state_.records.push_back({event.href, event.etag, uidOfEvent(event.ics), mapped.exact, mapped.lines, event.ics, {}});
    return state_.records.size() - 1;
  }

  std::vector<SyncLine> linesNow(std::size_t r) const {
    if (diff_.records[r] == LocalChange::Modified)
      return {current_.lines[static_cast<std::size_t>(diff_.lineOf[r])]};
    return state_.records[r].lines;
  }

  void settle(std::size_t r) {
    if (r >= diff_.records.size()) return;  // adopted or received this pass
    auto incoming = changedEvents_.find(r);
    RemoteChange remote = remote_[r];
    // Only what the calendar cannot show changed there: nothing to bring here.
    if (remote == RemoteChange::Changed && incoming->second.mapped.lines == state_.records[r].lines) {
      takeVersion(r, incoming->second);
      remote = RemoteChange::Unchanged;
    }
    const bool same = remote == RemoteChange::Changed && incoming->second.mapped.lines == linesNow(r);
    SyncRecord& record = state_.records[r];
    switch (decide(diff_.records[r], remote, same)) {
      case Action::Nothing: break;
      case Action::Adopt:
        takeVersion(r, incoming->second);
        record.lines = incoming->second.mapped.lines;
        break;
      case Action::TakeRemote:
        replaceLines(r, incoming->second);
        ++report_.changed;
        break;
      case Action::RestoreLocal:
        if (remote == RemoteChange::Changed) replaceLines(r, incoming->second);
        else removeLines(r), insertLines(r);
        report_.notes.push_back((diff_.records[r] == LocalChange::Touched
                                     ? "Regels van een reeks die de server beheert, teruggezet: "
                                     : "Op de server gewijzigd, hier verwijderd; teruggezet: ") +
                                describe(record));
        break;
      case Action::DeleteLocal:
        removeLines(r);
        forget(r);
        ++report_.deleted;
        break;
      case Action::SendChange: sendChange(r); break;
      case Action::DeleteRemote: deleteRemote(r); break;
      case Action::KeepBoth:
        release(r);  // ours goes as a new event
        replaceLines(r, incoming->second);
        ++report_.conflicts;
        report_.notes.push_back("Aan beide kanten gewijzigd, beide bewaard: " + describe(record));
        break;
      case Action::SendAsNew:
        release(r);
        forget(r);
        report_.notes.push_back("Op de server verwijderd, hier gewijzigd; opnieuw verstuurd: " + describe(record));
        break;
      case Action::Forget: forget(r); break;
    }
  }

  std::string describe(const SyncRecord& record) const {
    return record.lines.empty() ? record.href : shown(record.lines.front());
  }

  void takeVersion(std::size_t r, const Incoming& incoming) {
    SyncRecord& record = state_.records[r];
    record.etag = incoming.event.etag;
    record.event = incoming.event.ics;
    record.uid = uidOfEvent(incoming.event.ics);
    record.exact = incoming.mapped.exact;
  }

  // The record's lines here give way to the server's version.
  void replaceLines(std::size_t r, const Incoming& incoming) {
    removeLines(r);
    SyncRecord& record = state_.records[r];
    record.etag = incoming.event.etag;
    record.event = incoming.event.ics;
    record.uid = uidOfEvent(incoming.event.ics);
    record.exact = incoming.mapped.exact;
    record.lines = incoming.mapped.lines;
    insertLines(r);
  }

  // Each record's current lines, so that settling one never looks through them all.
  void indexLinesOfRecords() {
    linesOfRecord_.assign(state_.records.size(), {});
    for (std::size_t line = 0; line < current_.lines.size(); ++line)
      if (diff_.ownerOf[line] >= 0) linesOfRecord_[static_cast<std::size_t>(diff_.ownerOf[line])].push_back(line);
  }

  void removeLines(std::size_t r) {
    for (std::size_t line : linesOfRecord_[r])
      if (diff_.ownerOf[line] == static_cast<std::ptrdiff_t>(r)) {
        removed_.insert(current_.lineNumbers[line]);
        diff_.ownerOf[line] = kGone;
      }
  }

  void insertLines(std::size_t r) {
    for (const SyncLine& line : state_.records[r].lines) additions_.push_back({line.section, line.text});
  }

  // The record's current line is the user's own again: it goes out as a new event.
  void release(std::size_t r) {
    for (std::size_t line : linesOfRecord_[r])
      if (diff_.ownerOf[line] == static_cast<std::ptrdiff_t>(r)) diff_.ownerOf[line] = -1;
  }

  void forget(std::size_t r) { forgotten_.insert(r); }

  void sendChange(std::size_t r) {
    SyncRecord& record = state_.records[r];
    const SyncLine now = linesNow(r).front();
    const EntryEvent before = exportEntry(Entry(record.lines.front().section, record.lines.front().text, 0), record.uid, exportClock_);
    const EntryEvent after = exportEntry(Entry(now.section, now.text, 0), record.uid, exportClock_);
    if (!after.whyNot.empty()) {
      report_.notes.push_back("Niet verstuurd: " + shown(now) + " (" + after.whyNot + ")");
      unsettled_.insert(r);
      return;
    }
    const std::string event = before.whyNot.empty() && !record.event.empty() ? patchedEvent(record.event, before.ics, after.ics)
                                                                               : after.ics;
    wrote_ = true;
    DavResult<StoreOutcome> stored = collection_.store(record.href, event, record.etag);
    if (auto* failure = std::get_if<DavFailure>(&stored)) return unsettled_.insert(r), noteFailure(*failure);
    if (std::get<StoreOutcome>(stored).outcome == Stored::Stale) {
      stale_ = true;
      unsettled_.insert(r);
      return;
    }
    record.etag = std::get<StoreOutcome>(stored).etag;
    record.event = event;
    record.lines = {now};
    ++report_.changed;
  }

  void deleteRemote(std::size_t r) {
    wrote_ = true;
    DavResult<Stored> removed = collection_.remove(state_.records[r].href, state_.records[r].etag);
    if (auto* failure = std::get_if<DavFailure>(&removed)) return unsettled_.insert(r), noteFailure(*failure);
    if (std::get<Stored>(removed) == Stored::Stale) {
      stale_ = true;
      unsettled_.insert(r);
      return;
    }
    forget(r);
    ++report_.deleted;
  }

  void noteFailure(const DavFailure& failure) {
    report_.errors.push_back(failure.message);
    failed_ = true;
  }

  // Every line that belongs to no event goes out as a new one.
  void sendNewLines() {
    std::map<std::pair<Section, std::string>, int> repeats;
    std::set<std::string> taken;
    for (const SyncRecord& record : state_.records) taken.insert(record.href);
    for (std::size_t line = 0; line < current_.lines.size() && !failed_; ++line) {
      if (diff_.ownerOf[line] != -1) continue;
      const SyncLine& text = current_.lines[line];
      const int repeat = repeats[{text.section, text.text}]++;
      sendNew(line, newEventName(calendarFile_, text, repeat), taken);
    }
  }

  void sendNew(std::size_t line, const std::string& name, std::set<std::string>& taken) {
    const SyncLine& text = current_.lines[line];
    for (int attempt = 0; attempt < kHrefTries; ++attempt) {
      const std::string uid = attempt == 0 ? name : name + "-" + std::to_string(attempt);
      const std::string href = collection_.hrefFor(uid);
      if (taken.contains(href)) continue;
      const EntryEvent event = exportEntry(Entry(text.section, text.text, 0), uid, exportClock_);
      if (!event.whyNot.empty()) {
        report_.notes.push_back("Niet verstuurd: " + shown(text) + " (" + event.whyNot + ")");
        return;
      }
      wrote_ = true;
      DavResult<StoreOutcome> stored = collection_.store(href, event.ics, "");
      if (auto* failure = std::get_if<DavFailure>(&stored)) return noteFailure(*failure);
      std::string etag = std::get<StoreOutcome>(stored).etag;
      if (std::get<StoreOutcome>(stored).outcome == Stored::Stale) {
        // Made by a sync cut short (our identity, so this very line) or another event.
        DavResult<std::vector<RemoteEvent>> there = collection_.fetch({href});
        auto* events = std::get_if<std::vector<RemoteEvent>>(&there);
        if (!events || events->empty() || events->front().ics.empty() || uidOfEvent(events->front().ics) != uid)
          continue;
        etag = events->front().etag;
      }
      taken.insert(href);
      state_.records.push_back({href, etag, uid, true, {text}, event.ics, {}});
      diff_.ownerOf[line] = static_cast<std::ptrdiff_t>(state_.records.size() - 1);
      ++report_.sent;
      return;
    }
    report_.notes.push_back("Niet verstuurd: " + shown(text) + " (geen vrije plaats op de server)");
  }

  std::optional<std::vector<std::string>> newCalendar() {
    if (removed_.empty() && additions_.empty()) {
      newCurrent_ = current_.lines;
      return std::nullopt;
    }
    std::vector<std::string_view> kept;
    for (std::size_t i = 0; i < model_->lines().size(); ++i)
      if (!removed_.contains(static_cast<int>(i + 1))) kept.push_back(model_->lines()[i]);
    const CalendarModel trimmed(withLineEnds(kept));
    Insertion insertion = insertEntries(trimmed, additions_);
    if (!passesCalendarCheck(insertion.lines)) {
      fail(calendarFile_ + " zou na de synchronisatie niet meer kloppen; niets gewijzigd.");
      return std::nullopt;
    }
    std::vector<std::string_view> lines(insertion.lines.begin(), insertion.lines.end());
    newCurrent_ = currentLines(CalendarModel(withLineEnds(lines))).lines;
    return std::move(insertion.lines);
  }

  // The records in the calendar's new order, each with the lines it has
  // there. A line the calendar held already (the server has the same event
  // twice) is not doubled here: that event stays on the server, untouched.
  void keepOnlyPresentRecords() {
    std::multimap<std::pair<Section, std::string>, std::size_t> position;
    for (std::size_t i = 0; i < newCurrent_.size(); ++i)
      position.emplace(std::pair{newCurrent_[i].section, newCurrent_[i].text}, i);
    std::vector<std::pair<std::size_t, SyncRecord>> ordered;
    for (std::size_t r = 0; r < state_.records.size(); ++r) {
      if (forgotten_.contains(r)) continue;
      SyncRecord& record = state_.records[r];
      std::size_t first = SIZE_MAX;
      if (unsettled_.contains(r) && r < diff_.records.size()) {
        // Kept where the user's line now stands, so that the next sync pairs them again.
        const std::vector<SyncLine> now = linesNow(r);
        auto found = now.empty() ? position.end() : position.find({now.front().section, now.front().text});
        if (found != position.end()) first = found->second;
      }
      std::vector<std::pair<std::pair<Section, std::string>, std::size_t>> used;
      for (const SyncLine& line : record.lines) {
        auto found = position.find({line.section, line.text});
        if (found == position.end()) break;
        first = std::min(first, found->second);
        used.emplace_back(found->first, found->second);
        position.erase(found);
      }
      if (used.size() == record.lines.size()) {
        record.places.clear();
        for (const auto& [key, at] : used) record.places.push_back(at);
      } else if (!unsettled_.contains(r)) {
        // Its lines are not (all) here: the calendar held that line already.
        for (auto& [key, at] : used) position.emplace(key, at);
        report_.notes.push_back("Dubbele afspraak op de server hier niet nog eens opgenomen: " + describe(record));
        record.lines.clear();
        record.places.clear();
        record.exact = false;
      } else {
        for (auto& [key, at] : used) position.emplace(key, at);
        record.places.assign(record.lines.size(), first);  // where the user's line stands now
      }
      ordered.emplace_back(first, std::move(record));
    }
    std::stable_sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    state_.records.clear();
    for (auto& [first, record] : ordered) state_.records.push_back(std::move(record));
  }

  // A server may leave out of its changes what was made and removed again
  // since a token (RFC 6578, xandikos does): an event sent in this sync and
  // deleted on the phone before the next would never be seen to go. So after
  // our own writes the token is asked again, and kept when the changes since
  // the old one are only ours; else the next sync lists every event.
  std::string tokenAfterOwnWrites() {
    if (listing_.token.empty()) return {};
    DavResult<Listing> since = collection_.changesSince(listing_.token);
    const auto* listing = std::get_if<Listing>(&since);
    if (!listing || listing->complete) return {};
    std::map<std::string, std::string> etagOf;
    for (const SyncRecord& record : state_.records) etagOf[record.href] = record.etag;
    for (const RemoteItem& item : listing->present) {
      auto known = etagOf.find(item.href);
      if (known == etagOf.end() || known->second.empty() || known->second != item.etag) return {};
    }
    for (const std::string& href : listing->removed)
      if (etagOf.contains(href)) return {};
    return listing->token;
  }

  static constexpr std::ptrdiff_t kGone = -2;

  const std::string& calendarFile_;
  CalDavCollection& collection_;
  SyncState& state_;
  ImportClock importClock_;
  ExportClock exportClock_;
  SyncReport& report_;

  std::unique_ptr<CalendarModel> model_;
  Current current_;
  Listing listing_;
  LocalDiff diff_;
  std::vector<RemoteChange> remote_;
  std::map<std::size_t, Incoming> changedEvents_;
  std::vector<Incoming> newEvents_;
  std::vector<std::vector<std::size_t>> linesOfRecord_;
  std::set<int> removed_;
  std::vector<NewEntry> additions_;
  std::set<std::size_t> forgotten_;
  std::vector<SyncLine> newCurrent_;
  std::set<std::size_t> unsettled_;  // records whose change did not go through: kept as they were
  bool stale_ = false;
  bool failed_ = false;
  bool wrote_ = false;  // something was sent: the token read before it may not cover it
  bool allRead_ = true;
};

}  // namespace

SyncResult syncInMemory(const std::string& calendarFile, const std::string& calendar, SyncState state,
                        HttpClient& http, const std::optional<HttpLogin>& login, const SyncClock& clock) {
  SyncResult result;
  CalDavCollection collection(http, state.link.url, login);
  std::string now = calendar;
  for (int pass = 0; pass < kPasses; ++pass) {
    SyncState before = state;
    Pass::Outcome outcome = Pass(calendarFile, collection, state, clock, result.report).run(now);
    if (outcome.abandoned) {
      state = std::move(before);
      break;
    }
    if (outcome.lines) {
      std::vector<std::string_view> views(outcome.lines->begin(), outcome.lines->end());
      now = withLineEnds(views);
      result.calendarLines = std::move(outcome.lines);
    }
    if (!outcome.stale || !result.report.errors.empty()) break;
  }
  result.state = std::move(state);
  return result;
}

FileResult saveSyncResult(Platform& platform, const std::string& calendarFile, const CalendarModel& before,
                          const SyncResult& result) {
  if (result.calendarLines) {
    std::vector<std::string_view> lines(result.calendarLines->begin(), result.calendarLines->end());
    FileResult written = writeCalendarLines(platform, backupName(calendarFile), before.lines())
                             .andThen(writeCalendarLines(platform, calendarFile, lines));
    if (!written) return written;
  }
  return writeSyncStateOf(platform, calendarFile, result.state);
}

SyncReport syncCalendar(Platform& platform, const std::string& calendarFile, HttpClient& http,
                        const std::optional<HttpLogin>& login, const SyncClock& clock) {
  std::optional<SyncState> state = readSyncStateOf(platform, calendarFile);
  std::optional<std::string> calendar = platform.files().contents(calendarFile);
  SyncReport report;
  if (!state) report.errors.push_back(calendarFile + " is niet gekoppeld (almanouk --sync-koppel ADRES " + calendarFile + ")");
  else if (!calendar) report.errors.push_back("Kan " + calendarFile + " niet lezen");
  if (!report.errors.empty()) return report;
  SyncResult result = syncInMemory(calendarFile, *calendar, std::move(*state), http, login, clock);
  const CalendarModel before(std::move(*calendar));
  if (FileResult saved = saveSyncResult(platform, calendarFile, before, result); !saved)
    result.report.errors.push_back(saveFailedMessage(saved.error()));
  return result.report;
}

}  // namespace almanouk
