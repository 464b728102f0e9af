// Matrix products beside OpenBLAS (one thread) when it is available. Figures are GFLOP/s of the
// customary flop counts: 2 n^3 for a product of two n x n matrices, rows * n * (n + 1) for the
// cross-product of n columns (each pair once, as both sides compute it).
#include <benchmark/benchmark.h>

#include <vector>

#include "nux/host/host.h"
#include "nux/kernels/dispatch.h"
#include "nux/kernels/gemm.h"
#include "nux/matrix/matrix.h"

#ifdef NUX_HAVE_OPENBLAS
#include <cblas.h>
#endif

namespace {

namespace kn = nux::kernels;

void SetGFlops(benchmark::State& State, double Flops) {
  State.counters["GFLOPs"] =
      benchmark::Counter(Flops / 1e9, benchmark::Counter::kIsIterationInvariantRate);
}

[[maybe_unused]] void Random(std::vector<double>& X) {
  for (double& V : X) V = nux::Random() - 0.5;
}

void Random(nux::TMatrix& M, int32_t Nc, int32_t Nr) {
  M.Resize(Nc, Nr);
  M.FillRandomUniform(-0.5, 0.5);
}

// The whole method: kernel, then the result stored element by element through SetVal.
void BM_NuxMultiply(benchmark::State& State, kn::TKernelPath Path) {
  const kn::TScopedKernelPath Force(Path);
  if (Force.Used() != Path && Path != kn::kpAuto) {
    State.SkipWithError("instruction set not available");
    return;
  }
  const auto N = static_cast<int32_t>(State.range(0));
  nux::SetRandSeed(11);
  nux::TMatrix A, B, C;
  Random(A, N, N);
  Random(B, N, N);
  for (auto _ : State) {
    A.Multiply(&B, &C);
    benchmark::DoNotOptimize(C.Data()[0][0]);
  }
  SetGFlops(State, 2.0 * N * N * double(N));
}

// The kernel alone, to show what storing the result through SetVal costs.
void BM_NuxGemmKernel(benchmark::State& State) {
  const auto N = static_cast<int32_t>(State.range(0));
  nux::SetRandSeed(11);
  nux::TMatrix A, B;
  Random(A, N, N);
  Random(B, N, N);
  const auto Ac = kn::ColumnPointers(A.Data());
  const auto Bc = kn::ColumnPointers(B.Data());
  std::vector<double> C(size_t(N) * size_t(N));
  for (auto _ : State) {
    kn::Gemm(N, N, N, {Ac.data(), false}, 0, {Bc.data(), false}, 0, C.data(), N);
    benchmark::DoNotOptimize(C[0]);
  }
  SetGFlops(State, 2.0 * N * N * double(N));
}

void BM_NuxSquare(benchmark::State& State) {
  const auto Threads = static_cast<int32_t>(State.range(0));
  constexpr int32_t Nc = 500, Nr = 5000;
  nux::SetRandSeed(12);
  nux::TMatrix A, R;
  Random(A, Nc, Nr);
  for (auto _ : State) {
    A.Square(&R, 1.0, Threads);
    benchmark::DoNotOptimize(R.Data()[0][0]);
  }
  SetGFlops(State, double(Nr) * Nc * (Nc + 1));
}

#ifdef NUX_HAVE_OPENBLAS
void BM_BlasDgemm(benchmark::State& State) {
  openblas_set_num_threads(1);
  const auto N = static_cast<int>(State.range(0));
  std::vector<double> A(size_t(N) * size_t(N)), B(A.size()), C(A.size());
  nux::SetRandSeed(11);
  Random(A);
  Random(B);
  for (auto _ : State) {
    cblas_dgemm(CblasColMajor, CblasNoTrans, CblasNoTrans, N, N, N, 1.0, A.data(), N, B.data(), N,
                0.0, C.data(), N);
    benchmark::DoNotOptimize(C[0]);
  }
  SetGFlops(State, 2.0 * N * N * double(N));
}

// A^T A of a 5000 x 500 column-major block, upper triangle (dsyrk) or full (dgemm).
void BM_BlasCrossProduct(benchmark::State& State) {
  openblas_set_num_threads(static_cast<int>(State.range(1)));
  const bool Syrk = State.range(0) != 0;
  constexpr int Nc = 500, Nr = 5000;
  std::vector<double> A(size_t(Nc) * Nr), C(size_t(Nc) * Nc);
  nux::SetRandSeed(12);
  Random(A);
  for (auto _ : State) {
    if (Syrk)
      cblas_dsyrk(CblasColMajor, CblasUpper, CblasTrans, Nc, Nr, 1.0, A.data(), Nr, 0.0, C.data(),
                  Nc);
    else
      cblas_dgemm(CblasColMajor, CblasTrans, CblasNoTrans, Nc, Nc, Nr, 1.0, A.data(), Nr, A.data(),
                  Nr, 0.0, C.data(), Nc);
    benchmark::DoNotOptimize(C[0]);
  }
  SetGFlops(State, double(Nr) * Nc * (Nc + 1));
  openblas_set_num_threads(1);
}
#endif

// Interleaved so that each nux figure has its peer measured right beside it.
void Register() {
  for (int N : {256, 512, 1000}) {
    benchmark::RegisterBenchmark("BM_NuxMultiply", BM_NuxMultiply, kn::kpAuto)->Arg(N);
#ifdef NUX_HAVE_OPENBLAS
    benchmark::RegisterBenchmark("BM_BlasDgemm", BM_BlasDgemm)->Arg(N);
#endif
  }
  benchmark::RegisterBenchmark("BM_NuxGemmKernel", BM_NuxGemmKernel)->Arg(1000);
  benchmark::RegisterBenchmark("BM_NuxMultiply/generic", BM_NuxMultiply, kn::kpGeneric)->Arg(1000);
  benchmark::RegisterBenchmark("BM_NuxMultiply/avx2", BM_NuxMultiply, kn::kpAVX2)->Arg(1000);
  benchmark::RegisterBenchmark("BM_NuxMultiply/avx512", BM_NuxMultiply, kn::kpAVX512)->Arg(1000);
  for (int T : {1, 2}) {
    benchmark::RegisterBenchmark("BM_NuxSquare", BM_NuxSquare)->Arg(T)->UseRealTime();
#ifdef NUX_HAVE_OPENBLAS
    benchmark::RegisterBenchmark("BM_BlasCrossProduct/dsyrk", BM_BlasCrossProduct)
        ->Args({1, T})
        ->UseRealTime();
    benchmark::RegisterBenchmark("BM_BlasCrossProduct/dgemm", BM_BlasCrossProduct)
        ->Args({0, T})
        ->UseRealTime();
#endif
  }
}

const int Registered = (Register(), 0);

}  // namespace
