// Inversion of a square array: InvertArray beside LAPACK's dgetrf + dgetri (OpenBLAS), on the
// same diagonally weighted random matrix. Both include copying the input into their working
// layout; the copy of the caller's array per iteration is outside the timed part. Before timing,
// both inverses are checked by their residual |A X - I| relative to n eps cond(A).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "nux/host/random.h"
#include "nux/openarrays/arraymath.h"
#include "nux/openarrays/invert.h"

#ifdef NUX_HAVE_OPENBLAS
extern "C" void dgetrf_(const int* M, const int* N, double* A, const int* Lda, int* Ipiv,
                        int* Info);
extern "C" void dgetri_(const int* N, double* A, const int* Lda, const int* Ipiv, double* Work,
                        const int* LWork, int* Info);
#endif

namespace {

// max |A X - I| / (n eps cond(A)) in the infinity norm; below 1 for a stable inverse.
double RelativeResidual(const nux::TDouble2DArray& A, const nux::TDouble2DArray& X) {
  const int N = static_cast<int>(A.size());
  nux::TDouble2DArray P;
  if (nux::MultiplyArrays(A, X, P) != 0) return INFINITY;
  auto InfNorm = [N](const nux::TDouble2DArray& M) {
    double Worst = 0;
    for (int R = 0; R < N; ++R) {
      double S = 0;
      for (int C = 0; C < N; ++C) S += std::fabs(M[C][R]);
      Worst = std::fmax(Worst, S);
    }
    return Worst;
  };
  double Res = 0;
  for (int C = 0; C < N; ++C)
    for (int R = 0; R < N; ++R) Res = std::fmax(Res, std::fabs(P[C][R] - (C == R)));
  return Res / (N * 0x1p-52 * InfNorm(A) * InfNorm(X));
}

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
  nux::TDouble2DArray A = Source;
  const double Residual = nux::InvertArray(A) == 0 ? RelativeResidual(Source, A) : INFINITY;
  State.counters["residual"] = Residual;
  if (!(Residual < 1.0)) State.SkipWithError("InvertArray residual too large");
  for (auto _ : State) {
    State.PauseTiming();
    A = Source;
    State.ResumeTiming();
    if (nux::InvertArray(A) != 0) State.SkipWithError("InvertArray failed");
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_InvertArray)->Arg(100)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);

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
  // The same residual check as InvertArray's, once before timing.
  {
    for (int C = 0; C < N; ++C)
      for (int R = 0; R < N; ++R) Flat[static_cast<size_t>(C) * N + R] = Source[C][R];
    dgetrf_(&N, &N, Flat.data(), &N, Pivots.data(), &Info);
    dgetri_(&N, Flat.data(), &N, Pivots.data(), Work.data(), &LWork, &Info);
    nux::TDouble2DArray X(N, nux::TDoubleArray(N));
    for (int C = 0; C < N; ++C)
      for (int R = 0; R < N; ++R) X[C][R] = Flat[static_cast<size_t>(C) * N + R];
    const double Residual = Info == 0 ? RelativeResidual(Source, X) : INFINITY;
    State.counters["residual"] = Residual;
    if (!(Residual < 1.0)) State.SkipWithError("LAPACK residual too large");
  }
  for (auto _ : State) {
    for (int C = 0; C < N; ++C)
      for (int R = 0; R < N; ++R) Flat[static_cast<size_t>(C) * N + R] = Source[C][R];
    dgetrf_(&N, &N, Flat.data(), &N, Pivots.data(), &Info);
    dgetri_(&N, Flat.data(), &N, Pivots.data(), Work.data(), &LWork, &Info);
    benchmark::DoNotOptimize(Flat.data());
  }
}
BENCHMARK(BM_LapackGetrfGetri)->Arg(100)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
