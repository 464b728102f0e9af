// The data table's hot paths: cell writes with a listener connected (each write reports), and
// the reshaping of a whole table into one row per cell.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

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

namespace {

constexpr int32_t SortRowsCount = 250'000;
constexpr int32_t SortCols = 10;

// Rows of pseudo-random values and names (a fixed linear congruential sequence).
void FillForSort(nux::TDataTable& T) {
  T.Resize(SortCols, SortRowsCount);
  uint64_t S = 12345;
  const auto Next = [&S] {
    S = S * 6364136223846793005ULL + 1442695040888963407ULL;
    return S >> 33;
  };
  for (int32_t R = 1; R <= SortRowsCount; ++R) {
    T.SetRowName(R, "row-" + std::to_string(Next() % 100'000'000));
    for (int32_t C = 1; C <= SortCols; ++C) T.SetElem(C, R, double(Next() % 1'000'000) / 7.0);
  }
}

}  // namespace

static void BM_SortRowsByData(benchmark::State& State) {
  nux::TDataTable Source;
  FillForSort(Source);
  nux::TDataTable T;
  for (auto _ : State) {
    State.PauseTiming();
    T.Clone(&Source);
    State.ResumeTiming();
    T.SortRows(1, true, 0, 0, 0, 0, true);
  }
  State.SetItemsProcessed(State.iterations() * int64_t{SortRowsCount});
}
BENCHMARK(BM_SortRowsByData)->Unit(benchmark::kMillisecond);

static void BM_SortRowsByName(benchmark::State& State) {
  nux::TDataTable Source;
  FillForSort(Source);
  nux::TDataTable T;
  for (auto _ : State) {
    State.PauseTiming();
    T.Clone(&Source);
    State.ResumeTiming();
    T.SortRowNames(true, 0, 0, 0, 0);
  }
  State.SetItemsProcessed(State.iterations() * int64_t{SortRowsCount});
}
BENCHMARK(BM_SortRowsByName)->Unit(benchmark::kMillisecond);

// Covariances of 50 columns over 100,000 rows; the same data as bench/covar_numpy.py.
static void BM_CalcCovar(benchmark::State& State) {
  nux::TDataTable T;
  T.Resize(Cols, Rows);
  for (int32_t C = 1; C <= Cols; ++C)
    for (int32_t R = 1; R <= Rows; ++R) T.SetElem(C, R, std::sin(0.001 * R * C) + 0.01 * C);
  nux::TMatrix M(Cols, Cols);
  for (auto _ : State) benchmark::DoNotOptimize(T.CalcCovar(&M, 1, Cols, 1, Rows, 1));
  State.SetItemsProcessed(State.iterations() * int64_t{Cols} * Rows);
}
BENCHMARK(BM_CalcCovar)->Unit(benchmark::kMillisecond);
