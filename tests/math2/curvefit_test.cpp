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
