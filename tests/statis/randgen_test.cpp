#include "nux/statis/randgen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "nux/host/random.h"
#include "nux/statis/distributions.h"
#include "nux/statis/kstest.h"

namespace nux {
namespace {

// Goodness of fit: the Kolmogorov-Smirnov p of Count draws against Cdf must reach this level.
// The seed is fixed, so the test is deterministic; the level only says how clear the fit is.
constexpr double MinKSPValue = 1e-3;
constexpr int32_t Count = 20000;

double KSPValueOf(TRandGen& G, const std::function<double(double)>& Cdf) {
  std::vector<double> X(Count);
  for (double& V : X) V = G.GetRandNum();
  std::sort(X.begin(), X.end());
  double D = 0.0;
  for (int32_t I = 0; I < Count; ++I) {
    const double F = Cdf(X[size_t(I)]);
    D = std::max({D, std::fabs(F - double(I) / Count), std::fabs(F - double(I + 1) / Count)});
  }
  return KSPValue(Count, D);
}

// The distribution the generator samples: the table interpolated linearly, the last cell
// falling to 0 at the upper border, capped at 1, normalised. Integrated on a fine grid (exact
// but where the cap cuts a step).
std::function<double(double)> TableCdf(const TRandGen& G) {
  constexpr int32_t Sub = 64;
  const int32_t R = G.Resolution(), Steps = R * Sub;
  const double Lo = G.LowBorder(), H = (G.HighBorder() - Lo) / Steps;
  auto Density = [&G, R](double U) {  // U in cells
    const int32_t K = std::min(static_cast<int32_t>(U), R - 1);
    const double F0 = G.GetProbability(K + 1), F1 = K + 1 < R ? G.GetProbability(K + 2) : 0.0;
    return std::min(F0 + (F1 - F0) * (U - K), 1.0);
  };
  std::vector<double> Cum(size_t(Steps) + 1, 0.0);
  for (int32_t S = 0; S < Steps; ++S)
    Cum[size_t(S) + 1] =
        Cum[size_t(S)] + (Density(double(S) / Sub) + Density(double(S + 1) / Sub - 1e-12)) / 2.0;
  const double Total = Cum.back();
  return [=](double X) {
    const double U = std::clamp((X - Lo) / H, 0.0, double(Steps));
    const int32_t S = std::min(static_cast<int32_t>(U), Steps - 1);
    return (Cum[size_t(S)] + (Cum[size_t(S) + 1] - Cum[size_t(S)]) * (U - S)) / Total;
  };
}

// The CDF of the distribution truncated to [Lo, Hi].
std::function<double(double)> Truncated(std::function<double(double)> F, double Lo, double Hi) {
  const double A = F(Lo), B = F(Hi);
  return [=](double X) { return (F(X) - A) / (B - A); };
}

TEST(RandGen, NewGeneratorAndTableAccess) {
  TRandGen G;
  EXPECT_EQ(G.Resolution(), 500);
  EXPECT_EQ(G.GetProbability(1), 1.0);
  EXPECT_EQ(G.GetProbability(500), 1.0);
  EXPECT_EQ(G.GetProbability(501), 0.0);
  EXPECT_EQ(G.GetRandNum(), 0.0);  // both borders 0
  // Coinciding borders: no division by a zero width.
  EXPECT_EQ(G.IndexOfLambda(0.0), 1);
  EXPECT_EQ(G.IndexOfLambda(-1.0), 0);
  EXPECT_EQ(G.IndexOfLambda(1.0), 501);
  EXPECT_EQ(G.IndexOfLambda(std::nan("")), 0);

  G.SetProbability(1, 1.5);
  G.SetProbability(2, -0.5);
  G.SetProbability(3, std::nan(""));
  G.SetProbability(0, 0.5);
  G.SetProbability(501, 0.5);
  EXPECT_EQ(G.GetProbability(1), 1.0);
  EXPECT_EQ(G.GetProbability(2), 0.0);
  EXPECT_EQ(G.GetProbability(3), 1.0);
  G.SetResolution(5);
  EXPECT_EQ(G.Resolution(), 10);
  EXPECT_EQ(G.GetProbability(2), 1.0);  // reset
  G.SetResolution(5000);
  EXPECT_EQ(G.Resolution(), 4000);

  G.SetResolution(10);
  G.SetLowBorder(0.0);
  G.SetHighBorder(10.0);
  G.SetHighBorder(std::numeric_limits<double>::infinity());  // ignored
  EXPECT_EQ(G.GetLambda(1), 0.0);
  EXPECT_EQ(G.GetLambda(10), 9.0);
  EXPECT_EQ(G.GetLambda(11), 10.0);
  EXPECT_EQ(G.GetLambda(0), 0.0);
  EXPECT_EQ(G.IndexOfLambda(9.99), 10);
  EXPECT_EQ(G.IndexOfLambda(10.0), 11);
  EXPECT_EQ(G.IndexOfLambda(10.5), 11);
  EXPECT_EQ(G.IndexOfLambda(0.0), 1);
  EXPECT_EQ(G.IndexOfLambda(std::nextafter(10.0, 0.0)), 10);
  G.SetLowBorder(-1e16);
  G.SetHighBorder(1.0);
  EXPECT_EQ(G.IndexOfLambda(0.5), 10);  // rounds onto the border, still in the last cell
}

TEST(RandGen, NormalizeStandardize) {
  TRandGen G;
  G.SetResolution(10);
  G.Normalize();  // constant: unchanged
  EXPECT_EQ(G.GetProbability(4), 1.0);
  for (int32_t I = 1; I <= 10; ++I) G.SetProbability(I, I == 3 ? 0.0 : 0.1 + 0.05 * I);
  G.Standardize();
  EXPECT_DOUBLE_EQ(G.GetProbability(5), 0.35 / 0.6);
  G.Normalize();
  EXPECT_DOUBLE_EQ(G.GetProbability(10), 1.0);
  EXPECT_EQ(G.GetProbability(3), 0.0);
  for (int32_t I = 1; I <= 10; ++I) G.SetProbability(I, 0.0);
  G.Standardize();  // maximum 0: unchanged
  EXPECT_EQ(G.GetProbability(4), 0.0);
}

TEST(RandGen, DensitiesFillTheTable) {
  TRandGen G;
  G.SetResolution(100);
  G.SetLowBorder(-2.0);
  G.SetHighBorder(8.0);
  ASSERT_TRUE(G.Chi2Distri(3));
  EXPECT_EQ(G.GetProbability(1), 0.0);  // below 0
  EXPECT_DOUBLE_EQ(G.GetProbability(51), Chi2DistriDensity(3.0, 3));
  ASSERT_TRUE(G.FDistri(2, 7));
  EXPECT_DOUBLE_EQ(G.GetProbability(21), 1.0);  // the F(2, .) density at 0
  ASSERT_TRUE(G.NormalDistri(1.0, 2.0));
  EXPECT_DOUBLE_EQ(G.GetProbability(31), 1.0);
  EXPECT_DOUBLE_EQ(G.GetProbability(51), std::exp(-0.5));

  // Refused parameters leave the table as it was.
  EXPECT_FALSE(G.NormalDistri(0.0, 0.0));
  EXPECT_FALSE(G.tDistri(0));
  EXPECT_FALSE(G.Chi2Distri(-1));
  EXPECT_FALSE(G.FDistri(1, 0));
  EXPECT_FALSE(G.WeibullDistri(1.0, std::nan("")));
  EXPECT_DOUBLE_EQ(G.GetProbability(31), 1.0);

  // Densities infinite at 0: the point takes its cell's mean density, nothing turns NaN.
  G.SetLowBorder(0.0);
  G.SetHighBorder(10.0);
  for (const bool Chi2 : {true, false}) {
    ASSERT_TRUE(Chi2 ? G.Chi2Distri(1) : G.FDistri(1, 4));
    const double Mean = (Chi2 ? chi2DistriIntegral(0.1, 1) : FDistriIntegral(0.1, 1, 4)) / 0.1;
    EXPECT_NEAR(G.GetProbability(1), Mean, 1e-12 * Mean);
    G.Standardize();
    for (int32_t I = 1; I <= 100; ++I) ASSERT_TRUE(std::isfinite(G.GetProbability(I))) << I;
    EXPECT_EQ(G.GetProbability(1), 1.0);
    EXPECT_GT(G.GetProbability(2), 0.1);
  }
}

TEST(RandGen, DrawsFollowTheDistributions) {
  SetRandSeed(424242);
  TRandGen G;
  struct TCase {
    const char* Name;
    double Lo, Hi;
    std::function<bool(TRandGen&)> Fill;
    std::function<double(double)> Cdf;
  };
  const TCase Cases[] = {
      {"normal", -3.0, 5.0, [](TRandGen& R) { return R.NormalDistri(1.0, 1.5); },
       [](double X) { return nDistriIntegral((X - 1.0) / 1.5); }},
      {"t", -8.0, 8.0, [](TRandGen& R) { return R.tDistri(5); },
       [](double X) { return tDistriIntegral(X, 5); }},
      {"chi2", 0.0, 20.0, [](TRandGen& R) { return R.Chi2Distri(4); },
       [](double X) { return chi2DistriIntegral(X, 4); }},
      {"F", 0.0, 8.0, [](TRandGen& R) { return R.FDistri(5, 12); },
       [](double X) { return FDistriIntegral(X, 5, 12); }},
      {"Weibull", 0.0, 8.0, [](TRandGen& R) { return R.WeibullDistri(1.5, 2.0); },
       [](double X) { return X <= 0 ? 0.0 : 1.0 - std::exp(-std::pow(X / 2.0, 1.5)); }},
      {"uniform", 2.0, 3.0,
       [](TRandGen& R) {
         R.UniformDistri();
         return true;
       },
       [](double X) { return std::clamp(X - 2.0, 0.0, 1.0); }},
  };
  for (const TCase& C : Cases) {
    G.SetResolution(500);
    G.SetLowBorder(C.Lo);
    G.SetHighBorder(C.Hi);
    ASSERT_TRUE(C.Fill(G));
    G.Standardize();
    EXPECT_GE(KSPValueOf(G, Truncated(C.Cdf, C.Lo, C.Hi)), MinKSPValue) << C.Name;
    // Draws fail against a distribution shifted a little.
    EXPECT_LT(KSPValueOf(G, Truncated([&](double X) { return C.Cdf(X - 0.04 * (C.Hi - C.Lo)); },
                                      C.Lo, C.Hi)),
              MinKSPValue)
        << C.Name;
  }
  // With a pole at 0 the table is a coarse stand-in; the draws follow the table. Left
  // unstandardised, its entries above 1 are drawn by rejection, as if they were 1.
  G.SetLowBorder(0.0);
  G.SetHighBorder(6.0);
  ASSERT_TRUE(G.Chi2Distri(1));
  ASSERT_GT(G.GetProbability(3), 1.0);
  EXPECT_GE(KSPValueOf(G, TableCdf(G)), MinKSPValue);
  G.Standardize();
  EXPECT_GE(KSPValueOf(G, TableCdf(G)), MinKSPValue);
  // A hand-set table: a ramp and a gap.
  G.SetResolution(10);
  for (int32_t I = 1; I <= 10; ++I) G.SetProbability(I, I <= 5 ? 0.2 * I : (I == 7 ? 0.5 : 0.0));
  EXPECT_GE(KSPValueOf(G, TableCdf(G)), MinKSPValue);
}

TEST(RandGen, RepeatableAndBounded) {
  TRandGen G;
  G.SetLowBorder(-1.0);
  G.SetHighBorder(1.0);
  G.NormalDistri(0.0, 0.3);
  SetRandSeed(7);
  const double A = G.GetRandNum(), B = G.GetRandNum();
  SetRandSeed(7);
  EXPECT_EQ(G.GetRandNum(), A);
  EXPECT_EQ(G.GetRandNum(), B);
  // An all-zero table accepts nothing: the last of the 100001 candidates is returned.
  for (int32_t I = 1; I <= G.Resolution(); ++I) G.SetProbability(I, 0.0);
  for (int32_t K = 0; K < 3; ++K) {
    const double X = G.GetRandNum();
    EXPECT_GE(X, -1.0);
    EXPECT_LT(X, 1.0);
  }
}

}  // namespace
}  // namespace nux
