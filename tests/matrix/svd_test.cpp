#include "nux/matrix/svd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>

#include "nux/frame/progress.h"
#include "nux/host/random.h"

namespace nux {
namespace {

TDouble2DArray Block(size_t Nc, size_t Nr, double Value = 0.0) {
  return TDouble2DArray(Nc, TDoubleArray(Nr, Value));
}

struct TSvd {
  TDouble2DArray A, U, V;
  TDoubleArray W;
  int32_t Result;
  explicit TSvd(const TDouble2DArray& Src)
      : A(Src), U(Src), V(Block(Src.size(), Src.size())), W(Src.size()) {
    Result = SingularValueDecomp(U, V, W);
  }
  TDoubleArray Sorted() const {
    TDoubleArray S = W;
    std::sort(S.begin(), S.end(), std::greater<>());
    return S;
  }
  // A = U diag(W) V^T, V^T V = I, U^T U = I on the columns with non-zero W, relative to max|A|.
  void Check(double Tol) const {
    ASSERT_EQ(Result, svdOK);
    const size_t N = A.size(), M = A[0].size();
    double Scale = 1e-300;
    for (const auto& Column : A)
      for (const double X : Column) Scale = std::max(Scale, std::abs(X));
    for (size_t C = 0; C < N; ++C)
      for (size_t R = 0; R < M; ++R) {
        double X = 0.0;
        for (size_t K = 0; K < N; ++K) X += U[K][R] * W[K] * V[K][C];
        EXPECT_NEAR(X / Scale, A[C][R] / Scale, Tol);
      }
    for (size_t I = 0; I < N; ++I) {
      EXPECT_GE(W[I], 0.0);
      for (size_t J = 0; J < N; ++J) {
        double Vij = 0.0, Uij = 0.0;
        for (size_t K = 0; K < N; ++K) Vij += V[I][K] * V[J][K];
        for (size_t K = 0; K < M; ++K) Uij += U[I][K] * U[J][K];
        EXPECT_NEAR(Vij, I == J, Tol);
        if (W[I] != 0.0 && W[J] != 0.0) {
          EXPECT_NEAR(Uij, I == J, Tol);
        }
      }
    }
  }
};

TEST(SingularValueDecomp, ReconstructsTallSquareWideAndRankDeficientMatrices) {
  SetRandSeed(77);
  for (int Trial = 0; Trial < 60; ++Trial) {
    const auto Nc = size_t(1 + RandomInt(12)), Nr = size_t(1 + RandomInt(12));
    auto A = Block(Nc, Nr);
    for (auto& Column : A)  // dense, or small integers with many zeros (exact rank loss)
      for (double& X : Column)
        X = Trial % 2 ? Random() - 0.5 : (RandomInt(5) - 2) * (RandomInt(3) == 0);
    if (Nc > 2 && Trial % 4 == 0) A[Nc - 1] = A[0];
    SCOPED_TRACE(Trial);
    const TSvd S(A);
    S.Check(1e-13);
    // The values-only path must give the same bits, also after the power-of-two rescaling.
    for (const double Factor : {1.0, 0x1p+1000}) {
      TDouble2DArray B = A, Big = A;
      for (auto& Column : Big)
        for (double& X : Column) X *= Factor;
      TDoubleArray W(Nc), WBig(Nc), WDec(Nc);
      TDouble2DArray V = Block(Nc, Nc);
      ASSERT_EQ(SingularValues(B, W), S.Result);
      EXPECT_EQ(W, S.W);
      ASSERT_EQ(SingularValues(B = Big, WBig), S.Result);
      ASSERT_EQ(SingularValueDecomp(Big, V, WDec), S.Result);
      EXPECT_EQ(WBig, WDec);
    }
    // A wide matrix has n - m structural zeros, with zero columns in U.
    if (Nr < Nc) {
      const auto Zero = [&](size_t K) { return S.W[K] == 0.0 && S.U[K] == TDoubleArray(Nr); };
      size_t Zeros = 0;
      for (size_t K = 0; K < Nc; ++K) Zeros += Zero(K);
      EXPECT_GE(Zeros, Nc - Nr);
    }
  }
}

TEST(SingularValueDecomp, KnownSingularValues) {
  auto D = Block(4, 4);  // diagonal: the absolute values, V absorbs the signs
  D[0][0] = 3, D[1][1] = -5, D[2][2] = 0.5;
  const TSvd SD(D);
  SD.Check(1e-15);
  EXPECT_EQ(SD.Sorted(), (TDoubleArray{5, 3, 0.5, 0}));

  // The n x n bidiagonal matrix of ones has 2 cos(k pi / (2n + 1)), k = 1..n; scaled so far
  // that the squares formed on the way would overflow or underflow.
  const size_t N = 9;
  for (const double Scale : {1.0, 0x1p+1000, 0x1p-1000}) {
    auto B = Block(N, N);
    for (size_t I = 0; I < N; ++I) {
      B[I][I] = Scale;
      if (I + 1 < N) B[I + 1][I] = Scale;
    }
    const TSvd SB(B);
    SB.Check(1e-14);
    const auto W = SB.Sorted();
    for (size_t K = 1; K <= N; ++K)
      EXPECT_NEAR(W[K - 1] / Scale, 2.0 * std::cos(double(K) * std::numbers::pi / (2.0 * N + 1)),
                  1e-14);
  }
}

TEST(SingularValueDecomp, RejectsBadShapesAndNonFiniteInputUntouched) {
  const auto Original = Block(3, 4, 1.5);
  auto A = Original, V = Block(3, 3, 7.0), VWide = Block(4, 3), NoRows = Block(3, 0);
  TDoubleArray W(3, 7.0), WShort(2);
  TDouble2DArray Empty;
  EXPECT_EQ(SingularValueDecomp(A, V, WShort), svdBadOutput);
  EXPECT_EQ(SingularValueDecomp(A, VWide, W), svdBadOutput);
  EXPECT_EQ(SingularValueDecomp(Empty, V, W), svdBadMatrix);
  EXPECT_EQ(SingularValueDecomp(NoRows, V, W), svdBadMatrix);
  A[1].push_back(1.0);
  EXPECT_EQ(SingularValueDecomp(A, V, W), svdBadMatrix);
  for (const double Bad :
       {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
    A = Original;
    A[2][1] = Bad;
    EXPECT_EQ(SingularValueDecomp(A, V, W), svdNotFinite);
    EXPECT_EQ(A[0], Original[0]);
  }
  EXPECT_EQ(V, Block(3, 3, 7.0));
  EXPECT_EQ(W, TDoubleArray(3, 7.0));
}

TEST(SingularValueDecomp, ReportsProgressAndStopsOnAbort) {
  const auto A = Block(5, 3, 1.0);  // wide: 3 columns of U are accumulated
  int Calls = 0;
  MathFeedBackProc = [&](double) { ++Calls; };
  const double Before = ProcStat;
  EXPECT_EQ(TSvd(A).Result, svdOK);
  EXPECT_EQ(Calls, 5 + 5 + 3 + 5);  // reduction, V, U, one per singular value
  EXPECT_DOUBLE_EQ(ProcStat - Before, 18.0);
  Calls = 0;
  MathFeedBackProc = [&](double) { AbortMathProc = ++Calls == 7; };
  EXPECT_EQ(TSvd(A).Result, svdAborted);
  EXPECT_EQ(Calls, 7);
  AbortMathProc = false;
  MathFeedBackProc = nullptr;
}

}  // namespace
}  // namespace nux
