// Rounding onto the 1-2-5 series and axis scaling. The class of a value is decided by comparing
// it with the correctly rounded doubles of the class boundaries (1.5, 2, 3, 5, 8 times 10^k),
// never through a mantissa from a logarithm: a value on the series or on a boundary then falls
// the same way in every decade.
#include <charconv>
#include <cmath>
#include <cstdio>

#include "nux/frame/rounding.h"
#include "nux/math1/scalar.h"

namespace nux {

namespace {

// Powers of ten that doubles hold exactly.
constexpr int32_t MaxExactPow10 = 22;
constexpr double ExactPow10[MaxExactPow10 + 1] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                  1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

}  // namespace

double ScaledPow10(int64_t Mantissa, int32_t Exponent) {
  if (Mantissa == 0) return 0.0;
  // Below 2^53 the mantissa is exact, and one multiplication or division of exact operands is
  // correctly rounded.
  constexpr int64_t ExactMantissa = int64_t{1} << 53;
  if (Mantissa > -ExactMantissa && Mantissa < ExactMantissa && Exponent >= -MaxExactPow10 &&
      Exponent <= MaxExactPow10) {
    const double M = static_cast<double>(Mantissa);
    return Exponent >= 0 ? M * ExactPow10[Exponent] : M / ExactPow10[-Exponent];
  }
  // Elsewhere the decimal reader rounds correctly (it is exact also for subnormals).
  char Text[48];
  const int Len = std::snprintf(Text, sizeof Text, "%llde%d", static_cast<long long>(Mantissa),
                                static_cast<int>(Exponent));
  double Value = 0.0;
  const auto Res = std::from_chars(Text, Text + Len, Value);
  if (Res.ec == std::errc::result_out_of_range) {
    const double Magnitude = Exponent > 0 ? HUGE_VAL : 0.0;
    return Mantissa < 0 ? -Magnitude : Magnitude;
  }
  return Value;
}

int32_t DecadeExponent(double v) {
  v = std::fabs(v);
  if (!(v > 0.0) || std::isinf(v)) return 0;
  // The logarithm is off by at most one near a power of ten; the comparisons settle it.
  auto k = static_cast<int32_t>(std::floor(std::log10(v)));
  while (v < ScaledPow10(1, k)) --k;
  while (ScaledPow10(1, k + 1) <= v) ++k;
  return k;
}

double Round125(double x) {
  const double V = std::fabs(x);
  if (V == 0.0 || !std::isfinite(V)) return V;
  const int32_t K = DecadeExponent(V);
  int64_t Step = 10;
  if (V < ScaledPow10(15, K - 1))
    Step = 1;
  else if (V < ScaledPow10(3, K))
    Step = 2;
  else if (V < ScaledPow10(8, K))
    Step = 5;
  return ScaledPow10(Step, K);
}

namespace {

// |x| rounded up (away from zero) onto the series.
double RoundUp125(double V) {
  const int32_t K = DecadeExponent(V);
  int64_t Step = 1;
  if (V > ScaledPow10(5, K))
    Step = 10;
  else if (V > ScaledPow10(2, K))
    Step = 5;
  else if (V > ScaledPow10(1, K))
    Step = 2;
  return ScaledPow10(Step, K);
}

// |x| rounded down (towards zero) onto the series; the decade guarantees V < 10^(K+1).
double RoundDown125(double V) {
  const int32_t K = DecadeExponent(V);
  int64_t Step = 5;
  if (V < ScaledPow10(2, K))
    Step = 1;
  else if (V < ScaledPow10(5, K))
    Step = 2;
  return ScaledPow10(Step, K);
}

}  // namespace

double RoundPos125(double x) {
  if (x == 0.0 || !std::isfinite(x)) return x;
  return x > 0.0 ? RoundUp125(x) : -RoundDown125(-x);
}

double RoundNeg125(double x) {
  if (x == 0.0 || !std::isfinite(x)) return x;
  return x > 0.0 ? RoundDown125(x) : -RoundUp125(-x);
}

void CalcScalePars(int32_t NTicks, double Low, double High, double& First, double& Dist,
                   int32_t& NMinor) {
  // No ticks can be placed on an empty, unbounded or undefined axis.
  auto NoTicks = [&] {
    First = Low;
    Dist = 0.0;
    NMinor = 1;
  };
  if (High == Low || !std::isfinite(Low) || !std::isfinite(High)) return NoTicks();
  const double Dir = High > Low ? 1.0 : -1.0;
  if (NTicks == 0) {
    Dist = 1.0;
    First = std::trunc(Low) - 1.0;
    NMinor = std::fabs(High - Low) <= 10.0 ? 5 : 1;
  } else {
    // Halves keep the width finite when the bounds span more than the double range.
    const double HalfRange = std::fabs(High / 2.0 - Low / 2.0);
    const double N = std::fabs(static_cast<double>(NTicks));
    double L = std::log10(HalfRange) + std::log10(2.0) - std::log10(N);
    double F = L - std::trunc(L);
    if (std::fabs(F) < 1e-10 || std::fabs(F) > 0.9999999999) {
      F = 0.0;
      L = RoundEven(L);
    }
    if (L < 0.0 && F != 0.0) L -= 1.0;
    if (F < 0.0) F += 1.0;
    const double Lg2 = std::log10(2.0);
    const double Lg5 = std::log10(5.0);
    int64_t Step = 5;
    NMinor = 5;
    if (F < Lg2 + 1e-10) {
      Step = 1;
    } else if (F < Lg5 + 1e-10) {
      Step = 2;
      NMinor = 4;
    }
    // The step as the double nearest to Step * 10^k, so that ticks are clean decimals.
    Dist = Dir * ScaledPow10(Step, static_cast<int32_t>(std::trunc(L)));
    if (Dist == 0.0 || !std::isfinite(Dist)) return NoTicks();
    First = Dist * (std::trunc(Low / Dist) - 1.0);
  }
  // Advance to the first tick at or after Low (a thousandth of a step tolerated). A step below
  // the spacing of doubles near Low may not move First at all, and a start far below Low would
  // take many steps: jump most of the way at once, then finish with a bounded loop.
  const double AbsDist = std::fabs(Dist);
  const double Gap = Dir * (Low - First) - AbsDist * 0.001;
  if (Gap > AbsDist) First += std::floor(Gap / AbsDist) * Dist;
  for (int Round = 0; Round < 8 && AbsDist * 0.001 < Dir * (Low - First); ++Round) {
    const double Next = First + Dist;
    if (Next == First) break;
    First = Next;
  }
}

}  // namespace nux
