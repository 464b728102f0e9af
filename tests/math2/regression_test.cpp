#include "nux/math2/regression.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "math2_testdata.h"
#include "nux/frame/progress.h"
#include "nux/host/random.h"
#include "nux/math2/eigen.h"

namespace nux {
namespace {

using namespace math2_test;

// Longley's employment data, with the certified values of the published certificate: total
// employment on the GNP deflator, GNP, unemployment, armed forces, population and year.
constexpr double kLongley[16][7] = {{60323, 83.0, 234289, 2356, 1590, 107608, 1947},
                                    {61122, 88.5, 259426, 2325, 1456, 108632, 1948},
                                    {60171, 88.2, 258054, 3682, 1616, 109773, 1949},
                                    {61187, 89.5, 284599, 3351, 1650, 110929, 1950},
                                    {63221, 96.2, 328975, 2099, 3099, 112075, 1951},
                                    {63639, 98.1, 346999, 1932, 3594, 113270, 1952},
                                    {64989, 99.0, 365385, 1870, 3547, 115094, 1953},
                                    {63761, 100.0, 363112, 3578, 3350, 116219, 1954},
                                    {66019, 101.2, 397469, 2904, 3048, 117388, 1955},
                                    {67857, 104.6, 419180, 2822, 2857, 118734, 1956},
                                    {68169, 108.4, 442769, 2936, 2798, 120445, 1957},
                                    {66513, 110.8, 444546, 4681, 2637, 121950, 1958},
                                    {68655, 112.6, 482704, 3813, 2552, 123366, 1959},
                                    {69564, 114.2, 502601, 3931, 2514, 125368, 1960},
                                    {69331, 115.7, 518173, 4806, 2572, 127852, 1961},
                                    {70551, 116.9, 554894, 4007, 2827, 130081, 1962}};
constexpr double kLongleyB[7] = {-3482258.63459582, 15.0618722713733,  -0.358191792925910e-01,
                                 -2.02022980381683, -1.03322686717359, -0.511041056535807e-01,
                                 1829.15146461355};
constexpr double kLongleySD[7] = {890420.383607373,  84.9149257747669,  0.334910077722432e-01,
                                  0.488399681651699, 0.214274163161675, 0.226073200069370,
                                  455.478499142212};
constexpr double kLongleyR2 = 0.995479004577296;

double Rel(double Got, double Want) { return std::abs(Got - Want) / std::abs(Want); }

TEST(MultiLinRegTest, LongleyReproducesTheCertificate) {
  // First form: the caller's column of ones carries the constant.
  TMatrix X;
  TVector Y, B, D;
  X.Resize(7, 16);
  Y.Resize(16);
  for (int R = 0; R < 16; ++R) {
    Y.SetVal(R + 1, kLongley[R][0]);
    X.SetVal(1, R + 1, 1.0);
    for (int C = 1; C < 7; ++C) X.SetVal(C + 1, R + 1, kLongley[R][C]);
  }
  bool Singular = true;
  ASSERT_TRUE(MultiLinReg(X, Y, B, &D, Singular));
  EXPECT_FALSE(Singular);
  ASSERT_EQ(B.NrOfElem(), 7);
  for (int K = 0; K < 7; ++K) {
    EXPECT_LT(Rel(B.GetVal(K + 1), kLongleyB[K]), 1e-8) << K;
    EXPECT_LT(Rel(D.GetVal(K + 1), kLongleySD[K]), 1e-8) << K;
  }
  // Second form, constant added by the routine: the same numbers and the certified R^2.
  TMatrix Data;
  Data.Resize(7, 16);
  for (int R = 0; R < 16; ++R)
    for (int C = 0; C < 7; ++C) Data.SetVal(C + 1, R + 1, kLongley[R][C]);
  double Const = 0, ConstDelta = 0, R2 = 0;
  ASSERT_TRUE(
      MultiLinReg(Data, {2, 3, 4, 5, 6, 7}, 1, true, Const, ConstDelta, R2, B, D, Singular));
  EXPECT_LT(Rel(Const, kLongleyB[0]), 1e-8);
  EXPECT_LT(Rel(ConstDelta, kLongleySD[0]), 1e-8);
  EXPECT_LT(Rel(R2, kLongleyR2), 1e-12);
  for (int K = 1; K < 7; ++K) {
    EXPECT_LT(Rel(B.GetVal(K), kLongleyB[K]), 1e-8) << K;
    EXPECT_LT(Rel(D.GetVal(K), kLongleySD[K]), 1e-8) << K;
  }
}

TEST(MultiLinRegTest, SecondFormMatchesReferenceAndChecksItsArguments) {
  TMatrix Data;
  FillTest(Data, 25, 6);
  double Const = 0, ConstDelta = 0, R2 = 0;
  TVector B, D;
  bool Singular = true;
  ASSERT_TRUE(MultiLinReg(Data, {1, 3, 4}, 6, true, Const, ConstDelta, R2, B, D, Singular));
  EXPECT_FALSE(Singular);
  EXPECT_NEAR(Const, kMlrCoef[0], 1e-12);
  EXPECT_NEAR(ConstDelta, kMlrDelta[0], 1e-12);
  EXPECT_NEAR(R2, kMlrR2[0], 1e-13);
  for (int K = 1; K <= 3; ++K) {
    EXPECT_NEAR(B.GetVal(K), kMlrCoef[K], 1e-12);
    EXPECT_NEAR(D.GetVal(K), kMlrDelta[K], 1e-12);
  }
  EXPECT_FALSE(MultiLinReg(Data, {}, 6, true, Const, ConstDelta, R2, B, D, Singular));
  EXPECT_FALSE(MultiLinReg(Data, {1, 7}, 6, true, Const, ConstDelta, R2, B, D, Singular));
  EXPECT_FALSE(MultiLinReg(Data, {1, 2}, 0, true, Const, ConstDelta, R2, B, D, Singular));
  // Without a constant R^2 is taken about 0; a constant target has no R^2.
  ASSERT_TRUE(MultiLinReg(Data, {1, 3, 4}, 6, false, Const, ConstDelta, R2, B, D, Singular));
  EXPECT_EQ(Const, 0.0);
  EXPECT_GT(R2, 0.0);
  Data.Fill(0, 0, 0, 0, 2.5);
  ASSERT_TRUE(MultiLinReg(Data, {1}, 2, true, Const, ConstDelta, R2, B, D, Singular));
  EXPECT_TRUE(std::isnan(R2));
  EXPECT_TRUE(Singular);
}

TEST(MultiLinRegTest, NearSingularAndDegenerateSystems) {
  TMatrix X;
  TVector Y, B;
  FillTest(X, 12, 3);
  Y.Resize(12);
  for (int R = 1; R <= 12; ++R) {
    X.SetVal(3, R, 2.0 * X.GetVal(1, R) - X.GetVal(2, R));  // exact dependence
    Y.SetVal(R, 2.0 * X.GetVal(1, R) + 0.5 * X.GetVal(2, R));
  }
  bool Singular = false;
  ASSERT_TRUE(MultiLinReg(X, Y, B, nullptr, Singular));
  EXPECT_TRUE(Singular);
  // Still the least-squares fit: the residual vanishes.
  for (int R = 1; R <= 12; ++R) {
    double Fit = 0.0;
    for (int C = 1; C <= 3; ++C) Fit += X.GetVal(C, R) * B.GetVal(C);
    EXPECT_NEAR(Fit, Y.GetVal(R), 1e-12);
  }
  // Fewer rows than columns: flagged, and an exact fit.
  TMatrix Wide;
  FillTest(Wide, 3, 5);
  TVector Y3;
  SetVec(Y3, {1.0, -2.0, 0.5});
  ASSERT_TRUE(MultiLinReg(Wide, Y3, B, nullptr, Singular));
  EXPECT_TRUE(Singular);
  ASSERT_EQ(B.NrOfElem(), 5);
  for (int R = 1; R <= 3; ++R) {
    double Fit = 0.0;
    for (int K = 1; K <= 5; ++K) Fit += Wide.GetVal(K, R) * B.GetVal(K);
    EXPECT_NEAR(Fit, Y3.GetVal(R), 1e-12);
  }
  // Bad input: sizes, NaN, all-zero design (true, flagged, coefficients 0).
  TVector Short;
  SetVec(Short, {1.0});
  EXPECT_FALSE(MultiLinReg(X, Short, B, nullptr, Singular));
  X.SetVal(2, 2, std::nan(""));
  EXPECT_FALSE(MultiLinReg(X, Y, B, nullptr, Singular));
  X.Fill(0.0);
  ASSERT_TRUE(MultiLinReg(X, Y, B, nullptr, Singular));
  EXPECT_TRUE(Singular);
  EXPECT_EQ(B.GetVal(2), 0.0);
}

TEST(RidgeRegTest, PlainAndStandardisedMatchReference) {
  TMatrix Data, X;
  FillTest(Data, 25, 6);
  FillTest(X, 25, 5);
  TVector Y, B, D;
  Y.Resize(25);
  Data.CopyColToVec(&Y, 6, 1, 25);
  bool Singular = true;
  ASSERT_TRUE(RidgeReg(X, Y, 0.7, B, D, Singular));
  EXPECT_FALSE(Singular);
  for (int K = 1; K <= 5; ++K) {
    EXPECT_NEAR(B.GetVal(K), kRidgeCoef[K - 1], 1e-12);
    EXPECT_NEAR(D.GetVal(K), kRidgeDelta[K - 1], 1e-12);
  }
  // Lambda 0 is ordinary least squares.
  TVector B0, D0, Bm, Dm;
  ASSERT_TRUE(RidgeReg(X, Y, 0.0, B0, D0, Singular));
  ASSERT_TRUE(MultiLinReg(X, Y, Bm, &Dm, Singular));
  for (int K = 1; K <= 5; ++K) {
    EXPECT_NEAR(B0.GetVal(K), Bm.GetVal(K), 1e-12);
    EXPECT_NEAR(D0.GetVal(K), Dm.GetVal(K), 1e-12);
  }
  EXPECT_FALSE(RidgeReg(X, Y, -0.1, B, D, Singular));
  EXPECT_FALSE(RidgeReg(X, Y, std::nan(""), B, D, Singular));

  TVector Std, Means, Sds;
  ASSERT_TRUE(RidgeRegStd(X, Y, 0.7, B, Std, Means, Sds, Singular));
  EXPECT_FALSE(Singular);
  ASSERT_EQ(B.NrOfElem(), 6);
  for (int K = 1; K <= 6; ++K) EXPECT_NEAR(B.GetVal(K), kRidgeStdCoef[K - 1], 1e-12);
  for (int K = 1; K <= 5; ++K) EXPECT_NEAR(Std.GetVal(K), kRidgeStdStd[K - 1], 1e-12);
  // A constant column gets coefficient 0 and the flag.
  X.Fill(3, 3, 0, 0, 4.25);
  ASSERT_TRUE(RidgeRegStd(X, Y, 0.7, B, Std, Means, Sds, Singular));
  EXPECT_TRUE(Singular);
  EXPECT_EQ(B.GetVal(4), 0.0);
  EXPECT_EQ(Sds.GetVal(3), 0.0);
  EXPECT_EQ(Means.GetVal(3), 4.25);
}

TEST(VarInflatFactorTest, MatchesReferenceReportsProgressAndDependence) {
  TMatrix X;
  FillTest(X, 25, 6);
  TDoubleArray F;
  std::vector<int32_t> Seen;
  const TOnPercentDoneEvent Progress = [&Seen](TObject*, int32_t P) { Seen.push_back(P); };
  ASSERT_TRUE(VarInflatFactor(X, {1, 2, 3, 4, 5}, F, Progress));
  ASSERT_EQ(F.size(), 5u);
  for (size_t K = 0; K < 5; ++K) EXPECT_NEAR(F[K], kVif[K], 1e-11 * kVif[K]);
  EXPECT_EQ(Seen, (std::vector<int32_t>{20, 40, 60, 80, 100}));
  // Column 6 = column 1 exactly: unbounded factors for both.
  for (int R = 1; R <= 25; ++R) X.SetVal(6, R, X.GetVal(1, R));
  ASSERT_TRUE(VarInflatFactor(X, {1, 2, 6}, F, nullptr));
  EXPECT_GT(F[0], 1e12);
  EXPECT_GT(F[2], 1e12);
  EXPECT_LT(F[1], 10.0);
  EXPECT_FALSE(VarInflatFactor(X, {1}, F, nullptr));
  EXPECT_FALSE(VarInflatFactor(X, {1, 9}, F, nullptr));
}

TEST(SimPLSTest, MatchesReferenceWithAndWithoutScaling) {
  TMatrix Data, X, Y;
  FillTest(Data, 20, 8);
  FillTest(X, 20, 5);
  Y.Resize(2, 20);
  for (int R = 1; R <= 20; ++R)
    for (int C = 1; C <= 2; ++C) Y.SetVal(C, R, Data.GetVal(6 + C, R));
  for (const bool Scale : {false, true}) {
    const double* Coef = Scale ? kPlsScaledCoef : kPlsCoef;
    const double* XVar = Scale ? kPlsScaledXVar : kPlsXVar;
    const double* YVar = Scale ? kPlsScaledYVar : kPlsYVar;
    TMatrix R, T, P, Q, U, V, B;
    TVector XV, YV;
    ASSERT_TRUE(SimPLS(X, Y, 3, Scale, R, T, P, Q, U, V, XV, YV, B));
    ASSERT_EQ(B.NrOfColumns(), 2);
    ASSERT_EQ(B.NrOfRows(), 6);
    for (int Row = 1; Row <= 6; ++Row)
      for (int C = 1; C <= 2; ++C)
        EXPECT_NEAR(B.GetVal(C, Row), Coef[(Row - 1) * 2 + (C - 1)], 1e-11) << Scale;
    for (int A = 1; A <= 3; ++A) {
      EXPECT_NEAR(XV.GetVal(A), XVar[A - 1], 1e-12);
      EXPECT_NEAR(YV.GetVal(A), YVar[A - 1], 1e-12);
      // Scores orthonormal, and T = X0 R.
      for (int A2 = 1; A2 <= 3; ++A2) {
        double Dot = 0.0;
        for (int K = 1; K <= 20; ++K) Dot += T.GetVal(A, K) * T.GetVal(A2, K);
        EXPECT_NEAR(Dot, A == A2 ? 1.0 : 0.0, 1e-12);
      }
    }
    EXPECT_EQ(T.NrOfRows(), 20);
    EXPECT_EQ(R.NrOfRows(), 5);
    EXPECT_EQ(Q.NrOfRows(), 2);
    EXPECT_EQ(V.NrOfColumns(), 3);
  }
  TMatrix R, T, P, Q, U, V, B;
  TVector XV, YV;
  EXPECT_FALSE(SimPLS(X, Y, 0, false, R, T, P, Q, U, V, XV, YV, B));
  EXPECT_FALSE(SimPLS(X, Y, 6, false, R, T, P, Q, U, V, XV, YV, B));
  TMatrix Rank1;
  Rank1.Resize(3, 20);
  for (int K = 1; K <= 20; ++K)
    for (int C = 1; C <= 3; ++C) Rank1.SetVal(C, K, C * X.GetVal(1, K));
  EXPECT_FALSE(SimPLS(Rank1, Y, 2, false, R, T, P, Q, U, V, XV, YV, B));  // nothing left for #2
  EXPECT_EQ(B.NrOfRows(), 1);
}

TEST(VertexCompAnalysisTest, FindsThePurePixelsOfASimplex) {
  // Three pure spectra over six bands, mixed with random abundances; rows 5, 17 and 30 pure.
  const double Pure[3][6] = {{0.9, 0.7, 0.2, 0.1, 0.05, 0.3},
                             {0.1, 0.3, 0.8, 0.6, 0.2, 0.1},
                             {0.2, 0.1, 0.1, 0.4, 0.9, 0.8}};
  SetRandSeed(11);
  TMatrix X;
  X.Resize(6, 40);
  for (int K = 1; K <= 40; ++K) {
    double A[3] = {0.2 + Random(), 0.2 + Random(), 0.2 + Random()};
    for (int E = 0; E < 3; ++E)
      if (K == 5 + 12 * E + (E == 2 ? 1 : 0)) A[0] = A[1] = A[2] = 0.0, A[E] = 1.0;
    const double Sum = A[0] + A[1] + A[2];
    for (int B = 0; B < 6; ++B)
      X.SetVal(B + 1, K, (A[0] * Pure[0][B] + A[1] * Pure[1][B] + A[2] * Pure[2][B]) / Sum);
  }
  for (const bool HighSNR : {true, false}) {
    TMatrix Ends, Proj;
    TIntVector Ix;
    ASSERT_TRUE(VertexCompAnalysis(X, 3, HighSNR, Ends, Ix, Proj));
    std::vector<int32_t> Got = {Ix.GetVal(1), Ix.GetVal(2), Ix.GetVal(3)};
    std::sort(Got.begin(), Got.end());
    EXPECT_EQ(Got, (std::vector<int32_t>{5, 17, 30})) << HighSNR;
    EXPECT_EQ(Ends.NrOfRows(), 3);
    EXPECT_EQ(Ends.GetVal(2, 1), X.GetVal(2, Ix.GetVal(1)));
    EXPECT_EQ(Proj.NrOfColumns(), 3);
    EXPECT_EQ(Proj.NrOfRows(), 40);
  }
  TMatrix Ends, Proj;
  TIntVector Ix;
  EXPECT_FALSE(VertexCompAnalysis(X, 7, true, Ends, Ix, Proj));
  EXPECT_FALSE(VertexCompAnalysis(X, 1, false, Ends, Ix, Proj));
}

}  // namespace
}  // namespace nux
