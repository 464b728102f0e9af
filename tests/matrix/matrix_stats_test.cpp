#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "nux/host/random.h"
#include "nux/matrix/matrix.h"
#include "support/alloc_limit.h"

namespace nux {
namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// A matrix built from its columns; constructed in place since components cannot be moved.
struct Cols : TMatrix {
  Cols(std::initializer_list<std::initializer_list<double>> Columns) {
    Resize(static_cast<int32_t>(Columns.size()), static_cast<int32_t>(Columns.begin()->size()));
    int32_t C = 0;
    for (const auto& Column : Columns) {
      int32_t R = 0;
      for (const double X : Column) Mat[size_t(C)][size_t(R++)] = X;
      ++C;
    }
  }
};

// One column holding Values.
struct Column : TMatrix {
  explicit Column(const std::vector<double>& Values) {
    Resize(1, static_cast<int32_t>(Values.size()));
    Mat[0] = Values;
  }
};

// A matrix that has lost all its elements, to check that nothing reads outside.
struct Hollow : TMatrix {
  Hollow() { Mat.clear(); }
};

std::string MessageOf(const std::function<void()>& F) {
  try {
    F();
  } catch (const ENUXMatrixError& E) {
    return E.what();
  }
  return "no exception";
}

TEST(MatrixStats, MeanVarFollowsTheLibraryRule) {
  double Mean = -1, Var = -1;
  Column({1, 3}).MeanVar(0, 0, 0, 0, Mean, Var);
  EXPECT_EQ(Mean, 2.0);
  EXPECT_EQ(Var, 1.0);  // two values: 1.0 by rule
  Column({1, 2, 3}).MeanVar(0, 0, 0, 0, Mean, Var);
  EXPECT_DOUBLE_EQ(Var, 1.0);  // computed
  Column({2, 4, 6}).MeanVar(0, 0, 0, 0, Mean, Var);
  EXPECT_DOUBLE_EQ(Var, 4.0);
  Column({1, 1, 1}).MeanVar(0, 0, 0, 0, Mean, Var);
  EXPECT_EQ(Var, 0.0);

  // Parameter order (LowCol, LowRow, HighCol, HighRow); reversed bounds are exchanged.
  Cols M{{1, 2, 3}, {10, 20, 30}, {100, 200, 300}};
  M.MeanVar(2, 2, 3, 3, Mean, Var);  // 20, 30, 200, 300
  EXPECT_DOUBLE_EQ(Mean, 137.5);
  EXPECT_NEAR(Var, (117.5 * 117.5 + 107.5 * 107.5 + 62.5 * 62.5 + 162.5 * 162.5) / 3, 1e-9);
  double Mean2 = 0, Var2 = 0;
  M.MeanVar(3, 3, 2, 2, Mean2, Var2);
  EXPECT_EQ(Mean2, Mean);
  EXPECT_EQ(Var2, Var);
}

TEST(MatrixStats, MomentsKeepTheirDigitsOnALargeOffset) {
  // Raw sums of squares near 5e18 lose everything below about 1000.
  Cols M{{1e9 - 2, 1e9 - 1}, {1e9, 1e9 + 1}, {1e9 + 2, 1e9 + 0.5}};
  double Mean = 0, Var = 0;
  M.MeanVar(0, 0, 0, 0, Mean, Var);
  const double Dev[] = {-2, -1, 0, 1, 2, 0.5};
  double S1 = 0, S2 = 0;
  for (double D : Dev) S1 += D;
  const double M0 = S1 / 6;
  for (double D : Dev) S2 += (D - M0) * (D - M0);
  EXPECT_NEAR(Mean, 1e9 + M0, 1e-6);
  EXPECT_NEAR(Var, S2 / 5, 1e-9);

  // Skewness and kurtosis do not depend on the offset.
  Column Plain({0, 0, 0, 4}), Shifted({1e9, 1e9, 1e9, 1e9 + 4});
  double Sk = 0, Ku = 0;
  Shifted.SkewKurt(0, 0, 0, 0, Sk, Ku);
  EXPECT_NEAR(Sk, 0.75, 1e-9);
  EXPECT_NEAR(Ku, -1.6875, 1e-9);
  Shifted.SkewKurtSample(0, 0, 0, 0, Sk, Ku);
  EXPECT_NEAR(Sk, 2.0, 1e-9);
  EXPECT_NEAR(Ku, 4.0, 1e-9);

  Cols X{{1e9 + 1, 1e9 + 2, 1e9 + 3}}, Y{{1e9 + 2, 1e9 + 4, 1e9 + 7}};
  EXPECT_NEAR(X.Correlate(Y), 15 / std::sqrt(228.0), 1e-12);
}

TEST(MatrixStats, SkewKurtFromTwoValuesAndTheSampleForm) {
  double Sk = -1, Ku = -1;
  // n = 2: s = sqrt(2), kurtosis (2/2)/4 - 3.
  Column({1, 3}).SkewKurt(0, 0, 0, 0, Sk, Ku);
  EXPECT_DOUBLE_EQ(Sk, 0.0);
  EXPECT_DOUBLE_EQ(Ku, -2.75);
  // 0, 0, 3: d = -1, -1, 2, s = sqrt(3).
  Column({0, 0, 3}).SkewKurt(0, 0, 0, 0, Sk, Ku);
  EXPECT_DOUBLE_EQ(Sk, 2.0 / (3 * std::sqrt(3.0)));
  EXPECT_DOUBLE_EQ(Ku, 6.0 / 9.0 - 3.0);
  Column({0, 0, 3}).SkewKurtSample(0, 0, 0, 0, Sk, Ku);  // fewer than 4 values
  EXPECT_EQ(Sk, 0.0);
  EXPECT_EQ(Ku, 0.0);
  // The same range read across two columns.
  Cols({{0, 0}, {0, 4}}).SkewKurtSample(0, 0, 0, 0, Sk, Ku);
  EXPECT_DOUBLE_EQ(Sk, 2.0);
  EXPECT_DOUBLE_EQ(Ku, 4.0);

  // One value, and constant data: no spread, no moments (also not in the sample form).
  Column({5}).SkewKurt(0, 0, 0, 0, Sk, Ku);
  EXPECT_EQ(Sk, 0.0);
  EXPECT_EQ(Ku, 0.0);
  Column({7, 7, 7, 7, 7}).SkewKurtSample(0, 0, 0, 0, Sk, Ku);
  EXPECT_EQ(Sk, 0.0);
  EXPECT_EQ(Ku, 0.0);
  // Undefined spread: NaN rather than a plausible 0.
  Column({1, NaN, 3, 4}).SkewKurt(0, 0, 0, 0, Sk, Ku);
  EXPECT_TRUE(std::isnan(Sk) && std::isnan(Ku));
  Column({1, Inf, 3, 4}).SkewKurtSample(0, 0, 0, 0, Sk, Ku);
  EXPECT_TRUE(std::isnan(Sk) && std::isnan(Ku));
}

TEST(MatrixStats, MeanVecPerColumnOrRow) {
  Cols M{{1, 2, 3}, {4, 5, 9}};
  TVector V;
  M.MeanVec(dimColumns, &V);
  EXPECT_EQ(V.Data(), (TDoubleArray{2, 6}));
  M.MeanVec(dimRows, &V);
  EXPECT_EQ(V.Data(), (TDoubleArray{2.5, 3.5, 6}));
  M.MeanVec(static_cast<TDims>(5), &V);  // other ordinals do nothing
  EXPECT_EQ(V.NrOfElem(), 3);
  M.MeanVec(dimColumns, nullptr);
  // A column whose plain sum overflows still has a finite mean.
  Column Big({1.5e308, 1.5e308});
  Big.MeanVec(dimColumns, &V);
  EXPECT_EQ(V.Data(), (TDoubleArray{1.5e308}));
}

TEST(MatrixStats, QuartilesAndPercentiles) {
  double Q1 = 0, Q2 = 0, Q3 = 0;
  EXPECT_TRUE(Column({2, 1}).Quartiles(0, 0, 0, 0, Q1, Q2, Q3));
  EXPECT_EQ(Q1, 1.0);
  EXPECT_EQ(Q2, 1.5);
  EXPECT_EQ(Q3, 1.0);  // clamped to the (n-1)-th value
  EXPECT_TRUE(Cols({{4, 2}, {3, 1}}).Quartiles(0, 0, 0, 0, Q1, Q2, Q3));
  EXPECT_EQ(Q1, 1.25);
  EXPECT_EQ(Q2, 2.5);
  EXPECT_EQ(Q3, 3.75);
  Column({3, 1, 2}).Quartiles(0, 0, 0, 0, Q1, Q2, Q3);
  EXPECT_EQ(Q1, 1.0);
  EXPECT_EQ(Q2, 2.0);
  EXPECT_EQ(Q3, 2.0);
  Column({Inf, Inf, Inf, Inf}).Quartiles(0, 0, 0, 0, Q1, Q2, Q3);
  EXPECT_EQ(Q2, Inf);
  // NaN elements are left out of the order statistics.
  EXPECT_TRUE(Cols({{4, NaN, 2}, {3, 1, NaN}}).Quartiles(0, 0, 0, 0, Q1, Q2, Q3));
  EXPECT_EQ(Q2, 2.5);
  EXPECT_FALSE(Column({NaN, NaN}).Quartiles(0, 0, 0, 0, Q1, Q2, Q3));
  EXPECT_EQ(Q1, 0.0);

  Cols M{{7, 3, 10, 1, 5}, {2, 9, 4, 8, 6}};  // 1..10
  EXPECT_EQ(M.Percentile(100, 0, 0, 0, 0), 10.0);
  EXPECT_EQ(M.Percentile(150, 0, 0, 0, 0), 10.0);
  EXPECT_EQ(M.Percentile(0, 0, 0, 0, 0), 1.0);
  EXPECT_EQ(M.Percentile(-5, 0, 0, 0, 0), 1.0);
  EXPECT_EQ(M.Percentile(25, 0, 0, 0, 0), 3.0);  // round(2.5) = 2, halves to even
  EXPECT_EQ(M.Percentile(35, 0, 0, 0, 0), 5.0);  // round(3.5) = 4
  EXPECT_EQ(M.Percentile(50, 2, 1, 2, 5), 6.0);  // column 2 only: 2, 4, 6, 8, 9
  EXPECT_EQ(M.Data()[0][0], 7.0);                // the matrix is not reordered
  EXPECT_EQ(Cols({{NaN, 3}, {1, NaN}}).Percentile(100, 0, 0, 0, 0), 3.0);
  EXPECT_TRUE(std::isnan(Column({NaN, NaN}).Percentile(50, 0, 0, 0, 0)));
}

TEST(MatrixStats, SampledPercentileDrawsFromTheRunningGenerator) {
  TMatrix M;
  M.Resize(20, 30);
  M.FillSerial(-100, 1);  // -100 .. 499
  // No sample, or one as large as the range: the exact value.
  EXPECT_EQ(M.Percentile(40, 0, 0, 0, 0, 0), M.Percentile(40, 0, 0, 0, 0));
  EXPECT_EQ(M.Percentile(40, 2, 3, 4, 5, 9), M.Percentile(40, 2, 3, 4, 5));

  // The draws are one column and one row of the range each, from the process-wide generator.
  SetRandSeed(1234);
  const double Got = M.Percentile(30, 3, 5, 12, 24, 50);
  const double After = Random();
  SetRandSeed(1234);
  std::vector<double> Sample;
  for (int I = 0; I < 50; ++I) {
    const int32_t C = 3 + RandomInt(10);
    const int32_t R = 5 + RandomInt(20);
    Sample.push_back(M.GetVal(C, R));
  }
  EXPECT_EQ(Random(), After);  // the routine did not reseed
  std::sort(Sample.begin(), Sample.end());
  EXPECT_EQ(Got, Sample[15]);  // round(30 * 50 / 100)

  // The percentile falls into the zeros of a sparse matrix.
  TMatrix Sparse;
  Sparse.Resize(10, 10);
  for (int32_t K = 1; K <= 10; ++K) {
    Sparse.SetVal(K, 1, -1.0);
    Sparse.SetVal(K, 10, 1.0);
  }
  SetRandSeed(99);
  EXPECT_EQ(Sparse.Percentile(50, 0, 0, 0, 0, 60), 0.0);
  EXPECT_EQ(Sparse.Percentile(100, 0, 0, 0, 0, 60), 1.0);
  EXPECT_EQ(Sparse.Percentile(0, 0, 0, 0, 0, 60), -1.0);
}

TEST(MatrixStats, HistogramCountsAndBadArguments) {
  Cols M{{10, 9.99, -0.01, 0}, {4.5, 4.2, NaN, Inf}, {-Inf, 1e300, 5, 5}};
  TIntArray H;
  int32_t Under = -1, Over = -1, MaxCnt = -1;
  ASSERT_TRUE(M.Histogram(0, 0, 0, 0, 0, 9, 1, H, Under, Over, MaxCnt));
  EXPECT_EQ(H, (TIntArray{1, 0, 0, 0, 2, 2, 0, 0, 0, 1}));
  EXPECT_EQ(Under, 2);  // -0.01 and -inf
  EXPECT_EQ(Over, 3);   // 10, inf and 1e300; the NaN is counted nowhere
  EXPECT_EQ(MaxCnt, 2);

  // LoX/HiX are columns, LoY/HiY rows.
  ASSERT_TRUE(M.Histogram(2, 1, 3, 2, 0, 9, 1, H, Under, Over, MaxCnt));
  EXPECT_EQ(H, (TIntArray{0, 0, 0, 0, 2, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Under + Over, 2);

  // Span no whole multiple of the width: 3 bins up to 1.2, a value above is overflow.
  ASSERT_TRUE(Column({1.3, 0.5}).Histogram(0, 0, 0, 0, 0, 1, 0.4, H, Under, Over, MaxCnt));
  EXPECT_EQ(H, (TIntArray{0, 1, 0}));
  EXPECT_EQ(Over, 1);

  const TIntArray Before{7, 7};
  for (const double Width : {0.0, -1.0, -0.001, NaN, Inf}) {
    H = Before;
    Under = Over = MaxCnt = 42;
    EXPECT_FALSE(M.Histogram(0, 0, 0, 0, 0, 9, Width, H, Under, Over, MaxCnt)) << Width;
    EXPECT_EQ(H, Before);
    EXPECT_EQ(Under + Over + MaxCnt, 126);
  }
  EXPECT_FALSE(M.Histogram(0, 0, 0, 0, 0, 1000, 1, H, Under, Over, MaxCnt));
  EXPECT_TRUE(M.Histogram(0, 0, 0, 0, 0, 499, 1, H, Under, Over, MaxCnt));
  EXPECT_FALSE(M.Histogram(0, 0, 0, 0, NaN, 9, 1, H, Under, Over, MaxCnt));
  EXPECT_FALSE(M.Histogram(0, 0, 0, 0, -1e308, 1e308, 1e306, H, Under, Over, MaxCnt));

  TIntVector HV;
  ASSERT_TRUE(M.Histogram(0, 0, 0, 0, 0, 9, 3, HV, Under, Over, MaxCnt));  // 4 bins
  EXPECT_EQ(HV.Data(), (TIntArray{1, 4, 0, 2}));
}

TEST(MatrixStats, GeometricAndHarmonicMeans) {
  Cols M{{1, 2}, {4, 0}};
  M.SetName("M");
  EXPECT_DOUBLE_EQ(M.GeometricMean(1, 1, 2, 1), 2.0);  // 1, 4 (first row)
  EXPECT_DOUBLE_EQ(M.GeometricMean(0, 0, 1, 0), std::sqrt(2.0));
  EXPECT_EQ(M.GeometricMean(0, 0, 0, 0), 0.0);
  EXPECT_DOUBLE_EQ(Column({1, 2, 4}).HarmonicMean(0, 0, 0, 0), 3.0 / 1.75);
  EXPECT_EQ(MessageOf([&] { M.HarmonicMean(0, 0, 0, 0); }),
            "Component \"M\": negative or zero argument passed to HarmonicMean");
  Cols Neg{{0, -1}};
  Neg.SetName("N");
  // A negative element raises even after a zero.
  EXPECT_EQ(MessageOf([&] { Neg.GeometricMean(0, 0, 0, 0); }),
            "Component \"N\": negative argument passed to GeometricMean");
  // Large values: the logarithms do not overflow.
  EXPECT_NEAR(Column({1e300, 1e300}).GeometricMean(0, 0, 0, 0) / 1e300, 1.0, 1e-12);
}

TEST(MatrixStats, SumAndExtremes) {
  Cols M{{1, NaN, -3}, {1.797e308, 2, -Inf}};
  EXPECT_EQ(Cols({{1, 2}, {3, 4}}).Sum(2, 0, 2, 0), 7.0);
  double Lo = 0, Hi = 0;
  M.MinMax(0, 0, 0, 0, Lo, Hi);
  EXPECT_EQ(Lo, -Inf);
  EXPECT_EQ(Hi, 1.797e308);
  M.MinMax(1, 1, 1, 3, Lo, Hi);  // first column: NaN passed over
  EXPECT_EQ(Lo, -3.0);
  EXPECT_EQ(Hi, 1.0);
  Column({NaN, NaN}).MinMax(0, 0, 0, 0, Lo, Hi);
  EXPECT_EQ(Lo, Inf);
  EXPECT_EQ(Hi, -Inf);
}

TEST(MatrixStats, Searches) {
  // Find: parameter order (LowCol, HighCol, LowRow, HighRow); the first of equally near wins.
  Cols M{{5, NaN, 3}, {7, 4, 2}, {Inf, 9, 4}};
  int32_t C = -1, R = -1;
  M.Find(0, 0, 0, 0, 4.2, C, R);
  EXPECT_EQ(C, 2);
  EXPECT_EQ(R, 2);
  M.Find(0, 0, 0, 0, 3.5, C, R);  // 3 at (1,3) and 4 at (2,2): the first visited wins
  EXPECT_EQ(C, 1);
  EXPECT_EQ(R, 3);
  M.Find(2, 3, 1, 3, 3.5, C, R);
  EXPECT_EQ(C, 2);
  EXPECT_EQ(R, 2);
  M.Find(0, 0, 0, 0, Inf, C, R);
  EXPECT_EQ(C, 3);
  EXPECT_EQ(R, 1);
  M.Find(0, 0, 0, 0, NaN, C, R);
  EXPECT_EQ(C, 0);
  EXPECT_EQ(R, 0);

  Cols S{{1, 3, 5, 7}, {7, 5, 3, 1}};
  EXPECT_EQ(S.FindInSortedColumn(1, true, 4), 3);  // tie goes to the higher row
  EXPECT_EQ(S.FindInSortedColumn(1, true, 3.9), 2);
  EXPECT_EQ(S.FindInSortedColumn(1, true, 5), 3);
  EXPECT_EQ(S.FindInSortedColumn(1, true, 100), 4);
  EXPECT_EQ(S.FindInSortedColumn(1, true, -100), 1);
  EXPECT_EQ(S.FindInSortedColumn(2, false, 6.5), 1);
  EXPECT_EQ(S.FindInSortedColumn(2, false, 2.2), 3);
  EXPECT_EQ(S.FindInSortedColumn(0, true, 4), 0);
  EXPECT_EQ(S.FindInSortedColumn(3, true, 4), 0);
  EXPECT_EQ(Cols({{9}, {8}}).FindInSortedColumn(2, true, 0), 1);
  EXPECT_GE(S.FindInSortedColumn(1, true, NaN), 1);
}

TEST(MatrixStats, CountsAndDichotomy) {
  Cols M{{1, 2, 3}, {4, NaN, 6}};
  EXPECT_EQ(M.CountValues(0, 0, 0, 0, 2, 4), 3);       // bounds included
  EXPECT_EQ(M.CountValues(2, 2, 0, 0, -Inf, Inf), 2);  // NaN in no range
  EXPECT_EQ(M.CountValues(0, 0, 0, 0, 4, 2), 0);
  TBool2DArray B{{true}};
  EXPECT_EQ(M.Dichotomize(2.5, B), 3);
  EXPECT_EQ(B, (TBool2DArray{{false, false, true}, {true, false, true}}));
}

TEST(MatrixStats, CentringAndStandardising) {
  Cols M{{1, 2, 6}, {5, 5, 5}};
  int Changes = 0;
  M.OnChange = [&](TObject*) { ++Changes; };
  TVector Means, Sd;
  M.StandardizeColumns(&Means, &Sd);
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(Means.Data(), (TDoubleArray{3, 5}));
  EXPECT_DOUBLE_EQ(Sd.Data()[0], std::sqrt(7.0));
  EXPECT_EQ(Sd.Data()[1], 0.0);
  EXPECT_DOUBLE_EQ(M.GetVal(1, 3), 3 / std::sqrt(7.0));
  EXPECT_EQ(M.Data()[1], (TDoubleArray{5, 5, 5}));  // constant column untouched

  // Rows of two elements: variance 1.0 by rule, so they are only centred.
  Cols R{{1, 10}, {3, 1e9 + 4}};
  R.StandardizeRows(nullptr, &Sd);
  EXPECT_EQ(Sd.Data(), (TDoubleArray{1, 1}));
  EXPECT_EQ(R.Data(), (TDouble2DArray{{-1, -5e8 + 3}, {1, 5e8 - 3}}));

  Cols C{{1e9 + 1, 1e9 + 2, 1e9 + 6}, {1, NaN, 3}};
  C.MeanCenterColumns(&Means);
  EXPECT_EQ(C.Data()[0], (TDoubleArray{-2, -1, 3}));
  EXPECT_EQ(C.Data()[1][0], 1.0);  // a NaN mean leaves the column as it was
  EXPECT_TRUE(std::isnan(Means.Data()[1]));
  C.MeanCenterRows(nullptr);
  EXPECT_EQ(C.Data()[0], (TDoubleArray{-1.5, -1, 0}));  // row 2 has a NaN mean

  Cols Q{{1, 2, 3, 4, 100}, {7, 7, 7, 7, 7}};
  TVector Med, Diff;
  Q.QNormalizeColumns(25, &Med, &Diff);  // 25%: position round(1.25) = 1, value 2; median 3
  EXPECT_EQ(Med.Data(), (TDoubleArray{3, 7}));
  EXPECT_EQ(Diff.Data(), (TDoubleArray{1, 0}));
  EXPECT_EQ(Q.Data(), (TDouble2DArray{{-2, -1, 0, 1, 97}, {7, 7, 7, 7, 7}}));
  Cols QR{{0, 5}, {10, 5}, {20, 5}};
  QR.QNormalizeRows(0, &Med, nullptr);  // median of three: round(1.5) = 2, the largest
  EXPECT_EQ(Med.Data(), (TDoubleArray{20, 5}));
  EXPECT_EQ(QR.Data(), (TDouble2DArray{{-1, 5}, {-0.5, 5}, {0, 5}}));
}

TEST(MatrixStats, Correlation) {
  Cols A{{1, 2, 3}, {4, 6, 5}}, B{{-2, -4, -6}, {-8, -12, -10}};
  A.SetName("A");
  EXPECT_EQ(A.Correlate(A), 1.0);
  EXPECT_DOUBLE_EQ(A.Correlate(B), -1.0);
  Cols Two{{1, 2}}, Zero{{0, 0, 0}}, Const{{2, 2, 2}}, Other{{1, 5, 2}};
  EXPECT_EQ(Two.Correlate(Two), 0.0);  // n <= 2
  EXPECT_EQ(Zero.Correlate(Other), 0.0);
  EXPECT_EQ(Const.Correlate(Other), 0.0);
  EXPECT_EQ(MessageOf([&] { A.Correlate(Two); }), "Component \"A\": matrices do not match");
}

TEST(MatrixStats, NoElementsNoReads) {
  Hollow H;
  double A = -1, B = -1, C = -1;
  H.MeanVar(0, 0, 0, 0, A, B);
  EXPECT_EQ(A + B, 0.0);
  H.SkewKurt(3, 3, 1, 1, A, B);
  EXPECT_EQ(A + B, 0.0);
  EXPECT_FALSE(H.Quartiles(0, 0, 0, 0, A, B, C));
  EXPECT_EQ(H.Percentile(50, 0, 0, 0, 0), 0.0);
  EXPECT_EQ(H.Percentile(50, 0, 0, 0, 0, 10), 0.0);
  EXPECT_EQ(H.Sum(1, 1, 2, 2), 0.0);
  EXPECT_EQ(H.GeometricMean(0, 0, 0, 0), 0.0);
  EXPECT_EQ(H.HarmonicMean(0, 0, 0, 0), 0.0);
  H.MinMax(1, 1, 1, 1, A, B);
  EXPECT_EQ(A, Inf);
  int32_t Ci = -1, Ri = -1, U = -1, O = -1, Mx = -1;
  H.Find(1, 1, 1, 1, 0, Ci, Ri);
  EXPECT_EQ(Ci + Ri, 0);
  EXPECT_EQ(H.FindInSortedColumn(1, true, 0), 0);
  TIntArray Histo;
  EXPECT_TRUE(H.Histogram(1, 1, 1, 1, 0, 1, 1, Histo, U, O, Mx));
  EXPECT_EQ(U + O + Mx, 0);
  TVector V;
  V.Resize(3);
  H.StandardizeColumns(&V, nullptr);
  H.QNormalizeRows(25, &V, nullptr);
  H.MeanVec(dimRows, &V);
  EXPECT_EQ(V.NrOfElem(), 3);
}

TEST(MatrixStats, ExhaustedMemoryForWorkArrays) {
  TMatrix M;
  M.Resize(100, 1000);
  M.FillSerial(1, 1);
  M.SetName("Big");
  double Q1 = 0, Q2 = 0, Q3 = 0;
  ScopedAllocLimit Limit(100'000);
  EXPECT_EQ(MessageOf([&] { M.Percentile(50, 0, 0, 0, 0); }),
            "Component \"Big\": not enough memory on heap");
  EXPECT_THROW(M.Quartiles(0, 0, 0, 0, Q1, Q2, Q3), ENUXMatrixError);
  EXPECT_EQ(M.Percentile(50, 1, 0, 1, 0), 501.0);  // one column fits; round(500) = 500
  EXPECT_EQ(M.GetVal(100, 1000), 100000.0);
}

}  // namespace
}  // namespace nux
