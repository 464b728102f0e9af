// One training epoch of a 20 x 20 Kohonen map on 10,000 objects of 16 inputs: the library (whose
// winner search runs over all neurons at once on the widest vector path, and on the generic
// path for comparison) beside a plain textbook loop over neurons and inputs.
#include <benchmark/benchmark.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "nux/host/random.h"
#include "nux/kernels/dispatch.h"
#include "nux/kohonen/kohonen.h"
#include "nux/matrix/matrix.h"

namespace {

constexpr int Objects = 10000, Inputs = 16, Side = 20;

std::unique_ptr<nux::TMatrix> Data() {
  nux::SetRandSeed(2);
  auto D = std::make_unique<nux::TMatrix>(Inputs, Objects);
  D->FillRandomUniform(-1.0, 1.0);
  return D;
}

void BM_KohonenEpoch(benchmark::State& State) {
  nux::kernels::TScopedKernelPath Force(static_cast<nux::kernels::TKernelPath>(State.range(0)));
  const auto D = Data();
  nux::TKohonen K;
  K.SetDataMat(D.get());
  K.SetSizeX(Side);
  K.SetSizeY(Side);
  K.SetNrOfTrnSteps(2);  // one epoch per Trainit
  for (auto _ : State) {
    K.Trainit();
    benchmark::DoNotOptimize(K.StoredWeights().GetVal(1, 1, 1));
  }
  State.SetLabel(Force.Used() == nux::kernels::kpAVX512 ? "avx512"
                 : Force.Used() == nux::kernels::kpAVX2 ? "avx2"
                                                        : "generic");
}
BENCHMARK(BM_KohonenEpoch)
    ->Arg(nux::kernels::kpAuto)
    ->Arg(nux::kernels::kpGeneric)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

// The textbook epoch: weights [x][y][k], each distance a loop over k, same schedule (step 1 of
// 2: radius 1, rate 1/4).
void BM_PlainEpoch(benchmark::State& State) {
  const auto D = Data();
  std::vector<std::vector<double>> Rows(Objects, std::vector<double>(Inputs));
  for (int R = 0; R < Objects; ++R)
    for (int C = 0; C < Inputs; ++C) Rows[size_t(R)][size_t(C)] = D->GetVal(C + 1, R + 1);
  std::vector<double> W(size_t(Side) * Side * Inputs);
  for (auto _ : State) {
    for (double& V : W) V = (nux::Random() - 0.5) * 0.2;
    const double Alpha = 0.25;
    for (const auto& Z : Rows) {
      double Best = std::numeric_limits<double>::max();
      int Cx = 0, Cy = 0;
      for (int X = 0; X < Side; ++X)
        for (int Y = 0; Y < Side; ++Y) {
          const double* Wn = &W[(size_t(X) * Side + size_t(Y)) * Inputs];
          double E = 0;
          for (int K = 0; K < Inputs; ++K) E += (Wn[K] - Z[size_t(K)]) * (Wn[K] - Z[size_t(K)]);
          if (E < Best) Best = E, Cx = X, Cy = Y;
        }
      for (int X = std::max(Cx - 1, 0); X <= std::min(Cx + 1, Side - 1); ++X)
        for (int Y = std::max(Cy - 1, 0); Y <= std::min(Cy + 1, Side - 1); ++Y) {
          double* Wn = &W[(size_t(X) * Side + size_t(Y)) * Inputs];
          double Dd = 0;
          for (int K = 0; K < Inputs; ++K) Dd += (Wn[K] - Z[size_t(K)]) * (Wn[K] - Z[size_t(K)]);
          const double H = 1.0 / (std::sqrt(Dd - Best) + 1.0);
          for (int K = 0; K < Inputs; ++K) Wn[K] = Wn[K] + Alpha * H * (Z[size_t(K)] - Wn[K]);
        }
    }
    benchmark::DoNotOptimize(W.data());
  }
}
BENCHMARK(BM_PlainEpoch)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace
