// The Euclidean norm of a sequence of values, safe from overflow and underflow in the squares.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

namespace nux::kernels {

// How the sum of squares is formed. nmScaled always divides by the largest magnitude first;
// nmDirectWhenSafe adds the plain squares and falls back to the scaled sum only when that plain
// sum overflowed or fell below 2^-900 (where the squares lose digits).
enum TNormMode { nmScaled, nmDirectWhenSafe };

// sqrt(sum of x^2) over the values that Each hands to its argument: Each(Visit) calls Visit(x)
// for every value, always in the same order. NaN when any value is NaN (also beside an
// infinity), else +inf when any value is infinite, else 0 for no values or only zeros.
template <class ForEach>
double EuclideanNorm(ForEach&& Each, TNormMode Mode) {
  if (Mode == nmDirectWhenSafe) {
    double Sum = 0.0;
    Each([&](double X) { Sum += X * X; });
    if (std::isnan(Sum)) return std::numeric_limits<double>::quiet_NaN();
    if (std::isfinite(Sum) && Sum >= 0x1p-900) return std::sqrt(Sum);
  }
  double Big = 0.0;
  bool HasNaN = false;
  Each([&](double X) {
    HasNaN = HasNaN || std::isnan(X);
    Big = std::max(Big, std::fabs(X));
  });
  if (HasNaN) return std::numeric_limits<double>::quiet_NaN();
  if (Big == 0.0 || std::isinf(Big)) return Big;
  double Sum = 0.0;
  Each([&](double X) {
    const double Y = X / Big;
    Sum += Y * Y;
  });
  return Big * std::sqrt(Sum);
}

}  // namespace nux::kernels
