#include "nux/openarrays/invert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "nux/frame/progress.h"
#include "nux/host/random.h"
#include "nux/kernels/dispatch.h"
#include "support/alloc_limit.h"

namespace nux {
namespace {

// The textbook column-by-column form: Crout's dot products with implicit scaling and partial
// pivoting, then a forward and back substitution per unit vector, skipping leading zeros.
TDouble2DArray TextbookInverse(const TDouble2DArray& A) {
  const int N = static_cast<int>(A.size());
  std::vector<TDoubleArray> M(N, TDoubleArray(N));
  TDoubleArray VV(N, 0.0);
  for (int I = 0; I < N; ++I)
    for (int J = 0; J < N; ++J) M[I][J] = A[J][I], VV[I] = std::max(VV[I], std::fabs(A[J][I]));
  for (double& V : VV) V = 1.0 / V;
  std::vector<int> Index(N);
  for (int J = 0; J < N; ++J) {
    int IMax = J;
    for (int I = 0; I < N; ++I) {
      double Sum = M[I][J];
      for (int K = 0; K < std::min(I, J); ++K) Sum -= M[I][K] * M[K][J];
      M[I][J] = Sum;
      if (I > J && VV[I] * std::fabs(Sum) > VV[IMax] * std::fabs(M[IMax][J])) IMax = I;
    }
    std::swap(M[IMax], M[J]);
    std::swap(VV[IMax], VV[J]);
    Index[J] = IMax;
    const double Dum = 1.0 / M[J][J];
    for (int I = J + 1; I < N; ++I) M[I][J] *= Dum;
  }
  TDouble2DArray Inv(N, TDoubleArray(N, 0.0));
  for (int C = 0; C < N; ++C) {
    TDoubleArray& B = Inv[C];
    B[C] = 1.0;
    for (int I = 0, First = -1; I < N; ++I) {
      double Sum = B[Index[I]];
      B[Index[I]] = B[I];
      for (int J = std::max(First, 0); First >= 0 && J < I; ++J) Sum -= M[I][J] * B[J];
      if (First < 0 && Sum != 0) First = I;
      B[I] = Sum;
    }
    for (int I = N - 1; I >= 0; --I) {
      for (int J = I + 1; J < N; ++J) B[I] -= M[I][J] * B[J];
      B[I] /= M[I][I];
    }
  }
  return Inv;
}

double InfNorm(const TDouble2DArray& A) {  // largest row sum of magnitudes
  double Worst = 0;
  for (size_t R = 0; R < A.size(); ++R) {
    double S = 0;
    for (const auto& C : A) S += std::fabs(C[R]);
    Worst = std::max(Worst, S);
  }
  return Worst;
}

TEST(InvertArray, ByHandAndBesideTheTextbookFormOnEveryPath) {
  TDouble2DArray A{{4, 2}, {7, 6}};  // [[4, 7], [2, 6]]: inverse [[0.6, -0.7], [-0.2, 0.4]]
  ASSERT_EQ(InvertArray(A), 0);
  EXPECT_NEAR(A[0][1], -0.2, 1e-15);
  EXPECT_NEAR(A[1][0], -0.7, 1e-15);
  TDouble2DArray P{{0, 1, 0}, {1, 0, 0}, {0, 0, 2}};  // needs a row exchange
  ASSERT_EQ(InvertArray(P), 0);
  EXPECT_EQ(P, (TDouble2DArray{{0, 1, 0}, {1, 0, 0}, {0, 0, 0.5}}));

  // Partial and whole blocks of the factorisation and the substitutions; badly scaled rows
  // so that the implicit scaling decides pivots.
  SetRandSeed(23);
  for (const int N : {150, 203}) {
    TDouble2DArray B(N, TDoubleArray(N));
    for (auto& C : B)
      for (auto& V : C) V = Random() - 0.5;
    for (int R = 0; R < N; R += 3) B[(R * 5) % N][R] *= 1e4;
    TDouble2DArray Inv = B;
    ASSERT_EQ(InvertArray(Inv), 0);
    for (const auto Path : {kernels::kpGeneric, kernels::kpAVX2, kernels::kpAVX512}) {
      const kernels::TScopedKernelPath Force(Path);
      TDouble2DArray Again = B;
      ASSERT_EQ(InvertArray(Again), 0);
      EXPECT_EQ(Again, Inv) << "path " << Force.Used();
    }
    // Two stable inverses differ by at most about eps cond(B) relative to the inverse's size.
    const TDouble2DArray Ref = TextbookInverse(B);
    const double Cond = InfNorm(B) * InfNorm(Ref), Eps = 0x1p-52;
    double Diff = 0, Size = 0, Residual = 0;
    for (int C = 0; C < N; ++C)
      for (int R = 0; R < N; ++R) {
        Diff = std::max(Diff, std::fabs(Inv[C][R] - Ref[C][R]));
        Size = std::max(Size, std::fabs(Ref[C][R]));
        double S = 0;  // (B Inv)(R, C)
        for (int K = 0; K < N; ++K) S += B[K][R] * Inv[C][K];
        Residual = std::max(Residual, std::fabs(S - (C == R)));
      }
    EXPECT_LT(Diff, Eps * Cond * Size) << N;
    EXPECT_LT(Residual, 4 * Eps * Cond) << N;
  }
}

TEST(InvertArray, RejectedArraysStayUnchanged) {
  const double Inf = std::numeric_limits<double>::infinity(), Big = 1e308;
  for (TDouble2DArray A :
       {TDouble2DArray{}, TDouble2DArray{{1, 2, 3}, {4, 5, 6}}, TDouble2DArray{{1, 2}, {3}}})
    EXPECT_EQ(InvertArray(A), -1);
  // Singular, a row of zeros, NaN, infinity, factors that overflow.
  for (const TDouble2DArray& Bad :
       {TDouble2DArray{{1, 2}, {2, 4}}, TDouble2DArray{{1, 0}, {2, 0}},
        TDouble2DArray{{1, 0}, {0, std::nan("")}}, TDouble2DArray{{1, 0}, {0, Inf}},
        TDouble2DArray{{Big, -Big}, {Big, Big}}}) {
    TDouble2DArray A = Bad;
    EXPECT_EQ(InvertArray(A), -3);
    EXPECT_EQ(A.size(), Bad.size());
    EXPECT_EQ(A[0], Bad[0]);
  }
  TDouble2DArray A(300, TDoubleArray(300, 1.0));
  const auto Before = A;
  {
    ScopedAllocLimit Limit(64 << 10);
    EXPECT_EQ(InvertArray(A), -2);
  }
  EXPECT_EQ(A, Before);
}

TEST(InvertArray, ProgressPerColumnAndAbort) {
  TDouble2DArray A(100, TDoubleArray(100, 0.0));
  for (int K = 0; K < 100; ++K) A[K][K] = 4.0;
  AbortMathProc = true;  // a stale request is cleared at the start
  ProcStat = 0;
  int Calls = 0;
  MathFeedBackProc = [&](double) {
    if (++Calls == 103) AbortMathProc = true;
  };
  ASSERT_EQ(InvertArray(A), 0);
  EXPECT_EQ(ProcStat, 100.0);
  EXPECT_EQ(A[5][5], 0.25);
  const auto Before = A;
  EXPECT_EQ(InvertArray(A), -3);  // aborted at its third column
  EXPECT_EQ(Calls, 103);
  EXPECT_EQ(A, Before);
  MathFeedBackProc = nullptr;
  AbortMathProc = false;
}

}  // namespace
}  // namespace nux
