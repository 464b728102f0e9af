#include "nux/math2/eigen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "bench/textbook_jacobi.h"
#include "math2_testdata.h"
#include "nux/frame/errors.h"
#include "nux/frame/progress.h"
#include "nux/host/random.h"
#include "support/alloc_limit.h"

namespace nux {
namespace {

using namespace math2_test;

TEST(CalcCovarTest, ModesMatchReferenceInRangeAndLeaveTheRestAlone) {
  TMatrix In;
  FillTest(In, 10, 6);
  const double* Expected[] = {kCovCross, kCovCov, kCovCorr, kCovCorr, kCovMsd};
  for (int32_t Mode = 0; Mode <= 4; ++Mode) {
    TMatrix Out;
    Out.Resize(6, 5);
    Out.Fill(-7.0);
    ASSERT_TRUE(CalcCovar(In, Out, 2, 5, 2, 9, Mode)) << Mode;
    for (int C = 1; C <= 6; ++C)
      for (int R = 1; R <= 5; ++R) {
        if (C > 4 || R > 4) {
          EXPECT_EQ(Out.GetVal(C, R), -7.0);
          continue;
        }
        double Want = Expected[Mode][(R - 1) * 4 + (C - 1)];
        if (Mode == 3) Want *= Want;
        EXPECT_NEAR(Out.GetVal(C, R), Want, 1e-13) << Mode << " " << C << " " << R;
      }
  }
  // (0, 0) takes every column; the rows must be given.
  TMatrix All;
  All.Resize(6, 6);
  ASSERT_TRUE(CalcCovar(In, All, 0, 0, 1, 10, 1));
  EXPECT_NE(All.GetVal(6, 6), 0.0);
}

TEST(CalcCovarTest, RefusesBadRangesAndSizesWithoutTouchingOutMat) {
  TMatrix In, Out;
  FillTest(In, 6, 3);
  Out.Resize(3, 3);
  Out.Fill(5.0);
  const int32_t Bad[][5] = {{1, 3, 1, 6, 5},  {1, 4, 1, 6, 1}, {0, 0, 0, 0, 1}, {1, 3, 4, 2, 1},
                            {1, 3, 3, 3, 0},  {1, 3, 0, 6, 1}, {1, 3, 1, 7, 1}, {3, 1, 1, 6, 1},
                            {-1, 2, 1, 6, 1}, {1, 3, 1, 6, -1}};
  for (const auto& B : Bad) EXPECT_FALSE(CalcCovar(In, Out, B[0], B[1], B[2], B[3], B[4]));
  TMatrix Small;
  Small.Resize(2, 3);
  EXPECT_FALSE(CalcCovar(In, Small, 1, 3, 1, 6, 1));
  for (int C = 1; C <= 3; ++C)
    for (int R = 1; R <= 3; ++R) EXPECT_EQ(Out.GetVal(C, R), 5.0);
}

TEST(CalcCovarTest, ConstantColumnHasNoSpreadAndNoCorrelation) {
  // 0.1 is not exact in binary: raw sums leave a tiny non-zero variance for this column.
  TMatrix In;
  In.Resize(2, 7);
  for (int R = 1; R <= 7; ++R) {
    In.SetVal(1, R, 0.1 + 1e6);
    In.SetVal(2, R, R * 0.5);
  }
  TMatrix Out;
  Out.Resize(2, 2);
  ASSERT_TRUE(CalcCovar(In, Out, 0, 0, 1, 7, 1));
  EXPECT_EQ(Out.GetVal(1, 1), 0.0);
  EXPECT_EQ(Out.GetVal(1, 2), 0.0);
  ASSERT_TRUE(CalcCovar(In, Out, 0, 0, 1, 7, 2));
  EXPECT_EQ(Out.GetVal(1, 1), 1.0);
  EXPECT_EQ(Out.GetVal(2, 1), 0.0);
  EXPECT_EQ(Out.GetVal(2, 2), 1.0);
  ASSERT_TRUE(CalcCovar(In, Out, 0, 0, 1, 7, 3));
  EXPECT_EQ(Out.GetVal(1, 1), 0.0);
  EXPECT_NEAR(Out.GetVal(2, 2), 1.0, 1e-15);
}

TEST(CalcCovarTest, CountsProgressAndStopsOnAbort) {
  TMatrix In, Out;
  FillTest(In, 5, 2);
  Out.Resize(2, 2);
  Out.Fill(3.0);
  ProcStat = 0.0;
  ASSERT_TRUE(CalcCovar(In, Out, 0, 0, 1, 5, 1));
  EXPECT_EQ(ProcStat, 2 * 5 + 3 * 5);  // N per variable, N per pair
  Out.Fill(3.0);
  MathFeedBackProc = [](double) { AbortMathProc = true; };
  EXPECT_FALSE(CalcCovar(In, Out, 0, 0, 1, 5, 1));
  MathFeedBackProc = nullptr;
  EXPECT_EQ(Out.GetVal(1, 1), 3.0);
  AbortMathProc = false;
}

// S = A^T A / 10 - 0.3 I for the 12 x 7 test matrix, as in the reference script.
void ReferenceSymmetric(TMatrix& S) {
  TMatrix A;
  FillTest(A, 12, 7);
  S.Resize(7, 7);
  for (int I = 1; I <= 7; ++I)
    for (int J = 1; J <= 7; ++J) {
      double Sum = 0.0;
      for (int K = 1; K <= 12; ++K) Sum += A.GetVal(I, K) * A.GetVal(J, K);
      S.SetVal(J, I, Sum / 10 - (I == J ? 0.3 : 0.0));
    }
}

TEST(CalcEigVecTest, MatchesReferenceAndDecomposesTheMatrix) {
  TMatrix S, Copy;
  ReferenceSymmetric(S);
  Copy.Clone(&S);
  ASSERT_TRUE(CalcEigVec(S));
  ASSERT_EQ(GetEigenSize(), 7);
  std::vector<double> Values;
  for (int K = 1; K <= 7; ++K) Values.push_back(GetEigenResult(K, 0));
  std::sort(Values.begin(), Values.end());
  for (int K = 0; K < 7; ++K) EXPECT_NEAR(Values[size_t(K)], kEigValues[K], 1e-13);
  // S v = lambda v and V^T V = I.
  for (int K = 1; K <= 7; ++K)
    for (int I = 1; I <= 7; ++I) {
      double Sv = 0.0, Dot = 0.0;
      for (int J = 1; J <= 7; ++J) {
        Sv += Copy.GetVal(J, I) * GetEigenResult(K, J);
        Dot += GetEigenResult(K, J) * GetEigenResult(I, J);
      }
      EXPECT_NEAR(Sv, GetEigenResult(K, 0) * GetEigenResult(K, I), 1e-13);
      EXPECT_NEAR(Dot, K == I ? 1.0 : 0.0, 1e-14);
    }
  // The part above the diagonal is rotated away; the diagonal and the lower part stay.
  for (int C = 1; C <= 7; ++C)
    for (int R = 1; R <= 7; ++R) {
      if (R < C)
        EXPECT_LT(std::abs(S.GetVal(C, R)), 1e-15);
      else
        EXPECT_EQ(S.GetVal(C, R), Copy.GetVal(C, R));
    }
}

TEST(CalcEigVecTest, GivesTheTextbookLoopsBitsOnLargerMatrices) {
  SetRandSeed(5);
  for (const int N : {2, 9, 40}) {
    TMatrix M;
    M.Resize(N, N);
    std::vector<std::vector<double>> A(static_cast<size_t>(N),
                                       std::vector<double>(static_cast<size_t>(N)));
    for (int C = 0; C < N; ++C)
      for (int R = 0; R <= C; ++R) {
        // Some exact zeros and repeated values, so that skipped rotations occur too.
        const double X = (R * C) % 5 == 3 ? 0.0 : Random() - 0.5 + (R == C ? R % 3 : 0);
        M.SetVal(C + 1, R + 1, X);
        A[size_t(R)][size_t(C)] = X;
        if (R != C) M.SetVal(R + 1, C + 1, 99.0);  // the lower part is not read
      }
    std::vector<double> D;
    std::vector<std::vector<double>> V;
    nux_reference::TextbookJacobi(A, D, V);
    ASSERT_TRUE(CalcEigVec(M));
    for (int K = 0; K < N; ++K) {
      EXPECT_EQ(GetEigenResult(K + 1, 0), D[size_t(K)]) << N;
      for (int J = 0; J < N; ++J) ASSERT_EQ(GetEigenResult(K + 1, J + 1), V[size_t(J)][size_t(K)]);
    }
  }
}

TEST(CalcEigVecTest, StoreRulesAndRefusals) {
  TMatrix Diag;
  Diag.Resize(3, 3);
  Diag.SetVal(1, 1, 4.0);
  Diag.SetVal(2, 2, -1.0);
  Diag.SetVal(3, 3, 2.5);
  ProcStat = 0.0;
  ASSERT_TRUE(CalcEigVec(Diag));
  EXPECT_EQ(ProcStat, 1.0);  // finished in the first sweep, without visiting an element
  EXPECT_EQ(GetEigenResult(2, 0), -1.0);
  EXPECT_EQ(GetEigenResult(3, 3), 1.0);
  EXPECT_EQ(GetEigenResult(3, 2), 0.0);
  EXPECT_EQ(GetEigenResult(0, 0), 0.0);
  EXPECT_EQ(GetEigenResult(4, 0), 0.0);
  EXPECT_EQ(GetEigenResult(1, 4), 0.0);
  EXPECT_EQ(GetEigenResult(1, -1), 0.0);

  // Not square, too large or not finite: false and the store as it was.
  TMatrix Wide, Nan;
  Wide.Resize(10001, 1);
  EXPECT_FALSE(CalcEigVec(Wide));
  Wide.Resize(3, 2);
  EXPECT_FALSE(CalcEigVec(Wide));
  Nan.Resize(2, 2);
  Nan.SetVal(2, 1, std::nan(""));
  EXPECT_FALSE(CalcEigVec(Nan));
  EXPECT_EQ(GetEigenSize(), 3);
  EXPECT_EQ(GetEigenResult(1, 0), 4.0);

  // An abort leaves false; the store holds what was reached.
  TMatrix S;
  ReferenceSymmetric(S);
  MathFeedBackProc = [](double P) {
    if (P > 30) AbortMathProc = true;
  };
  ProcStat = 0.0;
  EXPECT_FALSE(CalcEigVec(S));
  MathFeedBackProc = nullptr;
  AbortMathProc = false;
  EXPECT_EQ(GetEigenSize(), 7);

  RemoveEigenMatrix();
  EXPECT_EQ(GetEigenSize(), 0);
  EXPECT_EQ(GetEigenResult(1, 0), 0.0);

  ScopedAllocLimit Limit(1 << 20);
  TMatrix Big;
  Big.Resize(400, 400);
  try {
    CalcEigVec(Big);
    ADD_FAILURE();
  } catch (const ENUXMath2Error& E) {
    EXPECT_STREQ(E.what(), "CalcEigVec: not enough memory");
  }
}

TEST(CalcPrincCompTest, OrdersComponentsAndAppliesTheWholeRangeRuleFirst) {
  TMatrix In;
  In.Resize(2, 6);
  for (int R = 1; R <= 6; ++R) {
    In.SetVal(1, R, R * 1.5);
    In.SetVal(2, R, 3.0 - R * 0.25);  // perfectly (negatively) correlated
  }
  ASSERT_TRUE(CalcPrincComp(In, 0, 0, 1, 6, cvCorrelations));
  EXPECT_NEAR(GetEigenResult(1, 0), 1.0, 1e-15);
  EXPECT_NEAR(GetEigenResult(2, 0), 0.0, 1e-15);
  EXPECT_NEAR(std::abs(GetEigenResult(1, 1)), std::sqrt(0.5), 1e-15);

  // Mean squared differences have a zero diagonal: some eigenvalues are negative. Positive
  // ones come first, largest first; the rest keep their places after them.
  TMatrix Five;
  FillTest(Five, 9, 5);
  ASSERT_TRUE(CalcPrincComp(Five, 0, 0, 1, 9, cvMeanSquaredDiffs, false));
  ASSERT_EQ(GetEigenSize(), 5);
  double Trace = 0.0;
  int Positive = 0;
  for (int K = 1; K <= 5; ++K) {
    Trace += GetEigenResult(K, 0);
    if (GetEigenResult(K, 0) > 0) {
      ++Positive;
      EXPECT_EQ(Positive, K);
      if (K > 1) {
        EXPECT_LE(GetEigenResult(K, 0), GetEigenResult(K - 1, 0));
      }
    }
  }
  EXPECT_GE(Positive, 1);
  EXPECT_LT(Positive, 5);
  EXPECT_NEAR(Trace, 0.0, 1e-12);
  EXPECT_FALSE(CalcPrincComp(Five, 2, 7, 1, 9, 1));
}

TEST(SingValDecompTest, TallAndWideReconstructAndSizesAreChecked) {
  for (const auto& [Rows, Cols] : {std::pair{7, 4}, std::pair{3, 5}}) {
    TMatrix A, U, V;
    TVector W;
    FillTest(A, Rows, Cols);
    U.Clone(&A);
    V.Resize(Cols, Cols);
    W.Resize(Cols);
    ASSERT_TRUE(SingValDecomp(U, V, W));
    EXPECT_EQ(U.NrOfRows(), Rows);
    EXPECT_EQ(U.NrOfColumns(), Cols);
    for (int C = 1; C <= Cols; ++C)
      for (int R = 1; R <= Rows; ++R) {
        double X = 0.0;
        for (int K = 1; K <= Cols; ++K) X += U.GetVal(K, R) * W.GetVal(K) * V.GetVal(K, C);
        EXPECT_NEAR(X, A.GetVal(C, R), 1e-13);
      }
    TMatrix BadV;
    BadV.Resize(Cols, Cols + 1);
    EXPECT_FALSE(SingValDecomp(U, BadV, W));
    TVector BadW;
    BadW.Resize(Cols + 1);
    EXPECT_FALSE(SingValDecomp(U, V, BadW));
  }
}

TEST(SingValEquSolveTest, SolvesGivesErrorFactorsAndNamesBadSizes) {
  // A = [[2, 0], [0, 4], [0, 0]]: x = (b1 / 2, b2 / 4), factors 1/2 and 1/4.
  TMatrix A, V;
  TVector W, B, X, DX;
  A.Resize(2, 3);
  A.SetVal(1, 1, 2.0);
  A.SetVal(2, 2, 4.0);
  V.Resize(2, 2);
  W.Resize(2);
  ASSERT_TRUE(SingValDecomp(A, V, W));
  SetVec(B, {3.0, 2.0, 9.0});
  ASSERT_TRUE(SingValEquSolve(A, V, W, B, X, &DX));
  EXPECT_NEAR(X.GetVal(1), 1.5, 1e-15);
  EXPECT_NEAR(X.GetVal(2), 0.5, 1e-15);
  EXPECT_NEAR(DX.GetVal(1), 0.5, 1e-15);
  EXPECT_NEAR(DX.GetVal(2), 0.25, 1e-15);
  // A zero singular value is skipped.
  const bool DropsFour = W.GetVal(2) > 3.0;
  W.SetVal(2, 0.0);
  ASSERT_TRUE(SingValEquSolve(A, V, W, B, X, nullptr));
  EXPECT_NEAR(X.GetVal(1), DropsFour ? 1.5 : 0.0, 1e-15);
  EXPECT_NEAR(X.GetVal(2), DropsFour ? 0.0 : 0.5, 1e-15);
  SetVec(B, {1.0, 2.0});
  try {
    SingValEquSolve(A, V, W, B, X, nullptr);
    ADD_FAILURE();
  } catch (const ENUXMath2Error& E) {
    EXPECT_STREQ(E.what(),
                 "SingValEquSolve: sizes do not fit: U is 3 x 2 (rows x columns), V is 2 x 2, W "
                 "has 2 and b 2 elements");
  }
}

TEST(PseudoInverseTest, MatchesReferenceInvertsAndNeverDividesByZero) {
  TMatrix P, B;
  FillTest(P, 6, 4);
  for (int R = 1; R <= 6; ++R) P.SetVal(4, R, P.GetVal(1, R) + P.GetVal(2, R));
  for (const double Tol : {0.0, -1.0}) {
    ASSERT_TRUE(PseudoInverse(P, B, Tol));
    ASSERT_EQ(B.NrOfRows(), 4);
    ASSERT_EQ(B.NrOfColumns(), 6);
    for (int R = 1; R <= 4; ++R)
      for (int C = 1; C <= 6; ++C) EXPECT_NEAR(B.GetVal(C, R), kPinv[(R - 1) * 6 + (C - 1)], 1e-12);
  }
  TMatrix Sq, Inv;
  FillTest(Sq, 4, 4);
  Inv.Clone(&Sq);
  ASSERT_TRUE(Inv.Invert());
  ASSERT_TRUE(PseudoInverse(Sq, B, 0.0));
  for (int C = 1; C <= 4; ++C)
    for (int R = 1; R <= 4; ++R) EXPECT_NEAR(B.GetVal(C, R), Inv.GetVal(C, R), 1e-11);
  TMatrix Zero;
  Zero.Resize(2, 3);
  ASSERT_TRUE(PseudoInverse(Zero, B, -1.0));
  for (int C = 1; C <= 3; ++C)
    for (int R = 1; R <= 2; ++R) EXPECT_EQ(B.GetVal(C, R), 0.0);
  Zero.SetVal(1, 1, std::nan(""));
  B.Fill(7.0);
  EXPECT_FALSE(PseudoInverse(Zero, B, 0.0));
  EXPECT_EQ(B.GetVal(1, 1), 7.0);
}

TEST(MahalanobisDistanceTest, EuclideanForIdentityAndExactMessages) {
  TVector A, B;
  SetVec(A, {1.0, 2.0, 3.0});
  SetVec(B, {4.0, 6.0, 3.0});
  TMatrix I;
  I.Resize(3, 3);
  I.FillDiag(1.0);
  EXPECT_DOUBLE_EQ(MahalanobisDistance(A, B, I), 5.0);
  I.SetVal(2, 1, 0.5);  // not symmetric: only InvCov(j, i) as given is used
  EXPECT_DOUBLE_EQ(MahalanobisDistance(A, B, I), std::sqrt(25.0 + 3 * 4 * 0.5));
  const auto Message = [](auto&& F) {
    try {
      F();
    } catch (const ENUXVectorError& E) {
      return std::string(E.what());
    }
    return std::string("no exception");
  };
  TVector Short;
  SetVec(Short, {1.0, 2.0});
  TMatrix Rect, Two;
  Rect.Resize(3, 2);
  Two.Resize(2, 2);
  I.FillDiag(-1.0);
  EXPECT_EQ(Message([&] { MahalanobisDistance(A, Short, I); }),
            "MahalanobisDistance: dimensions of vectors do not match");
  EXPECT_EQ(Message([&] { MahalanobisDistance(A, B, Rect); }),
            "MahalanobisDistance: inverse covariance matrix is not quadratric");
  EXPECT_EQ(Message([&] { MahalanobisDistance(A, B, Two); }),
            "MahalanobisDistance: dimension of vectors and inverse covariance matrix do not match");
  EXPECT_EQ(Message([&] { MahalanobisDistance(A, B, I); }),
            "MahalanobisDistance: the inverse covariance matrix must be symmetric and positive "
            "definite");
}

TEST(ClassScatterMatricesTest, ScatterAddsUpAndBadInputGivesCodes) {
  // Two variables, seven objects in three classes; class 3 has a single member.
  const TDouble2DArray Data = {{1, 2, 4, 7, 3, 8, 5}, {2, 0, 1, 5, 9, 4, 6}};
  const TIntArray Class = {1, 2, 1, 2, 3, 1, 2};
  int32_t NClass = 0;
  TIntArray Sizes;
  TDouble2DArray Means, Vars, Sb, Sw;
  ASSERT_EQ(ClassScatterMatrices(Data, Class, NClass, Sizes, Means, Vars, Sb, Sw), csOK);
  EXPECT_EQ(NClass, 3);
  EXPECT_EQ(Sizes, (TIntArray{3, 3, 1}));
  EXPECT_DOUBLE_EQ(Means[0][0], 13.0 / 3);
  EXPECT_DOUBLE_EQ(Vars[0][0], (1 + 16 + 64 - 169.0 / 3) / 2);
  EXPECT_EQ(Vars[1][2], 0.0);  // one member: no spread
  // Between plus within scatter is the total scatter about the overall mean.
  for (size_t V = 0; V < 2; ++V)
    for (size_t U = 0; U < 2; ++U) {
      double Mv = 0, Mu = 0, T = 0;
      for (size_t K = 0; K < 7; ++K) Mv += Data[V][K] / 7, Mu += Data[U][K] / 7;
      for (size_t K = 0; K < 7; ++K) T += (Data[V][K] - Mv) * (Data[U][K] - Mu);
      EXPECT_NEAR(Sb[V][U] + Sw[V][U], T, 1e-12);
    }
  const TDouble2DArray Empty, Ragged = {{1, 2}, {3}}, NoObjects = {{}};
  EXPECT_EQ(ClassScatterMatrices(Empty, {}, NClass, Sizes, Means, Vars, Sb, Sw), csBadData);
  EXPECT_EQ(ClassScatterMatrices(NoObjects, {}, NClass, Sizes, Means, Vars, Sb, Sw), csBadData);
  EXPECT_EQ(ClassScatterMatrices(Ragged, {1, 1}, NClass, Sizes, Means, Vars, Sb, Sw), csBadData);
  EXPECT_EQ(ClassScatterMatrices(Data, {1, 2}, NClass, Sizes, Means, Vars, Sb, Sw),
            csBadClassCount);
  EXPECT_EQ(ClassScatterMatrices(Data, {1, 2, 1, 2, 8, 1, 2}, NClass, Sizes, Means, Vars, Sb, Sw),
            csBadClassNr);
  EXPECT_EQ(ClassScatterMatrices(Data, {1, 3, 1, 3, 3, 1, 3}, NClass, Sizes, Means, Vars, Sb, Sw),
            csClassGap);
  EXPECT_EQ(NClass, 3);  // untouched on failure
}

}  // namespace
}  // namespace nux
