#include "nux/statis/kstest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>

namespace nux {
namespace {

struct TKSRef {
  int32_t N;
  double D, P;
};
#include "data/reference_values.inc"

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

double Asymptotic(int32_t N, double D) {
  return 2.0 * std::exp(-(2.000071 + 0.331 / std::sqrt(N) + 1.409 / N) * D * D * N);
}

TEST(KSPValue, ExactMethodMatchesHighPrecisionReference) {
  for (const TKSRef& R : std::initializer_list<TKSRef>{NUX_REF_KS})
    EXPECT_NEAR(KSPValue(R.N, R.D), R.P, 1e-12 + 1e-10 * R.P) << R.N << " " << R.D;
  // One observation: D = max(U, 1 - U), so P(D > d) = 2 (1 - d) for d >= 1/2.
  EXPECT_NEAR(KSPValue(1, 0.7), 0.6, 1e-13);
  EXPECT_NEAR(KSPValue(1, 0.3), 1.0, 1e-13);
}

TEST(KSPValue, SwitchesToTheAsymptoticFormula) {
  // n d^2 > 7.24 for every n.
  const double D10 = std::sqrt(7.3 / 10.0);
  EXPECT_NEAR(KSPValue(10, D10), Asymptotic(10, D10), 1e-14 * Asymptotic(10, D10));
  // 3.76 < n d^2 <= 7.24: asymptotic from n = 100 on, exact below.
  const double D100 = std::sqrt(4.0 / 100.0), D99 = std::sqrt(4.0 / 99.0);
  EXPECT_NEAR(KSPValue(100, D100), Asymptotic(100, D100), 1e-14 * Asymptotic(100, D100));
  EXPECT_NE(KSPValue(99, D99), Asymptotic(99, D99));
  EXPECT_NEAR(KSPValue(99, D99), Asymptotic(99, D99), 2e-4);
}

TEST(KSPValue, LargeSamplesStayFastAndContinuous) {
  // Several thousand observations would need matrices of thousands of rows; the limiting
  // distribution takes over without a visible seam (a 0.2% step in d moves P by about 2.7%).
  const double Below = KSPValue(3000, 99.9 / 3000.0), Above = KSPValue(3000, 100.1 / 3000.0);
  EXPECT_LT(Above, Below);
  EXPECT_NEAR(Below, Above, 0.05 * Below);
  // Kolmogorov's limit at lambda = 1 is 0.27, approached from below as n grows.
  const double P = KSPValue(1000000, 1.0 / (1000.0 + 0.12));
  EXPECT_NEAR(P, 0.2699996716735, 1e-6);
}

TEST(KSPValue, GuardsAgainstBadArguments) {
  EXPECT_EQ(KSPValue(0, 0.3), -1.0);
  EXPECT_EQ(KSPValue(-5, 0.3), -1.0);
  EXPECT_EQ(KSPValue(10, NaN), -1.0);
  EXPECT_EQ(KSPValue(10, 0.0), 1.0);
  EXPECT_EQ(KSPValue(10, -0.2), 1.0);
  EXPECT_EQ(KSPValue(10, 1.0), 0.0);
  // A huge sample with a tiny distance: P(D > d) is 1 to many digits, and the call is quick.
  EXPECT_EQ(KSPValue(2000000000, 1e-12), 1.0);  // below 1/(2n): D cannot be that small
  const double P = KSPValue(2000000000, 2e-9);
  EXPECT_LE(P, 1.0);
  EXPECT_GT(P, 1.0 - 1e-12);
  // D >= 1/(2n) always.
  EXPECT_EQ(KSPValue(10, 0.04), 1.0);
}

TEST(KSQuantile, InvertsThePValueToItsTolerance) {
  for (int32_t N : {1, 5, 10, 20, 40, 150})
    for (TSignifLevel L : {Dot20, Dot15, Dot10, Dot05, Dot01}) {
      const double D = KSQuantile(N, L);
      EXPECT_NEAR(KSPValue(N, D), NUMERICSIGNIFLEVEL[L], 1.01e-4) << N << " " << L;
    }
  EXPECT_EQ(KSQuantile(0, Dot05), -1.0);
  EXPECT_EQ(KSQuantile(10, static_cast<TSignifLevel>(7)), -1.0);
}

TEST(KolmogSmir1SampleTestStat, TableThenAsymptoticConstants) {
  EXPECT_EQ(KolmogSmir1SampleTestStat(1, Dot20), 0.900);
  EXPECT_EQ(KolmogSmir1SampleTestStat(10, Dot05), 0.410);
  EXPECT_EQ(KolmogSmir1SampleTestStat(20, Dot01), 0.356);
  EXPECT_EQ(KolmogSmir1SampleTestStat(25, Dot05), 1.358 / 5.0);
  EXPECT_EQ(KolmogSmir1SampleTestStat(10, static_cast<TSignifLevel>(5)), -1.0);
  EXPECT_EQ(KolmogSmir1SampleTestStat(10, static_cast<TSignifLevel>(-1)), -1.0);
  EXPECT_EQ(KolmogSmir1SampleTestStat(0, Dot05), -1.0);
  for (int L = 0; L < 5; ++L) EXPECT_EQ(KSCriticalTable[0][L], NUMERICSIGNIFLEVEL[L]);
}

TEST(Lilliefors, PValueScalingAndBounds) {
  EXPECT_EQ(LillieforsPValue(5, 0.2), -1.0);
  EXPECT_EQ(LillieforsPValue(20, NaN), -1.0);
  EXPECT_EQ(LillieforsPValue(200, 0.05), LillieforsPValue(100, 0.05 * std::pow(2.0, 0.49)));
  EXPECT_EQ(LillieforsPValue(20, 0.0), 1.0);
  EXPECT_LE(LillieforsPValue(6, 0.01), 1.0);
  // Published 5% critical value for n = 20 is about 0.19.
  EXPECT_NEAR(LillieforsPValue(20, 0.190), 0.05, 0.01);
  EXPECT_LT(LillieforsPValue(20, 0.3), LillieforsPValue(20, 0.2));
}

TEST(Lilliefors, QuantileRoughlyInvertsThePValue) {
  EXPECT_NEAR(LillieforsQuantile(20, 0.05), 0.19, 0.01);
  for (int32_t N : {10, 30, 80})
    for (double A : {0.01, 0.05, 0.1})
      EXPECT_NEAR(LillieforsPValue(N, LillieforsQuantile(N, A)), A, 0.5 * A);
  EXPECT_EQ(LillieforsQuantile(0, 0.05), -1.0);
  EXPECT_EQ(LillieforsQuantile(20, NaN), -1.0);
}

}  // namespace
}  // namespace nux
