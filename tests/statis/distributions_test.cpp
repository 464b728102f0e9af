#include "nux/statis/distributions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>

#include "nux/frame/errors.h"

namespace nux {
namespace {

struct TNormalRef {
  double X, Lower, Upper;
};
struct TChi2Ref {
  double X;
  int32_t Df;
  double Lower, Upper, Density;
};
struct TChi2QRef {
  double P;
  int32_t Df;
  double X;
};
struct TFRef {
  double X;
  int32_t Df1, Df2;
  double Lower, Upper, Density;
};
struct TFQRef {
  double P;
  int32_t Df1, Df2;
  double X;
};
using TTRef = TChi2Ref;
using TTQRef = TChi2QRef;
struct TBinomRef {
  int32_t N;
  double P;
  int32_t K;
  double Density, Lower, Upper;
};
struct TURef {
  int32_t N1, N2, U;
  double Density, Lower, Upper;
};
struct TSWRef {
  double W;
  int32_t N, N1;
  double P;
};
#include "data/reference_values.inc"

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double Target = 1e-10;

double RelErr(double Got, double Want) {
  if (Want == 0.0) return std::fabs(Got);
  return std::fabs(Got - Want) / std::fabs(Want);
}

// The accuracy promise covers probabilities in [1e-12, 1 - 1e-12]; the upper forms keep it
// for small upper tails as well.
bool Covered(double P) { return P >= 0.99e-12 && P <= 1.0 - 0.99e-12; }

// ---------------------------------------------------------------- normal

TEST(Normal, IntegralFollowsTheReferenceIntoTheFarLowerTail) {
  // The old 1 - P(0.5, x^2/2) form was already 1.8% off at x = -8 and 100% beyond.
  for (const TNormalRef& R : std::initializer_list<TNormalRef>{NUX_REF_NORMAL}) {
    EXPECT_LT(RelErr(nDistriIntegral(R.X), R.Lower), 1e-7) << R.X;
    EXPECT_LT(RelErr(nDistriIntegralUpper(R.X), R.Upper), 1e-7) << R.X;
  }
  EXPECT_EQ(nDistriIntegral(0.0), 0.5);
  EXPECT_TRUE(std::isnan(nDistriIntegral(NaN)));
  EXPECT_EQ(nDistriIntegral(-Inf), 0.0);
  EXPECT_EQ(nDistriIntegral(Inf), 1.0);
  EXPECT_NEAR(nDistriDensity(0.0), 0.3989422804014327, 1e-16);
}

TEST(Normal, QuantileTerminatesEverywhereAndReproducesItsProbability) {
  EXPECT_EQ(nDistriQuantile(0.0), 0.0);
  EXPECT_EQ(nDistriQuantile(1.0), 0.0);
  EXPECT_EQ(nDistriQuantile(NaN), 0.0);
  EXPECT_EQ(nDistriQuantile(-0.5), 0.0);
  EXPECT_EQ(nDistriQuantile(1.5), 0.0);
  EXPECT_LT(std::fabs(nDistriIntegral(nDistriQuantile(0.5)) - 0.5) / 0.5, 1e-8);
  for (double P : {1e-300, 1e-100, 1e-20, 1e-8, 0.025, 0.3, 0.7, 0.975, 1 - 1e-9, 1 - 1e-15}) {
    const double Z = nDistriQuantile(P);
    EXPECT_LT(RelErr(nDistriIntegral(Z), P), 1e-7) << P;
  }
  // The smallest doubles cannot be reached to the relative tolerance; the search still ends.
  const double Z = nDistriQuantile(4.9e-324);
  EXPECT_LT(Z, -37.0);
  EXPECT_GT(Z, -39.0);
  EXPECT_NEAR(nDistriQuantile(0.975), 1.959963984540054, 1e-7);
}

TEST(Normal, QuantileAboveOneHalfIsAsGoodAsItsUpperTail) {
  // The stop test once compared P(Z <= z) with p relative to p: above 0.5 the upper tail could
  // be off by more than its own size (7.03405 here).
  EXPECT_LT(RelErr(nDistriQuantile(0.999999999999), 7.0344869100478352), 1e-8);
  EXPECT_LT(RelErr(nDistriQuantile(1e-12), -7.0344838253011313), 1e-8);
  EXPECT_LT(RelErr(nDistriQuantile(1 - 1e-9), 5.9978070196016375), 1e-8);
  // z(1 - alpha/2) from the exact tail alpha/2.
  EXPECT_LT(RelErr(ConfidenceInterval(1e-10, 1.0, 1), 6.4669510872405162), 1e-8);
  EXPECT_LT(RelErr(ConfidenceInterval(1.5, 1.0, 1), -0.6744897501960817), 1e-8);
}

TEST(Normal, ConfidenceIntervalIsTheNormalHalfWidth) {
  EXPECT_NEAR(ConfidenceInterval(0.05, 2.0, 16), 1.959963984540054 * 2.0 / 4.0, 1e-7);
  EXPECT_EQ(ConfidenceInterval(0.05, 2.0, 0), 0.0);
  EXPECT_EQ(ConfidenceInterval(2.5, 2.0, 10), 0.0);
}

// ---------------------------------------------------------------- Weibull, hypergeometric

TEST(Weibull, DensityMatchesTheClosedFormAndRejectsBadArguments) {
  // k = 2, lambda = 3 at x = 1.5: (2/3)(0.5) exp(-0.25)
  EXPECT_NEAR(WeibullDensity(1.5, 2.0, 3.0), 2.0 / 3.0 * 0.5 * std::exp(-0.25), 1e-14);
  EXPECT_NEAR(WeibullDensity(2.0, 1.0, 0.5), 2.0 * std::exp(-4.0), 1e-14);  // exponential
  EXPECT_EQ(WeibullDensity(0.0, 2.0, 3.0), 0.0);
  EXPECT_EQ(WeibullDensity(1.0, 2.0, 0.0), 0.0);
  EXPECT_EQ(WeibullDensity(1.0, -1.0, 1.0), 0.0);
  EXPECT_EQ(WeibullDensity(NaN, 2.0, 1.0), 0.0);
  EXPECT_EQ(WeibullDensity(Inf, 2.0, 1.0), 0.0);
  EXPECT_EQ(WeibullDensity(1.0, 2.0, Inf), 0.0);
}

TEST(Densities, StayInRangeWhereTheirFactorsDoNot) {
  // x^a underflowed (or x^(k-1) and scale^k overflowed) before the factor that brings the
  // product back into range: 0 and NaN instead of these (mpmath, 50 digits).
  EXPECT_LT(RelErr(Chi2DistriDensity(1e-300, 3), 3.9894228040143268e-151), 1e-12);
  EXPECT_LT(RelErr(Chi2DistriDensity(4.9e-324, 1), 1.7948069285245254e+161), 1e-12);
  EXPECT_LT(RelErr(FDistriDensity(1.0183844216859323e-178, 4, 7), 5.2374055972419373e-178), 1e-12);
  EXPECT_LT(RelErr(FDistriDensity(1e-320, 1, 5), 3.7960880288610276e+159), 1e-12);
  EXPECT_LT(RelErr(WeibullDensity(23.785080394493637, 709.3968384360359, 23.571858016242174),
                   9.2099772188878153e-255),
            1e-10);
  for (int32_t Df : {1, 7, 2147483647}) {
    EXPECT_EQ(Chi2DistriDensity(Inf, Df), 0.0);
    EXPECT_EQ(FDistriDensity(Inf, Df, 3), 0.0);
    EXPECT_EQ(tDistriDensity(-Inf, Df), 0.0);
  }
}

TEST(HyperGeo, ProbabilitiesAndArgumentChecksInOrder) {
  // K = 5 of 10, draw 4, two successes: C(5,2) C(5,2) / C(10,4) = 100/210.
  EXPECT_NEAR(HyperGeoDistriDensity(0.5, 10, 4, 2), 100.0 / 210.0, 1e-8);
  double Sum = 0.0;
  for (int32_t K = 0; K <= 4; ++K) Sum += HyperGeoDistriDensity(0.5, 10, 4, K);
  EXPECT_NEAR(Sum, 1.0, 1e-8);
  EXPECT_EQ(HyperGeoDistriDensity(0.5, 10, 4, 5), 0.0);
  EXPECT_EQ(HyperGeoDistriDensity(0.5, 10, 8, 2), 0.0);  // needs at least 3 successes
  auto Message = [](auto Call) {
    try {
      Call();
    } catch (const ENUXStatisError& E) {
      return std::string(E.what());
    }
    return std::string("no exception");
  };
  EXPECT_EQ(Message([] { HyperGeoDistriDensity(1.5, 0, 11, 1); }),
            "HyperGeoDistriDensity: probability p must be between 0.0 and 1.0");
  EXPECT_EQ(Message([] { HyperGeoDistriDensity(NaN, 10, 4, 1); }),
            "HyperGeoDistriDensity: probability p must be between 0.0 and 1.0");
  EXPECT_EQ(Message([] { HyperGeoDistriDensity(0.5, 0, 11, 1); }),
            "HyperGeoDistriDensity: npop must be greater than 0");
  EXPECT_EQ(Message([] { HyperGeoDistriDensity(0.5, 10, 11, 1); }),
            "HyperGeoDistriDensity: nsample must not be greater than npop");
  EXPECT_EQ(Message([] { HyperGeoDistriDensity(0.5, 10, 0, 1); }),
            "HyperGeoDistriDensity: nsample must not be less than 1");
}

// ---------------------------------------------------------------- continuous, reference tables

TEST(Chi2, IntegralUpperAndDensityMatchReference) {
  for (const TChi2Ref& R : std::initializer_list<TChi2Ref>{NUX_REF_CHI2}) {
    if (Covered(R.Lower)) {
      EXPECT_LT(RelErr(chi2DistriIntegral(R.X, R.Df), R.Lower), Target);
    }
    if (R.Upper > 1e-300) {
      EXPECT_LT(RelErr(chi2DistriIntegralUpper(R.X, R.Df), R.Upper), Target) << R.X << " " << R.Df;
    }
    EXPECT_LT(RelErr(Chi2DistriDensity(R.X, R.Df), R.Density), Target) << R.X << " " << R.Df;
  }
}

TEST(Chi2, QuantileMatchesReferenceAndReproducesItsProbability) {
  for (const TChi2QRef& R : std::initializer_list<TChi2QRef>{NUX_REF_CHI2_Q}) {
    const double X = chi2DistriQuantile(R.P, R.Df);
    EXPECT_LT(RelErr(X, R.X), 1e-9) << R.P << " " << R.Df;
    if (R.P <= 0.5) {
      EXPECT_LT(RelErr(chi2DistriIntegral(X, R.Df), R.P), Target);
    } else {
      EXPECT_LT(RelErr(chi2DistriIntegralUpper(X, R.Df), 1.0 - R.P), Target);
    }
  }
}

TEST(FDistri, IntegralUpperAndDensityMatchReference) {
  for (const TFRef& R : std::initializer_list<TFRef>{NUX_REF_F}) {
    if (Covered(R.Lower)) {
      EXPECT_LT(RelErr(FDistriIntegral(R.X, R.Df1, R.Df2), R.Lower), Target)
          << R.X << " " << R.Df1 << " " << R.Df2;
    }
    if (R.Upper > 1e-300) {
      EXPECT_LT(RelErr(FDistriIntegralUpper(R.X, R.Df1, R.Df2), R.Upper), Target)
          << R.X << " " << R.Df1 << " " << R.Df2;
    }
    EXPECT_LT(RelErr(FDistriDensity(R.X, R.Df1, R.Df2), R.Density), Target)
        << R.X << " " << R.Df1 << " " << R.Df2;
  }
}

TEST(FDistri, QuantileMatchesReferenceAndReproducesItsProbability) {
  for (const TFQRef& R : std::initializer_list<TFQRef>{NUX_REF_F_Q}) {
    const double X = FDistriQuantile(R.P, R.Df1, R.Df2);
    EXPECT_LT(RelErr(X, R.X), 1e-9) << R.P << " " << R.Df1 << " " << R.Df2;
    if (R.P <= 0.5) {
      EXPECT_LT(RelErr(FDistriIntegral(X, R.Df1, R.Df2), R.P), Target);
    } else {
      EXPECT_LT(RelErr(FDistriIntegralUpper(X, R.Df1, R.Df2), 1.0 - R.P), Target);
    }
  }
}

TEST(TDistri, IntegralUpperAndDensityMatchReference) {
  for (const TTRef& R : std::initializer_list<TTRef>{NUX_REF_T}) {
    // The smaller tail is computed directly and keeps its relative accuracy far out.
    if (Covered(R.Lower) || (R.X < 0.0 && R.Lower > 1e-300)) {
      EXPECT_LT(RelErr(tDistriIntegral(R.X, R.Df), R.Lower), Target) << R.X << " " << R.Df;
    }
    if (Covered(R.Upper) || (R.X > 0.0 && R.Upper > 1e-300)) {
      EXPECT_LT(RelErr(tDistriIntegralUpper(R.X, R.Df), R.Upper), Target) << R.X << " " << R.Df;
    }
    EXPECT_LT(RelErr(tDistriDensity(R.X, R.Df), R.Density), Target) << R.X << " " << R.Df;
  }
}

TEST(TDistri, QuantileMatchesReferenceAndReproducesItsProbability) {
  for (const TTQRef& R : std::initializer_list<TTQRef>{NUX_REF_T_Q}) {
    const double X = tDistriQuantile(R.P, R.Df);
    EXPECT_LT(RelErr(X, R.X), 1e-9) << R.P << " " << R.Df;
    if (R.P <= 0.5) {
      EXPECT_LT(RelErr(tDistriIntegral(X, R.Df), R.P), Target);
    } else {
      EXPECT_LT(RelErr(tDistriIntegralUpper(X, R.Df), 1.0 - R.P), Target);
    }
  }
  EXPECT_EQ(tDistriQuantile(0.5, 7), 0.0);
  // Cauchy: closed form tan(pi (p - 1/2)).
  EXPECT_LT(RelErr(tDistriQuantile(0.9, 1), std::tan(M_PI * 0.4)), Target);
}

TEST(Continuous, LargeFirstShapeNearOneKeepsItsDigits) {
  // The incomplete beta forced the fraction in 1 - x past its convergence for a first shape
  // above 1e5 near x = 1: -9.6e-4 here, and a quantile of -142.9.
  EXPECT_LT(RelErr(tDistriIntegral(-8.0, 1000000), 6.2275317166012598e-16), Target);
  EXPECT_LT(RelErr(tDistriQuantile(1e-6, 1000000), -4.753452348279681), 1e-12);
  // The smallest k with P(X <= k) >= prob; the broken upper tail gave n.
  double Cum = 0.0;
  EXPECT_EQ(BinomDistriQuantile(511544, 0.9993418154164062, 0.9999999999864186, Cum), 511322.0);
  EXPECT_LT(RelErr(1.0 - Cum, 1.1054001950453341e-11), 1e-4);  // Cum itself is 1 - 1.1e-11
}

TEST(Continuous, ClosedFormsAndSymmetry) {
  // chi2 with 2 df is exponential with mean 2.
  EXPECT_LT(RelErr(chi2DistriIntegralUpper(30.0, 2), std::exp(-15.0)), Target);
  EXPECT_LT(RelErr(Chi2DistriDensity(3.0, 2), 0.5 * std::exp(-1.5)), Target);
  // t with 2 df: F(x) = 1/2 + x / (2 sqrt(2 + x^2)).
  EXPECT_LT(RelErr(tDistriIntegral(1.3, 2), 0.5 + 1.3 / (2.0 * std::sqrt(2.0 + 1.69))), Target);
  EXPECT_EQ(tDistriIntegral(-2.5, 9), tDistriIntegralUpper(2.5, 9));
  // F(1, n) of t^2 equals the two-sided t tail.
  EXPECT_LT(RelErr(FDistriIntegralUpper(4.0, 1, 12), 2.0 * tDistriIntegralUpper(2.0, 12)), Target);
  // Huge degrees of freedom approach the normal.
  // Expansion in 1/df: z + (z^3 + z)/(4 df).
  const double Z = 1.959963984540054;
  EXPECT_LT(RelErr(tDistriQuantile(0.975, 2147483647), Z + (Z * Z * Z + Z) / (4.0 * 2147483647.0)),
            1e-12);
  EXPECT_LT(RelErr(tDistriQuantile(0.975, 100000000), Z + (Z * Z * Z + Z) / 4e8), 1e-12);
}

TEST(Continuous, BadArgumentsGiveDocumentedValues) {
  for (int32_t Df : {0, -3}) {
    EXPECT_TRUE(std::isnan(chi2DistriIntegral(1.0, Df)));
    EXPECT_TRUE(std::isnan(Chi2DistriDensity(1.0, Df)));
    EXPECT_TRUE(std::isnan(chi2DistriQuantile(0.5, Df)));
    EXPECT_TRUE(std::isnan(tDistriIntegral(1.0, Df)));
    EXPECT_TRUE(std::isnan(tDistriQuantile(0.5, Df)));
    EXPECT_TRUE(std::isnan(FDistriIntegral(1.0, Df, 3)));
    EXPECT_TRUE(std::isnan(FDistriQuantile(0.5, 3, Df)));
  }
  EXPECT_TRUE(std::isnan(chi2DistriIntegral(NaN, 3)));
  EXPECT_TRUE(std::isnan(tDistriDensity(NaN, 3)));
  EXPECT_TRUE(std::isnan(FDistriIntegralUpper(NaN, 3, 4)));
  for (double P : {NaN, -0.1, 1.1}) {
    EXPECT_TRUE(std::isnan(chi2DistriQuantile(P, 3)));
    EXPECT_TRUE(std::isnan(tDistriQuantile(P, 3)));
    EXPECT_TRUE(std::isnan(FDistriQuantile(P, 3, 4)));
  }
  EXPECT_EQ(chi2DistriQuantile(0.0, 3), 0.0);
  EXPECT_EQ(chi2DistriQuantile(1.0, 3), Inf);
  EXPECT_EQ(tDistriQuantile(0.0, 3), -Inf);
  EXPECT_EQ(tDistriQuantile(1.0, 3), Inf);
  EXPECT_EQ(FDistriQuantile(1.0, 3, 4), Inf);
  EXPECT_EQ(chi2DistriIntegral(-1.0, 3), 0.0);
  EXPECT_EQ(chi2DistriIntegral(Inf, 3), 1.0);
  EXPECT_EQ(chi2DistriIntegralUpper(Inf, 3), 0.0);
  EXPECT_EQ(Chi2DistriDensity(-1.0, 3), 0.0);
  EXPECT_EQ(Chi2DistriDensity(0.0, 1), Inf);
  EXPECT_EQ(Chi2DistriDensity(0.0, 2), 0.5);
  EXPECT_EQ(FDistriDensity(0.0, 2, 5), 1.0);
  EXPECT_EQ(FDistriIntegral(-2.0, 3, 4), 0.0);
  EXPECT_EQ(FDistriIntegralUpper(Inf, 3, 4), 0.0);
  EXPECT_EQ(tDistriIntegral(-Inf, 3), 0.0);
  EXPECT_EQ(tDistriIntegral(Inf, 3), 1.0);
  EXPECT_EQ(tDistriDensity(Inf, 3), 0.0);
}

// ---------------------------------------------------------------- binomial

TEST(Binom, DensityIntegralAndUpperMatchReference) {
  for (const TBinomRef& R : std::initializer_list<TBinomRef>{NUX_REF_BINOM}) {
    if (R.Density > 1e-300) {
      EXPECT_LT(RelErr(BinomDistriDensity(R.N, R.P, R.K), R.Density), Target)
          << R.N << " " << R.P << " " << R.K;
    }
    if (Covered(R.Lower) || R.Lower > 1e-300) {
      EXPECT_LT(RelErr(BinomDistriIntegral(R.N, R.P, R.K), R.Lower), Target)
          << R.N << " " << R.P << " " << R.K;
    }
    if (R.Upper > 1e-300) {
      EXPECT_LT(RelErr(BinomDistriIntegralUpper(R.N, R.P, R.K), R.Upper), Target)
          << R.N << " " << R.P << " " << R.K;
    }
  }
}

TEST(Binom, QuantileIsTheSmallestCountReachingTheProbability) {
  // A probability halfway through the step at k must give k.
  for (const TBinomRef& R : std::initializer_list<TBinomRef>{NUX_REF_BINOM}) {
    if (R.Density < 1e-12) continue;
    double Cum = 0.0;
    EXPECT_EQ(BinomDistriQuantile(R.N, R.P, R.Lower - 0.5 * R.Density, Cum), R.K)
        << R.N << " " << R.P << " " << R.K;
    EXPECT_LT(RelErr(Cum, R.Lower), Target);
  }
  double Cum = 0.0;
  EXPECT_EQ(BinomDistriQuantile(10, 0.5, 0.0, Cum), 0.0);
  EXPECT_EQ(BinomDistriQuantile(10, 0.5, 1.0, Cum), 10.0);
  EXPECT_EQ(BinomDistriQuantile(10, 0.0, 0.99, Cum), 0.0);
  EXPECT_TRUE(std::isnan(BinomDistriQuantile(10, 0.5, 1.5, Cum)));
  EXPECT_TRUE(std::isnan(Cum));
  EXPECT_TRUE(std::isnan(BinomDistriQuantile(-1, 0.5, 0.5, Cum)));
}

TEST(Binom, EdgesAndBadArguments) {
  EXPECT_EQ(BinomDistriDensity(10, 0.0, 0), 1.0);
  EXPECT_EQ(BinomDistriDensity(10, 1.0, 10), 1.0);
  EXPECT_EQ(BinomDistriDensity(10, 0.3, 11), 0.0);
  EXPECT_EQ(BinomDistriIntegral(10, 0.3, -1), 0.0);
  EXPECT_EQ(BinomDistriIntegral(10, 0.3, 10), 1.0);
  EXPECT_EQ(BinomDistriIntegralUpper(10, 0.3, 10), 0.0);
  EXPECT_EQ(BinomDistriIntegral(0, 0.3, 0), 1.0);
  EXPECT_TRUE(std::isnan(BinomDistriDensity(10, -0.1, 2)));
  EXPECT_TRUE(std::isnan(BinomDistriIntegral(10, NaN, 2)));
  EXPECT_TRUE(std::isnan(BinomDistriIntegral(-2, 0.5, 2)));
  // Large n stays exact in the sense of the density summing to the integral.
  double Sum = 0.0;
  for (int32_t K = 0; K <= 500000; ++K) Sum += BinomDistriDensity(1000000, 0.5, K);
  EXPECT_LT(RelErr(BinomDistriIntegral(1000000, 0.5, 500000), Sum), 1e-12);
}

// ---------------------------------------------------------------- Mann-Whitney U

TEST(UDistri, ExactDistributionMatchesReference) {
  for (const TURef& R : std::initializer_list<TURef>{NUX_REF_U}) {
    for (bool Swap : {false, true}) {
      const int32_t A = Swap ? R.N2 : R.N1, B = Swap ? R.N1 : R.N2;
      EXPECT_LT(RelErr(UDistriDensity(A, B, R.U), R.Density), Target)
          << A << " " << B << " " << R.U;
      if (R.Lower > 0.0) {
        EXPECT_LT(RelErr(UDistriIntegral(A, B, R.U), R.Lower), Target);
      }
      if (R.Upper > 0.0) {
        EXPECT_LT(RelErr(UDistriIntegralUpper(A, B, R.U), R.Upper), Target);
      }
    }
  }
  // Both samples of size 2: U takes 0..4 with counts 1 1 2 1 1.
  EXPECT_DOUBLE_EQ(UDistriDensity(2, 2, 2), 2.0 / 6.0);
  EXPECT_DOUBLE_EQ(UDistriIntegral(2, 2, 1), 2.0 / 6.0);
}

TEST(UDistri, QuantileIsTheSmallestUReachingTheProbability) {
  for (const TURef& R : std::initializer_list<TURef>{NUX_REF_U}) {
    if (R.Density < 1e-12) continue;
    EXPECT_EQ(UDistriQuantile(R.N1, R.N2, R.Lower - 0.5 * R.Density), R.U)
        << R.N1 << " " << R.N2 << " " << R.U;
  }
  EXPECT_EQ(UDistriQuantile(5, 5, 0.0), 0.0);
  EXPECT_EQ(UDistriQuantile(5, 5, 1.0), 25.0);
}

TEST(UDistri, LargeSamplesUseTheNormalApproximation) {
  const int32_t N1 = 600, N2 = 700;
  const int32_t Mid = N1 * N2 / 2;
  EXPECT_NEAR(UDistriIntegral(N1, N2, Mid), 0.5, 1e-4);
  EXPECT_NEAR(UDistriIntegral(N1, N2, Mid - 1) + UDistriIntegralUpper(N1, N2, Mid - 1), 1.0, 1e-15);
  const double Sigma = std::sqrt(600.0 * 700.0 * 1301.0 / 12.0);
  EXPECT_NEAR(UDistriIntegral(N1, N2, static_cast<int32_t>(Mid - 2 * Sigma)), 0.02275, 2e-4);
  const double Q = UDistriQuantile(N1, N2, 0.3);
  EXPECT_GE(UDistriIntegral(N1, N2, static_cast<int32_t>(Q)), 0.3);
  EXPECT_LT(UDistriIntegral(N1, N2, static_cast<int32_t>(Q) - 1), 0.3);
  EXPECT_GT(UDistriDensity(N1, N2, Mid), 0.0);
}

TEST(UDistri, BadArguments) {
  EXPECT_TRUE(std::isnan(UDistriDensity(0, 5, 1)));
  EXPECT_TRUE(std::isnan(UDistriIntegral(5, -1, 1)));
  EXPECT_TRUE(std::isnan(UDistriQuantile(5, 5, NaN)));
  EXPECT_EQ(UDistriDensity(3, 4, -1), 0.0);
  EXPECT_EQ(UDistriDensity(3, 4, 13), 0.0);
  EXPECT_EQ(UDistriIntegral(3, 4, -1), 0.0);
  EXPECT_EQ(UDistriIntegral(3, 4, 12), 1.0);
  EXPECT_EQ(UDistriIntegralUpper(3, 4, 12), 0.0);
}

// ---------------------------------------------------------------- Shapiro-Wilk

TEST(ShapiroWilk, PValueMatchesReference) {
  for (const TSWRef& R : std::initializer_list<TSWRef>{NUX_REF_SW})
    EXPECT_LT(RelErr(ShapiroWilkIntegral(R.W, R.N, R.N1), R.P), Target)
        << R.W << " " << R.N << " " << R.N1;
  // n1 = 0 means a complete sample.
  EXPECT_EQ(ShapiroWilkIntegral(0.9, 20, 0), ShapiroWilkIntegral(0.9, 20, 20));
  // The tabulated 5% point for n = 20 is about 0.905.
  EXPECT_NEAR(ShapiroWilkIntegral(0.905, 20, 20), 0.05, 0.01);
  // Smaller W is stronger evidence against normality.
  EXPECT_LT(ShapiroWilkIntegral(0.85, 30, 30), ShapiroWilkIntegral(0.95, 30, 30));
}

TEST(ShapiroWilk, EdgesAndBadArguments) {
  EXPECT_EQ(ShapiroWilkIntegral(1.0, 20, 20), 1.0);
  EXPECT_EQ(ShapiroWilkIntegral(0.0, 20, 20), 0.0);
  EXPECT_EQ(ShapiroWilkIntegral(0.74, 3, 3), 0.0);  // below the smallest possible W
  EXPECT_EQ(ShapiroWilkIntegral(0.3, 4, 4), 0.0);   // ln(1 - w) beyond the fit's pole
  EXPECT_TRUE(std::isnan(ShapiroWilkIntegral(0.9, 2, 2)));
  EXPECT_TRUE(std::isnan(ShapiroWilkIntegral(NaN, 20, 20)));
  EXPECT_TRUE(std::isnan(ShapiroWilkIntegral(0.9, 20, 21)));
  EXPECT_TRUE(std::isnan(ShapiroWilkIntegral(0.9, 20, 2)));
  EXPECT_TRUE(std::isnan(ShapiroWilkIntegral(0.9, 20, 3)));  // more than 80% censored
}

}  // namespace
}  // namespace nux
