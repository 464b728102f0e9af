// Eigen analysis and least squares of unit math2 beside LAPACK from OpenBLAS (dsyevd, dgels)
// when it is available, and the cyclic Jacobi method beside a plain textbook loop (row-major,
// element by element) that performs the same rotations. Inputs are restored before every
// iteration, outside the timed region.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <functional>
#include <vector>

#include "nux/host/random.h"
#include "nux/math2/math2.h"
#include "textbook_jacobi.h"

#ifdef NUX_HAVE_OPENBLAS
extern "C" void dsyevd_(const char* JobZ, const char* Uplo, const int* N, double* A, const int* LDA,
                        double* W, double* Work, const int* LWork, int* IWork, const int* LIWork,
                        int* Info, std::size_t JobZLen, std::size_t UploLen);
extern "C" void dgels_(const char* Trans, const int* M, const int* N, const int* NRHS, double* A,
                       const int* LDA, double* B, const int* LDB, double* Work, const int* LWork,
                       int* Info, std::size_t TransLen);
#endif

namespace {

using Clock = std::chrono::steady_clock;
using nux_reference::Grid;
using nux_reference::TextbookJacobi;

double Seconds(Clock::time_point T0, Clock::time_point T1) {
  return std::chrono::duration<double>(T1 - T0).count();
}

// A random symmetric matrix, row-major.
Grid RandomSymmetric(int N) {
  nux::SetRandSeed(23);
  Grid A(static_cast<size_t>(N), std::vector<double>(static_cast<size_t>(N)));
  for (size_t I = 0; I < A.size(); ++I)
    for (size_t J = I; J < A.size(); ++J) A[I][J] = A[J][I] = nux::Random() - 0.5;
  return A;
}

void BM_NuxCalcEigVec(benchmark::State& State) {
  const int N = static_cast<int>(State.range(0));
  const Grid A = RandomSymmetric(N);
  nux::TMatrix Source, M;
  Source.Resize(N, N);
  for (int C = 0; C < N; ++C)
    for (int R = 0; R < N; ++R) Source.SetVal(C + 1, R + 1, A[size_t(R)][size_t(C)]);
  for (auto _ : State) {
    M.Clone(&Source);
    const auto T0 = Clock::now();
    const bool Ok = nux::CalcEigVec(M);
    const auto T1 = Clock::now();
    if (!Ok) State.SkipWithError("CalcEigVec failed");
    State.SetIterationTime(Seconds(T0, T1));
  }
}
BENCHMARK(BM_NuxCalcEigVec)->Arg(100)->Arg(500)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_TextbookJacobi(benchmark::State& State) {
  const int N = static_cast<int>(State.range(0));
  const Grid Source = RandomSymmetric(N);
  Grid A, V;
  std::vector<double> D;
  for (auto _ : State) {
    A = Source;
    const auto T0 = Clock::now();
    TextbookJacobi(A, D, V);
    const auto T1 = Clock::now();
    State.SetIterationTime(Seconds(T0, T1));
    benchmark::DoNotOptimize(D.data());
  }
  // Same rotations, same bits: a difference here means the figures do not compare.
  nux::TMatrix M;
  M.Resize(N, N);
  for (int C = 0; C < N; ++C)
    for (int R = 0; R <= C; ++R) M.SetVal(C + 1, R + 1, Source[size_t(R)][size_t(C)]);
  nux::CalcEigVec(M);
  double MaxDiff = 0.0;
  for (int K = 0; K < N; ++K)
    MaxDiff = std::max(MaxDiff, std::abs(nux::GetEigenResult(K + 1, 0) - D[size_t(K)]));
  State.counters["max_dlambda_vs_nux"] = MaxDiff;
}
BENCHMARK(BM_TextbookJacobi)->Arg(100)->Arg(500)->UseManualTime()->Unit(benchmark::kMillisecond);

// A random design with a constant column and a response of known coefficients plus noise.
void RandomRegression(int Rows, int Cols, nux::TMatrix& X, nux::TVector& Y) {
  nux::SetRandSeed(29);
  X.Resize(Cols, Rows);
  Y.Resize(Rows);
  X.FillRandomUniform(-1.0, 1.0);
  for (int R = 1; R <= Rows; ++R) {
    X.SetVal(1, R, 1.0);
    double S = 0.0;
    for (int C = 1; C <= Cols; ++C) S += X.GetVal(C, R) * (0.1 * C);
    Y.SetVal(R, S + 0.01 * (nux::Random() - 0.5));
  }
}

void BM_NuxMultiLinReg(benchmark::State& State) {
  const int Rows = static_cast<int>(State.range(0)), Cols = static_cast<int>(State.range(1));
  nux::TMatrix X;
  nux::TVector Y, B, D;
  RandomRegression(Rows, Cols, X, Y);
  bool Singular = false;
  for (auto _ : State) {
    const bool Ok = nux::MultiLinReg(X, Y, B, &D, Singular);
    if (!Ok) State.SkipWithError("MultiLinReg failed");
    benchmark::DoNotOptimize(B.Data().data());
  }
}
BENCHMARK(BM_NuxMultiLinReg)->Args({10000, 50})->Unit(benchmark::kMillisecond);

#ifdef NUX_HAVE_OPENBLAS
void BM_LapackDsyevd(benchmark::State& State) {
  const int N = static_cast<int>(State.range(0));
  const Grid A = RandomSymmetric(N);
  std::vector<double> Source(static_cast<size_t>(N) * static_cast<size_t>(N)), Work(1), M,
      W(static_cast<size_t>(N));
  for (size_t C = 0; C < size_t(N); ++C)
    for (size_t R = 0; R < size_t(N); ++R) Source[C * size_t(N) + R] = A[R][C];
  int LWork = -1, LIWork = -1, Info = 0, IQuery = 0;
  M = Source;
  dsyevd_("V", "U", &N, M.data(), &N, W.data(), Work.data(), &LWork, &IQuery, &LIWork, &Info, 1, 1);
  LWork = static_cast<int>(Work[0]);
  LIWork = IQuery;
  Work.resize(size_t(LWork));
  std::vector<int> IWork(static_cast<size_t>(LIWork));
  for (auto _ : State) {
    M = Source;
    const auto T0 = Clock::now();
    dsyevd_("V", "U", &N, M.data(), &N, W.data(), Work.data(), &LWork, IWork.data(), &LIWork, &Info,
            1, 1);
    const auto T1 = Clock::now();
    if (Info != 0) State.SkipWithError("dsyevd failed");
    State.SetIterationTime(Seconds(T0, T1));
  }
  // Agreement with CalcEigVec, so that the figures compare like with like.
  nux::TMatrix Mat;
  Mat.Resize(N, N);
  for (int C = 0; C < N; ++C)
    for (int R = 0; R < N; ++R) Mat.SetVal(C + 1, R + 1, A[size_t(R)][size_t(C)]);
  nux::CalcEigVec(Mat);
  std::vector<double> Ours(static_cast<size_t>(N));
  for (int K = 0; K < N; ++K) Ours[size_t(K)] = nux::GetEigenResult(K + 1, 0);
  std::sort(Ours.begin(), Ours.end());
  double MaxDiff = 0.0;
  for (size_t K = 0; K < Ours.size(); ++K) MaxDiff = std::max(MaxDiff, std::abs(Ours[K] - W[K]));
  State.counters["max_dlambda"] = MaxDiff;
}
BENCHMARK(BM_LapackDsyevd)->Arg(100)->Arg(500)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_LapackDgels(benchmark::State& State) {
  const int Rows = static_cast<int>(State.range(0)), Cols = static_cast<int>(State.range(1));
  nux::TMatrix X;
  nux::TVector Y;
  RandomRegression(Rows, Cols, X, Y);
  std::vector<double> Source, A, B, Work(1);
  for (const auto& Column : X.Data()) Source.insert(Source.end(), Column.begin(), Column.end());
  const int NRhs = 1;
  int LWork = -1, Info = 0;
  A = Source;
  B = Y.Data();
  dgels_("N", &Rows, &Cols, &NRhs, A.data(), &Rows, B.data(), &Rows, Work.data(), &LWork, &Info, 1);
  LWork = static_cast<int>(Work[0]);
  Work.resize(size_t(LWork));
  for (auto _ : State) {
    A = Source;
    B = Y.Data();
    const auto T0 = Clock::now();
    dgels_("N", &Rows, &Cols, &NRhs, A.data(), &Rows, B.data(), &Rows, Work.data(), &LWork, &Info,
           1);
    const auto T1 = Clock::now();
    if (Info != 0) State.SkipWithError("dgels failed");
    State.SetIterationTime(Seconds(T0, T1));
  }
  nux::TVector C;
  bool Singular = false;
  nux::MultiLinReg(X, Y, C, nullptr, Singular);
  double MaxDiff = 0.0;
  for (int K = 0; K < Cols; ++K)
    MaxDiff = std::max(MaxDiff, std::abs(C.GetVal(K + 1) - B[size_t(K)]));
  State.counters["max_dcoef"] = MaxDiff;
}
BENCHMARK(BM_LapackDgels)->Args({10000, 50})->UseManualTime()->Unit(benchmark::kMillisecond);
#endif

}  // namespace
