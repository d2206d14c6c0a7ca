// Sync of a calendar of about 4000 lines, apart from the server: what the
// program itself spends on a first sync (every line sent to a server that
// answers at once), on a sync with nothing changed (the one every few
// minutes), and what the program's own thread does of a background sync
// (read the state at its start, write the calendar and state at its end)
// while the keys wait.

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>

#include "BenchSupport.h"
#include "calendar/CalendarModel.h"
#include "platform/headless/HeadlessPlatform.h"
#include "sync/CalendarSync.h"

namespace almanouk::bench {
namespace {

// A server that takes every event and has no changes of its own.
class QuietServer final : public HttpClient {
 public:
  HttpResult send(const HttpRequest& request, const HttpLogin*) override {
    HttpResponse response;
    if (request.method == "REPORT") {
      response.status = 207;
      response.body = "<multistatus xmlns=\"DAV:\"><sync-token>t1</sync-token></multistatus>";
    } else if (request.method == "PUT") {
      response.status = 201;
      response.headers.emplace_back("etag", "\"" + std::to_string(++stored_) + "\"");
    } else {
      response.status = 404;
    }
    response.statusLine = std::to_string(response.status);
    return response;
  }

 private:
  int stored_ = 0;
};

const SyncClock kClock{{2026, 12, 8, 10, 0, 0, 0}, "Europe/Amsterdam"};

std::string longCalendar() {
  std::ifstream file(folderWithALongCalendar().data() / "ALMANOUK.AMN", std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

SyncState linked() {
  SyncState state;
  state.link.url = "http://127.0.0.1:1/cal/";
  return state;
}

// The state after a first sync of the long calendar.
const SyncResult& firstSync() {
  static const SyncResult result = [] {
    QuietServer server;
    return syncInMemory("ALMANOUK.AMN", longCalendar(), linked(), server, std::nullopt, kClock);
  }();
  return result;
}

void BM_SyncFirstOf4000LinesWithoutTheServer(benchmark::State& state) {
  const std::string calendar = longCalendar();
  for (auto _ : state) {
    QuietServer server;
    const SyncResult result = syncInMemory("ALMANOUK.AMN", calendar, linked(), server, std::nullopt, kClock);
    if (result.report.sent < 3900) state.SkipWithError("not every line sent");
  }
}
BENCHMARK(BM_SyncFirstOf4000LinesWithoutTheServer)->Unit(benchmark::kMillisecond);

void BM_SyncOf4000LinesWithNothingChanged(benchmark::State& state) {
  const std::string calendar = longCalendar();
  const SyncState synced = firstSync().state;
  for (auto _ : state) {
    QuietServer server;
    const SyncResult result = syncInMemory("ALMANOUK.AMN", calendar, synced, server, std::nullopt, kClock);
    if (result.calendarLines || result.report.sent > 0) state.SkipWithError("something changed");
  }
}
BENCHMARK(BM_SyncOf4000LinesWithNothingChanged)->Unit(benchmark::kMillisecond);

void BM_SyncProgramThreadShareOf4000Lines(benchmark::State& state) {
  const DataFolder& folder = folderWithALongCalendar();
  HeadlessPlatform::Options options;
  options.startFolder = folder.data().string();
  options.appData = folder.appData().string();
  HeadlessPlatform platform(options, KeyScript{});
  const std::string calendar = longCalendar();
  SyncResult result = firstSync();
  result.calendarLines = std::vector<std::string>();
  const CalendarModel model(calendar);
  for (std::string_view line : model.lines()) result.calendarLines->emplace_back(line);
  const std::string stateText = writeSyncState(result.state);
  for (auto _ : state) {
    if (!readSyncState(stateText)) state.SkipWithError("state unreadable");
    const CalendarModel before(calendar);
    if (!saveSyncResult(platform, "ALMANOUK.AMN", before, result)) state.SkipWithError("not saved");
  }
}
BENCHMARK(BM_SyncProgramThreadShareOf4000Lines)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace almanouk::bench
