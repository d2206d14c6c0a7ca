// iCalendar on the command line: the export of a calendar of about 4000
// lines, and the import of 10,000 events into a calendar, files included.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "BenchSupport.h"
#include "platform/headless/HeadlessPlatform.h"
#include "shell/CommandLine.h"

namespace almanouk::bench {
namespace {

int runCommandLine(const DataFolder& folder, const std::vector<std::string>& arguments) {
  HeadlessPlatform::Options options;
  options.startFolder = folder.appData().string();
  options.appData = folder.appData().string();
  options.start = *LocalDateTime::parse("2026-12-08 10:00:00");
  HeadlessPlatform platform(options, KeyScript{});
  CommandLineOutput output;
  return runCommandLineWork(platform, arguments, output);
}

// Ten thousand one-off events, a few hundred a day, as a big shared calendar would hold.
std::string tenThousandEvents() {
  std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bench//NL\r\n";
  for (int i = 0; i < 10'000; ++i) {
    char event[256];
    std::snprintf(event, sizeof event,
                  "BEGIN:VEVENT\r\nUID:%d@bench\r\nDTSTAMP:20261201T090000Z\r\nDTSTART:2027%02d%02dT%02d%02d00\r\n"
                  "DTEND:2027%02d%02dT%02d%02d00\r\nSUMMARY:Afspraak nummer %d\r\nLOCATION:Kamer %d\r\nEND:VEVENT\r\n",
                  i, i % 12 + 1, i % 28 + 1, 8 + i % 10, i % 60, i % 12 + 1, i % 28 + 1, 9 + i % 10, i % 60, i, i % 40);
    text += event;
  }
  return text + "END:VCALENDAR\r\n";
}

void BM_ExportOf4000Lines(benchmark::State& state) {
  const DataFolder& folder = folderWithALongCalendar();
  for (auto _ : state)
    if (runCommandLine(folder, {"--export", "ALMANOUK.AMN", "bench.ics"}) != 0) state.SkipWithError("export failed");
}
BENCHMARK(BM_ExportOf4000Lines)->Unit(benchmark::kMillisecond);

void BM_ImportOf10000Events(benchmark::State& state) {
  const DataFolder& folder = folderWithALongCalendar();
  folder.write("bench-in.ics", tenThousandEvents());
  const std::string calendar = (folder.data() / "ALMANOUK.AMN").string();
  const std::string kept = calendar + ".bench";
  std::filesystem::copy_file(calendar, kept, std::filesystem::copy_options::overwrite_existing);
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::copy_file(kept, calendar, std::filesystem::copy_options::overwrite_existing);
    state.ResumeTiming();
    if (runCommandLine(folder, {"--import", "Almanouk/bench-in.ics", "ALMANOUK"}) != 0) state.SkipWithError("import failed");
  }
  std::filesystem::rename(kept, calendar);
}
BENCHMARK(BM_ImportOf10000Events)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace almanouk::bench
