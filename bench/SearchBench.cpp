// Search: a word in a calendar of about 4000 lines, in a diary of 20,000
// pages to the full list (files in the cache, as after the first search),
// and to the first screen of results.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "calendar/CalendarCache.h"
#include "platform/headless/HeadlessPlatform.h"
#include "search/Search.h"

namespace almanouk::bench {
namespace {

HeadlessPlatform::Options options(const DataFolder& folder) {
  HeadlessPlatform::Options options;
  options.startFolder = folder.data().string();
  options.appData = folder.appData().string();
  options.start = *LocalDateTime::parse("2026-12-08 10:00:00");
  return options;
}

// The search as the screen starts it, in the folder's active calendar, to the last page.
std::size_t searchToTheEnd(const DataFolder& folder, const std::string& word) {
  HeadlessPlatform platform(options(folder), KeyScript{});
  CalendarCache cache(platform.files());
  Search search(platform, searchedCalendars({"ALMANOUK.AMN"}, cache), Query(word), CalendarDay{8, 12, 2026});
  search.finish(platform.files());
  return search.hits().size();
}

void BM_SearchCalendarOf4000Lines(benchmark::State& state) {
  const DataFolder& folder = folderWithALongCalendar();
  for (auto _ : state)
    if (searchToTheEnd(folder, "verjaardag") < 3960) state.SkipWithError("entries missed");
}
BENCHMARK(BM_SearchCalendarOf4000Lines)->Unit(benchmark::kMillisecond);

void BM_SearchTwentyThousandPages(benchmark::State& state) {
  const DataFolder& folder = folderWithADiaryOfTwentyThousandPages();
  searchToTheEnd(folder, "tandarts");  // the pages into the file cache
  for (auto _ : state)
    if (searchToTheEnd(folder, "tandarts") != 200) state.SkipWithError("pages missed");
}
BENCHMARK(BM_SearchTwentyThousandPages)->Unit(benchmark::kMillisecond);

// The screen shows the entries as the search starts and draws again after
// each slice of pages: to the first page results on the screen.
void BM_SearchFirstScreen(benchmark::State& state) {
  const DataFolder& folder = folderWithADiaryOfTwentyThousandPages();
  for (auto _ : state) {
    HeadlessPlatform platform(options(folder), KeyScript{});
    CalendarCache cache(platform.files());
    Search search(platform, searchedCalendars({"ALMANOUK.AMN"}, cache), Query("tandarts"), CalendarDay{8, 12, 2026});
    search.continueWork(platform.files());
    if (search.hits().empty()) state.SkipWithError("nothing found");
  }
}
BENCHMARK(BM_SearchFirstScreen)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace almanouk::bench
