// The data table's hot paths: cell writes with a listener connected (each write reports), and
// the reshaping of a whole table into one row per cell.
#include <benchmark/benchmark.h>

#include "nux/nux.h"

namespace {

constexpr int32_t Cols = 50;
constexpr int32_t Rows = 100'000;

void FillTable(nux::TDataTable& T) {
  for (int32_t C = 1; C <= T.NrOfColumns(); ++C)
    for (int32_t R = 1; R <= T.NrOfRows(); ++R) T.SetElem(C, R, C * 0.5 + R);
}

}  // namespace

static void BM_FillCellByCell(benchmark::State& State) {
  nux::TDataTable T;
  T.Resize(Cols, Rows);
  int64_t Events = 0;
  T.OnChange = [&](nux::TObject*) { ++Events; };
  for (auto _ : State) FillTable(T);
  benchmark::DoNotOptimize(Events);
  State.SetItemsProcessed(State.iterations() * int64_t{Cols} * Rows);
}
BENCHMARK(BM_FillCellByCell)->Unit(benchmark::kMillisecond);

static void BM_Serialize(benchmark::State& State) {
  nux::TDataTable Source;
  Source.Resize(Cols, Rows);
  FillTable(Source);
  nux::TDataTable T;
  for (auto _ : State) {
    State.PauseTiming();
    T.Clone(&Source);
    State.ResumeTiming();
    T.Serialize(true, true);
  }
  State.SetItemsProcessed(State.iterations() * int64_t{Cols} * Rows);
}
BENCHMARK(BM_Serialize)->Unit(benchmark::kMillisecond);
