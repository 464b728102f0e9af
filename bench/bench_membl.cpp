// The memory-based learner on a 10,000 x 10 model: one query with k = 5, filling the model table
// cell by cell (the column statistics then read once), and the 100 nearest neighbours of every
// model row. bench/membl_sklearn.py measures scikit-learn's brute-force search on the same sizes.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "nux/datatable/datatable.h"
#include "nux/host/random.h"
#include "nux/kernels/dispatch.h"
#include "nux/matrix/matrix.h"
#include "nux/membl/membl.h"

namespace {

constexpr int Rows = 10000, Inputs = 10;

// Inputs normal, the target a noisy sum of the first three.
void Fill(nux::TMemBasedLearner& L) {
  nux::SetRandSeed(28);
  nux::TDataTable& T = *L.ModelData();
  T.Resize(Inputs + 1, Rows);
  for (int R = 1; R <= Rows; ++R) {
    double Y = 0;
    for (int C = 1; C <= Inputs; ++C) {
      const double X = nux::RandG(0.0, 1.0);
      T.SetElem(C, R, X);
      if (C <= 3) Y += X;
    }
    T.SetElem(Inputs + 1, R, Y + nux::RandG(0.0, 0.1));
  }
  L.SetAllVars(nux::mblVarIndep);
  L.SetVarType(Inputs + 1, nux::mblVarTarget);
}

void BM_ApplyModel(benchmark::State& State) {
  nux::kernels::TScopedKernelPath Force(static_cast<nux::kernels::TKernelPath>(State.range(0)));
  nux::TMemBasedLearner L;
  Fill(L);
  L.SetNumNearestNb(5);
  std::vector<nux::TDoubleArray> Queries(64, nux::TDoubleArray(Inputs + 1));
  for (auto& Q : Queries)
    for (int C = 0; C < Inputs; ++C) Q[size_t(C)] = nux::RandG(0.0, 1.0);
  size_t I = 0;
  nux::TDoubleArray S;
  for (auto _ : State) {
    S = Queries[I++ % Queries.size()];
    benchmark::DoNotOptimize(L.ApplyModel(S, 0, 0));
  }
  State.SetLabel(Force.Used() == nux::kernels::kpAVX512 ? "avx512"
                 : Force.Used() == nux::kernels::kpAVX2 ? "avx2"
                                                        : "generic");
}
BENCHMARK(BM_ApplyModel)
    ->Arg(nux::kernels::kpAuto)
    ->Arg(nux::kernels::kpGeneric)
    ->Unit(benchmark::kMicrosecond);

void BM_FillCellByCell(benchmark::State& State) {
  nux::TMemBasedLearner L;
  nux::TDataTable& T = *L.ModelData();
  T.Resize(Inputs, Rows);
  L.SetAllVars(nux::mblVarIndep);
  double V = 0;
  for (auto _ : State) {
    for (int R = 1; R <= Rows; ++R)
      for (int C = 1; C <= Inputs; ++C) T.SetElem(C, R, V += 0.5);
    benchmark::DoNotOptimize(L.MeanVarRange().GetVal(1, 2));
  }
}
BENCHMARK(BM_FillCellByCell)->Unit(benchmark::kMillisecond);

void BM_NeighboursOfModel(benchmark::State& State) {
  nux::TMemBasedLearner L;
  Fill(L);
  for (auto _ : State) {
    L.CalcNNOfModelData();
    benchmark::DoNotOptimize(L.kNNOfModelData(100, Rows));
  }
}
BENCHMARK(BM_NeighboursOfModel)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
