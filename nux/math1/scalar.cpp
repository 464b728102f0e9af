#include "nux/math1/scalar.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

#include "nux/frame/rounding.h"
#include "nux/frame/univconst.h"

namespace nux {

// ---- Logarithms and trigonometry -------------------------------------------------------------

double lg(double x) {
  if (x <= 0.0) throw EMathError("logarithm: invalid argument");
  // log10 is exact at powers of ten, where ln x / ln 10 is not.
  return std::log10(x);
}

double ld(double x) {
  if (x <= 0.0) throw EMathError("logarithm: invalid argument");
  return std::log2(x);
}

// The library functions agree with (e^x -+ e^-x)/2 to rounding, but keep their accuracy near 0
// (no cancellation) and up to the end of the double range.
double sinh(double x) { return std::sinh(x); }
double cosh(double x) { return std::cosh(x); }
double tgh(double x) { return std::tanh(x); }

double tg(double x) {
  const double C = std::cos(x);
  if (C == 0.0) throw EMathError("tangens overflow");
  return std::sin(x) / C;
}

double cot(double x) {
  const double S = std::sin(x);
  if (S == 0.0) throw EMathError("cotangens overflow");
  return std::cos(x) / S;
}

namespace {

double CanonicalAngle(double x, double Full) {
  const double Half = Full / 2.0;
  if (std::fabs(x) > Full) x = std::fmod(x, Full);
  if (x > Half) x -= Full;
  if (x < -Half) x += Full;
  return x;
}

}  // namespace

double CanonicalAngleRadians(double x) { return CanonicalAngle(x, 2.0 * std::numbers::pi); }
double CanonicalAngleDegrees(double x) { return CanonicalAngle(x, 360.0); }

double modr(double a, double b) {
  const double Q = a / b;
  return b * (Q - std::trunc(Q));
}

double Signum(double x) { return x < 0.0 ? -1.0 : 1.0; }

// ---- Rounding and ranges ---------------------------------------------------------------------

int64_t IntPos(double x) {
  const int64_t R = RoundToInt64(x);
  // Correct only inside the range, where R is exact and R + 1 cannot overflow.
  if (static_cast<double>(R) < x && R < uc_MaxInt64) return R + 1;
  return R;
}

int64_t IntNeg(double x) {
  const int64_t R = RoundToInt64(x);
  if (static_cast<double>(R) > x && R > std::numeric_limits<int64_t>::min()) return R - 1;
  return R;
}

int64_t RoundLimit(double x, int64_t Lo, int64_t Hi) {
  if (Lo > Hi) std::swap(Lo, Hi);
  return std::clamp(RoundToInt64(x), Lo, Hi);
}

bool WithinBounds(double x, double b1, double b2) {
  return x >= std::min(b1, b2) && x <= std::max(b1, b2);
}

bool WithinBounds(double x, double b1, double b2, double Tolerance) {
  return x >= std::min(b1, b2) - Tolerance && x <= std::max(b1, b2) + Tolerance;
}

namespace {

// NaN in x passes through unchanged.
template <class T>
T Confine(T x, T b1, T b2) {
  const T Lo = std::min(b1, b2);
  const T Hi = std::max(b1, b2);
  if (x < Lo) return Lo;
  if (x > Hi) return Hi;
  return x;
}

}  // namespace

double ConfineValue(double x, double b1, double b2) { return Confine(x, b1, b2); }
float ConfineValue(float x, float b1, float b2) { return Confine(x, b1, b2); }
int32_t ConfineValue(int32_t x, int32_t b1, int32_t b2) { return Confine(x, b1, b2); }

double Squash(double x, double Center, double Slope, double Limit) {
  // A zero limit squashes everything to 0 (and would divide by zero below).
  if (Limit == 0.0) return 0.0;
  const double C = -2.0 * Slope / Limit * (x - Center);
  if (std::fabs(C) >= 200.0) return C > 0.0 ? -Limit : Limit;
  return Limit * (2.0 / (std::exp(C) + 1.0) - 1.0);
}

}  // namespace nux
