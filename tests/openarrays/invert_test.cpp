#include "nux/openarrays/invert.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "nux/frame/progress.h"
#include "nux/host/random.h"
#include "support/alloc_limit.h"

namespace nux {
namespace {

// A[c][r] holds matrix element (r, c); the product is formed in the same layout.
TDouble2DArray Product(const TDouble2DArray& A, const TDouble2DArray& B) {
  const size_t N = A.size();
  TDouble2DArray P(N, TDoubleArray(N, 0.0));
  for (size_t C = 0; C < N; ++C)
    for (size_t K = 0; K < N; ++K)
      for (size_t R = 0; R < N; ++R) P[C][R] += A[K][R] * B[C][K];
  return P;
}

double Binomial(int N, int K) {
  double V = 1;
  for (int I = 1; I <= K; ++I) V = V * (N - K + I) / I;
  return V;
}

TEST(InvertArray, SmallArraysByHand) {
  // Matrix [[4, 7], [2, 6]]: inverse [[0.6, -0.7], [-0.2, 0.4]].
  TDouble2DArray A{{4, 2}, {7, 6}};
  ASSERT_EQ(InvertArray(A), 0);
  EXPECT_NEAR(A[0][0], 0.6, 1e-15);
  EXPECT_NEAR(A[0][1], -0.2, 1e-15);
  EXPECT_NEAR(A[1][0], -0.7, 1e-15);
  EXPECT_NEAR(A[1][1], 0.4, 1e-15);
  // A zero on the diagonal needs the row exchange.
  TDouble2DArray P{{0, 1, 0}, {1, 0, 0}, {0, 0, 2}};
  ASSERT_EQ(InvertArray(P), 0);
  EXPECT_EQ(P, (TDouble2DArray{{0, 1, 0}, {1, 0, 0}, {0, 0, 0.5}}));
  TDouble2DArray One{{-4}};
  ASSERT_EQ(InvertArray(One), 0);
  EXPECT_EQ(One[0][0], -0.25);
}

TEST(InvertArray, HilbertMatrixAgainstItsClosedForm) {
  const int N = 7;
  TDouble2DArray H(N, TDoubleArray(N));
  for (int C = 0; C < N; ++C)
    for (int R = 0; R < N; ++R) H[C][R] = 1.0 / (R + C + 1);
  ASSERT_EQ(InvertArray(H), 0);
  for (int I = 1; I <= N; ++I)
    for (int J = 1; J <= N; ++J) {
      const double B = Binomial(I + J - 2, I - 1);
      const double Exact = ((I + J) % 2 ? -1.0 : 1.0) * (I + J - 1) * Binomial(N + I - 1, N - J) *
                           Binomial(N + J - 1, N - I) * B * B;
      EXPECT_NEAR(H[J - 1][I - 1], Exact, 1e-6 * std::fabs(Exact)) << I << "," << J;
    }
}

TEST(InvertArray, LargeRandomArrayTimesItsInverseIsTheIdentity) {
  SetRandSeed(17);
  const int N = 150;  // more than two blocks of solved columns
  TDouble2DArray A(N, TDoubleArray(N));
  for (auto& C : A)
    for (auto& V : C) V = Random() - 0.5;
  for (int R = 0; R < N; ++R) A[R % 7][R] *= 1e6;  // badly scaled rows need the row scaling
  TDouble2DArray Inv = A;
  ASSERT_EQ(InvertArray(Inv), 0);
  const auto P = Product(A, Inv);
  double Worst = 0;
  for (int C = 0; C < N; ++C)
    for (int R = 0; R < N; ++R) Worst = std::max(Worst, std::fabs(P[C][R] - (C == R)));
  EXPECT_LT(Worst, 1e-8);
}

// The textbook column-by-column form: Crout's dot products with implicit scaling and partial
// pivoting, then one forward and back substitution per unit vector, skipping leading zeros.
TDouble2DArray TextbookInverse(const TDouble2DArray& A) {
  const int N = static_cast<int>(A.size());
  std::vector<TDoubleArray> M(N, TDoubleArray(N));
  for (int I = 0; I < N; ++I)
    for (int J = 0; J < N; ++J) M[I][J] = A[J][I];
  TDoubleArray VV(N);
  for (int I = 0; I < N; ++I) {
    double Big = 0;
    for (int J = 0; J < N; ++J) Big = std::max(Big, std::fabs(M[I][J]));
    VV[I] = 1.0 / Big;
  }
  std::vector<int> Index(N);
  for (int J = 0; J < N; ++J) {
    for (int I = 0; I < J; ++I) {
      double Sum = M[I][J];
      for (int K = 0; K < I; ++K) Sum -= M[I][K] * M[K][J];
      M[I][J] = Sum;
    }
    double Big = -1;
    int IMax = J;
    for (int I = J; I < N; ++I) {
      double Sum = M[I][J];
      for (int K = 0; K < J; ++K) Sum -= M[I][K] * M[K][J];
      M[I][J] = Sum;
      if (VV[I] * std::fabs(Sum) > Big) {
        Big = VV[I] * std::fabs(Sum);
        IMax = I;
      }
    }
    std::swap(M[IMax], M[J]);
    std::swap(VV[IMax], VV[J]);
    Index[J] = IMax;
    const double Dum = 1.0 / M[J][J];
    for (int I = J + 1; I < N; ++I) M[I][J] *= Dum;
  }
  TDouble2DArray Inv(N, TDoubleArray(N));
  for (int C = 0; C < N; ++C) {
    TDoubleArray B(N, 0.0);
    B[C] = 1.0;
    int First = -1;
    for (int I = 0; I < N; ++I) {
      double Sum = B[Index[I]];
      B[Index[I]] = B[I];
      if (First >= 0)
        for (int J = First; J < I; ++J) Sum -= M[I][J] * B[J];
      else if (Sum != 0)
        First = I;
      B[I] = Sum;
    }
    for (int I = N - 1; I >= 0; --I) {
      double Sum = B[I];
      for (int J = I + 1; J < N; ++J) Sum -= M[I][J] * B[J];
      B[I] = Sum / M[I][I];
    }
    Inv[C] = B;
  }
  return Inv;
}

TEST(InvertArray, SameRoundingAsTheTextbookForm) {
  SetRandSeed(23);
  const int N = 150;
  TDouble2DArray A(N, TDoubleArray(N));
  for (auto& C : A)
    for (auto& V : C) V = Random() - 0.5;
  for (int R = 0; R < N; R += 3) A[(R * 5) % N][R] *= 1e4;
  const auto Expected = TextbookInverse(A);
  ASSERT_EQ(InvertArray(A), 0);
  EXPECT_EQ(A, Expected);
}

TEST(InvertArray, RejectedArraysStayUnchanged) {
  TDouble2DArray Empty, Wide{{1, 2, 3}, {4, 5, 6}}, Ragged{{1, 2}, {3}};
  EXPECT_EQ(InvertArray(Empty), -1);
  EXPECT_EQ(InvertArray(Wide), -1);
  EXPECT_EQ(InvertArray(Ragged), -1);
  TDouble2DArray Singular{{1, 2}, {2, 4}};
  EXPECT_EQ(InvertArray(Singular), -3);
  EXPECT_EQ(Singular, (TDouble2DArray{{1, 2}, {2, 4}}));
  TDouble2DArray ZeroRow{{1, 0}, {2, 0}};
  EXPECT_EQ(InvertArray(ZeroRow), -3);
  TDouble2DArray WithNaN{{1, 0}, {0, std::nan("")}};
  EXPECT_EQ(InvertArray(WithNaN), -3);
  TDouble2DArray WithInf{{1, 0}, {0, std::numeric_limits<double>::infinity()}};
  EXPECT_EQ(InvertArray(WithInf), -3);
  // Factors that overflow would give a wrong, finite inverse.
  const double Big = 1e308;
  TDouble2DArray Overflow{{Big, -Big}, {Big, Big}};
  EXPECT_EQ(InvertArray(Overflow), -3);
  TDouble2DArray A(300, TDoubleArray(300, 1.0));
  for (int K = 0; K < 300; ++K) A[K][K] = 2.0;
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
  AbortMathProc = true;  // a stale request from an earlier computation is cleared
  ProcStat = 0;
  int Calls = 0;
  MathFeedBackProc = [&](double) { ++Calls; };
  ASSERT_EQ(InvertArray(A), 0);
  EXPECT_EQ(Calls, 100);
  EXPECT_EQ(ProcStat, 100.0);
  EXPECT_EQ(A[5][5], 0.25);

  const auto Before = A;
  Calls = 0;
  MathFeedBackProc = [&](double) {
    if (++Calls == 3) AbortMathProc = true;
  };
  EXPECT_EQ(InvertArray(A), -3);
  EXPECT_EQ(Calls, 3);
  EXPECT_EQ(A, Before);
  MathFeedBackProc = nullptr;
  AbortMathProc = false;
  ProcStat = 0;
}

}  // namespace
}  // namespace nux
