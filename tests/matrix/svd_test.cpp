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

// [column][row] block of Nc columns of Nr rows.
TDouble2DArray Block(size_t Nc, size_t Nr, double Value = 0.0) {
  return TDouble2DArray(Nc, TDoubleArray(Nr, Value));
}

TDouble2DArray RandomBlock(size_t Nc, size_t Nr, uint64_t Seed) {
  SetRandSeed(Seed);
  auto A = Block(Nc, Nr);
  for (auto& Column : A)
    for (double& X : Column) X = Random() - 0.5;
  return A;
}

double MaxAbs(const TDouble2DArray& A) {
  double M = 0.0;
  for (const auto& Column : A)
    for (const double X : Column) M = std::max(M, std::abs(X));
  return M;
}

struct TSvd {
  TDouble2DArray U, V;
  TDoubleArray W;
  int32_t Result;
  explicit TSvd(const TDouble2DArray& A) : U(A), V(Block(A.size(), A.size())), W(A.size(), 0.0) {
    Result = SingularValueDecomp(U, V, W);
  }
  TDoubleArray Sorted() const {
    TDoubleArray S = W;
    std::sort(S.begin(), S.end(), std::greater<>());
    return S;
  }
};

// Checks A = U diag(W) V^T, V^T V = I, and U^T U = I on the columns with non-zero W.
void ExpectDecomposition(const TDouble2DArray& A, const TSvd& S, double Tol) {
  ASSERT_EQ(S.Result, svdOK);
  const size_t N = A.size(), M = A[0].size();
  const double Scale = std::max(MaxAbs(A), 1e-300);
  for (size_t C = 0; C < N; ++C)
    for (size_t R = 0; R < M; ++R) {
      double X = 0.0;
      for (size_t K = 0; K < N; ++K) X += S.U[K][R] * S.W[K] * S.V[K][C];
      EXPECT_NEAR(X / Scale, A[C][R] / Scale, Tol) << "at column " << C << ", row " << R;
    }
  for (size_t I = 0; I < N; ++I) {
    EXPECT_GE(S.W[I], 0.0);
    for (size_t J = 0; J < N; ++J) {
      double Vij = 0.0, Uij = 0.0;
      for (size_t K = 0; K < N; ++K) Vij += S.V[I][K] * S.V[J][K];
      for (size_t K = 0; K < M; ++K) Uij += S.U[I][K] * S.U[J][K];
      EXPECT_NEAR(Vij, I == J ? 1.0 : 0.0, Tol);
      if (S.W[I] != 0.0 && S.W[J] != 0.0) {
        EXPECT_NEAR(Uij, I == J ? 1.0 : 0.0, Tol);
      }
    }
  }
}

// Householder reflection I - 2 v v^T / v^T v of a random v, as a Size x Size block.
TDouble2DArray Reflection(size_t Size, uint64_t Seed) {
  const auto V = RandomBlock(1, Size, Seed)[0];
  double VV = 0.0;
  for (const double X : V) VV += X * X;
  auto H = Block(Size, Size);
  for (size_t C = 0; C < Size; ++C)
    for (size_t R = 0; R < Size; ++R) H[C][R] = (R == C ? 1.0 : 0.0) - 2.0 * V[R] * V[C] / VV;
  return H;
}

// Nr x Nc matrix with the singular values Sigma: left reflection * diag * right reflection.
TDouble2DArray WithSingularValues(size_t Nc, size_t Nr, const TDoubleArray& Sigma) {
  const auto P = Reflection(Nr, 11), Q = Reflection(Nc, 12);
  auto A = Block(Nc, Nr);
  for (size_t C = 0; C < Nc; ++C)
    for (size_t R = 0; R < Nr; ++R)
      for (size_t K = 0; K < Sigma.size(); ++K) A[C][R] += P[K][R] * Sigma[K] * Q[C][K];
  return A;
}

TEST(SingularValueDecomp, ReconstructsTallSquareAndWideMatrices) {
  for (const auto& [Nc, Nr] : {std::pair<size_t, size_t>{5, 8}, {6, 6}, {7, 3}, {1, 4}, {4, 1}}) {
    SCOPED_TRACE(std::to_string(Nc) + " columns, " + std::to_string(Nr) + " rows");
    const auto A = RandomBlock(Nc, Nr, 100 + Nc);
    const TSvd S(A);
    ExpectDecomposition(A, S, 1e-13);
    if (Nr < Nc) {
      // The n - m structural zeros, and U is 0 in their columns.
      EXPECT_EQ(std::count(S.W.begin(), S.W.end(), 0.0), std::ptrdiff_t(Nc - Nr));
      for (size_t K = 0; K < Nc; ++K)
        if (S.W[K] == 0.0) {
          EXPECT_EQ(MaxAbs({S.U[K]}), 0.0);
        }
    }
  }
}

TEST(SingularValueDecomp, SparseIntegerMatricesOfManyShapes) {
  // Small integers with many zeros: exact rank loss, zero rows and columns, repeated values.
  SetRandSeed(77);
  for (int Trial = 0; Trial < 60; ++Trial) {
    const auto Nc = size_t(1 + RandomInt(12)), Nr = size_t(1 + RandomInt(12));
    auto A = Block(Nc, Nr);
    for (auto& Column : A)
      for (double& X : Column) X = double(RandomInt(5) - 2) * (RandomInt(3) == 0);
    if (Nc > 2) A[Nc - 1] = A[0];  // a repeated column
    SCOPED_TRACE(Trial);
    ExpectDecomposition(A, TSvd(A), 1e-13);
  }
}

TEST(SingularValueDecomp, KnownSingularValues) {
  // Diagonal: the absolute values, with V absorbing the signs.
  auto D = Block(4, 4);
  D[0][0] = 3, D[1][1] = -5, D[2][2] = 0.5, D[3][3] = 0;
  const TSvd SD(D);
  ExpectDecomposition(D, SD, 1e-15);
  EXPECT_EQ(SD.Sorted(), (TDoubleArray{5, 3, 0.5, 0}));

  // Rank one: u v^T has the single singular value |u| |v|.
  auto R1 = Block(3, 4);
  const double U[4] = {1, 2, 2, 4}, V[3] = {2, -1, 2};  // |u| = 5, |v| = 3
  for (size_t C = 0; C < 3; ++C)
    for (size_t R = 0; R < 4; ++R) R1[C][R] = U[R] * V[C];
  const TSvd S1(R1);
  ExpectDecomposition(R1, S1, 1e-14);
  const auto W1 = S1.Sorted();
  EXPECT_NEAR(W1[0], 15.0, 1e-13);
  EXPECT_NEAR(W1[1], 0.0, 1e-14);
  EXPECT_NEAR(W1[2], 0.0, 1e-14);

  // The n x n bidiagonal matrix of ones: 2 cos(k pi / (2n + 1)), k = 1..n.
  const size_t N = 9;
  auto B = Block(N, N);
  for (size_t I = 0; I < N; ++I) {
    B[I][I] = 1.0;
    if (I + 1 < N) B[I + 1][I] = 1.0;
  }
  const TSvd SB(B);
  ExpectDecomposition(B, SB, 1e-14);
  const auto WB = SB.Sorted();
  for (size_t K = 1; K <= N; ++K)
    EXPECT_NEAR(WB[K - 1], 2.0 * std::cos(double(K) * std::numbers::pi / (2.0 * N + 1)), 1e-14);

  // Orthogonal * diag * orthogonal, with repeated values, zeros and a wide spread.
  const TDoubleArray Sigma{1e6, 3, 3, 1, 1e-6, 0, 0};
  for (const auto& [Nc, Nr] : {std::pair<size_t, size_t>{7, 10}, {10, 7}}) {
    const auto A = WithSingularValues(Nc, Nr, Sigma);
    const TSvd S(A);
    ExpectDecomposition(A, S, 1e-12);
    const auto W = S.Sorted();
    for (size_t K = 0; K < Sigma.size(); ++K) EXPECT_NEAR(W[K], Sigma[K], 1e-9 * (1 + Sigma[K]));
    for (size_t K = Sigma.size(); K < Nc; ++K) EXPECT_NEAR(W[K], 0.0, 1e-9);
  }
}

TEST(SingularValueDecomp, ZeroAndExtremeScales) {
  const auto Z = Block(3, 5);
  const TSvd SZ(Z);
  ExpectDecomposition(Z, SZ, 0.0);
  EXPECT_EQ(SZ.W, TDoubleArray(3, 0.0));

  // Squares of these elements overflow or underflow; the singular values scale exactly.
  const auto A = RandomBlock(4, 6, 5);
  const TSvd Base(A);
  for (const double Factor : {0x1p+1000, 0x1p-1000}) {
    auto Scaled = A;
    for (auto& Column : Scaled)
      for (double& X : Column) X *= Factor;
    const TSvd S(Scaled);
    ASSERT_EQ(S.Result, svdOK);
    for (size_t K = 0; K < 4; ++K) EXPECT_NEAR(S.W[K] / Factor, Base.W[K], 1e-12);
  }
}

TEST(SingularValueDecomp, RejectsBadShapesAndNonFiniteInput) {
  auto A = RandomBlock(3, 4, 1);
  const auto Original = A;
  auto V = Block(3, 3, 7.0);
  TDoubleArray W(3, 7.0);

  auto WShort = TDoubleArray(2);
  EXPECT_EQ(SingularValueDecomp(A, V, WShort), svdBadOutput);
  auto VWide = Block(4, 3);
  EXPECT_EQ(SingularValueDecomp(A, VWide, W), svdBadOutput);
  auto VRagged = Block(3, 3);
  VRagged[2].pop_back();
  EXPECT_EQ(SingularValueDecomp(A, VRagged, W), svdBadOutput);

  TDouble2DArray Empty;
  EXPECT_EQ(SingularValueDecomp(Empty, V, W), svdBadMatrix);
  auto NoRows = Block(3, 0);
  EXPECT_EQ(SingularValueDecomp(NoRows, V, W), svdBadMatrix);
  auto Ragged = A;
  Ragged[1].push_back(1.0);
  EXPECT_EQ(SingularValueDecomp(Ragged, V, W), svdBadMatrix);

  for (const double Bad :
       {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
    auto B = A;
    B[2][1] = Bad;
    const auto BOriginal = B;
    EXPECT_EQ(SingularValueDecomp(B, V, W), svdNotFinite);
    EXPECT_EQ(B[0], BOriginal[0]);
  }
  EXPECT_EQ(A, Original);
  EXPECT_EQ(V, Block(3, 3, 7.0));
  EXPECT_EQ(W, TDoubleArray(3, 7.0));
}

TEST(SingularValueDecomp, ReportsProgressAndStopsOnAbort) {
  const auto A = RandomBlock(5, 3, 2);  // wide: 3 columns of U are accumulated
  int Calls = 0;
  MathFeedBackProc = [&](double) { ++Calls; };
  const double Before = ProcStat;
  TSvd S(A);
  EXPECT_EQ(S.Result, svdOK);
  EXPECT_EQ(Calls, 5 + 5 + 3 + 5);  // reduction, V, U, one per singular value
  EXPECT_DOUBLE_EQ(ProcStat - Before, 18.0);

  Calls = 0;
  MathFeedBackProc = [&](double) {
    if (++Calls == 7) AbortMathProc = true;
  };
  TSvd Stopped(A);
  EXPECT_EQ(Stopped.Result, svdAborted);
  EXPECT_EQ(Calls, 7);
  AbortMathProc = false;
  MathFeedBackProc = nullptr;
}

}  // namespace
}  // namespace nux
