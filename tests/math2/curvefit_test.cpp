#include "nux/math2/curvefit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "nux/frame/ascio.h"
#include "nux/frame/errors.h"
#include "support/temp_dir.h"

namespace nux {
namespace {

void Enter(TCurveFit& C, std::initializer_list<std::pair<double, double>> P) {
  for (const auto& [X, Y] : P) C.EnterStatValue(X, Y);
}

TEST(CurveFitData, SumsCountsAndInvalidKindsFollowEveryChange) {
  TCurveFit C;
  EXPECT_EQ(C.MinX(), std::numeric_limits<double>::max());
  Enter(C, {{0, 1}, {1, 0}, {2, 3}});
  EXPECT_EQ(C.NumData(), 3);
  // Refused: the count stays.
  EXPECT_EQ(C.EnterStatValue(std::nan(""), 1), 3);
  EXPECT_EQ(C.EnterStatValue(1, INFINITY), 3);
  TCurveFitErrors E = C.ErrIndic();
  EXPECT_TRUE(E[cfeXEQ0] && E[cfeXLE0] && E[cfeYEQ0] && E[cfeYLE0]);
  // The undefined terms are left out, so the reciprocal sums stay finite and exact.
  EXPECT_DOUBLE_EQ(C.Sums().sum1byx, 1.0 + 0.5);
  EXPECT_DOUBLE_EQ(C.Sums().sum1byy, 1.0 + 1.0 / 3);
  C.RemoveStatValue(1);  // (0, 1)
  E = C.ErrIndic();
  EXPECT_FALSE(E[cfeXEQ0] || E[cfeXLE0]);
  EXPECT_TRUE(E[cfeYEQ0]);
  EXPECT_DOUBLE_EQ(C.Sums().sum1byx, 1.5);
  EXPECT_DOUBLE_EQ(C.Sums().sumx, 3.0);
  EXPECT_EQ(C.MinX(), 1.0);  // extremes rebuilt
  C.RemoveStatValue(0);
  C.RemoveStatValue(3);
  EXPECT_EQ(C.NumData(), 2);
  C.FlipXY();
  E = C.ErrIndic();
  EXPECT_TRUE(E[cfeXEQ0] && E[cfeXLE0] && !E[cfeYEQ0]);
  EXPECT_EQ(C.GetDataX(1), 0.0);
  EXPECT_EQ(C.GetDataY(2), 2.0);
  EXPECT_EQ(C.GetDataY(3), 0.0);
}

TEST(CurveFitData, RemovalLeavesExactSumsWhereSubtractionWouldNot) {
  TCurveFit C;
  Enter(C, {{1, 1}, {1e20, 2}, {2, 3}});
  C.RemoveStatValue(2);
  EXPECT_EQ(C.Sums().sumx, 3.0);
  EXPECT_EQ(C.Sums().sumx4, 17.0);
  // Removing 300 pairs one by one from the front keeps the later ones in order.
  TCurveFit D;
  for (int I = 1; I <= 300; ++I) D.EnterStatValue(I, 2 * I);
  D.RemoveStatValue(1);
  EXPECT_EQ(D.NumData(), 299);
  EXPECT_EQ(D.GetDataX(1), 2.0);
  EXPECT_EQ(D.GetDataY(299), 600.0);
}

TEST(CurveFitData, FlipTwiceRestoresEverything) {
  TCurveFit C;
  Enter(C, {{1, 2}, {3, 0.5}, {-2, 4}, {0.25, 7}});
  const TCurveFitSums S = C.Sums();
  C.FlipXY();
  EXPECT_EQ(C.Sums().sumx, S.sumy);
  EXPECT_EQ(C.Sums().sumlnx, S.sumlny);
  EXPECT_EQ(C.Sums().sumDiff, -S.sumDiff);
  EXPECT_EQ(C.InvalidCount(cfeYLE0), 1);
  C.FlipXY();
  EXPECT_EQ(0, std::memcmp(&S, &C.Sums(), sizeof S));
  EXPECT_EQ(C.InvalidCount(cfeXLE0), 1);
  EXPECT_EQ(C.GetDataX(3), -2.0);
}

TEST(CurveFitLine, ExactLineAndItsModel) {
  TCurveFit C;
  Enter(C, {{1, 2}, {2, 4}, {3, 6}});
  double k, d, q;
  C.CalcLinFit(k, d, q);
  EXPECT_DOUBLE_EQ(k, 2.0);
  EXPECT_NEAR(d, 0.0, 1e-15);
  EXPECT_DOUBLE_EQ(q, 1.0);
  EXPECT_EQ(C.GetFitQual(), 1.0);
  EXPECT_EQ(C.RegModel(), rmLinear);
  EXPECT_DOUBLE_EQ(C.Evaluate(10), 20.0);
  EXPECT_EQ(C.GetModelPar(2, 0), -1.0);
  EXPECT_EQ(C.GetModelPar(3, 0), -1.0);
  // Entering clears the model.
  C.EnterStatValue(4, 9);
  EXPECT_EQ(C.RegModel(), rmNone);
  EXPECT_EQ(C.GetModelPar(1, 1), 0.0);
}

TEST(CurveFitLine, FarFromTheOriginAndFailures) {
  // The raw-sum formula gives R^2 outside [0, 1] here; the centred moments do not.
  TCurveFit C;
  const double Y[] = {1.0, 3.1, 4.9, 7.2, 8.8};
  for (int I = 0; I < 5; ++I) C.EnterStatValue(1e8 + I, Y[I]);
  double k, d, q;
  C.CalcLinFit(k, d, q);
  EXPECT_NEAR(k, 1.97, 1e-8);  // scipy.stats.linregress
  EXPECT_GE(q, 0.0);
  EXPECT_LE(q, 1.0);
  EXPECT_NEAR(q, 0.997660668380463, 1e-9);
  TCurveFit E;
  E.EnterStatValue(1, 1);
  EXPECT_THROW(
      {
        try {
          E.CalcLinFit(k, d, q);
        } catch (const ENUXMath2Error& X) {
          EXPECT_STREQ(X.what(), "CalcLinFit: not enough data points");
          throw;
        }
      },
      ENUXMath2Error);
  E.EnterStatValue(1, 2);
  try {
    E.CalcLinFit(k, d, q);
    FAIL();
  } catch (const ENUXMath2Error& X) {
    EXPECT_STREQ(X.what(), "CalcLinFit: slope is infinite");
  }
  EXPECT_EQ(E.RegModel(), rmNone);
  // Extremes near the overflow limit: still a finite line.
  TCurveFit H;
  Enter(H, {{-1e300, -1e300}, {0, 1}, {1e300, 1e300}, {1e-300, 2}});
  H.CalcLinFit(k, d, q);
  EXPECT_NEAR(k, 1.0, 1e-12);
  EXPECT_TRUE(std::isfinite(d));
}

TEST(CurveFitParabola, ExactParabolaAndTheLineFallback) {
  TCurveFit C;
  for (double X : {-2.0, -1.0, 0.5, 1.0, 3.0}) C.EnterStatValue(X, 1.5 - 2 * X + 0.25 * X * X);
  double k0, k1, k2, q;
  C.CalcParabolFit(k0, k1, k2, q);
  EXPECT_NEAR(k0, 1.5, 1e-13);
  EXPECT_NEAR(k1, -2.0, 1e-13);
  EXPECT_NEAR(k2, 0.25, 1e-13);
  EXPECT_NEAR(q, 1.0, 1e-14);
  EXPECT_EQ(C.RegModel(), rmParabolic);
  EXPECT_NEAR(C.Evaluate(2.0), 1.5 - 4 + 1, 1e-13);
  // Two distinct x: the line through their means.
  TCurveFit L;
  Enter(L, {{1, 1}, {1, 3}, {2, 5}});
  L.CalcParabolFit(k0, k1, k2, q);
  EXPECT_NEAR(k1, 3.0, 1e-14);
  EXPECT_NEAR(k0, -1.0, 1e-14);
  EXPECT_EQ(k2, 0.0);
  EXPECT_EQ(L.RegModel(), rmParabolic);
  TCurveFit Few;
  Enter(Few, {{1, 1}, {2, 2}});
  EXPECT_THROW(Few.CalcParabolFit(k0, k1, k2, q), ENUXMath2Error);
}

TEST(CurveFitModels, PolynomialOrderCountsAndStatusCodes) {
  TCurveFit C;
  Enter(C, {{0, 1}, {1, 3}, {2, 2}});
  TDoubleArray K{7}, A{7};
  double Q = 5;
  bool Ns = true;
  // Orders without parameter slots or design columns are refused before the count is checked.
  EXPECT_FALSE(C.CalcPolyFit(11, K, A, Q, Ns));
  EXPECT_FALSE(C.CalcPolyFit(-1, K, Q, Ns));
  EXPECT_TRUE(K.empty() && A.empty());
  EXPECT_EQ(Q, 0.0);
  EXPECT_EQ(C.RegModel(), rmNone);
  try {
    C.CalcPolyFit(3, K, Q, Ns);
    FAIL();
  } catch (const ENUXMath2Error& E) {
    EXPECT_STREQ(E.what(), "CalcPolyFit: not enough data points");
  }
  double Shift = 0;
  EXPECT_THROW(C.CalcCenteredPolyFit(3, K, Shift, Q, Ns), ENUXMath2Error);
  // n = order + 1 interpolates: no residual degrees of freedom, so no significances.
  ASSERT_TRUE(C.CalcPolyFit(2, K, A, Q, Ns));
  EXPECT_NEAR(K[0], 1.0, 1e-14);
  EXPECT_NEAR(K[1], 3.5, 1e-14);
  EXPECT_NEAR(K[2], -1.5, 1e-14);
  EXPECT_EQ(A[1], 0.0);
  double Pv, Pi, Ci;
  EXPECT_EQ(C.Predict(rmPolynomial, 1.0, 0.9, 2, Pv, Pi, Ci), prTooFewPoints);
  EXPECT_EQ(C.Predict(rmPolynomial, 1.0, 0.9, 11, Pv, Pi, Ci), cfBadOrder);
  EXPECT_EQ(C.CalcRegModel(rmNone, 0), cfNoModel);
  EXPECT_EQ(C.CalcRegModel(TRegModel(99), 0), cfNoModel);
  EXPECT_EQ(C.CalcRegModel(rmPolynomial, 3), cfTooFewPoints);
  EXPECT_EQ(C.CalcRegModel(rmLog, 0), cfInvalidData);  // x = 0 is stored
  EXPECT_EQ(C.Predict(rmLinear, 1.0, 1.0, 0, Pv, Pi, Ci), prBadProb);
  EXPECT_EQ(C.Predict(rmNone, 1.0, 1.0, 0, Pv, Pi, Ci), prNoModel);  // the later check wins
  EXPECT_EQ(C.Predict(rmLinear, 1.0, 0.5, 0, Pv, Pi, Ci), cfOK);
  // Further from the mean of x the intervals widen.
  double Pi2, Ci2;
  ASSERT_EQ(C.Predict(rmLinear, 5.0, 0.5, 0, Pv, Pi2, Ci2), cfOK);
  EXPECT_GT(Pi2, Pi);
  EXPECT_GT(Ci2, Ci);
  // Removing a pair clears the model; CalcRegModel fits again.
  ASSERT_EQ(C.CalcRegModel(rmParabolic, 0), cfOK);
  EXPECT_NEAR(C.GetResidual(2), 0.0, 1e-14);
  C.RemoveStatValue(1);
  EXPECT_EQ(C.RegModel(), rmNone);
  EXPECT_EQ(C.GetResidual(1), 0.0);
  EXPECT_EQ(C.CalcRegModel(rmParabolic, 0), cfTooFewPoints);
  ASSERT_EQ(C.CalcRegModel(rmLinear, 0), cfOK);
  EXPECT_NEAR(C.GetModelPar(1, 1), -1.0, 1e-15);
}

TEST(CurveFitModels, RankStatisticsWhenUndefined) {
  TCurveFit C;
  Enter(C, {{1, 2}, {2, 1}});
  double P = 0;
  EXPECT_EQ(C.KendallsTau(P), 0.0);
  EXPECT_EQ(P, 1.0);
  EXPECT_EQ(C.GetSpearman(P), 0.0);
  EXPECT_EQ(P, 1.0);
  Enter(C, {{1, 3}, {1, 4}});
  C.RemoveStatValue(2);  // x all 1 now
  EXPECT_EQ(C.KendallsTau(P), 0.0);
  EXPECT_EQ(P, 1.0);
  EXPECT_EQ(C.GetKruskalGamma(), 0.0);
  TCurveFit M;
  for (int I = 0; I < 9; ++I) M.EnterStatValue(I, std::exp(I));
  EXPECT_EQ(M.GetSpearman(), 1.0);
  EXPECT_EQ(M.KendallsTau(P), 1.0);
  EXPECT_LT(P, 1e-3);
  M.EnterStatValue(9, 0);  // the counts are computed again
  EXPECT_LT(M.KendallsTau(P), 1.0);
}

TEST(CurveFitModels, ValuesAcrossTheDoubleRange) {
  TCurveFit C;
  Enter(C, {{1e-300, 2e-300}, {1e-100, 2e-100}, {1, 2}, {1e100, 2e100}, {1e300, 2e300}});
  double k, d, q;
  C.CalcLinFit(k, d, q);
  EXPECT_NEAR(k, 2.0, 1e-14);
  EXPECT_NEAR(q, 1.0, 1e-14);
  EXPECT_TRUE(std::isfinite(C.GetStdDevX()));
  EXPECT_NEAR(C.GetRxy(), 1.0, 1e-14);
  double Pv, Pi, Ci;
  EXPECT_EQ(C.Predict(rmLinear, 1.0, 0.9, 0, Pv, Pi, Ci), cfOK);
  EXPECT_TRUE(std::isfinite(Pi) && std::isfinite(Ci));
  // x^2 overflows: the polynomial is refused rather than filled with NaN.
  TDoubleArray K;
  bool Ns;
  EXPECT_FALSE(C.CalcPolyFit(2, K, q, Ns));
  EXPECT_EQ(C.RegModel(), rmNone);
  EXPECT_EQ(C.CalcRegModel(rmPolynomial, 2), cfFitFailed);
  // ln x and ln y are tame: y = 2 x exactly.
  C.CalcPowerFit(k, d, q);
  EXPECT_NEAR(k, 2.0, 1e-12);
  EXPECT_NEAR(d, 1.0, 1e-14);
  // y on 1/x: the residual sum of squares overflows, so the fit is refused, not made NaN.
  EXPECT_THROW(C.CalcHyperbolFit(k, d, q), ENUXMath2Error);
}

TEST(CurveFitSplines, SmallAndBadInput) {
  TCurveFit C;
  double Q;
  bool Valid = true;
  EXPECT_TRUE(std::isnan(C.CubicSpline(1.0)));
  EXPECT_TRUE(std::isnan(C.SmoothedSpline(1.0, Q, Valid)));
  EXPECT_FALSE(Valid);
  C.EnterStatValue(2, 5);
  EXPECT_EQ(C.CubicSpline(-3), 5.0);
  EXPECT_EQ(C.SmoothedSpline(9, Q, Valid), 5.0);
  EXPECT_TRUE(Valid);
  // Equal x: one knot with the mean y.
  Enter(C, {{4, 1}, {4, 3}});
  EXPECT_DOUBLE_EQ(C.CubicSpline(3), 3.5);
  EXPECT_DOUBLE_EQ(C.SmoothedSpline(4, Q, Valid), 2.0);
  C.SetSplineSmoothing(-1);  // ignored
  EXPECT_EQ(C.SplineSmoothingFactor(), 0.5);
  // The free routine: codes, interpolation for lambda 0, the weighted line for a huge lambda.
  const double X[] = {0, 1, 2, 4}, Y[] = {1, 0, 2, 7}, W[] = {1, 1, 1, 1};
  double A[4], B[4], Cc[4], D[4];
  EXPECT_EQ(PenalizedCubicSpline(1, 0.5, X, Y, W, A, B, Cc, D), pcsBadSize);
  EXPECT_EQ(PenalizedCubicSpline(5, 0.5, X, Y, W, A, B, Cc, D), pcsBadSize);
  const double Xr[] = {0, 1, 1, 4}, W0[] = {1, 0, 1, 1};
  EXPECT_EQ(PenalizedCubicSpline(4, 0.5, Xr, Y, W, A, B, Cc, D), pcsBadX);
  EXPECT_EQ(PenalizedCubicSpline(4, 0.5, X, Y, W0, A, B, Cc, D), pcsBadWeight);
  EXPECT_EQ(PenalizedCubicSpline(4, -1, X, Y, W, A, B, Cc, D), pcsBadLambda);
  ASSERT_EQ(PenalizedCubicSpline(4, 0.0, X, Y, W, A, B, Cc, D), pcsOK);
  for (int I = 0; I < 4; ++I) EXPECT_NEAR(A[I], Y[I], 1e-14);
  ASSERT_EQ(PenalizedCubicSpline(4, 1e12, X, Y, W, A, B, Cc, D), pcsOK);
  // Least-squares line of the four points: slope 58/35, intercept -2/5 (by hand).
  for (int I = 0; I < 4; ++I) EXPECT_NEAR(A[I], -0.4 + 58.0 / 35 * X[I], 1e-9);
  EXPECT_NEAR(EvalPiecewiseCubic(4, X, A, B, Cc, D, 6.0), -0.4 + 58.0 / 35 * 6, 1e-8);
}

TEST(CurveFitStatistics, MomentsAnglesAndAnova) {
  TCurveFit C;
  int32_t N;
  double Mx, My, Sx, Sy, Md, Sd, R;
  C.CalcStatistics(N, Mx, My, Sx, Sy, Md, Sd, R);
  EXPECT_EQ(N, 0);
  EXPECT_EQ(Mx, 0.0);
  EXPECT_TRUE(std::isnan(C.PercentileX(50)));
  Enter(C, {{1, 1.1}, {2, 1.9}, {3, 3.2}, {4, 3.8}});
  C.CalcStatistics(N, Mx, My, Sx, Sy, Md, Sd, R);
  EXPECT_DOUBLE_EQ(Mx, 2.5);
  EXPECT_DOUBLE_EQ(Sx, std::sqrt(5.0 / 3));
  EXPECT_NEAR(Md, 0.0, 1e-15);
  EXPECT_NEAR(Sd, std::sqrt(0.1 / 3), 1e-15);  // differences -0.1 0.1 -0.2 0.2
  EXPECT_NEAR(R, 0.9908470001860921, 1e-14);   // numpy.corrcoef
  EXPECT_NEAR(C.GetRMSDiff(), std::sqrt(0.1 / 4), 1e-15);
  double Q1, Q2, Q3;
  ASSERT_TRUE(C.QuartilesX(Q1, Q2, Q3));
  EXPECT_DOUBLE_EQ(Q2, 2.5);
  int32_t Dr, De, Dt;
  double Sse, Ssr, Sst, Mse, Msr, F;
  C.CalcAnovaReg(1, true, Dr, De, Dt, Sse, Ssr, Sst, Mse, Msr, F);
  EXPECT_EQ(Dr, 1);
  EXPECT_EQ(De, 2);
  EXPECT_EQ(Dt, 3);
  EXPECT_NEAR(Sse, 0.1, 1e-15);
  EXPECT_NEAR(Ssr, 4.5, 1e-14);
  EXPECT_NEAR(Sst, 5.0, 1e-14);
  EXPECT_NEAR(F, 90.0, 1e-12);
  C.CalcAnovaReg(4, true, Dr, De, Dt, Sse, Ssr, Sst, Mse, Msr, F);
  EXPECT_EQ(De, -1);
  EXPECT_EQ(Mse, 0.0);  // no residual degrees of freedom: no division
  EXPECT_EQ(F, 1e10);
  TCurveFit A;
  Enter(A, {{350, 90}, {10, 90}});
  const double M = A.GetMeanXDegrees();
  EXPECT_TRUE(M < 1e-9 || M > 360 - 1e-9) << M;
  EXPECT_NEAR(A.GetMeanYDegrees(), 90.0, 1e-12);
  Enter(A, {{200, 270}});
  EXPECT_NEAR(A.GetMeanXDegrees(), 341.62953716516097, 1e-12);  // numpy, atan2
  A.RemoveStatValue(3);
  A.FlipXY();
  Enter(A, {{270, 0}, {270, 0}});
  EXPECT_TRUE(std::isnan(A.GetMeanXDegrees()));  // 90, 90, 270, 270 cancel
}

TEST(CurveFitASC, RoundTripHeaderAndAllOrNothing) {
  TempDir Dir;
  const std::string F = Dir.Path("cf.asc");
  TCurveFit C;
  Enter(C, {{1.5, -2}, {0.1, 3e-5}, {-7, 1e10}});
  EXPECT_EQ(C.ExportAsASC(F, "", -1), "");
  std::string Text;
  ASSERT_EQ(ReadWholeTextFile(F, Text), ascOK);
  EXPECT_EQ(Text.substr(0, Text.find('\n')), "Exported by NUX TCurveFit component: " + F);
  EXPECT_NE(Text.find("2\t;nr. of columns\n3\t;nr. of rows\nFALSE TRUE FALSE\t"),
            std::string::npos);
  EXPECT_NE(Text.find("\nx   y\n1.5\t-2\n"), std::string::npos);
  TCurveFit D;
  D.EnterStatValue(9, 9);
  ASSERT_EQ(D.ImportASC(F), ascOK);
  ASSERT_EQ(D.NumData(), 3);
  for (int I = 1; I <= 3; ++I) {
    EXPECT_EQ(D.GetDataX(I), C.GetDataX(I));
    EXPECT_EQ(D.GetDataY(I), C.GetDataY(I));
  }
  EXPECT_EQ(0, std::memcmp(&C.Sums(), &D.Sums(), sizeof(TCurveFitSums)));
  // A broken record keeps the old pairs and sums.
  EXPECT_EQ(D.ImportASCText("c\n2\t;\n2\t;\nFALSE FALSE FALSE\t;\n1 2\n3 x\n"), ascBadValue);
  EXPECT_EQ(D.NumData(), 3);
  EXPECT_EQ(D.Sums().sumx, C.Sums().sumx);
  EXPECT_EQ(D.ImportASCText("c\n2\t;\n1\t;\nFALSE FALSE FALSE FALSE\t;\n1 inf\n"), ascBadValue);
  EXPECT_EQ(D.ImportASCText("c\n2\t;\n1\t;\nFALSE FALSE FALSE TRUE\t;\n1 2\n"), ascWrongShape);
  try {
    D.ImportASCText("c\n3\t;\n1\t;\nFALSE FALSE FALSE\t;\n1 2 3\n");
    FAIL();
  } catch (const ENUXMath2Error& E) {
    EXPECT_STREQ(E.what(), "TCurveFit.ImportASC: number of columns must be 2 (is actually 3).");
  }
  EXPECT_EQ(D.NumData(), 3);
  EXPECT_EQ(D.ImportASC(Dir.Path("none.asc")), ascNoFile);
  // An unwritable target reports the failure's message.
  EXPECT_NE(C.ExportAsASC(Dir.Path("no/such/dir.asc"), "c", 3), "");
}

}  // namespace
}  // namespace nux
