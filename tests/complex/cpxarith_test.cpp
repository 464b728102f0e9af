#include <cmath>
#include <complex>
#include <limits>
#include <numbers>
#include <random>

#include "gtest/gtest.h"
#include "nux/complex/complex.h"

using namespace nux;

namespace {

constexpr double kEps = std::numeric_limits<double>::epsilon();

void ExpectCpx(const TComplex& Got, double re, double im) {
  EXPECT_DOUBLE_EQ(Got.re, re);
  EXPECT_DOUBLE_EQ(Got.im, im);
}

void ExpectDivByZero(const TComplex& a, const TComplex& b) {
  try {
    CpxDiv(a, b);
    ADD_FAILURE() << "no exception for (" << a.re << "," << a.im << ")/(" << b.re << "," << b.im
                  << ")";
  } catch (const ENUXComplexError& E) {
    EXPECT_STREQ(E.what(), "CpxDiv: division by zero");
  }
}

}  // namespace

TEST(Complex, Arithmetic) {
  const TComplex a = Cpx(1, 2);
  const TComplex b = Cpx(3, -4);
  ExpectCpx(CpxSub(a, b), -2, 6);
  ExpectCpx(CpxConj(CpxNeg(a)), -1, 2);
  ExpectCpx(CpxMult(a, b), 11, 2);
  ExpectCpx(CpxMult(a, COMPLEX_1), 1, 2);
  ExpectCpx(CpxAdd(a, COMPLEX_0), 1, 2);
  ExpectCpx(CpxDiv(Cpx(11, 2), b), 1, 2);
  ExpectCpx(CpxDiv(Cpx(1, 0), Cpx(0, 1)), 0, -1);
  EXPECT_DOUBLE_EQ(CpxAbs(Cpx(3, -4)), 5.0);
  EXPECT_DOUBLE_EQ(CpxAbsSqr(Cpx(3, -4)), 25.0);
}

TEST(Complex, DivisionByExactZeroRaises) {
  ExpectDivByZero(Cpx(1, 1), Cpx(0, 0));
  ExpectDivByZero(Cpx(0, 0), Cpx(-0.0, 0.0));
  ExpectDivByZero(Cpx(std::nan(""), 0), COMPLEX_0);
}

// The textbook formula squares the divisor: these overflowed or underflowed.
TEST(Complex, DivisionOfLargeAndSmallParts) {
  ExpectCpx(CpxDiv(Cpx(1e200, 0), Cpx(1e200, 0)), 1, 0);
  ExpectCpx(CpxDiv(Cpx(1, 0), Cpx(1e-200, 0)), 1e200, 0);
  ExpectCpx(CpxDiv(Cpx(1e-300, 1e-300), Cpx(1e-300, -1e-300)), 0, 1);
  ExpectCpx(CpxDiv(Cpx(1e308, 1e308), Cpx(1, 1)), 1e308, 0);
  ExpectCpx(CpxDiv(Cpx(3e-310, 0), Cpx(0, 3e-310)), 0, -1);  // subnormal operands
  // A quotient beyond double range has no value to return.
  ExpectDivByZero(Cpx(1e300, 0), Cpx(1e-300, 0));
  ExpectDivByZero(Cpx(1e300, 1e300), Cpx(0, 1e-300));
  // One that underflows is representable as (nearly) zero.
  const TComplex Tiny = CpxDiv(Cpx(1e-300, 0), Cpx(1e300, 0));
  EXPECT_EQ(Tiny.re, 0.0);
  EXPECT_EQ(Tiny.im, 0.0);
}

TEST(Complex, DivisionMatchesWideReferenceOverWideExponents) {
  std::mt19937_64 Gen(7);
  std::uniform_real_distribution<double> Mant(-1.0, 1.0);
  std::uniform_int_distribution<int> Expo(-500, 500);
  int Checked = 0;
  for (int i = 0; i < 20000; ++i) {
    const int ea = Expo(Gen);
    const int eb = Expo(Gen);
    const TComplex a{std::ldexp(Mant(Gen), ea), std::ldexp(Mant(Gen), ea + Expo(Gen) / 50)};
    const TComplex b{std::ldexp(Mant(Gen), eb), std::ldexp(Mant(Gen), eb + Expo(Gen) / 50)};
    const std::complex<long double> Ref =
        std::complex<long double>(a.re, a.im) / std::complex<long double>(b.re, b.im);
    const long double RefAbs = std::abs(Ref);
    if (RefAbs > 1e300L || RefAbs < 1e-300L) {
      // Outside the comfortable range: only the contract (value or the exception) is checked.
      try {
        const TComplex q = CpxDiv(a, b);
        EXPECT_TRUE(std::isfinite(q.re) && std::isfinite(q.im));
      } catch (const ENUXComplexError&) {
        EXPECT_GT(RefAbs, 1e300L);
      }
      continue;
    }
    const TComplex q = CpxDiv(a, b);
    const long double Err = std::abs(std::complex<long double>(q.re, q.im) - Ref) / RefAbs;
    ASSERT_LT(Err, 4 * kEps) << "a=(" << a.re << "," << a.im << ") b=(" << b.re << "," << b.im
                             << ")";
    ++Checked;
  }
  EXPECT_GT(Checked, 15000);
}

TEST(Complex, NonFiniteOperandsPropagateWithoutRaising) {
  const TComplex q = CpxDiv(Cpx(std::nan(""), 1), Cpx(2, 0));
  EXPECT_TRUE(std::isnan(q.re));
  const double Inf = std::numeric_limits<double>::infinity();
  ExpectCpx(CpxDiv(Cpx(1, 1), Cpx(Inf, 0)), 0, 0);
  EXPECT_TRUE(std::isinf(CpxDiv(Cpx(Inf, 0), Cpx(2, 0)).re));
}

TEST(Complex, AbsNeitherOverflowsNorUnderflows) {
  EXPECT_DOUBLE_EQ(CpxAbs(Cpx(3e200, 4e200)), 5e200);
  EXPECT_DOUBLE_EQ(CpxAbs(Cpx(3e-200, -4e-200)), 5e-200);
}

TEST(Complex, Comparisons) {
  EXPECT_TRUE(CpxIsEqual(Cpx(0.0, 1), Cpx(-0.0, 1)));
  EXPECT_FALSE(CpxIsEqual(Cpx(1, 1), Cpx(1, std::nextafter(1.0, 2.0))));
  EXPECT_TRUE(CpxIsZero(Cpx(1e-16, -1e-16)));
  EXPECT_FALSE(CpxIsZero(Cpx(1e-15, 0)));  // the tolerance is strict
  EXPECT_FALSE(CpxIsZero(Cpx(std::nan(""), 0)));
  EXPECT_TRUE(CpxIsNearEqual(Cpx(1, 2), Cpx(1 + 4e-16, 2 - 4e-16)));
  EXPECT_FALSE(CpxIsNearEqual(Cpx(0, 0), Cpx(1e-15, 0)));
  EXPECT_FALSE(CpxIsNearEqual(Cpx(std::nan(""), 0), Cpx(std::nan(""), 0)));

  const double Saved = CpxNearZero;
  CpxNearZero = 1e-3;
  EXPECT_TRUE(CpxIsZero(Cpx(5e-4, -5e-4)));
  EXPECT_TRUE(CpxIsNearEqual(Cpx(1, 1), Cpx(1.0009, 0.9991)));
  CpxNearZero = Saved;
  EXPECT_FALSE(CpxIsZero(Cpx(5e-4, 0)));
}

TEST(Complex, PolarForm) {
  const TComplexPolar p = ConvertRectToPolar(Cpx(-1, 0));
  EXPECT_DOUBLE_EQ(p.r, 1.0);
  EXPECT_DOUBLE_EQ(p.phi, std::numbers::pi);
  const TComplex Back = ConvertPolarToRect(p);
  EXPECT_DOUBLE_EQ(Back.re, -1.0);
  EXPECT_NEAR(Back.im, 0.0, 1e-15);

  const TComplexPolar q = ConvertRectToPolar(Cpx(0, -2));
  EXPECT_DOUBLE_EQ(q.r, 2.0);
  EXPECT_DOUBLE_EQ(q.phi, -std::numbers::pi / 2);
  const TComplexPolar Big = ConvertRectToPolar(Cpx(1e300, 1e300));
  EXPECT_DOUBLE_EQ(Big.r, std::sqrt(2.0) * 1e300);
  EXPECT_DOUBLE_EQ(Big.phi, std::numbers::pi / 4);
}
