// TCurveFit: entering a million pairs and the straight line through them, and a polynomial of
// order 5 through 100,000 points (bench/polyfit_numpy.py times numpy.polyfit on the same data).
// Data: x_i = i / n, y_i = sin(3 x_i) + 0.1 cos(17 x_i), i = 0 .. n - 1.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "nux/math2/curvefit.h"

namespace {

double X(int64_t I, int64_t N) { return double(I) / double(N); }
double Y(double X) { return std::sin(3 * X) + 0.1 * std::cos(17 * X); }

void BM_EnterAndLinFit(benchmark::State& State) {
  const int64_t N = State.range(0);
  std::vector<double> Xs(static_cast<size_t>(N)), Ys(static_cast<size_t>(N));
  for (int64_t I = 0; I < N; ++I) Ys[size_t(I)] = Y(Xs[size_t(I)] = X(I, N));
  double K = 0, D = 0, Q = 0;
  for (auto _ : State) {
    nux::TCurveFit C;
    for (int64_t I = 0; I < N; ++I) C.EnterStatValue(Xs[size_t(I)], Ys[size_t(I)]);
    C.CalcLinFit(K, D, Q);
    benchmark::DoNotOptimize(K);
  }
  State.counters["slope"] = K;
  State.SetItemsProcessed(State.iterations() * N);
}
BENCHMARK(BM_EnterAndLinFit)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_CalcPolyFit5(benchmark::State& State) {
  const int64_t N = State.range(0);
  nux::TCurveFit C;
  for (int64_t I = 0; I < N; ++I) C.EnterStatValue(X(I, N), Y(X(I, N)));
  nux::TDoubleArray K;
  double Q = 0;
  bool NearSingular = false;
  for (auto _ : State) {
    if (!C.CalcPolyFit(5, K, Q, NearSingular)) State.SkipWithError("CalcPolyFit failed");
    benchmark::DoNotOptimize(K.data());
  }
  State.counters["k5"] = K[5];
}
BENCHMARK(BM_CalcPolyFit5)->Arg(100'000)->Unit(benchmark::kMillisecond);

}  // namespace
