#include "nux/statis/contingency.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "nux/statis/distributions.h"

namespace nux {
namespace {

struct TChi2Ref {
  TInt2DArray Table;
  double Chi2, P;
  int32_t Df;
  double Cramer;
};
struct T2x2Ref {
  TInt2DArray Table;
  double Chi2Yates, PYates, Less, Greater, TwoSided, Prob;
};
struct TARIRef {
  TInt2DArray Table;
  double ARI;
};
struct TMedianRef {
  std::vector<double> X, Y;
  double Chi2, P, Chi2Yates, PYates, Fisher;
};
#include "data/classif_reference.inc"

// The table with its row totals, column totals and grand total.
TInt2DArray WithMargins(const TInt2DArray& Inner) {
  const size_t R = Inner.size(), C = Inner[0].size();
  TInt2DArray T(R + 1, TIntArray(C + 1, 0));
  for (size_t I = 0; I < R; ++I)
    for (size_t J = 0; J < C; ++J) {
      T[I][J] = Inner[I][J];
      T[I][C] += Inner[I][J];
      T[R][J] += Inner[I][J];
      T[R][C] += Inner[I][J];
    }
  return T;
}

void ExpectRel(double Got, double Want, double Tol) {
  EXPECT_NEAR(Got, Want, Tol * std::max(std::fabs(Want), 1e-300)) << "want " << Want;
}

TEST(Contingency, ChiSquare) {
  for (const TChi2Ref& R : std::vector<TChi2Ref>{NUX_REF_CHI2}) {
    double Chi2 = -1, P = -1;
    ASSERT_EQ(Chi2OfContTab(WithMargins(R.Table), Chi2, P), 0);
    ExpectRel(Chi2, R.Chi2, 1e-13);
    ExpectRel(P, R.P, 1e-9);
    const double K = double(std::min(R.Table.size(), R.Table[0].size()));
    int64_t N = 0;
    for (const auto& Row : R.Table)
      for (const int32_t V : Row) N += V;
    ExpectRel(std::sqrt(Chi2 / double(N) / (K - 1)), R.Cramer, 1e-13);
  }
  double Chi2 = -1, P = -1;
  EXPECT_EQ(Chi2OfContTab(TInt2DArray{{1, 2, 3}, {1, 2, 3}}, Chi2, P), -1);  // 2 x 3
  EXPECT_EQ(Chi2, 0.0);
  TInt2DArray T = WithMargins({{3, 4}, {5, 6}});
  T[1].pop_back();
  EXPECT_EQ(Chi2OfContTab(T, Chi2, P), -1);  // ragged
  T = WithMargins({{3, 4}, {5, 6}});
  T[0][2] = 8;
  EXPECT_EQ(Chi2OfContTab(T, Chi2, P), -2);  // margin off
  EXPECT_EQ(Chi2OfContTab(WithMargins({{3, -4}, {5, 6}}), Chi2, P), -2);
  // An empty row adds nothing but keeps its degree of freedom.
  ASSERT_EQ(Chi2OfContTab(WithMargins({{3, 4}, {0, 0}, {6, 2}}), Chi2, P), 0);
  double Chi2b = -1, Pb = -1;
  Chi2OfContTab(WithMargins({{3, 4}, {6, 2}}), Chi2b, Pb);
  EXPECT_DOUBLE_EQ(Chi2, Chi2b);
  EXPECT_DOUBLE_EQ(P, chi2DistriIntegralUpper(Chi2, 2));
}

TEST(Contingency, TwoByTwo) {
  for (const T2x2Ref& R : std::vector<T2x2Ref>{NUX_REF_2X2}) {
    SCOPED_TRACE(::testing::PrintToString(R.Table));
    double Chi2 = -1, P = -1;
    ASSERT_EQ(Chi2OfContTabYates(WithMargins(R.Table), Chi2, P), 0);
    ExpectRel(Chi2, R.Chi2Yates, 1e-12);
    ExpectRel(P, R.PYates, 1e-9);
    const int64_t N = int64_t(R.Table[0][0]) + R.Table[0][1] + R.Table[1][0] + R.Table[1][1];
    double Low = -1, High = -1, Two = -1, Prob = -1;
    if (N > Max2x2Total) {
      EXPECT_EQ(FisherExactTest(R.Table, Low, High, Two), -2);
      EXPECT_EQ(Prob2x2Contingency(R.Table, Prob), -2);
      continue;
    }
    ASSERT_EQ(FisherExactTest(R.Table, Low, High, Two), 0);
    ASSERT_EQ(Prob2x2Contingency(R.Table, Prob), 0);
    ExpectRel(Low, R.Less, 1e-10);
    ExpectRel(High, R.Greater, 1e-10);
    ExpectRel(Two, R.TwoSided, 1e-10);
    ExpectRel(Prob, R.Prob, 1e-10);
    EXPECT_NEAR(Low + High - Prob, 1.0, 1e-12);
  }
  double P = -1, Low = -1, High = -1, Two = -1;
  ASSERT_EQ(Prob2x2Contingency({{1, 0}, {0, 1}}, P), 0);
  EXPECT_DOUBLE_EQ(P, 0.5);
  EXPECT_EQ(Prob2x2Contingency({{1001, 0}, {0, 0}}, P), -2);
  EXPECT_EQ(P, 0.0);
  EXPECT_EQ(Prob2x2Contingency({{2000, -1}, {0, 0}}, P), -3);  // the later check wins
  EXPECT_EQ(Prob2x2Contingency({{1, 2}, {3}}, P), -1);
  EXPECT_EQ(Prob2x2Contingency({{1, 2, 3}, {3, 4, 5}}, P), -1);
  EXPECT_EQ(FisherExactTest({{1, 2}, {3}}, Low, High, Two), -1);
  EXPECT_EQ(FisherExactTest({{INT32_MAX, INT32_MAX}, {2, -1}}, Low, High, Two), -3);
  // The tails do not depend on which margin is smallest.
  ASSERT_EQ(FisherExactTest({{1, 9}, {11, 3}}, Low, High, Two), 0);
  double Low2 = -1, High2 = -1, Two2 = -1;
  ASSERT_EQ(FisherExactTest({{9, 1}, {3, 11}}, Low2, High2, Two2), 0);
  EXPECT_NEAR(Low, High2, 1e-15);
  EXPECT_NEAR(High, Low2, 1e-15);
  EXPECT_EQ(Two, Two2);

  double Chi2 = -7;
  P = -7;
  EXPECT_EQ(Chi2OfContTabYates({}, Chi2, P), -1);
  EXPECT_EQ(Chi2, -7.0);  // untouched
  EXPECT_EQ(Chi2OfContTabYates(WithMargins({{1, 2, 3}, {4, 5, 6}}), Chi2, P), -1);
  EXPECT_EQ(Chi2, 0.0);
  EXPECT_EQ(Chi2OfContTabYates(WithMargins({{1, -2}, {4, 5}}), Chi2, P), -3);
  // A margin of 0: no statistic (ad - bc is 0, so the corrected numerator is 0 too).
  EXPECT_EQ(Chi2OfContTabYates(WithMargins({{0, 0}, {4, 6}}), Chi2, P), -2);
  EXPECT_EQ(Chi2, 0.0);
  EXPECT_EQ(P, 0.0);
}

TEST(Contingency, RandIndexAndLambda) {
  for (const TARIRef& R : std::vector<TARIRef>{NUX_REF_ARI})
    EXPECT_NEAR(AdjustedRandIx(WithMargins(R.Table)), R.ARI, 1e-12)
        << ::testing::PrintToString(R.Table);
  EXPECT_EQ(AdjustedRandIx(WithMargins({{7}})), 1.0);             // one class on both sides
  EXPECT_EQ(AdjustedRandIx(WithMargins({{0, 0}, {0, 0}})), 1.0);  // no objects
  EXPECT_TRUE(std::isnan(AdjustedRandIx({{1, 1}, {1}})));
  EXPECT_TRUE(std::isnan(AdjustedRandIx({{5}})));
  EXPECT_TRUE(std::isnan(AdjustedRandIx(WithMargins({{3, -1}, {1, 2}}))));

  // Rows: 3 classes, columns: 2. Predicting the column from the row errs 10 + 10 + 10 = 30
  // times instead of 100 - 60 = 40; predicting the row from the column errs 60 - 30 + 40 - 20
  // = 50 times instead of 100 - 40 = 60.
  double CR = -1, RC = -1;
  ASSERT_EQ(Lambda(WithMargins({{30, 10}, {10, 20}, {20, 10}}), CR, RC), 0);
  EXPECT_DOUBLE_EQ(CR, 0.25);
  EXPECT_DOUBLE_EQ(RC, 10.0 / 60.0);
  ASSERT_EQ(Lambda(WithMargins({{3, 0}, {5, 0}}), CR, RC), 0);
  EXPECT_TRUE(std::isnan(CR));  // a single column: nothing to predict
  EXPECT_EQ(RC, 0.0);
  TInt2DArray T = WithMargins({{3, 1}, {5, 2}});
  T[1][2] = 6;
  EXPECT_EQ(Lambda(T, CR, RC), -1);
  EXPECT_EQ(CR, 0.0);
  T[1].pop_back();
  EXPECT_EQ(Lambda(T, CR, RC), -1);
  EXPECT_EQ(Lambda({}, CR, RC), -1);
}

TEST(Contingency, MedianTest) {
  for (const TMedianRef& R : std::vector<TMedianRef>{NUX_REF_MEDIAN}) {
    double Chi2, P, Chi2Y, PY, PF;
    ASSERT_EQ(MedianTest(R.X, R.Y, Chi2, P, Chi2Y, PY, PF), 0);
    ExpectRel(Chi2, R.Chi2, 1e-12);
    ExpectRel(P, R.P, 1e-9);
    ExpectRel(Chi2Y, R.Chi2Yates, 1e-12);
    ExpectRel(PY, R.PYates, 1e-9);
    ExpectRel(PF, R.Fisher, 1e-10);
    // NaN values are left out.
    std::vector<double> X = R.X;
    X.insert(X.begin() + 1, std::nan(""));
    double Chi2b;
    MedianTest(X, R.Y, Chi2b, P, Chi2Y, PY, PF);
    EXPECT_EQ(Chi2b, Chi2);
  }
  double Chi2 = -1, P = -1, Chi2Y = -1, PY = -1, PF = 0;
  EXPECT_EQ(MedianTest({1, 2, 3}, {}, Chi2, P, Chi2Y, PY, PF), -1);
  EXPECT_EQ(PF, -1.0);
  EXPECT_EQ(MedianTest({1, 2, 3}, {std::nan("")}, Chi2, P, Chi2Y, PY, PF), -1);
  // All values equal: none lies above the median, so the corrected test has no value.
  EXPECT_EQ(MedianTest({4, 4, 4}, {4, 4}, Chi2, P, Chi2Y, PY, PF), -2);
  EXPECT_EQ(Chi2, 0.0);
  EXPECT_EQ(Chi2Y, 0.0);
  EXPECT_EQ(PF, 1.0);
}

}  // namespace
}  // namespace nux
