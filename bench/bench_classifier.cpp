// Area under the ROC curve of 10^6 scored cases (TCFEvaluator::OptimizeThresholds: the sort,
// the curve, the area and the threshold scan). The peer figure is scikit-learn's
// roc_auc_score on the same kind of data, timed by bench/classifier_peer.py.
#include <benchmark/benchmark.h>

#include <cmath>

#include "nux/host/random.h"
#include "nux/statis/statis.h"

namespace {

// Positives with probability 0.3, scores normal with the positives shifted by 0.8, rounded
// to 1e-4 so that ties occur as in real scores.
void Fill(nux::TCFEvaluator& E, int32_t N) {
  nux::SetRandSeed(2026);
  E.SetNData(N);
  for (int32_t I = 1; I <= N; ++I) {
    const bool Positive = nux::Random() < 0.3;
    E.SetTrueData(I, Positive ? 1.0 : 0.0);
    E.SetEstimData(I, std::nearbyint((nux::RandG(0.0, 1.0) + (Positive ? 0.8 : 0.0)) * 1e4) / 1e4);
  }
}

void BM_AUC(benchmark::State& State) {
  nux::TCFEvaluator E;
  const auto N = static_cast<int32_t>(State.range(0));
  Fill(E, N);
  nux::TDouble2DArray Roc;
  int32_t Best = 0;
  double AUC = 0, T1 = 0, T2 = 0, T3 = 0;
  for (auto _ : State) {
    E.SetEstimData(1, E.EstimData(1));  // unsorted again: every run sorts
    benchmark::DoNotOptimize(E.OptimizeThresholds(Roc, Best, AUC, T1, T2, T3));
  }
  State.counters["AUC"] = AUC;
  State.SetItemsProcessed(State.iterations() * State.range(0));
}
BENCHMARK(BM_AUC)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
