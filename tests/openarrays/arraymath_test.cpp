#include "nux/openarrays/arraymath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "nux/host/random.h"

namespace nux {
namespace {

// Element (row r, column c) of X is X[c][r].
TDouble2DArray RandomMatrix(int Rows, int Cols) {
  TDouble2DArray M(Cols, TDoubleArray(Rows));
  for (auto& C : M)
    for (double& X : C) X = Random() * 2.0 - 1.0;
  return M;
}

// The textbook product, each sum in index order from 0.0.
TDouble2DArray NaiveProduct(const TDouble2DArray& A, const TDouble2DArray& B) {
  const size_t M = A[0].size(), K = A.size(), N = B.size();
  TDouble2DArray C(N, TDoubleArray(M));
  for (size_t I = 0; I < M; ++I)
    for (size_t J = 0; J < N; ++J) {
      double S = 0.0;
      for (size_t k = 0; k < K; ++k) S += A[k][I] * B[J][k];
      C[J][I] = S;
    }
  return C;
}

double MaxDiff(const TDouble2DArray& X, const TDouble2DArray& Y) {
  double D = 0.0;
  for (size_t C = 0; C < X.size(); ++C)
    for (size_t R = 0; R < X[C].size(); ++R) D = std::max(D, std::fabs(X[C][R] - Y[C][R]));
  return D;
}

TEST(MultiplyArrays, HandValueAndShapeRules) {
  // A = [1 2; 3 4; 5 6] (3 x 2), B = [1 0 2; 0 1 3] (2 x 3).
  const TDouble2DArray A{{1, 3, 5}, {2, 4, 6}};
  const TDouble2DArray B{{1, 0}, {0, 1}, {2, 3}};
  TDouble2DArray C;
  ASSERT_EQ(MultiplyArrays(A, B, C), 0);
  // A*B = [1 2 8; 3 4 18; 5 6 28].
  EXPECT_EQ(C, (TDouble2DArray{{1, 3, 5}, {2, 4, 6}, {8, 18, 28}}));
  TDouble2DArray Kept{{7}};
  EXPECT_EQ(MultiplyArrays(A, A, Kept), -1);  // 2 columns against 3 rows
  EXPECT_EQ(MultiplyArrays(A, TDouble2DArray{}, Kept), -1);
  EXPECT_EQ(MultiplyArrays(TDouble2DArray{{1, 2}, {3}}, B, Kept), -1);
  EXPECT_EQ(Kept, TDouble2DArray{{7}});
}

TEST(MultiplyArrays, TiledSumsEqualTheOrderedSumsBitForBit) {
  SetRandSeed(3);
  for (const auto& [M, K, N] : {std::tuple{13, 7, 10}, std::tuple{16, 33, 8}, std::tuple{1, 1, 1},
                                std::tuple{9, 40, 5}, std::tuple{70, 300, 6}}) {
    const TDouble2DArray A = RandomMatrix(M, K), B = RandomMatrix(K, N);
    TDouble2DArray C;
    ASSERT_EQ(MultiplyArrays(A, B, C), 0);
    ASSERT_EQ(C.size(), static_cast<size_t>(N));
    ASSERT_EQ(C[0].size(), static_cast<size_t>(M));
    EXPECT_EQ(C, NaiveProduct(A, B)) << M << "x" << K << "x" << N;
    // Again into the result, now of the right shape and holding old values (filled in place),
    // and with the result as a factor (filled aside).
    TDouble2DArray Reused(N, TDoubleArray(M, std::nan("")));
    ASSERT_EQ(MultiplyArrays(A, B, Reused), 0);
    EXPECT_EQ(Reused, NaiveProduct(A, B));
    TDouble2DArray Sq = RandomMatrix(M, M);
    const TDouble2DArray Want = NaiveProduct(Sq, Sq);
    ASSERT_EQ(MultiplyArrays(Sq, Sq, Sq), 0);
    EXPECT_EQ(Sq, Want);
  }
}

TEST(MultiplyArrays, IntegerMixedAndOuter) {
  TInt2DArray C;
  ASSERT_EQ(MultiplyArrays(TInt2DArray{{1, 3}, {2, 4}}, TInt2DArray{{5, 7}, {6, 8}}, C), 0);
  EXPECT_EQ(C, (TInt2DArray{{19, 43}, {22, 50}}));
  EXPECT_EQ(MultiplyArrays(TInt2DArray{{INT32_MAX}, {INT32_MAX}}, TInt2DArray{{2, 2}}, C), -3);
  EXPECT_EQ(C, (TInt2DArray{{19, 43}, {22, 50}}));
  TDouble2DArray D;
  ASSERT_EQ(MultiplyArrays(TInt2DArray{{1, 3}, {2, 4}}, TDouble2DArray{{0.5, 0.25}}, D), 0);
  EXPECT_EQ(D, (TDouble2DArray{{1.0, 2.5}}));
  ASSERT_EQ(MultiplyArrays(TDouble2DArray{{0.5}}, TInt2DArray{{2}, {4}}, D), 0);
  EXPECT_EQ(D, (TDouble2DArray{{1.0}, {2.0}}));
  ASSERT_EQ(MultiplyArrays(TDoubleArray{1, 2, 3}, TDoubleArray{10, 20}, D), 0);
  EXPECT_EQ(D, (TDouble2DArray{{10, 20, 30}, {20, 40, 60}}));
}

TEST(VectorProducts, DotAndCross) {
  double Dot = 0;
  EXPECT_EQ(VectorDotProduct(TDoubleArray{1, 2, 3}, TDoubleArray{4, 5, 6}, Dot), 0);
  EXPECT_EQ(Dot, 32.0);
  EXPECT_EQ(VectorDotProduct(TDoubleArray{1}, TDoubleArray{1, 2}, Dot), -2);
  int64_t IDot = 0;
  EXPECT_EQ(
      VectorDotProduct(TIntArray{INT32_MAX, INT32_MAX}, TIntArray{INT32_MAX, INT32_MAX}, IDot), 0);
  EXPECT_EQ(IDot, 2 * static_cast<int64_t>(INT32_MAX) * INT32_MAX);
  TDoubleArray C;
  EXPECT_EQ(VectorCrossProduct(TDoubleArray{1, 0, 0}, TDoubleArray{0, 1, 0}, C), 0);
  EXPECT_EQ(C, (TDoubleArray{0, 0, 1}));
  EXPECT_EQ(VectorCrossProduct(TDoubleArray{1, 0}, TDoubleArray{0, 1, 0}, C), -2);
  TIntArray IC;
  EXPECT_EQ(VectorCrossProduct(TIntArray{2, 3, 4}, TIntArray{5, 6, 7}, IC), 0);
  EXPECT_EQ(IC, (TIntArray{-3, 6, -3}));
  EXPECT_EQ(VectorCrossProduct(TIntArray{INT32_MAX, 0, 0}, TIntArray{0, INT32_MAX, 0}, IC), -3);
}

TEST(LU, RowExchangeSignLandsInU) {
  // [[0, 1], [1, 0]] needs a row exchange; its determinant is -1.
  const TDouble2DArray A{{0, 1}, {1, 0}};
  TDouble2DArray L, U;
  ASSERT_EQ(LUdecomposition(A, L, U), 0);
  EXPECT_EQ(U[0][0] * U[1][1], -1.0);
  EXPECT_EQ(U[0][1], 0.0);  // upper triangular
  TDouble2DArray Prod;
  ASSERT_EQ(MultiplyArrays(L, U, Prod), 0);
  EXPECT_EQ(Prod, A);
  EXPECT_EQ(Determinant(A), -1.0);
}

TEST(LU, RandomMatricesFactorAndDeterminantsAgree) {
  SetRandSeed(17);
  const TDouble2DArray A = RandomMatrix(7, 7);
  TDouble2DArray L, U, Prod;
  ASSERT_EQ(LUdecomposition(A, L, U), 0);
  ASSERT_EQ(MultiplyArrays(L, U, Prod), 0);
  EXPECT_LT(MaxDiff(Prod, A), 1e-14);
  double DiagProd = 1.0;
  for (int I = 0; I < 7; ++I) {
    DiagProd *= U[I][I];
    for (int R = I + 1; R < 7; ++R) EXPECT_EQ(U[I][R], 0.0);
  }

  TDouble2DArray L2, U2;
  TInt2DArray P;
  int32_t Sign = 0;
  ASSERT_EQ(LUPdecomposition(A, L2, U2, P, Sign), 0);
  double Dp = Sign;
  for (int I = 0; I < 7; ++I) {
    Dp *= U2[I][I];
    EXPECT_EQ(L2[I][I], 1.0);
    for (int R = 0; R < I; ++R) EXPECT_EQ(L2[I][R], 0.0);  // unit lower triangle
  }
  EXPECT_NEAR(DiagProd, Dp, 1e-14 * std::fabs(Dp));
  EXPECT_NEAR(Determinant(A), Dp, 1e-14 * std::fabs(Dp));
  TDouble2DArray PA = A, LU2;
  ASSERT_EQ(PermuteArray(PA, P, false), 0);
  ASSERT_EQ(MultiplyArrays(L2, U2, LU2), 0);
  EXPECT_LT(MaxDiff(PA, LU2), 1e-14);
}

TEST(LU, KnownDeterminantsAndBadInput) {
  // Hilbert matrix of order 3: det = 1/2160.
  const TDouble2DArray H{{1, 0.5, 1.0 / 3}, {0.5, 1.0 / 3, 0.25}, {1.0 / 3, 0.25, 0.2}};
  EXPECT_NEAR(Determinant(H), 1.0 / 2160.0, 1e-15);
  // Rows of diag(2, 3, 4) cycled: an even permutation, det 24.
  EXPECT_NEAR(Determinant(TDouble2DArray{{0, 2, 0}, {0, 0, 3}, {4, 0, 0}}), 24.0, 1e-13);
  EXPECT_EQ(Determinant(TDouble2DArray{{1, 2}, {2, 4}}), 0.0);  // singular still decomposes
  TDouble2DArray L, U;
  EXPECT_EQ(LUdecomposition(TDouble2DArray{{1, 2}, {2, 4}}, L, U), 0);
  EXPECT_TRUE(std::isnan(Determinant(TDouble2DArray{{1, 2}})));
  EXPECT_EQ(LUdecomposition(TDouble2DArray{{1, 2}}, L, U), -1);
  EXPECT_EQ(LUdecomposition(TDouble2DArray{}, L, U), -1);
  EXPECT_EQ(LUdecomposition(TDouble2DArray{{1, std::nan("")}, {0, 1}}, L, U), -3);
}

TEST(Eigen, RecoversAKnownSpectrum) {
  // A = Q diag(lambda) Q with Q a Householder reflection (orthogonal and symmetric).
  const int N = 6;
  const double Lambda[N] = {5.0, 2.0, -1.0, 0.5, 1e-3, 3.0};
  const double V[N] = {1.0, -2.0, 0.5, 3.0, -1.0, 2.0};
  double VV = 0.0;
  for (double X : V) VV += X * X;
  double Q[N][N];
  for (int I = 0; I < N; ++I)
    for (int J = 0; J < N; ++J) Q[I][J] = (I == J ? 1.0 : 0.0) - 2.0 * V[I] * V[J] / VV;
  TDouble2DArray A(N, TDoubleArray(N, 0.0));
  for (int I = 0; I < N; ++I)
    for (int J = 0; J < N; ++J)
      for (int K = 0; K < N; ++K) A[J][I] += Q[I][K] * Lambda[K] * Q[J][K];
  for (int I = 0; I < N; ++I)
    for (int J = 0; J < I; ++J) A[J][I] = A[I][J];  // exactly symmetric

  TDouble2DArray Vecs;
  TDoubleArray Vals;
  ASSERT_EQ(EigenDecomposition(A, true, Vecs, Vals), 0);
  const double Expected[N] = {5.0, 3.0, 2.0, 0.5, 1e-3, -1.0};
  const int Column[N] = {0, 5, 1, 3, 4, 2};
  for (int K = 0; K < N; ++K) {
    EXPECT_NEAR(Vals[K], Expected[K], 1e-12 * 5.0) << K;
    double Dot = 0.0, Norm = 0.0, MaxAbs = 0.0, Lead = 0.0;
    for (int I = 0; I < N; ++I) {
      Dot += Vecs[K][I] * Q[I][Column[K]];
      Norm += Vecs[K][I] * Vecs[K][I];
      if (std::fabs(Vecs[K][I]) > MaxAbs) {
        MaxAbs = std::fabs(Vecs[K][I]);
        Lead = Vecs[K][I];
      }
    }
    EXPECT_NEAR(std::fabs(Dot), 1.0, 1e-12);
    EXPECT_NEAR(Norm, 1.0, 1e-13);
    EXPECT_GT(Lead, 0.0);
  }
  ASSERT_EQ(EigenDecomposition(A, false, Vecs, Vals), 0);
  EXPECT_NEAR(Vals[0], -1.0, 1e-12);
}

TEST(Eigen, TwoByTwoAndRefusals) {
  TDouble2DArray Vecs;
  TDoubleArray Vals;
  ASSERT_EQ(EigenDecomposition(TDouble2DArray{{2, 1}, {1, 2}}, true, Vecs, Vals), 0);
  EXPECT_NEAR(Vals[0], 3.0, 1e-15);
  EXPECT_NEAR(Vals[1], 1.0, 1e-15);
  EXPECT_NEAR(Vecs[0][0], std::sqrt(0.5), 1e-15);
  EXPECT_NEAR(Vecs[0][1], std::sqrt(0.5), 1e-15);
  EXPECT_NEAR(std::fabs(Vecs[1][0]), std::sqrt(0.5), 1e-15);
  EXPECT_NEAR(Vecs[1][0], -Vecs[1][1], 1e-15);
  const TDouble2DArray Kept = Vecs;
  EXPECT_EQ(EigenDecomposition(TDouble2DArray{{2, 1}, {0, 2}}, true, Vecs, Vals), -3);
  EXPECT_EQ(EigenDecomposition(TDouble2DArray{{2, 1}}, true, Vecs, Vals), -1);
  EXPECT_EQ(EigenDecomposition(TDouble2DArray{{INFINITY, 0}, {0, 1}}, true, Vecs, Vals), -4);
  EXPECT_EQ(Vecs, Kept);
}

TEST(PermuteArray, RowsColumnsAndInvalidMatrices) {
  // P(r, c) = P[c][r]; this P sends row 1 to the top: P * A = rows (1, 2, 0) of A.
  const TInt2DArray P{{0, 0, 1}, {1, 0, 0}, {0, 1, 0}};
  TDouble2DArray A{{10, 11, 12}, {20, 21, 22}};
  ASSERT_EQ(PermuteArray(A, P, false), 0);
  EXPECT_EQ(A, (TDouble2DArray{{11, 12, 10}, {21, 22, 20}}));
  TDouble2DArray B{{1, 2}, {3, 4}, {5, 6}};
  ASSERT_EQ(PermuteArray(B, P, true), 0);  // column c of B*P is column r of B where P(r, c) = 1
  EXPECT_EQ(B, (TDouble2DArray{{5, 6}, {1, 2}, {3, 4}}));
  EXPECT_EQ(PermuteArray(B, TInt2DArray{{1, 0}, {0, 1}}, true), -1);
  EXPECT_EQ(PermuteArray(B, TInt2DArray{{1, 1, 0}, {0, 0, 0}, {0, 0, 1}}, true), -3);
  EXPECT_EQ(PermuteArray(B, TInt2DArray{{2, 0, 0}, {0, 1, 0}, {0, 0, 1}}, true), -3);
  EXPECT_EQ(B, (TDouble2DArray{{5, 6}, {1, 2}, {3, 4}}));
}

TEST(Statistics, MeanVarMeanAbsDev) {
  double M = -1, V = -1;
  EXPECT_EQ(MeanVarArray(TDoubleArray{1e9 + 1, 1e9 + 2, 1e9 + 6}, 0, 2, M, V), 0);
  EXPECT_EQ(M, 1e9 + 3);
  EXPECT_NEAR(V, 7.0, 1e-9);
  EXPECT_EQ(MeanVarArray(TIntArray{4, 8}, 0, 1, M, V), 0);
  EXPECT_EQ(M, 6.0);
  EXPECT_EQ(V, 1.0);  // the library's rule for one or two values
  EXPECT_EQ(MeanVarArray(TInt2DArray{{1, 2}, {3, 4}}, 0, 0, 1, 1, M, V), 0);
  EXPECT_EQ(M, 2.5);
  EXPECT_NEAR(V, 5.0 / 3.0, 1e-15);
  EXPECT_EQ(MeanVarArray(TDouble2DArray{{1, 2}}, 0, 0, 0, 2, M, V), -2);
  EXPECT_EQ(M, 0.0);

  double Mad = -1;
  EXPECT_EQ(MeanAbsDev(TDoubleArray{1, 2, 3, 10}, 0, Mad), 0);
  EXPECT_EQ(Mad, 3.0);  // mean 4: deviations 3, 2, 1, 6
  EXPECT_EQ(MeanAbsDev(TIntArray{1, 2, 3, 10}, 1, Mad), 0);
  EXPECT_EQ(Mad, 2.5);  // median 2.5: deviations 1.5, 0.5, 0.5, 7.5
  EXPECT_EQ(MeanAbsDev(TIntArray{1, 2, 3, 10}, 2, Mad), 0);
  EXPECT_EQ(Mad, 1.0);
  EXPECT_EQ(MeanAbsDev(TIntArray{1}, 3, Mad), -3);
  EXPECT_EQ(MeanAbsDev(TDoubleArray{}, 0, Mad), -1);
}

TEST(Statistics, RescaleModesUndoAndRefuse) {
  double Off = -1, Sc = -1;
  TDoubleArray A{2, 4, 6, 99};
  ASSERT_EQ(RescaleArray(A, 0, 2, rsmRange01, Off, Sc), 0);
  EXPECT_EQ(A, (TDoubleArray{0, 0.5, 1, 99}));
  EXPECT_EQ(Off, 2.0);
  EXPECT_EQ(Sc, 4.0);
  TDoubleArray B{-4, 2};
  ASSERT_EQ(RescaleArray(B, 0, 1, rsmLinear, Off, Sc), 0);
  EXPECT_EQ(B, (TDoubleArray{-1, 0.5}));
  TDoubleArray C{1, 10, 100};
  ASSERT_EQ(RescaleArray(C, 0, 2, rsmLog, Off, Sc), 0);
  EXPECT_NEAR(C[1], 0.5, 1e-15);
  EXPECT_NEAR(std::pow(10.0, Off + Sc * C[1]), 10.0, 1e-12);
  TDouble2DArray D{{1e9 + 1, 1e9 + 3}};
  ASSERT_EQ(RescaleArray(D, 0, 0, 0, 1, rsmStandardize, Off, Sc), 0);
  EXPECT_NEAR(D[0][0], -std::sqrt(0.5), 1e-12);
  EXPECT_EQ(Off, 1e9 + 2);
  TDoubleArray E{3, 3};
  EXPECT_EQ(RescaleArray(E, 0, 1, rsmRange01, Off, Sc), -4);
  TDoubleArray F{1, -1};
  EXPECT_EQ(RescaleArray(F, 0, 1, rsmLog, Off, Sc), -4);
  EXPECT_EQ(RescaleArray(F, 0, 1, static_cast<TRescaleMode>(9), Off, Sc), -3);
  EXPECT_EQ(RescaleArray(F, 0, 2, rsmLinear, Off, Sc), -2);
  EXPECT_EQ(F, (TDoubleArray{1, -1}));
}

TEST(AccumulateArray, AddsScaledSecondArray) {
  TDouble2DArray A{{1, 2}, {3, 4}};
  ASSERT_EQ(AccumulateArray(A, TDouble2DArray{{1, 1}, {2, 2}}, 0.5), 0);
  EXPECT_EQ(A, (TDouble2DArray{{1.5, 2.5}, {4, 5}}));
  EXPECT_EQ(AccumulateArray(A, TDouble2DArray{{1, 1}}, 0.5), -2);
  TIntArray I{1, INT32_MAX};
  ASSERT_EQ(AccumulateArray(I, TIntArray{3, 1}, 0.5), 0);
  EXPECT_EQ(I, (TIntArray{2, INT32_MAX}));  // 2.5 rounds to even, the maximum saturates
}

}  // namespace
}  // namespace nux
