// Singular value decomposition with both singular vector sets, side by side with LAPACK's
// dgesvd from OpenBLAS (U written over the input, all of V^T) when it is available. The input
// is copied back before every iteration, outside the timed region, for both alike.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <functional>
#include <vector>

#include "nux/host/random.h"
#include "nux/matrix/matrix.h"
#include "nux/matrix/svd.h"

#ifdef NUX_HAVE_OPENBLAS
extern "C" void dgesvd_(const char* JobU, const char* JobVT, const int* M, const int* N, double* A,
                        const int* LDA, double* S, double* U, const int* LDU, double* VT,
                        const int* LDVT, double* Work, const int* LWork, int* Info,
                        std::size_t JobULen, std::size_t JobVTLen);
extern "C" void dgesdd_(const char* JobZ, const int* M, const int* N, double* A, const int* LDA,
                        double* S, double* U, const int* LDU, double* VT, const int* LDVT,
                        double* Work, const int* LWork, int* IWork, int* Info, std::size_t JobZLen);
#endif

namespace {

using Clock = std::chrono::steady_clock;

nux::TDouble2DArray RandomMatrix(int N) {
  nux::SetRandSeed(17);
  nux::TDouble2DArray A(static_cast<size_t>(N), nux::TDoubleArray(static_cast<size_t>(N)));
  for (auto& Column : A)
    for (double& X : Column) X = nux::Random() - 0.5;
  return A;
}

void BM_NuxSVD(benchmark::State& State) {
  const int N = static_cast<int>(State.range(0));
  const auto Source = RandomMatrix(N);
  auto A = Source;
  nux::TDouble2DArray V(static_cast<size_t>(N), nux::TDoubleArray(static_cast<size_t>(N)));
  nux::TDoubleArray W(static_cast<size_t>(N));
  for (auto _ : State) {
    A = Source;
    const auto T0 = Clock::now();
    const int32_t Res = nux::SingularValueDecomp(A, V, W);
    const auto T1 = Clock::now();
    if (Res != nux::svdOK) State.SkipWithError("decomposition failed");
    State.SetIterationTime(std::chrono::duration<double>(T1 - T0).count());
    benchmark::DoNotOptimize(W.data());
  }
}
BENCHMARK(BM_NuxSVD)->Arg(100)->Arg(500)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_NuxSpectralNorm(benchmark::State& State) {
  const int N = static_cast<int>(State.range(0));
  nux::TMatrix M;
  M.SetValues(RandomMatrix(N));
  for (auto _ : State) benchmark::DoNotOptimize(M.Norm(nux::ntSpectral));
}
BENCHMARK(BM_NuxSpectralNorm)->Arg(500)->Unit(benchmark::kMillisecond);

#ifdef NUX_HAVE_OPENBLAS
void BM_LapackDgesvd(benchmark::State& State) {
  const int N = static_cast<int>(State.range(0));
  const auto Columns = RandomMatrix(N);
  std::vector<double> Source(static_cast<size_t>(N) * static_cast<size_t>(N));
  for (int C = 0; C < N; ++C)
    for (int R = 0; R < N; ++R)
      Source[size_t(C) * static_cast<size_t>(N) + size_t(R)] = Columns[size_t(C)][size_t(R)];
  std::vector<double> A = Source, S(static_cast<size_t>(N)),
                      VT(static_cast<size_t>(N) * static_cast<size_t>(N));
  double U = 0.0;
  int Info = 0;
  int LWork = -1;
  double Query = 0.0;
  dgesvd_("O", "A", &N, &N, A.data(), &N, S.data(), &U, &N, VT.data(), &N, &Query, &LWork, &Info, 1,
          1);
  LWork = static_cast<int>(Query);
  std::vector<double> Work(static_cast<size_t>(LWork));
  for (auto _ : State) {
    A = Source;
    const auto T0 = Clock::now();
    dgesvd_("O", "A", &N, &N, A.data(), &N, S.data(), &U, &N, VT.data(), &N, Work.data(), &LWork,
            &Info, 1, 1);
    const auto T1 = Clock::now();
    if (Info != 0) State.SkipWithError("dgesvd failed");
    State.SetIterationTime(std::chrono::duration<double>(T1 - T0).count());
    benchmark::DoNotOptimize(S.data());
  }
  // Agreement of the two sets of singular values, so the figures compare like with like.
  auto Ours = Columns;
  nux::TDouble2DArray V(static_cast<size_t>(N), nux::TDoubleArray(static_cast<size_t>(N)));
  nux::TDoubleArray W(static_cast<size_t>(N));
  nux::SingularValueDecomp(Ours, V, W);
  std::sort(W.begin(), W.end(), std::greater<>());
  double MaxDiff = 0.0;
  for (size_t K = 0; K < W.size(); ++K) MaxDiff = std::max(MaxDiff, std::abs(W[K] - S[K]));
  State.counters["max_dsigma"] = MaxDiff;
}
BENCHMARK(BM_LapackDgesvd)->Arg(100)->Arg(500)->UseManualTime()->Unit(benchmark::kMillisecond);

// The values-only peer of Norm(ntSpectral): dgesdd with JOBZ = 'N'.
void BM_LapackDgesddValues(benchmark::State& State) {
  const int N = static_cast<int>(State.range(0));
  const auto Columns = RandomMatrix(N);
  std::vector<double> Source;
  for (const auto& Column : Columns) Source.insert(Source.end(), Column.begin(), Column.end());
  std::vector<double> A = Source, S(static_cast<size_t>(N));
  std::vector<int> IWork(8 * static_cast<size_t>(N));
  double Dummy = 0.0, Query = 0.0;
  int Info = 0, LWork = -1, One = 1;
  dgesdd_("N", &N, &N, A.data(), &N, S.data(), &Dummy, &One, &Dummy, &One, &Query, &LWork,
          IWork.data(), &Info, 1);
  LWork = static_cast<int>(Query);
  std::vector<double> Work(static_cast<size_t>(LWork));
  for (auto _ : State) {
    A = Source;
    const auto T0 = Clock::now();
    dgesdd_("N", &N, &N, A.data(), &N, S.data(), &Dummy, &One, &Dummy, &One, Work.data(), &LWork,
            IWork.data(), &Info, 1);
    const auto T1 = Clock::now();
    if (Info != 0) State.SkipWithError("dgesdd failed");
    State.SetIterationTime(std::chrono::duration<double>(T1 - T0).count());
  }
  nux::TMatrix M;
  M.SetValues(Columns);
  State.counters["dnorm"] = std::abs(M.Norm(nux::ntSpectral) - S[0]);
}
BENCHMARK(BM_LapackDgesddValues)->Arg(500)->UseManualTime()->Unit(benchmark::kMillisecond);
#endif

}  // namespace
