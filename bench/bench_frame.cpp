// Throughput of the data fingerprint, the per-container CRC that every save and compare uses.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "nux/nux.h"

static void BM_CRCofData(benchmark::State& State) {
  nux::SetRandSeed(1);
  nux::TDoubleArray Data(static_cast<size_t>(State.range(0)));
  for (double& X : Data) X = nux::Random();
  for (auto _ : State) benchmark::DoNotOptimize(nux::CRCofData(std::span<const double>(Data)));
  State.SetBytesProcessed(State.iterations() * State.range(0) * 8);
}
BENCHMARK(BM_CRCofData)->Arg(1 << 10)->Arg(1 << 20);

// The peer: the same eight registers fed byte by byte from a table, as a plain inline loop.
static void BM_CRCInlineLoop(benchmark::State& State) {
  static const auto Table = [] {
    std::array<uint32_t, 256> T{};
    for (uint32_t I = 0; I < 256; ++I) {
      uint32_t C = I;
      for (int K = 0; K < 8; ++K) C = (C & 1U) ? (0xEDB88320U ^ (C >> 1)) : (C >> 1);
      T[I] = C;
    }
    return T;
  }();
  nux::SetRandSeed(1);
  nux::TDoubleArray Data(static_cast<size_t>(State.range(0)));
  for (double& X : Data) X = nux::Random();
  const std::string Want = nux::CRCofData(std::span<const double>(Data));
  std::string Got;
  for (auto _ : State) {
    uint32_t R[8];
    for (uint32_t& X : R) X = 0xFFFFFFFFU;
    for (const double V : Data) {
      uint64_t W;
      std::memcpy(&W, &V, 8);
      for (int J = 0; J < 8; ++J) R[J] = Table[(R[J] ^ (W >> (8 * J))) & 0xFFU] ^ (R[J] >> 8);
    }
    char Buf[72];
    for (int J = 0; J < 8; ++J) std::snprintf(Buf + 8 * J, 9, "%08X", ~R[J]);
    Got.assign(Buf, 64);
    benchmark::DoNotOptimize(Got);
  }
  if (Got != Want) State.SkipWithError("the inline loop disagrees with CRCofData");
  State.SetBytesProcessed(State.iterations() * State.range(0) * 8);
}
BENCHMARK(BM_CRCInlineLoop)->Arg(1 << 10)->Arg(1 << 20);

static void BM_Random(benchmark::State& State) {
  for (auto _ : State) benchmark::DoNotOptimize(nux::Random());
}
BENCHMARK(BM_Random);
