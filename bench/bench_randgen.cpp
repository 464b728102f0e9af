// TRandGen: drawing 10^7 deviates from a table of 500 points filled from each density (on
// borders that hold nearly all of its probability) and standardised.
#include <benchmark/benchmark.h>

#include "nux/host/random.h"
#include "nux/statis/statis.h"

namespace {

enum TDist { dNormal, dT, dChi2, dF, dWeibull, dUniform };

void BM_RandGen(benchmark::State& State) {
  nux::TRandGen G;
  switch (static_cast<TDist>(State.range(0))) {
    case dNormal:
      G.SetLowBorder(-5);
      G.SetHighBorder(5);
      G.NormalDistri(0, 1);
      State.SetLabel("normal(0, 1) on [-5, 5)");
      break;
    case dT:
      G.SetLowBorder(-10);
      G.SetHighBorder(10);
      G.tDistri(5);
      State.SetLabel("t(5) on [-10, 10)");
      break;
    case dChi2:
      G.SetLowBorder(0);
      G.SetHighBorder(25);
      G.Chi2Distri(4);
      State.SetLabel("chi2(4) on [0, 25)");
      break;
    case dF:
      G.SetLowBorder(0);
      G.SetHighBorder(10);
      G.FDistri(5, 12);
      State.SetLabel("F(5, 12) on [0, 10)");
      break;
    case dWeibull:
      G.SetLowBorder(0);
      G.SetHighBorder(10);
      G.WeibullDistri(1.5, 2);
      State.SetLabel("Weibull(1.5, 2) on [0, 10)");
      break;
    case dUniform:
      G.SetLowBorder(0);
      G.SetHighBorder(1);
      G.UniformDistri();
      State.SetLabel("uniform on [0, 1)");
      break;
  }
  G.Standardize();
  nux::SetRandSeed(1);
  constexpr int32_t Draws = 10000000;
  for (auto _ : State) {
    double Sum = 0;
    for (int32_t I = 0; I < Draws; ++I) Sum += G.GetRandNum();
    benchmark::DoNotOptimize(Sum);
  }
  State.SetItemsProcessed(State.iterations() * Draws);
}
BENCHMARK(BM_RandGen)->DenseRange(dNormal, dUniform)->Unit(benchmark::kMillisecond);

}  // namespace
