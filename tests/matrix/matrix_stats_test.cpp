#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <utility>
#include <vector>

#include "nux/host/random.h"
#include "nux/matrix/matrix.h"
#include "support/alloc_limit.h"
#include "support/filled.h"

namespace nux {
namespace {

using P = std::pair<double, double>;
constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// A matrix that has lost all its elements, to check that nothing reads outside.
struct Hollow : TMatrix {
  Hollow() { Mat.clear(); }
};

P MeanVar(const TMatrix& M) {
  P R;
  M.MeanVar(0, 0, 0, 0, R.first, R.second);
  return R;
}
P Moments(const TMatrix& M, bool Sample) {
  P R;
  if (Sample)
    M.SkewKurtSample(0, 0, 0, 0, R.first, R.second);
  else
    M.SkewKurt(0, 0, 0, 0, R.first, R.second);
  return R;
}
std::vector<double> Quartiles(const TMatrix& M) {
  double Q1 = 0, Q2 = 0, Q3 = 0;
  return M.Quartiles(0, 0, 0, 0, Q1, Q2, Q3) ? std::vector{Q1, Q2, Q3} : std::vector<double>{};
}
std::string MessageOf(const std::function<void()>& F) {
  try {
    F();
  } catch (const ENUXMatrixError& E) {
    return E.what();
  }
  return "no exception";
}

TEST(MatrixStats, MeanVarRuleAndRangeOrder) {
  EXPECT_EQ(MeanVar(Cols{{1, 3}}), P(2, 1));                   // two values: 1.0 by rule
  EXPECT_DOUBLE_EQ(MeanVar(Cols{{1}, {2}, {3}}).second, 1.0);  // computed
  EXPECT_EQ(MeanVar(Cols{{1, 1, 1}}).second, 0.0);
  // (LowCol, LowRow, HighCol, HighRow), reversed bounds exchanged: 20, 30, 200, 300.
  Cols M{{1, 2, 3}, {10, 20, 30}, {100, 200, 300}};
  double Mean = 0, Var = 0;
  M.MeanVar(3, 3, 2, 2, Mean, Var);
  EXPECT_DOUBLE_EQ(Mean, 137.5);
  EXPECT_DOUBLE_EQ(Var, (117.5 * 117.5 + 107.5 * 107.5 + 62.5 * 62.5 + 162.5 * 162.5) / 3);
}

TEST(MatrixStats, MomentsAndCorrelationKeepTheirDigitsOnALargeOffset) {
  // Raw sums of squares near 6e18 lose everything below about 1000. Deviations -2..2 and 0.5:
  // mean 1/12, sum of squared deviations 10.25 - 0.5^2/6.
  const P R = MeanVar(Cols{{1e9 - 2, 1e9 - 1}, {1e9, 1e9 + 1}, {1e9 + 2, 1e9 + 0.5}});
  EXPECT_NEAR(R.first, 1e9 + 1.0 / 12, 1e-6);
  EXPECT_NEAR(R.second, (10.25 - 0.25 / 6) / 5, 1e-9);
  // 0, 0, 0, 4 (also read across two columns): d = -1, -1, -1, 3, s = 2.
  const P Pop = Moments(Cols{{1e9, 1e9}, {1e9, 1e9 + 4}}, false);
  EXPECT_NEAR(Pop.first, 24.0 / 4 / 8, 1e-9);
  EXPECT_NEAR(Pop.second, 84.0 / 4 / 16 - 3, 1e-9);
  const P Smp = Moments(Cols{{1e9, 1e9}, {1e9, 1e9 + 4}}, true);
  EXPECT_NEAR(Smp.first, 2.0, 1e-9);   // 0.75 * 16 / (3 * 2)
  EXPECT_NEAR(Smp.second, 4.0, 1e-9);  // 1.3125 * 80 / 6 - 27 / 2
  // x = 1, 2, 3 and y = 2, 4, 7: Sxy = 5, Sxx = 2, Syy = 114/9.
  Cols X{{1e9 + 1, 1e9 + 2, 1e9 + 3}}, Y{{1e9 + 2, 1e9 + 4, 1e9 + 7}};
  EXPECT_NEAR(X.Correlate(Y), 15 / std::sqrt(228.0), 1e-12);
}

TEST(MatrixStats, SkewKurtEdgeCases) {
  EXPECT_EQ(Moments(Cols{{1, 3}}, false), P(0, -2.75));  // n = 2 is enough: (2/2)/4 - 3
  const P Three = Moments(Cols{{0, 0, 3}}, false);       // d = -1, -1, 2, s = sqrt(3)
  EXPECT_DOUBLE_EQ(Three.first, 2.0 / (3 * std::sqrt(3.0)));
  EXPECT_DOUBLE_EQ(Three.second, 6.0 / 9.0 - 3.0);
  EXPECT_EQ(Moments(Cols{{0, 0, 3}}, true), P(0, 0));  // fewer than 4 values
  EXPECT_EQ(Moments(Cols{{5}}, false), P(0, 0));
  // Constant data: no spread, so nothing to correct in the sample form either.
  EXPECT_EQ(Moments(Cols{{7, 7, 7, 7, 7}}, true), P(0, 0));
  // An undefined spread gives NaN rather than a plausible 0.
  EXPECT_TRUE(std::isnan(Moments(Cols{{1, NaN, 3, 4}}, false).second));
  EXPECT_TRUE(std::isnan(Moments(Cols{{1, Inf, 3, 4}}, true).first));
}

TEST(MatrixStats, MeanVec) {
  Cols M{{1, 2, 3}, {4, 5, 9}};
  TVector V;
  M.MeanVec(dimColumns, &V);
  EXPECT_EQ(V.Data(), (TDoubleArray{2, 6}));
  M.MeanVec(dimRows, &V);
  EXPECT_EQ(V.Data(), (TDoubleArray{2.5, 3.5, 6}));
  M.MeanVec(static_cast<TDims>(5), &V);  // other ordinals do nothing
  M.MeanVec(dimColumns, nullptr);
  EXPECT_EQ(V.NrOfElem(), 3);
  Cols({{1.5e308, 1.5e308}}).MeanVec(dimColumns, &V);  // the plain sum would overflow
  EXPECT_EQ(V.Data(), (TDoubleArray{1.5e308}));
}

TEST(MatrixStats, QuartilesAndPercentiles) {
  EXPECT_EQ(Quartiles(Cols{{2, 1}}), (std::vector<double>{1, 1.5, 1}));  // Q3 clamped
  EXPECT_EQ(Quartiles(Cols{{4, 2}, {3, 1}}), (std::vector<double>{1.25, 2.5, 3.75}));
  EXPECT_EQ(Quartiles(Cols{{3, 1, 2}}), (std::vector<double>{1, 2, 2}));
  EXPECT_EQ(Quartiles(Cols{{Inf, Inf, Inf, Inf}})[1], Inf);
  // NaN elements are left out of the order statistics.
  EXPECT_EQ(Quartiles(Cols{{4, NaN, 2}, {3, 1, NaN}}), (std::vector<double>{1.25, 2.5, 3.75}));
  EXPECT_TRUE(Quartiles(Cols{{NaN, NaN}}).empty());

  Cols M{{7, 3, 10, 1, 5}, {2, 9, 4, 8, 6}};  // 1..10
  EXPECT_EQ(M.Percentile(150, 0, 0, 0, 0), 10.0);
  EXPECT_EQ(M.Percentile(-5, 0, 0, 0, 0), 1.0);
  EXPECT_EQ(M.Percentile(25, 0, 0, 0, 0), 3.0);  // round(2.5) = 2, halves to even
  EXPECT_EQ(M.Percentile(35, 0, 0, 0, 0), 5.0);  // round(3.5) = 4
  EXPECT_EQ(M.Percentile(50, 2, 1, 2, 5), 6.0);  // column 2: 2, 4, 6, 8, 9
  EXPECT_EQ(M.Data()[0][0], 7.0);                // the matrix is not reordered
  EXPECT_EQ(Cols({{NaN, 3}, {1, NaN}}).Percentile(100, 0, 0, 0, 0), 3.0);
  EXPECT_TRUE(std::isnan(Cols({{NaN, NaN}}).Percentile(50, 0, 0, 0, 0)));
}

TEST(MatrixStats, SampledPercentileDrawsFromTheRunningGenerator) {
  TMatrix M;
  M.Resize(20, 30);
  M.FillSerial(-100, 1);
  EXPECT_EQ(M.Percentile(40, 2, 3, 4, 5, 9), M.Percentile(40, 2, 3, 4, 5));  // not smaller
  // Each draw is a column, then a row of the range, from the process-wide generator.
  SetRandSeed(1234);
  const double Got = M.Percentile(30, 3, 5, 12, 24, 50);
  const double After = Random();
  SetRandSeed(1234);
  std::vector<double> Sample;
  for (int I = 0; I < 50; ++I) {
    const int32_t C = 3 + RandomInt(10);
    Sample.push_back(M.GetVal(C, 5 + RandomInt(20)));
  }
  EXPECT_EQ(Random(), After);  // no reseeding inside
  std::sort(Sample.begin(), Sample.end());
  EXPECT_EQ(Got, Sample[15]);  // round(30 * 50 / 100)

  // The percentile falls into the zeros of a sparse matrix.
  TMatrix Sparse;
  Sparse.Resize(10, 10);
  for (int32_t K = 1; K <= 10; ++K) {
    Sparse.SetVal(K, 1, -1.0);
    Sparse.SetVal(K, 10, 1.0);
  }
  EXPECT_EQ(Sparse.Percentile(50, 0, 0, 0, 0, 60), 0.0);
  EXPECT_EQ(Sparse.Percentile(100, 0, 0, 0, 0, 60), 1.0);
}

TEST(MatrixStats, Histogram) {
  Cols M{{10, 9.99, -0.01, 0}, {4.5, 4.2, NaN, Inf}, {-Inf, 1e300, 5, 5}};
  TIntArray H;
  int32_t Under = -1, Over = -1, MaxCnt = -1;
  ASSERT_TRUE(M.Histogram(0, 0, 0, 0, 0, 9, 1, H, Under, Over, MaxCnt));
  EXPECT_EQ(H, (TIntArray{1, 0, 0, 0, 2, 2, 0, 0, 0, 1}));
  // -0.01 and -inf under, 10, inf and 1e300 over; the NaN is counted nowhere.
  EXPECT_EQ((std::vector{Under, Over, MaxCnt}), (std::vector{2, 3, 2}));
  ASSERT_TRUE(M.Histogram(2, 1, 3, 2, 0, 9, 1, H, Under, Over, MaxCnt));  // columns 2-3, rows 1-2
  EXPECT_EQ(H[4] + Under + Over, 4);
  // Span no whole multiple of the width: 3 bins up to 1.2, a value above is overflow.
  ASSERT_TRUE(Cols({{1.3, 0.5}}).Histogram(0, 0, 0, 0, 0, 1, 0.4, H, Under, Over, MaxCnt));
  EXPECT_EQ(H, (TIntArray{0, 1, 0}));
  EXPECT_EQ(Over, 1);

  const TIntArray Before{7, 7};
  for (const double Width : {0.0, -1.0, -0.001, NaN, Inf}) {
    H = Before;
    EXPECT_FALSE(M.Histogram(0, 0, 0, 0, 0, 9, Width, H, Under, Over, MaxCnt)) << Width;
    EXPECT_EQ(H, Before);
  }
  EXPECT_FALSE(M.Histogram(0, 0, 0, 0, 0, 1000, 1, H, Under, Over, MaxCnt));
  EXPECT_FALSE(M.Histogram(0, 0, 0, 0, NaN, 9, 1, H, Under, Over, MaxCnt));
  EXPECT_FALSE(M.Histogram(0, 0, 0, 0, -1e308, 1e308, 1e306, H, Under, Over, MaxCnt));
  TIntVector HV;
  ASSERT_TRUE(M.Histogram(0, 0, 0, 0, 0, 9, 3, HV, Under, Over, MaxCnt));
  EXPECT_EQ(HV.Data(), (TIntArray{1, 4, 0, 2}));
}

TEST(MatrixStats, MeansSumsAndExtremes) {
  Cols M{{1, 2}, {4, 0}};
  M.SetName("M");
  EXPECT_DOUBLE_EQ(M.GeometricMean(1, 1, 2, 1), 2.0);  // first row: 1, 4
  EXPECT_EQ(M.GeometricMean(0, 0, 0, 0), 0.0);
  EXPECT_DOUBLE_EQ(Cols({{1, 2, 4}}).HarmonicMean(0, 0, 0, 0), 3.0 / 1.75);
  EXPECT_EQ(MessageOf([&] { M.HarmonicMean(0, 0, 0, 0); }),
            "Component \"M\": negative or zero argument passed to HarmonicMean");
  Cols Neg{{0, -1}};  // negative after a zero still raises
  EXPECT_EQ(MessageOf([&] { Neg.GeometricMean(0, 0, 0, 0); }),
            "Component \"\": negative argument passed to GeometricMean");
  EXPECT_EQ(M.Sum(2, 0, 2, 0), 4.0);

  Cols X{{1, NaN, -3}, {1.797e308, 2, -Inf}};
  double Lo = 0, Hi = 0;
  X.MinMax(0, 0, 0, 0, Lo, Hi);
  EXPECT_EQ(P(Lo, Hi), P(-Inf, 1.797e308));
  Cols({{NaN, NaN}}).MinMax(0, 0, 0, 0, Lo, Hi);
  EXPECT_EQ(P(Lo, Hi), P(Inf, -Inf));
}

TEST(MatrixStats, SearchesAndCounts) {
  // Find: (LowCol, HighCol, LowRow, HighRow); the first of equally near elements wins.
  Cols M{{5, NaN, 3}, {7, 4, 2}, {Inf, 9, 4}};
  int32_t C = -1, R = -1;
  M.Find(0, 0, 0, 0, 3.5, C, R);
  EXPECT_EQ(P(C, R), P(1, 3));
  M.Find(2, 3, 1, 3, 3.5, C, R);
  EXPECT_EQ(P(C, R), P(2, 2));
  M.Find(0, 0, 0, 0, Inf, C, R);
  EXPECT_EQ(P(C, R), P(3, 1));
  M.Find(0, 0, 0, 0, NaN, C, R);
  EXPECT_EQ(P(C, R), P(0, 0));

  Cols S{{1, 3, 5, 7}, {7, 5, 3, 1}};
  EXPECT_EQ(S.FindInSortedColumn(1, true, 4), 3);  // tie goes to the higher row
  EXPECT_EQ(S.FindInSortedColumn(1, true, 3.9), 2);
  EXPECT_EQ(S.FindInSortedColumn(2, false, 2.2), 3);
  EXPECT_EQ(S.FindInSortedColumn(3, true, 4), 0);
  EXPECT_EQ(Cols({{9}, {8}}).FindInSortedColumn(2, true, 0), 1);

  Cols V{{1, 2, 3}, {4, NaN, 6}};
  EXPECT_EQ(V.CountValues(0, 0, 0, 0, 2, 4), 3);       // bounds included
  EXPECT_EQ(V.CountValues(2, 2, 0, 0, -Inf, Inf), 2);  // NaN in no range
  TBool2DArray B{{true}};
  EXPECT_EQ(V.Dichotomize(2.5, B), 3);
  EXPECT_EQ(B, (TBool2DArray{{false, false, true}, {true, false, true}}));
}

TEST(MatrixStats, Normalisations) {
  Cols M{{1, 2, 6}, {5, 5, 5}};
  int Changes = 0;
  M.OnChange = [&](TObject*) { ++Changes; };
  TVector Means, Sd;
  M.StandardizeColumns(&Means, &Sd);
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(Means.Data(), (TDoubleArray{3, 5}));
  EXPECT_EQ(Sd.Data(), (TDoubleArray{std::sqrt(7.0), 0}));
  EXPECT_DOUBLE_EQ(M.GetVal(1, 3), 3 / std::sqrt(7.0));
  EXPECT_EQ(M.Data()[1], (TDoubleArray{5, 5, 5}));  // constant column untouched
  // Rows of two elements: variance 1.0 by rule, so they are only centred.
  Cols R{{1, 10}, {3, 1e9 + 4}};
  R.StandardizeRows(nullptr, &Sd);
  EXPECT_EQ(R.Data(), (TDouble2DArray{{-1, -5e8 + 3}, {1, 5e8 - 3}}));

  Cols C{{1e9 + 1, 1e9 + 2, 1e9 + 6}, {1, NaN, 3}};
  C.MeanCenterColumns(&Means);
  EXPECT_EQ(C.Data()[0], (TDoubleArray{-2, -1, 3}));
  EXPECT_EQ(C.Data()[1][0], 1.0);  // a NaN mean leaves the column as it was
  EXPECT_TRUE(std::isnan(Means.Data()[1]));

  Cols Q{{1, 2, 3, 4, 100}, {7, 7, 7, 7, 7}};
  TVector Med, Diff;
  Q.QNormalizeColumns(25, &Med, &Diff);  // position round(1.25) = 1: 2; median 3
  EXPECT_EQ(Med.Data(), (TDoubleArray{3, 7}));
  EXPECT_EQ(Diff.Data(), (TDoubleArray{1, 0}));
  EXPECT_EQ(Q.Data(), (TDouble2DArray{{-2, -1, 0, 1, 97}, {7, 7, 7, 7, 7}}));
  Cols QR{{0, 5}, {10, 5}, {20, 5}};
  QR.QNormalizeRows(0, &Med, nullptr);  // median of three: round(1.5) = 2, the largest
  EXPECT_EQ(QR.Data(), (TDouble2DArray{{-1, 5}, {-0.5, 5}, {0, 5}}));
}

TEST(MatrixStats, Correlation) {
  Cols A{{1, 2, 3}, {4, 6, 5}}, B{{-2, -4, -6}, {-8, -12, -10}}, Two{{1, 2}};
  A.SetName("A");
  EXPECT_EQ(A.Correlate(A), 1.0);
  EXPECT_DOUBLE_EQ(A.Correlate(B), -1.0);
  EXPECT_EQ(Two.Correlate(Two), 0.0);  // n <= 2
  EXPECT_EQ(Cols({{2, 2, 2}}).Correlate(Cols{{1, 5, 2}}), 0.0);
  EXPECT_EQ(MessageOf([&] { A.Correlate(Two); }), "Component \"A\": matrices do not match");
}

TEST(MatrixStats, NoElementsNoReadsAndExhaustedMemory) {
  Hollow H;
  double A = -1, B = -1;
  H.MeanVar(0, 0, 0, 0, A, B);
  EXPECT_EQ(P(A, B), P(0, 0));
  H.SkewKurtSample(3, 3, 1, 1, A, B);
  EXPECT_TRUE(Quartiles(H).empty());
  EXPECT_EQ(H.Percentile(50, 0, 0, 0, 0, 10), 0.0);
  EXPECT_EQ(H.HarmonicMean(0, 0, 0, 0) + H.GeometricMean(0, 0, 0, 0) + H.Sum(1, 1, 2, 2), 0.0);
  TIntArray Histo;
  int32_t U = -1, O = -1, Mx = -1;
  EXPECT_TRUE(H.Histogram(1, 1, 1, 1, 0, 1, 1, Histo, U, O, Mx));
  EXPECT_EQ(U + O + Mx, 0);
  TVector V;
  V.Resize(3);
  H.QNormalizeRows(25, &V, nullptr);
  H.MeanVec(dimRows, &V);
  EXPECT_EQ(V.NrOfElem(), 3);

  TMatrix M;
  M.Resize(100, 1000);
  M.FillSerial(1, 1);
  ScopedAllocLimit Limit(100'000);
  EXPECT_EQ(MessageOf([&] { M.Percentile(50, 0, 0, 0, 0); }),
            "Component \"\": not enough memory on heap");
  EXPECT_THROW(Quartiles(M), ENUXMatrixError);
  EXPECT_EQ(M.Percentile(50, 1, 0, 1, 0), 501.0);  // one column fits; round(500) = 500
}

}  // namespace
}  // namespace nux
