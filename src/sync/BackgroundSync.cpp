#include "sync/BackgroundSync.h"

#include <algorithm>
#include <cstdio>

#include "calendar/CalendarModel.h"
#include "platform/Platform.h"
#include "sync/SyncCommands.h"

namespace almanouk {
namespace {

constexpr std::int64_t kAfterSaveMs = 5'000;
constexpr std::int64_t kEveryMs = 5 * 60'000;

std::string clockText(const LocalDateTime& time) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", time.hour % 24, time.minute % 60);
  return text;
}

}  // namespace

BackgroundSync::BackgroundSync(Platform& platform) : platform_(platform) {}

BackgroundSync::~BackgroundSync() {
  stop_ = true;
  if (worker_.joinable()) worker_.join();
}

void BackgroundSync::saved(std::int64_t nowMs) {
  if (!running_ && (!due_ || *due_ > nowMs + kAfterSaveMs)) due_ = nowMs + kAfterSaveMs;
}

std::optional<BackgroundSync::News> BackgroundSync::look(std::int64_t nowMs) {
  if (running_) {
    if (!finished_) return std::nullopt;
    worker_.join();
    running_ = false;
    return finish(nowMs);
  }
  if (due_ && *due_ <= nowMs && !start(nowMs) && !jobs_.empty()) return finish(nowMs);  // nothing to ask a server
  return std::nullopt;
}

// Gathered here, on the program's thread: the files as they are now. False
// when no calendar needs the network (none linked, or none with a readable link).
bool BackgroundSync::start(std::int64_t nowMs) {
  due_ = nowMs + kEveryMs;
  jobs_.clear();
  for (const std::string& calendar : linkedCalendars(platform_)) {
    std::optional<std::string> bytes = platform_.files().contents(calendar);
    std::optional<SyncState> state = readSyncStateOf(platform_, calendar);
    if (!bytes) continue;  // gone meanwhile: its link goes with it at the next delete
    Job job{calendar, std::move(*bytes), state ? std::move(*state) : SyncState{}, {}, {}};
    if (!state) job.whyNot = "koppeling onleesbaar, koppel opnieuw";
    jobs_.push_back(std::move(job));
  }
  if (jobs_.empty()) due_.reset();
  if (std::all_of(jobs_.begin(), jobs_.end(), [](const Job& job) { return !job.whyNot.empty(); })) return false;
  clock_ = {platform_.now(), platform_.timeZone()};
  finished_ = false;
  running_ = true;
  worker_ = std::thread([this] { work(); });
  return true;
}

// On the sync's own thread: only the network and memory.
void BackgroundSync::work() {
  // Kept from one sync to the next: its connection, and how the server wants the login.
  if (!http_) http_ = makeHttpClient(syncTimeoutSeconds(), &stop_);
  for (Job& job : jobs_) {
    if (stop_) break;
    if (!job.whyNot.empty()) continue;
    std::optional<HttpLogin> login = loginFor(job.state.link, job.whyNot);
    if (!job.whyNot.empty()) continue;
    if (!http_) {
      job.whyNot = "de HTTP-bibliotheek start niet";
      continue;
    }
    job.result = syncInMemory(job.calendarFile, job.calendar, job.state, *http_, login, clock_);
  }
  finished_ = true;
}

// Back on the program's thread: each calendar that did not change since
// the sync read it takes what the sync made.
BackgroundSync::News BackgroundSync::finish(std::int64_t nowMs) {
  News news;
  std::string failure;
  int conflicts = 0;
  for (const Job& job : jobs_) {
    if (!job.whyNot.empty()) {
      failure = job.calendarFile + ": " + job.whyNot;
      continue;
    }
    if (!job.result.report.errors.empty()) failure = job.calendarFile + ": " + job.result.report.errors.front();
    if (platform_.files().contents(job.calendarFile) != job.calendar) {
      due_ = nowMs + kAfterSaveMs;  // changed meanwhile: again, from what it is now
      continue;
    }
    const CalendarModel before(job.calendar);
    if (FileResult saved = saveSyncResult(platform_, job.calendarFile, before, job.result); !saved)
      failure = saveFailedMessage(saved.error());
    else news.calendarChanged = news.calendarChanged || job.result.calendarLines.has_value();
    conflicts += job.result.report.conflicts;
  }
  if (!failure.empty()) news.text = "Synchronisatie mislukt: " + failure;
  else news.text = "Gesynchroniseerd " + clockText(platform_.now());
  if (conflicts > 0)
    news.text += "; " + std::to_string(conflicts) + "x aan beide kanten gewijzigd, beide bewaard";
  return news;
}

}  // namespace almanouk
