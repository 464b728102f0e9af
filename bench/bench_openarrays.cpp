// Open-array kernels: the matrix product behind the hat matrix (against the textbook i-j-k
// loops over arrays of arrays) and the percentile against std::nth_element on a copy.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "nux/host/random.h"
#include "nux/openarrays/openarrays.h"

namespace {

nux::TDouble2DArray RandomSquare(size_t N) {
  nux::TDouble2DArray M(N, nux::TDoubleArray(N));
  for (auto& C : M)
    for (double& X : C) X = nux::Random() - 0.5;
  return M;
}

void SetFlops(benchmark::State& State, double N) {
  State.counters["GFLOP/s"] =
      benchmark::Counter(2.0 * N * N * N * static_cast<double>(State.iterations()) * 1e-9,
                         benchmark::Counter::kIsRate);
}

void BM_MultiplyArrays(benchmark::State& State) {
  nux::SetRandSeed(1);
  const size_t N = static_cast<size_t>(State.range(0));
  const auto A = RandomSquare(N), B = RandomSquare(N);
  nux::TDouble2DArray C;
  for (auto _ : State) {
    nux::MultiplyArrays(A, B, C);
    benchmark::DoNotOptimize(C.data());
  }
  SetFlops(State, static_cast<double>(N));
}

void BM_TextbookProduct(benchmark::State& State) {
  nux::SetRandSeed(1);
  const size_t N = static_cast<size_t>(State.range(0));
  const auto A = RandomSquare(N), B = RandomSquare(N);
  nux::TDouble2DArray C(N, nux::TDoubleArray(N));
  for (auto _ : State) {
    for (size_t I = 0; I < N; ++I)
      for (size_t J = 0; J < N; ++J) {
        double S = 0.0;
        for (size_t K = 0; K < N; ++K) S += A[K][I] * B[J][K];
        C[J][I] = S;
      }
    benchmark::DoNotOptimize(C.data());
  }
  SetFlops(State, static_cast<double>(N));
}

nux::TDoubleArray RandomValues(size_t N) {
  nux::SetRandSeed(42);
  nux::TDoubleArray V(N);
  for (double& X : V) X = nux::Random();
  return V;
}

// PercentileArray copies its input itself, so the peer copies inside the timed part too.
void BM_PercentileArray(benchmark::State& State) {
  const auto V = RandomValues(static_cast<size_t>(State.range(0)));
  for (auto _ : State) benchmark::DoNotOptimize(nux::PercentileArray(75.0, V));
  State.SetItemsProcessed(State.iterations() * State.range(0));
}

void BM_StdNthElement(benchmark::State& State) {
  const auto V = RandomValues(static_cast<size_t>(State.range(0)));
  for (auto _ : State) {
    nux::TDoubleArray Copy = V;
    const auto K = static_cast<std::ptrdiff_t>(Copy.size() * 3 / 4);
    std::nth_element(Copy.begin(), Copy.begin() + K, Copy.end());
    benchmark::DoNotOptimize(Copy[static_cast<size_t>(K)]);
  }
  State.SetItemsProcessed(State.iterations() * State.range(0));
}

}  // namespace

BENCHMARK(BM_MultiplyArrays)->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextbookProduct)->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PercentileArray)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdNthElement)->Arg(1000000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
