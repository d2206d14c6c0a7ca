// The list editor on a calendar of about 4000 lines: opening (backup copy,
// loading, drawing), a key, and leaving (saving, back to the month view); and
// opening on 100,000 lines.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"

namespace almanouk::bench {
namespace {

constexpr const char* kNow = "2015-06-10 09:00:00";
constexpr int kKeys = 100;

std::string script() {
  std::string keys = "F2 Home ";
  for (int i = 0; i < kKeys; ++i) keys += i % 2 ? "Down " : "\"x\" ";
  return keys + "Esc Alt+X";
}

void BM_ListEditorOpen(benchmark::State& state) {
  const DataFolder& folder = folderWithALongCalendar();
  for (auto _ : state) state.SetIterationTime(runProgram(folder, kNow, "F2 Home Esc Alt+X").between(0, 1));
}
BENCHMARK(BM_ListEditorOpen)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// Opening on 100,000 lines: the backup copy and the lines loaded and placed.
void BM_ListEditorOpenOn100000Lines(benchmark::State& state) {
  const DataFolder& folder = folderWithAHundredThousandLines();
  for (auto _ : state) state.SetIterationTime(runProgram(folder, kNow, "F2 Home Esc Alt+X").between(0, 1));
}
BENCHMARK(BM_ListEditorOpenOn100000Lines)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

// F2 and Esc with nothing edited on 100,000 lines: from Esc to the month view's next key, nothing written.
void BM_ListEditorLeaveUneditedOn100000Lines(benchmark::State& state) {
  const DataFolder& folder = folderWithAHundredThousandLines();
  for (auto _ : state) state.SetIterationTime(runProgram(folder, kNow, "F2 Esc Alt+X").between(1, 2));
}
BENCHMARK(BM_ListEditorLeaveUneditedOn100000Lines)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

// Typing and moving down, a key at a time.
void BM_ListEditorKey(benchmark::State& state) {
  const DataFolder& folder = folderWithALongCalendar();
  for (auto _ : state) state.SetIterationTime(runProgram(folder, kNow, script()).between(1, 1 + kKeys) / kKeys);
}
BENCHMARK(BM_ListEditorKey)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

// From Esc to the month view's next key: the save, the days ahead, the month view drawn again.
void BM_ListEditorSave(benchmark::State& state) {
  const DataFolder& folder = folderWithALongCalendar();
  for (auto _ : state)
    state.SetIterationTime(runProgram(folder, kNow, script()).between(2 + kKeys, 3 + kKeys));
}
BENCHMARK(BM_ListEditorSave)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace almanouk::bench
