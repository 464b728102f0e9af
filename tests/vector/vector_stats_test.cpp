#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "nux/host/random.h"
#include "nux/vector/vector.h"
#include "support/filled.h"

namespace nux {
namespace {

template <class V>
class StatsBoth : public ::testing::Test {};
using VectorTypes = ::testing::Types<TVector, TIntVector>;
TYPED_TEST_SUITE(StatsBoth, VectorTypes);

TYPED_TEST(StatsBoth, MeanAndVarianceFollowTheLibraryRule) {
  double Mean = 0, Var = 0;
  Filled<TypeParam>({4, 6}).MeanVar(0, 0, Mean, Var);
  EXPECT_EQ(Mean, 5);
  EXPECT_EQ(Var, 1);
  Filled<TypeParam>({1, 2, 3}).MeanVar(0, 0, Mean, Var);
  EXPECT_EQ(Var, 1);
  Filled<TypeParam>({2, 4, 6}).MeanVar(0, 0, Mean, Var);
  EXPECT_EQ(Mean, 4);
  EXPECT_EQ(Var, 4);
  Filled<TypeParam>({9, 2, 4, 6, 9}).MeanVar(2, 4, Mean, Var);  // a sub-range
  EXPECT_EQ(Var, 4);
  Filled<TypeParam>({7, 7, 7, 7}).MeanVar(0, 0, Mean, Var);
  EXPECT_EQ(Var, 0);
}

TYPED_TEST(StatsBoth, QuartilesPercentilesAndMode) {
  double Q1 = 0, Q2 = 0, Q3 = 0;
  EXPECT_TRUE(Filled<TypeParam>({4, 1, 3, 2}).Quartiles(0, 0, Q1, Q2, Q3));
  EXPECT_DOUBLE_EQ(Q1, 1.25);
  EXPECT_DOUBLE_EQ(Q2, 2.5);
  EXPECT_DOUBLE_EQ(Q3, 3.75);
  Filled<TypeParam>({3, 2, 1}).Quartiles(0, 0, Q1, Q2, Q3);
  EXPECT_EQ(Q1, 1);
  EXPECT_EQ(Q2, 2);
  EXPECT_EQ(Q3, 2);
  Filled<TypeParam>({9, 5}).Quartiles(0, 0, Q1, Q2, Q3);
  EXPECT_EQ(Q1, 5);
  EXPECT_EQ(Q2, 7);
  EXPECT_EQ(Q3, 5);
  Filled<TypeParam>({8}).Quartiles(0, 0, Q1, Q2, Q3);
  EXPECT_EQ(Q3, 8);

  const Filled<TypeParam> P({4, 2, 3, 1});
  EXPECT_DOUBLE_EQ(P.Percentile(25, 0, 0), 1.75);
  EXPECT_EQ(P.Percentile(100, 0, 0), 4);
  EXPECT_EQ(P.Percentile(-5, 0, 0), 1);
  EXPECT_EQ(P.Percentile(250, 0, 0), 4);
  EXPECT_EQ(P.Percentile(50, 3, 3), 3);
  EXPECT_EQ(P.Data(), (std::vector<typename TypeParam::TElem>{4, 2, 3, 1}));  // never reordered

  EXPECT_EQ(Filled<TypeParam>({3, 1, 3, 2, 1}).Mode(0, 0), 1);
  EXPECT_EQ(Filled<TypeParam>({5, 4, 3}).Mode(0, 0), 3);
  EXPECT_EQ(Filled<TypeParam>({2, 9, 9, 2, 9}).Mode(0, 0), 9);
}

TEST(VectorStats, OrderStatisticsLeaveNaNOut) {
  // Unfiltered, the NaNs stopped the comb sort from ordering the values around them.
  const Filled<TVector> V({NAN, 4, 1, NAN, 3, 2, NAN});
  double Q1 = 0, Q2 = 0, Q3 = 0;
  ASSERT_TRUE(V.Quartiles(0, 0, Q1, Q2, Q3));
  EXPECT_EQ((std::vector<double>{Q1, Q2, Q3}), (std::vector<double>{1.25, 2.5, 3.75}));
  EXPECT_EQ(V.Percentile(25, 0, 0), 1.75);
  EXPECT_EQ(V.Percentile(100, 0, 0), 4);
  EXPECT_EQ(Filled<TVector>({NAN, 5, 2, 5, NAN, 2, 2}).Mode(0, 0), 2);
  // A range of NaNs only has no order statistics.
  EXPECT_FALSE(V.Quartiles(1, 1, Q1, Q2, Q3));
  EXPECT_EQ((std::vector<double>{Q1, Q2, Q3}), (std::vector<double>{0, 0, 0}));
  EXPECT_TRUE(std::isnan(V.Percentile(50, 7, 7)));
  EXPECT_TRUE(std::isnan(V.Mode(4, 4)));
}

TEST(VectorStats, SkewKurtOfNaNOrInfinityIsNaNNotZero) {
  // 0 and 0 would read as a genuine symmetric, mesokurtic result.
  for (const double Bad : {double(NAN), double(INFINITY)}) {
    const Filled<TVector> V({1, 2, Bad, 4, 5});
    double S = 0, K = 0;
    V.SkewKurt(0, 0, S, K);
    EXPECT_TRUE(std::isnan(S) && std::isnan(K));
    V.SkewKurtSample(0, 0, S, K);
    EXPECT_TRUE(std::isnan(S) && std::isnan(K));
    V.SkewKurt(1, 2, S, K);  // fewer than 4 values: 0 and 0 as before
    EXPECT_EQ(S + K, 0);
  }
}

TYPED_TEST(StatsBoth, MinMaxFindsTheExtremesOfTheType) {
  using T = typename TypeParam::TElem;
  const T Low = std::numeric_limits<T>::lowest(), High = std::numeric_limits<T>::max();
  T Min = 0, Max = 0;
  int32_t MinIx = -1, MaxIx = -1;
  Filled<TypeParam>({Low, Low}).MinMax(0, 0, Min, Max, MinIx, MaxIx);
  EXPECT_EQ(Max, Low);
  EXPECT_EQ(MaxIx, 1);
  Filled<TypeParam>({1, High, 0, High, 0}).MinMax(0, 0, Min, Max, MinIx, MaxIx);
  EXPECT_EQ(Max, High);
  EXPECT_EQ(MaxIx, 2);  // the first occurrence wins
  EXPECT_EQ(Min, 0);
  EXPECT_EQ(MinIx, 3);
  Filled<TypeParam>({5, 1, 9}).MinMax(3, 2, Min, Max);
  EXPECT_EQ(Min, 1);
  EXPECT_EQ(Max, 9);
}

TYPED_TEST(StatsBoth, GeometricAndHarmonicMeans) {
  EXPECT_NEAR(Filled<TypeParam>({1, 4, 16}).GeometricMean(0, 0), 4.0, 1e-14);
  EXPECT_EQ(Filled<TypeParam>({3, 0, 5}).GeometricMean(0, 0), 0.0);
  Filled<TypeParam> Neg({0, -1});
  Neg.SetName("G");
  try {
    Neg.GeometricMean(0, 0);  // raised even after a zero
    FAIL();
  } catch (const ENUXVectorError& E) {
    EXPECT_STREQ(E.what(), "Component \"G\": negative argument passed to GeometricMean");
  }
  EXPECT_DOUBLE_EQ(Filled<TypeParam>({1, 2, 4}).HarmonicMean(0, 0), 3.0 / 1.75);
  EXPECT_THROW(Filled<TypeParam>({1, 0}).HarmonicMean(0, 0), ENUXVectorError);
}

TYPED_TEST(StatsBoth, SkewnessAndKurtosisAgainstHandComputedValues) {
  // 1, 2, 3, 4, 10: mean 4, deviations -3 -2 -1 0 6; S2 = 50, S3 = 180, S4 = 1394, s^2 = 12.5.
  double Skew = 0, Kurt = 0;
  const Filled<TypeParam> V({1, 2, 3, 4, 10});
  V.SkewKurt(0, 0, Skew, Kurt);
  const double S = std::sqrt(12.5);
  EXPECT_NEAR(Skew, 180.0 / 5 / (S * S * S), 1e-14);
  EXPECT_NEAR(Kurt, 1394.0 / 5 / (12.5 * 12.5) - 3, 1e-14);
  double SSkew = 0, SKurt = 0;
  V.SkewKurtSample(0, 0, SSkew, SKurt);
  EXPECT_NEAR(SSkew, Skew * 25 / 12, 1e-14);
  EXPECT_NEAR(SKurt, (Kurt + 3) * 25 * 6 / (4 * 3 * 2) - 3.0 * 16 / 6, 1e-13);
  Filled<TypeParam>({1, 2, 3}).SkewKurt(0, 0, Skew, Kurt);
  EXPECT_EQ(Skew, 0);
  Filled<TypeParam>({2, 2, 2, 2}).SkewKurtSample(0, 0, Skew, Kurt);
  EXPECT_EQ(Kurt, 0);
}

TYPED_TEST(StatsBoth, ComparisonsWithASecondVector) {
  const Filled<TypeParam> X({1, 2, 3, 4, 5});
  const Filled<TypeParam> Y({2, 4, 6, 8, 11});
  EXPECT_EQ(X.DotProduct(&Y), 2 + 8 + 18 + 32 + 55);
  EXPECT_EQ(X.DotProduct(nullptr), 0);
  EXPECT_EQ(X.Correlate(&Y, 0), X.DotProduct(&Y));
  EXPECT_EQ(X.Correlate(&Y, 4), 0);  // a single element of overlap
  EXPECT_EQ(X.Correlate(&Y, 3), 4 * 2 + 5 * 4);
  EXPECT_EQ(X.Correlate(&Y, -3), 1 * 8 + 2 * 11);
  EXPECT_DOUBLE_EQ(X.EuclideanDistance(&X), 0);
  EXPECT_DOUBLE_EQ(Filled<TypeParam>({0, 0}).EuclideanDistance(nullptr), 0);
  const Filled<TypeParam> Short({1, 2});
  try {
    X.EuclideanDistance(&Short);
    FAIL();
  } catch (const ENUXVectorError& E) {
    EXPECT_STREQ(E.what(), "EuclideanDistance: dimensions of vectors do not match");
  }
  EXPECT_THROW(X.DotProduct(&Short), ENUXVectorError);
  // Pearson against the closed form: r = Sxy / sqrt(Sxx Syy).
  EXPECT_NEAR(X.PearsonCorrCoeff(&Y), 22.0 / std::sqrt(10.0 * 48.8), 1e-15);
  EXPECT_EQ(X.PearsonCorrCoeff(&Short), 0);
  EXPECT_EQ(Filled<TypeParam>({3, 3, 3, 3, 3}).PearsonCorrCoeff(&Y), 0);
  EXPECT_EQ(Filled<TypeParam>({0, 0, 0, 0, 0}).PearsonCorrCoeff(&Y), 0);
}

TYPED_TEST(StatsBoth, ArithmeticAndSearches) {
  Filled<TypeParam> X({1, 2, 3, 4});
  const Filled<TypeParam> Y({10, 20, 30, 40});
  int Changes = 0;
  X.OnChange = [&](TObject*) { ++Changes; };
  X.Add(&Y);
  X.Subtract(&Y);
  X.SMult(3);
  X.Add(nullptr);
  EXPECT_EQ(Changes, 3);
  EXPECT_EQ(X.Data(), (std::vector<typename TypeParam::TElem>{3, 6, 9, 12}));
  const Filled<TypeParam> Short({1});
  EXPECT_THROW(X.Add(&Short), ENUXVectorError);
  EXPECT_EQ(X.Sum(0, 0), 30);
  EXPECT_EQ(X.Sum(2, 3), 15);

  EXPECT_EQ(X.Find(0, 0, 7), 2);
  EXPECT_EQ(X.Find(0, 0, 100), 4);
  EXPECT_EQ(Filled<TypeParam>({4, 2, 6}).Find(0, 0, 5), 1);  // ties: the first
  EXPECT_EQ(X.FindExact(0, 0, 9), 3);
  EXPECT_EQ(X.FindExact(0, 0, 10), 0);
  EXPECT_EQ(X.FindExact(4, 4, 9), 0);
  const Filled<TypeParam> Sorted({1, 2, 3, 4});
  EXPECT_EQ(Sorted.FindInSortedVector(true, 2), 2);
  EXPECT_EQ(Sorted.FindInSortedVector(true, 100), 4);
  EXPECT_EQ(Filled<TypeParam>({9, 7, 5, 3, 1}).FindInSortedVector(false, 4), 4);  // tie goes to hi
  EXPECT_EQ(Filled<TypeParam>({5}).FindInSortedVector(true, 1), 1);
}

TEST(VectorStats, FindInSortedVectorWithFractions) {
  EXPECT_EQ(Filled<TVector>({1, 2, 3, 4}).FindInSortedVector(true, 2.6), 3);
}

TEST(VectorStats, OffsetDataKeepsItsVariance) {
  // Around 1e9 with a spread of a few units: raw power sums lose every digit here.
  TVector V;
  V.Resize(1000);
  for (int32_t K = 1; K <= 1000; ++K) V.SetVal(K, 1e9 + (K % 7) - 3);
  double Mean = 0, Var = 0;
  V.MeanVar(0, 0, Mean, Var);
  // Values -3..3 of K mod 7: exact mean and variance by counting.
  double S = 0, SS = 0;
  for (int K = 1; K <= 1000; ++K) {
    S += (K % 7) - 3;
    SS += double((K % 7) - 3) * ((K % 7) - 3);
  }
  const double ExactVar = (SS - S * S / 1000) / 999;
  EXPECT_NEAR(Mean, 1e9 + S / 1000, 1e-6);
  EXPECT_NEAR(Var, ExactVar, 1e-9 * ExactVar);

  double Skew = 0, Kurt = 0;
  V.SkewKurt(0, 0, Skew, Kurt);
  TVector Centered;
  Centered.Resize(1000);
  for (int32_t K = 1; K <= 1000; ++K) Centered.SetVal(K, (K % 7) - 3);
  double Skew0 = 0, Kurt0 = 0;
  Centered.SkewKurt(0, 0, Skew0, Kurt0);
  EXPECT_NEAR(Skew, Skew0, 1e-6);
  EXPECT_NEAR(Kurt, Kurt0, 1e-6);

  TVector W;
  W.Resize(1000);
  for (int32_t K = 1; K <= 1000; ++K) W.SetVal(K, 5e8 + 2.0 * ((K % 7) - 3) + (K % 2));
  EXPECT_NEAR(V.PearsonCorrCoeff(&W), Centered.PearsonCorrCoeff(&W), 1e-9);
  EXPECT_GT(V.PearsonCorrCoeff(&W), 0.9);
}

TEST(VectorStats, MeanOfHugeValuesDoesNotOverflow) {
  double Mean = 0, Var = 0;
  Filled<TVector>({1.5e308, 1.5e308, 1.5e308}).MeanVar(0, 0, Mean, Var);
  EXPECT_DOUBLE_EQ(Mean, 1.5e308);
  EXPECT_EQ(Var, 0);
}

TEST(VectorStats, NormalisationsFireNoEvents) {
  Filled<TVector> V({1, 2, 3, 6});
  int Changes = 0;
  V.OnChange = [&](TObject*) { ++Changes; };
  double Mean = 0, Sd = 0;
  V.Standardize(Mean, Sd);
  EXPECT_EQ(Mean, 3);
  EXPECT_DOUBLE_EQ(Sd, std::sqrt(14.0 / 3));
  EXPECT_NEAR(V.GetVal(4), 3 / Sd, 1e-15);
  Filled<TVector> C({5, 5, 5});
  C.Standardize(Mean, Sd);
  EXPECT_EQ(Sd, 0);
  EXPECT_EQ(Mean, 5);
  EXPECT_EQ(C.GetVal(2), 5);
  Filled<TVector> Two({5, 5});  // variance 1 by rule
  Two.Standardize(Mean, Sd);
  EXPECT_EQ(Two.GetVal(1), 0);
  Filled<TVector> M({1, 2, 6});
  EXPECT_EQ(M.MeanCenter(), 3);
  EXPECT_EQ(M.GetVal(3), 3);
  Filled<TVector> Q({1, 2, 3, 4, 5});
  double Median = 0, Diff = 0;
  Q.QNormalize(75, Median, Diff);
  EXPECT_EQ(Median, 3);
  EXPECT_EQ(Diff, 1);
  EXPECT_EQ(Q.GetVal(5), 2);
  EXPECT_EQ(Changes, 0);
}

TEST(VectorStats, IntegrationRules) {
  const Filled<TVector> V({0, 1, 0});
  EXPECT_DOUBLE_EQ(V.Integrate(1, 3, imTrapezoidal), 1.0);
  EXPECT_DOUBLE_EQ(V.Integrate(1, 3, imSimple), 2.0 / 3.0);
  EXPECT_DOUBLE_EQ(V.Integrate(3, 1, imSimpson), 4.0 / 3.0);
  // Partial pieces: from 1.5 to 2.5 the interpolant is a tent with area 0.75.
  EXPECT_DOUBLE_EQ(V.Integrate(1.5, 2.5, imTrapezoidal), 0.75);
  // Inside one interval (no sample between): the mean of the interpolated ends times the width.
  EXPECT_DOUBLE_EQ(V.Integrate(1.25, 1.75, imTrapezoidal), 0.5 * 0.5);
  EXPECT_DOUBLE_EQ(V.Integrate(1.25, 1.75, imSimple), 0.5 * 0.5);
  EXPECT_DOUBLE_EQ(V.Integrate(-10, 10, imTrapezoidal), 1.0);  // bounds clipped to 1..3
  EXPECT_TRUE(std::isnan(V.Integrate(NAN, 2, imSimple)));

  // Simpson's composite rules integrate cubics exactly: y = k^3 on 1..b.
  for (int32_t B = 3; B <= 12; ++B) {
    TVector C;
    C.Resize(B);
    for (int32_t K = 1; K <= B; ++K) C.SetVal(K, double(K) * K * K);
    const double Exact = (double(B) * B * B * B - 1) / 4;
    EXPECT_NEAR(C.Integrate(1, B, imSimpson), Exact, 1e-9 * Exact) << B;
  }
  TVector One;
  EXPECT_EQ(One.Integrate(1, 1, imSimpson), 0);
}

TEST(VectorStats, DoubleHistogram) {
  const Filled<TVector> V({-0.1, 0, 0.4, 0.5, 0.99, 1.0, 1.49, 1.5});
  TIntArray H = {42};
  int32_t Under = -1, Over = -1, Max = -1;
  ASSERT_TRUE(V.Histogram(1, 8, 0, 1, 0.5, H, Under, Over, Max));
  EXPECT_EQ(H, (TIntArray{2, 2, 2}));
  EXPECT_EQ(Under, 1);
  EXPECT_EQ(Over, 1);
  EXPECT_EQ(Max, 2);
  // Indices beyond the vector read as 0 (counted in one step, however many).
  ASSERT_TRUE(V.Histogram(-1'000'000'000, 1'000'000'000, 0, 1, 0.5, H, Under, Over, Max));
  EXPECT_EQ(H[0], 2 + 2'000'000'001 - 8);

  TIntArray Kept = {7};
  for (const double W : {0.0, -1.0, double(NAN), double(INFINITY)})
    EXPECT_FALSE(V.Histogram(1, 8, 0, 1, W, Kept, Under, Over, Max));
  EXPECT_FALSE(V.Histogram(1, 8, 0, INFINITY, 1, Kept, Under, Over, Max));
  EXPECT_FALSE(V.Histogram(1, 8, 0, 1000, 1, Kept, Under, Over, Max));  // 1001 bins
  EXPECT_EQ(Kept, TIntArray{7});

  const Filled<TVector> WithNaN({NAN, 0.2, NAN});
  ASSERT_TRUE(WithNaN.Histogram(1, 3, 0, 1, 0.5, H, Under, Over, Max));
  EXPECT_EQ(H, (TIntArray{1, 0, 0}));  // NaN counts nowhere
  EXPECT_EQ(Under + Over, 0);

  TIntVector HV;
  ASSERT_TRUE(V.Histogram(1, 8, 0, 1, 0.5, HV, Under, Over, Max));
  EXPECT_EQ(HV.Data(), (TIntArray{2, 2, 2}));
}

TEST(VectorStats, IntegerHistogram) {
  Filled<TIntVector> V({-1, 0, 1, 2, 3, 4, 5, 9});
  V.SetName("IV");
  TIntArray H;
  int32_t Under = 0, Over = 0, Max = 0;
  V.Histogram(1, 8, 0, 4, 2, H, Under, Over, Max);  // bins 0-1, 2-3, 4-5
  EXPECT_EQ(H, (TIntArray{2, 2, 2}));
  EXPECT_EQ(Under, 1);
  EXPECT_EQ(Over, 1);
  V.Histogram(1, 8, 0, 2, 0, H, Under, Over, Max);  // width 0 counts as 1
  EXPECT_EQ(H, (TIntArray{1, 1, 1}));
  try {
    V.Histogram(1, 8, 0, 500, 1, H, Under, Over, Max);
    FAIL();
  } catch (const ENUXVectorError& E) {
    EXPECT_STREQ(E.what(), "Component \"IV.Histogram\": invalid number of bins");
  }
  EXPECT_THROW(V.Histogram(1, 8, INT32_MIN, INT32_MAX, 1, H, Under, Over, Max), ENUXVectorError);
}

TEST(VectorStats, IntegerArithmeticWrapsWithoutUndefinedBehaviour) {
  Filled<TIntVector> V({INT32_MAX, 1});
  EXPECT_EQ(V.Sum(0, 0), INT32_MIN);
  Filled<TIntVector> M({INT32_MIN});
  M.AbsVal();
  EXPECT_EQ(M.GetVal(1), INT32_MIN);
  double Mean = 0, Var = 0;
  Filled<TIntVector>({INT32_MAX, INT32_MAX, INT32_MIN}).MeanVar(0, 0, Mean, Var);
  EXPECT_NEAR(Mean, (2.0 * INT32_MAX + INT32_MIN) / 3, 1e-6);
}

}  // namespace
}  // namespace nux
