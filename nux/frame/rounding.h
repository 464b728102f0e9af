// Rounding to the nearest integer with halves to even, the library's one rounding rule.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>

namespace nux {

// Nearest integer, halves to even (under the default rounding mode).
inline double RoundEven(double X) { return std::nearbyint(X); }

// RoundEven as an integer, saturated at the type's limits; NaN gives 0.
template <class I>
I RoundToInt(double X) {
  static_assert(std::numeric_limits<I>::is_integer && std::numeric_limits<I>::is_signed);
  if (std::isnan(X)) return 0;
  const double R = std::nearbyint(X);
  // The bounds are powers of two (exact as doubles): compare before converting.
  constexpr double Lo = static_cast<double>(std::numeric_limits<I>::min());
  constexpr double Hi = -Lo;
  if (R < Lo) return std::numeric_limits<I>::min();
  if (R >= Hi) return std::numeric_limits<I>::max();
  return static_cast<I>(R);
}

// X rounded to the nearest int32 (halves to even), saturated; NaN gives 0.
inline int32_t RoundToInt32(double X) { return RoundToInt<int32_t>(X); }
// X rounded to the nearest int64 (halves to even), saturated; NaN gives 0.
inline int64_t RoundToInt64(double X) { return RoundToInt<int64_t>(X); }

// X stored as element type T: unchanged for double, RoundToInt for integer elements.
template <class T>
T RoundedTo(double X) {
  if constexpr (std::is_same_v<T, double>)
    return X;
  else
    return RoundToInt<T>(X);
}

}  // namespace nux
