// The month view with 20,000 diary pages in the data folder: the start-up and
// a day move, each in real time (the program's own pauses are virtual).

#include <benchmark/benchmark.h>

#include "BenchSupport.h"

namespace almanouk::bench {
namespace {

void BM_StartUpWith20000Pages(benchmark::State& state) {
  const DataFolder& folder = folderWithTwentyThousandPages();
  for (auto _ : state) state.SetIterationTime(runProgram(folder, "2015-06-10 09:00:00", "Alt+X").startUp());
}
BENCHMARK(BM_StartUpWith20000Pages)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// One Right press: the pass that moves the date, fills the grid (probing 31
// page names), renders and lists the days ahead.
void BM_DayMoveWith20000Pages(benchmark::State& state) {
  constexpr int kMoves = 100;
  std::string script;
  for (int i = 0; i < kMoves; ++i) script += "Right ";
  script += "Alt+X";
  const DataFolder& folder = folderWithTwentyThousandPages();
  for (auto _ : state) state.SetIterationTime(runProgram(folder, "2015-06-10 09:00:00", script).between(0, kMoves) / kMoves);
}
BENCHMARK(BM_DayMoveWith20000Pages)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace almanouk::bench
