// Inversion of a square array: InvertArray beside LAPACK's dgetrf + dgetri (OpenBLAS), on the
// same diagonally weighted random matrix. Both include copying the input into their working
// layout; the copy of the caller's array per iteration is outside the timed part.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "nux/host/random.h"
#include "nux/openarrays/invert.h"

#ifdef NUX_HAVE_OPENBLAS
extern "C" void dgetrf_(const int* M, const int* N, double* A, const int* Lda, int* Ipiv,
                        int* Info);
extern "C" void dgetri_(const int* N, double* A, const int* Lda, const int* Ipiv, double* Work,
                        const int* LWork, int* Info);
#endif

namespace {

nux::TDouble2DArray RandomMatrix(int N) {
  nux::SetRandSeed(42);
  nux::TDouble2DArray A(N, nux::TDoubleArray(N));
  for (int C = 0; C < N; ++C)
    for (int R = 0; R < N; ++R) A[C][R] = nux::Random() - 0.5 + (C == R ? 2.0 : 0.0);
  return A;
}

void BM_InvertArray(benchmark::State& State) {
  const int N = static_cast<int>(State.range(0));
  const auto Source = RandomMatrix(N);
  nux::TDouble2DArray A;
  for (auto _ : State) {
    State.PauseTiming();
    A = Source;
    State.ResumeTiming();
    if (nux::InvertArray(A) != 0) State.SkipWithError("InvertArray failed");
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_InvertArray)->Arg(100)->Arg(500)->Unit(benchmark::kMillisecond);

#ifdef NUX_HAVE_OPENBLAS
void BM_LapackGetrfGetri(benchmark::State& State) {
  const int N = static_cast<int>(State.range(0));
  const auto Source = RandomMatrix(N);
  std::vector<double> Flat(static_cast<size_t>(N) * N);
  std::vector<int> Pivots(N);
  int LWork = -1, Info = 0;
  double Query = 0;
  dgetri_(&N, Flat.data(), &N, Pivots.data(), &Query, &LWork, &Info);
  LWork = static_cast<int>(Query);
  std::vector<double> Work(static_cast<size_t>(LWork));
  // Agreement with InvertArray, checked once before timing.
  {
    auto A = Source;
    nux::InvertArray(A);
    for (int C = 0; C < N; ++C)
      for (int R = 0; R < N; ++R) Flat[static_cast<size_t>(C) * N + R] = Source[C][R];
    dgetrf_(&N, &N, Flat.data(), &N, Pivots.data(), &Info);
    dgetri_(&N, Flat.data(), &N, Pivots.data(), Work.data(), &LWork, &Info);
    // Two correct inverses differ by about cond(A) eps relative to the inverse's size, so the
    // check is relative: an absolute bound fails on larger random matrices for no fault.
    double Worst = 0, Scale = 0;
    for (int C = 0; C < N; ++C)
      for (int R = 0; R < N; ++R) {
        Worst = std::fmax(Worst, std::fabs(Flat[static_cast<size_t>(C) * N + R] - A[C][R]));
        Scale = std::fmax(Scale, std::fabs(A[C][R]));
      }
    if (Info != 0 || Worst > 1e-9 * Scale) State.SkipWithError("LAPACK and InvertArray disagree");
  }
  for (auto _ : State) {
    for (int C = 0; C < N; ++C)
      for (int R = 0; R < N; ++R) Flat[static_cast<size_t>(C) * N + R] = Source[C][R];
    dgetrf_(&N, &N, Flat.data(), &N, Pivots.data(), &Info);
    dgetri_(&N, Flat.data(), &N, Pivots.data(), Work.data(), &LWork, &Info);
    benchmark::DoNotOptimize(Flat.data());
  }
}
BENCHMARK(BM_LapackGetrfGetri)->Arg(100)->Arg(500)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
