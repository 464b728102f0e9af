// Smoothing of 10^7 samples (moving windows, Savitzky-Golay, sinc kernel, zero-phase Chebyshev)
// and the convex hull of 10^6 random points. The peer for the hull, Qhull through
// scipy.spatial.ConvexHull, is timed outside this program on the same points (see
// docs/filters-polygons.md for the one-liner).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

#include "nux/host/random.h"
#include "nux/math2/math2.h"

namespace {

const nux::TVector& Samples() {
  static const nux::TVector V = [] {
    nux::SetRandSeed(7);
    nux::TVector S(10000000);
    S.FillRandomGauss(0.0, 1.0);
    return nux::TVector(S.Span());
  }();
  return V;
}

using TSmoother = void (*)(const nux::TVector*, int32_t, int32_t, nux::TVector*, int32_t);

void Smooth(benchmark::State& State, TSmoother Routine) {
  const nux::TVector& X = Samples();
  nux::TVector D(X.NrOfElem());
  const auto w = static_cast<int32_t>(State.range(0));
  for (auto _ : State) {
    Routine(&X, 0, 0, &D, w);
    benchmark::DoNotOptimize(D.Data().data());
  }
  State.SetItemsProcessed(State.iterations() * X.NrOfElem());
}
void BM_MovingAverageSmooth(benchmark::State& S) { Smooth(S, nux::MovingAverageSmooth); }
void BM_WeightedAverageSmooth(benchmark::State& S) { Smooth(S, nux::WeightedAverageSmooth); }
void BM_MovingMedianSmooth(benchmark::State& S) { Smooth(S, nux::MovingMedianSmooth); }
void BM_PolynomialSmooth(benchmark::State& S) { Smooth(S, nux::PolynomialSmooth); }
BENCHMARK(BM_MovingAverageSmooth)->Arg(5)->Arg(25)->Arg(101)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WeightedAverageSmooth)->Arg(25)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MovingMedianSmooth)->Arg(5)->Arg(25)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PolynomialSmooth)->Arg(25)->Unit(benchmark::kMillisecond);

void BM_MovingKernelFilter(benchmark::State& State) {
  const nux::TVector& X = Samples();
  nux::TVector D(X.NrOfElem()), K;
  nux::CalcSincLPKernel(static_cast<int32_t>(State.range(0)), 0.1, 2, K);
  for (auto _ : State) {
    nux::MovingKernelFilter(&X, 0, 0, &D, &K);
    benchmark::DoNotOptimize(D.Data().data());
  }
  State.SetItemsProcessed(State.iterations() * X.NrOfElem());
}
BENCHMARK(BM_MovingKernelFilter)->Arg(31)->Arg(101)->Unit(benchmark::kMillisecond);

void BM_ChebychevFilter(benchmark::State& State) {
  const nux::TVector& X = Samples();
  nux::TVector D(X.NrOfElem());
  double A0 = 0;
  nux::TMatrix C;
  nux::CalcChebFilterCoeffs(static_cast<int32_t>(State.range(0)), false, 0.1, 0.5, A0, C);
  for (auto _ : State) {
    nux::ChebychevFilter(&X, 0, 0, &D, A0, C);
    benchmark::DoNotOptimize(D.Data().data());
  }
  State.SetItemsProcessed(State.iterations() * X.NrOfElem());
}
BENCHMARK(BM_ChebychevFilter)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond);

// Uniform points in the unit square (the Qhull figure uses numpy's uniform points of the same
// count).
const nux::TPolygon& HullInput() {
  static const nux::TPolygon P = [] {
    nux::SetRandSeed(5);
    nux::TPolygon Q(1000000);
    for (auto& Pt : Q) {
      Pt.X = nux::Random();
      Pt.Y = nux::Random();
    }
    return Q;
  }();
  return P;
}

void BM_Convex2DHull(benchmark::State& State) {
  const nux::TPolygon& P = HullInput();
  size_t N = 0;
  for (auto _ : State) {
    const nux::TPolygon H = nux::Convex2DHull(P);
    N = H.size();
    benchmark::DoNotOptimize(H.data());
  }
  State.counters["vertices"] = static_cast<double>(N);
  State.SetItemsProcessed(State.iterations() * static_cast<int64_t>(P.size()));
}
BENCHMARK(BM_Convex2DHull)->Unit(benchmark::kMillisecond);

}  // namespace
