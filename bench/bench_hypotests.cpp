// Hypothesis tests on large samples: the Mann-Whitney test and the Shapiro-Wilk test on 10^5
// values and the adaptive kernel density on 10^4 values (1001 grid points). Normal deviates from
// the library's generator, seeded; sorting and the tests' own work are timed together.
#include <benchmark/benchmark.h>

#include "nux/host/random.h"
#include "nux/math1/math1.h"
#include "nux/statis/hypotests.h"
#include "nux/vector/vector.h"

namespace {

nux::TDoubleArray Normals(size_t N, double Shift) {
  nux::TDoubleArray D(N);
  for (double& X : D) X = nux::RandG(Shift, 1.0);
  return D;
}

void BM_MannWhitney(benchmark::State& State) {
  nux::SetRandSeed(7);
  const size_t Half = static_cast<size_t>(State.range(0)) / 2;
  const auto A = Normals(Half, 0.0), B = Normals(Half, 0.01);
  double U = 0;
  for (auto _ : State) benchmark::DoNotOptimize(nux::PerformMannWhitneyUTest(A, B, false, U));
  State.SetItemsProcessed(State.iterations() * State.range(0));
}

void BM_ShapiroWilk(benchmark::State& State) {
  nux::SetRandSeed(8);
  const auto A = Normals(static_cast<size_t>(State.range(0)), 0.0);
  double W = 0, P = 0;
  for (auto _ : State) benchmark::DoNotOptimize(nux::ShapiroWilkTest(A, 0, W, P));
  State.SetItemsProcessed(State.iterations() * State.range(0));
}

void BM_KernelDensity(benchmark::State& State) {
  nux::SetRandSeed(9);
  const auto A = Normals(static_cast<size_t>(State.range(0)), 0.0);
  nux::TVector Data(A), Dens;
  int32_t MinIx = 0, MaxIx = 0;
  for (auto _ : State) {
    State.PauseTiming();
    Data.SetValues(A);  // unsorted again
    State.ResumeTiming();
    benchmark::DoNotOptimize(
        nux::EstimateProbDensity(Data, Dens, -5, 5, 1.0, 0.5, 1000, MinIx, MaxIx, nullptr));
  }
  State.SetItemsProcessed(State.iterations() * State.range(0));
}

}  // namespace

BENCHMARK(BM_MannWhitney)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShapiroWilk)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KernelDensity)->Arg(10000)->Unit(benchmark::kMillisecond);
