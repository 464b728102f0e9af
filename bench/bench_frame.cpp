// Throughput of the data fingerprint, the per-container CRC that every save and compare uses.
#include <benchmark/benchmark.h>

#include "nux/nux.h"

static void BM_CRCofData(benchmark::State& State) {
  nux::SetRandSeed(1);
  nux::TDoubleArray Data(static_cast<size_t>(State.range(0)));
  for (double& X : Data) X = nux::Random();
  for (auto _ : State) benchmark::DoNotOptimize(nux::CRCofData(std::span<const double>(Data)));
  State.SetBytesProcessed(State.iterations() * State.range(0) * 8);
}
BENCHMARK(BM_CRCofData)->Arg(1 << 10)->Arg(1 << 20);

static void BM_Random(benchmark::State& State) {
  for (auto _ : State) benchmark::DoNotOptimize(nux::Random());
}
BENCHMARK(BM_Random);
