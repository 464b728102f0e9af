// Sorting and selection on raw arrays beside the standard library: the comb sort against
// std::sort, QuickSelect against std::nth_element, on uniform random doubles.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "nux/math1/math1.h"

namespace {

nux::TDoubleArray RandomDoubles(size_t N) {
  nux::SetRandSeed(42);
  nux::TDoubleArray Data(N);
  for (double& X : Data) X = nux::Random();
  return Data;
}

// Each iteration works on a fresh copy; the copy is outside the timed part.
template <class F>
void RunOnCopies(benchmark::State& State, F&& Work) {
  const auto Source = RandomDoubles(static_cast<size_t>(State.range(0)));
  nux::TDoubleArray Data;
  for (auto _ : State) {
    State.PauseTiming();
    Data = Source;
    State.ResumeTiming();
    Work(Data);
    benchmark::ClobberMemory();
  }
  State.SetItemsProcessed(State.iterations() * State.range(0));
}

void BM_SortArray(benchmark::State& State) {
  RunOnCopies(State, [](nux::TDoubleArray& D) { nux::SortArray(D, true); });
}

void BM_StdSort(benchmark::State& State) {
  RunOnCopies(State, [](nux::TDoubleArray& D) { std::sort(D.begin(), D.end()); });
}

void BM_QuickSelectMedian(benchmark::State& State) {
  RunOnCopies(State, [](nux::TDoubleArray& D) {
    const auto N = static_cast<int32_t>(D.size());
    benchmark::DoNotOptimize(nux::QuickSelect(D, N / 2, 0, N - 1));
  });
}

void BM_StdNthElementMedian(benchmark::State& State) {
  RunOnCopies(State, [](nux::TDoubleArray& D) {
    const auto Mid = D.begin() + static_cast<std::ptrdiff_t>(D.size() / 2);
    std::nth_element(D.begin(), Mid, D.end());
    benchmark::DoNotOptimize(*Mid);
  });
}

void BM_QuickSelectP90(benchmark::State& State) {
  RunOnCopies(State, [](nux::TDoubleArray& D) {
    const auto N = static_cast<int32_t>(D.size());
    benchmark::DoNotOptimize(nux::QuickSelect(D, N / 10 * 9, 0, N - 1));
  });
}

void BM_StdNthElementP90(benchmark::State& State) {
  RunOnCopies(State, [](nux::TDoubleArray& D) {
    const auto Pos = D.begin() + static_cast<std::ptrdiff_t>(D.size() / 10 * 9);
    std::nth_element(D.begin(), Pos, D.end());
    benchmark::DoNotOptimize(*Pos);
  });
}

}  // namespace

BENCHMARK(BM_SortArray)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdSort)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuickSelectMedian)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdNthElementMedian)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuickSelectP90)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdNthElementP90)->Arg(1000000)->Unit(benchmark::kMillisecond);
