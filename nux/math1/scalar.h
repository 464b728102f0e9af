// Scalar functions: logarithms and angles, rounding onto the 1-2-5 series and axis scaling,
// polynomials and table interpolation, factorials and primes, bits and byte order, simple random
// generators, range tests and compensated summation.
#pragma once

#include <cstdint>
#include <span>

#include "nux/frame/errors.h"
#include "nux/frame/types.h"
#include "nux/host/object.h"

namespace nux {

// ---- Logarithms and trigonometry -------------------------------------------------------------

// Decimal and binary logarithms; x <= 0 raises EMathError "logarithm: invalid argument".
double lg(double x);
// Binary logarithm; x <= 0 raises EMathError "logarithm: invalid argument".
double ld(double x);
// Hyperbolic sine, accurate near 0 and over the whole double range.
double sinh(double x);
// Hyperbolic cosine.
double cosh(double x);
// Hyperbolic tangent.
double tgh(double x);
// Tangent and cotangent; a zero denominator raises EMathError.
double tg(double x);
// Cotangent; sin x = 0 raises EMathError "cotangens overflow".
double cot(double x);
// x reduced to -pi..pi (-180..180).
double CanonicalAngleRadians(double x);
// x in degrees reduced to -180..180.
double CanonicalAngleDegrees(double x);
// Real remainder b * Frac(a / b).
double modr(double a, double b);
// -1 for x < 0, otherwise 1 (also for 0 and NaN).
double Signum(double x);

// ---- Rounding and ranges ---------------------------------------------------------------------

// Smallest integer >= x and largest integer <= x; saturated at the int64 limits, NaN gives 0.
int64_t IntPos(double x);
// Largest integer <= x; saturated at the int64 limits, NaN gives 0.
int64_t IntNeg(double x);
// x rounded (halves to even) and clamped to Lo..Hi (bounds in either order); NaN gives 0 clamped.
int64_t RoundLimit(double x, int64_t Lo, int64_t Hi);

// The decade of |v|: the integer k with 10^k <= |v| < 10^(k+1), where 10^k means the double
// nearest to it. So exact powers of ten (as written, e.g. 1e-3 or 1e23) land in their own decade
// whatever the error of a logarithm would be. 0, NaN and infinities give 0.
int32_t DecadeExponent(double v);
// The double nearest to Mantissa * 10^Exponent (correctly rounded; 0 or infinity beyond the
// range of doubles).
double ScaledPow10(int64_t Mantissa, int32_t Exponent);

// |x| to the nearest of 1, 2, 5, 10 times its decade; 0 gives 0.
double Round125(double x);
// x rounded towards +infinity / -infinity onto the 1-2-5 series.
double RoundPos125(double x);
// x rounded towards -infinity onto the 1-2-5 series; 0 and non-finite x are returned as they are.
double RoundNeg125(double x);
// Tick marks for an axis from Low to High with about NTicks intervals: the first tick at or after
// Low, the tick distance and the number of minor intervals.
void CalcScalePars(int32_t NTicks, double Low, double High, double& First, double& Dist,
                   int32_t& NMinor);

// x within the closed interval of b1 and b2 (either order), optionally widened by Tolerance.
bool WithinBounds(double x, double b1, double b2);
bool WithinBounds(double x, double b1, double b2, double Tolerance);
// x clamped to the interval of b1 and b2 (either order).
double ConfineValue(double x, double b1, double b2);
float ConfineValue(float x, float b1, float b2);
int32_t ConfineValue(int32_t x, int32_t b1, int32_t b2);
// Limit * tanh(Slope * (x - Center) / Limit): a soft clamp to -Limit..Limit.
double Squash(double x, double Center, double Slope, double Limit);

// ---- Polynomials and interpolation -----------------------------------------------------------

// Sum of Coeffs[k] * x^k for k = 0..Order.
double Polynomial(std::span<const double> Coeffs, int32_t Order, double x);
// The same in powers of (x - Center).
double CenteredPolynomial(std::span<const double> Coeffs, int32_t Order, double x, double Center);
// Linear interpolation in a table of equidistant values from XLow to XHigh; the end segments
// are extended outside.
double InterpolTable(double x, double XLow, double XHigh, std::span<const double> Table);
double InterpolTable(double x, double XLow, double XHigh, std::span<const int32_t> Table);
// Linear interpolation in a table with x in column 0 (monotonic) and y in column 1; outside,
// the end segment is extended when Extrapolate is true, else the result is 0.
double InterpolXYTable(double x, const TDouble2DArray& Table, bool Extrapolate);
// Bilinear interpolation in a cell with corners z1 (0,0), z2 (0,1), z3 (1,0), z4 (1,1).
double InterpolZofXYRect(double z1, double z2, double z3, double z4, double fx, double fy);

// ---- Integers and primes ---------------------------------------------------------------------

// n! by repeated multiplication; infinity above 170. Raises for n < 0 and n > 1000.
double Factorial(int32_t n);
// Product of the integers min(a, b)..max(a, b); 0 when the lower end is 0, -2 when negative,
// -1 when it would overflow.
int64_t ProductConsecInts(int32_t a, int32_t b);
// Number of primes in the table (2 .. 46337, all primes below sqrt(2^31)).
inline constexpr int32_t NrOfTabulatedPrimes = 4792;
// The i-th prime for 1 <= i <= 4792, else 0.
int32_t ListOfPrimes(int32_t i);
// True if no d in 2..floor(sqrt(|n|)) divides n (so also for 0, 1 and negated primes).
bool IsPrime(int32_t n);
// Prime factors of n, ascending with repetition; empty for n <= 1.
TIntArray FindPrimeFactors(int32_t n);
// Cancels the fraction Num/Den in place (signs kept); a zero numerator or denominator stays.
void CancelFraction(int32_t& Num, int32_t& Den);
// n and n - 1 share no bit (true also for 0).
bool CheckPowerOfTwo(int32_t n);

// ---- Bits and bytes --------------------------------------------------------------------------

// The byte with only bit n set, for n in 0..7; else 0.
uint8_t DecodeBit(int32_t n);
// The 32-bit value with only bit n set, for n in 0..31 (bit 31 gives the minimum); else 0.
int32_t DecodeLong(int32_t n);
// Index of the lowest set bit, 31 for 0.
int32_t EncodeLong(int32_t v);
// Number of set bits of b.
int32_t CountBits(uint8_t b);
// b with the order of its 8 bits reversed.
uint8_t BitReversal(uint8_t b);
// The Gray code of w: w xor (w >> 1).
uint16_t GrayCode(uint16_t w);
// x with the order of its bytes reversed (little- to big-endian and back).
double ConvertEndian(double x);
float ConvertEndian(float x);
uint16_t ConvertEndian(uint16_t x);
int32_t ConvertEndian(int32_t x);

// ---- Random numbers (drawn from the process-wide generator) ----------------------------------

// True with probability p.
bool BRandom(double p);
// Cauchy deviate with location a and scale b.
double CRandom(double a, double b);
// Standard normal deviate (polar method, one spare kept).
double GRandom();
// Combined congruential generator in [0, 1); a non-zero Seed restarts it.
double LongRand(int32_t Seed);

// ---- Compensated summation -------------------------------------------------------------------

// Compensated (Kahan) summation: adds numbers with a running correction of the rounding.
class TKahanSum : public TComponent {
 public:
  // A sum of 0.
  explicit TKahanSum(TComponent* AOwner = nullptr);

  // Sets the sum and the compensation to 0.
  void Reset();
  // Adds ANumber to the sum.
  void Add(double ANumber);

  // Running compensation.
  double cps = 0.0;
  // Running sum.
  double Sum = 0.0;
};

}  // namespace nux
