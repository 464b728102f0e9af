// The sparse integer matrix and the three-dimensional array: sparse SetVal of 10^6 random cells
// (into a 10^5 x 10^5 matrix), a scan of one row of it through GetVal, and the mean and
// variance of every layer of a 512 x 512 x 64 array, one layer at a time.
#include <benchmark/benchmark.h>

#include <memory>

#include "nux/host/random.h"
#include "nux/matrix/matrix.h"

namespace {

constexpr int32_t Side = 100000;
constexpr int32_t Cells = 1000000;

std::unique_ptr<nux::TIntMatrix> RandomSparse(int32_t AllocBy) {
  auto M = nux::TIntMatrix::CreateSparse(nullptr, AllocBy);
  for (int32_t I = 0; I < Cells; ++I)
    M->SetVal(nux::RandomInt(Side) + 1, nux::RandomInt(Side) + 1, I + 1);
  return M;
}

void BM_SparseSetVal(benchmark::State& State) {
  nux::SetRandSeed(1);
  for (auto _ : State) {
    auto M = RandomSparse(static_cast<int32_t>(State.range(0)));
    benchmark::DoNotOptimize(M->SparseNumElem());
  }
  State.counters["cells/s"] =
      benchmark::Counter(Cells, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_SparseSetVal)->Arg(1)->Arg(4096)->Unit(benchmark::kMillisecond);

void BM_SparseRowScan(benchmark::State& State) {
  nux::SetRandSeed(1);
  const auto M = RandomSparse(4096);
  int32_t Row = 1;
  for (auto _ : State) {
    int64_t S = 0;
    for (int32_t C = 1; C <= Side; ++C) S += M->GetVal(C, Row);
    benchmark::DoNotOptimize(S);
    Row = Row % Side + 1;
  }
  State.counters["cells/s"] =
      benchmark::Counter(Side, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_SparseRowScan)->Unit(benchmark::kMillisecond);

void BM_Mat3DLayerMeanVar(benchmark::State& State) {
  nux::TMat3D M(512, 512, 64);
  M.FillRandomGauss(1e3, 1.0);
  for (auto _ : State) {
    for (int32_t L = 1; L <= 64; ++L) {
      double Mean, Var;
      M.MeanVar(0, 0, 0, 0, L, L, Mean, Var);
      benchmark::DoNotOptimize(Var);
    }
  }
  State.counters["elements/s"] =
      benchmark::Counter(512.0 * 512 * 64, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Mat3DLayerMeanVar)->Unit(benchmark::kMillisecond);

void BM_Mat3DWholeMeanVar(benchmark::State& State) {
  nux::TMat3D M(512, 512, 64);
  M.FillRandomGauss(1e3, 1.0);
  for (auto _ : State) {
    double Mean, Var;
    M.MeanVar(0, 0, 0, 0, 0, 0, Mean, Var);
    benchmark::DoNotOptimize(Var);
  }
  State.counters["elements/s"] =
      benchmark::Counter(512.0 * 512 * 64, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Mat3DWholeMeanVar)->Unit(benchmark::kMillisecond);

}  // namespace
