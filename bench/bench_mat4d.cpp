// The four layer reductions of TMat4D over a 512 x 512 x 64 x 4 array (512 MB) with 1 and 2
// threads, beside a plain loop: each thread streams its share of rows once through every layer
// and time slot, keeping sums (and sums of squares, or extremes) per cell, with no NaN rules and
// no stable second pass.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

#include "nux/host/random.h"
#include "nux/matrix/matrix.h"

namespace {

constexpr int32_t Nc = 512, Nr = 512, Nl = 64, Nt = 4;

const nux::TMat4D& Data() {
  static const std::unique_ptr<nux::TMat4D> M = [] {
    auto A = std::make_unique<nux::TMat4D>(Nc, Nr, Nl, Nt);
    nux::SetRandSeed(3);
    A->FillRandomUniform(100.0, 200.0);
    return A;
  }();
  return *M;
}

using TReduction = bool (nux::TMat4D::*)(nux::TMatrix*, int32_t, int32_t, int32_t, int32_t, int32_t,
                                         int32_t, int32_t, int32_t, int32_t);
const TReduction kReductions[] = {
    &nux::TMat4D::MeanOfLayersToMatrix, &nux::TMat4D::MaximumOfLayersToMatrix,
    &nux::TMat4D::MinimumOfLayersToMatrix, &nux::TMat4D::StdDevOfLayersToMatrix};

void SetCounters(benchmark::State& State) {
  State.counters["elements/s"] =
      benchmark::Counter(double(Nc) * Nr * Nl * Nt, benchmark::Counter::kIsIterationInvariantRate);
}

// Args: reduction (0 mean, 1 maximum, 2 minimum, 3 standard deviation), threads.
void BM_Mat4DReduce(benchmark::State& State) {
  nux::TMat4D& M = const_cast<nux::TMat4D&>(Data());
  nux::TMatrix D;
  const TReduction F = kReductions[State.range(0)];
  for (auto _ : State) {
    (M.*F)(&D, 0, 0, 0, 0, 0, 0, 0, 0, int32_t(State.range(1)));
    benchmark::DoNotOptimize(D.GetVal(1, 1));
  }
  SetCounters(State);
}
BENCHMARK(BM_Mat4DReduce)
    ->ArgsProduct({{0, 1, 2, 3}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// Rows Row0..Row1-1 of the plain loop for one reduction kind.
void PlainRows(const nux::TDouble4DArray& Mat, int Kind, int32_t Row0, int32_t Row1,
               std::vector<double>& Out) {
  const size_t W = size_t(Nc);
  std::vector<double> S(size_t(Row1 - Row0) * W), Q(Kind == 3 ? S.size() : 0);
  if (Kind == 1) std::fill(S.begin(), S.end(), -HUGE_VAL);
  if (Kind == 2) std::fill(S.begin(), S.end(), HUGE_VAL);
  for (int32_t L = 0; L < Nl; ++L)
    for (int32_t T = 0; T < Nt; ++T)
      for (int32_t R = Row0; R < Row1; ++R) {
        const double* P = Mat[size_t(T)][size_t(L)][size_t(R)].data();
        double* A = S.data() + size_t(R - Row0) * W;
        if (Kind == 0) {
          for (size_t C = 0; C < W; ++C) A[C] += P[C];
        } else if (Kind == 1) {
          for (size_t C = 0; C < W; ++C) A[C] = std::max(A[C], P[C]);
        } else if (Kind == 2) {
          for (size_t C = 0; C < W; ++C) A[C] = std::min(A[C], P[C]);
        } else {
          double* B = Q.data() + size_t(R - Row0) * W;
          for (size_t C = 0; C < W; ++C) {
            A[C] += P[C];
            B[C] += P[C] * P[C];
          }
        }
      }
  const double N = double(Nl) * Nt;
  for (size_t I = 0; I < S.size(); ++I)
    Out[size_t(Row0) * W + I] = Kind == 0 ? S[I] / N
                                : Kind == 3
                                    ? std::sqrt(std::max(0.0, Q[I] / N - (S[I] / N) * (S[I] / N)))
                                    : S[I];
}

void BM_PlainLoop(benchmark::State& State) {
  const nux::TDouble4DArray& Mat = Data().Data();
  const int Kind = int(State.range(0));
  const auto Threads = int32_t(State.range(1));
  std::vector<double> Out(size_t(Nc) * Nr);
  for (auto _ : State) {
    std::vector<std::thread> Pool;
    for (int32_t I = 0; I < Threads; ++I)
      Pool.emplace_back(PlainRows, std::cref(Mat), Kind, Nr * I / Threads, Nr * (I + 1) / Threads,
                        std::ref(Out));
    for (auto& T : Pool) T.join();
    benchmark::DoNotOptimize(Out.data());
  }
  SetCounters(State);
}
BENCHMARK(BM_PlainLoop)
    ->ArgsProduct({{0, 1, 2, 3}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}  // namespace
