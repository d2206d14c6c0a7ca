// The diary with 20,000 page files in the data folder: opening a page, a
// typed character (written to the page before the next key is read) and the
// jump to the next written page, each in real time.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"

namespace almanouk::bench {
namespace {

constexpr const char* kNow = "2015-06-10 09:00:00";

// From reading Enter in the month view to reading the first key in the editor.
void BM_DiaryOpenPage(benchmark::State& state) {
  const DataFolder& folder = folderWithTwentyThousandPages();
  for (auto _ : state) state.SetIterationTime(runProgram(folder, kNow, "Enter Esc Alt+X").between(0, 1));
}
BENCHMARK(BM_DiaryOpenPage)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_DiaryTypedCharacter(benchmark::State& state) {
  constexpr int kCharacters = 200;
  std::string script = "Enter \"" + std::string(kCharacters, 'a') + "\" Ctrl+L Esc Alt+X";
  const DataFolder& folder = folderWithTwentyThousandPages();
  for (auto _ : state)
    state.SetIterationTime(runProgram(folder, "2021-06-10 09:00:00", script).between(1, 1 + kCharacters) / kCharacters);
}
BENCHMARK(BM_DiaryTypedCharacter)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

// Saving the page, rebuilding the index of some 4,000 pages, finding the next
// one and opening it.
void BM_DiaryNextWrittenPage(benchmark::State& state) {
  const DataFolder& folder = folderWithTwentyThousandPages();
  for (auto _ : state) state.SetIterationTime(runProgram(folder, kNow, "Enter Ctrl+PgDn Esc Alt+X").between(1, 2));
}
BENCHMARK(BM_DiaryNextWrittenPage)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace almanouk::bench
