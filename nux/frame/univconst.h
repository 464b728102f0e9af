// Universal constants: sentinels for extreme searches and a table of ln n!.
#pragma once

#include <array>
#include <cstdint>
#include <limits>

namespace nux {

// The largest finite double.
inline constexpr double uc_MaxDouble = std::numeric_limits<double>::max();
// The traditional "real" sentinel, a little below the largest double.
inline constexpr double uc_MaxReal = 1.7e308;
// The largest finite single-precision value.
inline constexpr double uc_MaxSingle = static_cast<double>(std::numeric_limits<float>::max());
// The largest 64-bit integer.
inline constexpr int64_t uc_MaxInt64 = std::numeric_limits<int64_t>::max();
// sqrt(2)
inline constexpr double uc_sqrt2 = 1.4142135623730950488;
// 1 / sqrt(2 pi)
inline constexpr double uc_sqrt2pitom1 = 0.39894228040143267794;

// ln(k!) for k = 0 .. uc_LnFactorialMax.
inline constexpr int32_t uc_LnFactorialMax = 10000;
// The table: uc_LnFactorial[k] = ln(k!).
extern const std::array<double, uc_LnFactorialMax + 1>& uc_LnFactorial;

}  // namespace nux
