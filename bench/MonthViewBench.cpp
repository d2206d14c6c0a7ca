// The month view with 20,000 diary pages in the data folder (the start-up and
// a day move), with a calendar of 100,000 lines and with one of a 1 MB entry
// line, each in real time (the program's own pauses are virtual).

#include <benchmark/benchmark.h>

#include "BenchSupport.h"

namespace almanouk::bench {
namespace {

void BM_StartUpWith20000Pages(benchmark::State& state) {
  const DataFolder& folder = folderWithTwentyThousandPages();
  for (auto _ : state) state.SetIterationTime(runProgram(folder, "2015-06-10 09:00:00", "Alt+X").startUp());
}
BENCHMARK(BM_StartUpWith20000Pages)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// A start with a calendar of 100,000 lines that is current: read, not converted.
void BM_StartUpWith100000Lines(benchmark::State& state) {
  const DataFolder& folder = folderWithAHundredThousandLines();
  for (auto _ : state) state.SetIterationTime(runProgram(folder, "2015-06-10 09:00:00", "Alt+X").startUp());
}
BENCHMARK(BM_StartUpWith100000Lines)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

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

// Lists the days ahead from 100,000 calendar lines.
void BM_DayMoveWith100000Lines(benchmark::State& state) {
  constexpr int kMoves = 100;
  std::string script;
  for (int i = 0; i < kMoves; ++i) script += "Right ";
  script += "Alt+X";
  const DataFolder& folder = folderWithAHundredThousandLines();
  for (auto _ : state) state.SetIterationTime(runProgram(folder, "2015-06-10 09:00:00", script).between(0, kMoves) / kMoves);
}
BENCHMARK(BM_DayMoveWith100000Lines)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

// Right and Left between the 10th and the 11th: the 1 MB entry of the 15th is
// listed (and wrapped into the overflow store) on every pass.
void BM_KeyWithAOneMegabyteEntry(benchmark::State& state) {
  constexpr int kKeys = 100;
  std::string script;
  for (int i = 0; i < kKeys; ++i) script += i % 2 ? "Left " : "Right ";
  script += "Alt+X";
  const DataFolder& folder = folderWithAOneMegabyteEntry();
  for (auto _ : state) state.SetIterationTime(runProgram(folder, "2015-06-10 09:00:00", script).between(0, kKeys) / kKeys);
}
BENCHMARK(BM_KeyWithAOneMegabyteEntry)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace almanouk::bench
