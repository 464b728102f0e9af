// Binary files of a 256 x 256 x 16 x 64 TMat4D (512 MiB of doubles): the whole-file writer, the
// whole-file loader and the streaming reader, on /dev/shm (memory) and /tmp (disk). Compare with
// dd of the same byte count on the same directories.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "nux/host/random.h"
#include "nux/matrix/matrix.h"

namespace {

constexpr int32_t Nc = 256, Nr = 256, Nl = 16, Nt = 64;
const char* const kDirs[] = {"/dev/shm", "/tmp"};

nux::TMat4D& Data() {
  static const std::unique_ptr<nux::TMat4D> M = [] {
    auto A = std::make_unique<nux::TMat4D>(Nc, Nr, Nl, Nt);
    nux::SetRandSeed(5);
    A->FillRandomUniform(-1.0, 1.0);
    return A;
  }();
  return *M;
}

std::string FileIn(int Dir) {
  return std::string(kDirs[Dir]) + "/nux_bench_mat4d_" + std::to_string(getpid()) + ".bin";
}

void SetBytes(benchmark::State& State) {
  State.SetBytesProcessed(int64_t(State.iterations()) * Nc * Nr * Nl * Nt * 8);
  State.SetLabel(kDirs[State.range(0)]);
}

void BM_SaveBinary(benchmark::State& State) {
  nux::TMat4D& M = Data();
  const std::string F = FileIn(int(State.range(0)));
  for (auto _ : State)
    if (M.SaveBinary(F, 0, 0) != nux::bfOK) State.SkipWithError("write failed");
  std::remove(F.c_str());
  SetBytes(State);
}

void BM_LoadBinary(benchmark::State& State) {
  const std::string F = FileIn(int(State.range(0)));
  if (Data().SaveBinary(F, 0, 0) != nux::bfOK) State.SkipWithError("write failed");
  nux::TMat4D M;
  for (auto _ : State)
    if (M.LoadBinary(F, 0, 0) != nux::bfOK) State.SkipWithError("read failed");
  std::remove(F.c_str());
  SetBytes(State);
}

void BM_ReadBinaryStreaming(benchmark::State& State) {
  const std::string F = FileIn(int(State.range(0)));
  if (Data().SaveBinary(F, 0, 0) != nux::bfOK) State.SkipWithError("write failed");
  nux::TMat4D M;
  double Sum = 0;
  M.OnReadElement = [&](nux::TObject*, int32_t, int32_t, int32_t, int32_t, double V) { Sum += V; };
  for (auto _ : State) {
    M.ReadBinary(F, 0, 0);
    benchmark::DoNotOptimize(Sum);
  }
  std::remove(F.c_str());
  SetBytes(State);
}

BENCHMARK(BM_SaveBinary)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadBinary)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadBinaryStreaming)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
