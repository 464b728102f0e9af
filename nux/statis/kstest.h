// Kolmogorov-Smirnov and Lilliefors distributions and the table of critical distances.
#pragma once

#include <array>
#include <cstdint>

#include "nux/statis/gammabeta.h"

namespace nux {

// Row 0: the significance levels in TSignifLevel order; rows 1..20: critical distances of the
// one-sample Kolmogorov-Smirnov test for sample sizes 1..20.
extern const std::array<std::array<double, 5>, 21> KSCriticalTable;
// Beyond n = 20 the critical distance is KSAsymptoticConst[level] / sqrt(n).
inline constexpr std::array<double, 5> KSAsymptoticConst = {1.073, 1.138, 1.224, 1.358, 1.628};

// P(D_n > d) for the one-sample Kolmogorov-Smirnov distance of n observations.
// -1 for n <= 0 or NaN d; 1 for d <= 0; 0 for d >= 1.
double KSPValue(int32_t n, double d);
// Distance whose KSPValue equals the level (to 1e-4); -1 for n <= 0 or a level outside the
// enumeration.
double KSQuantile(int32_t n, TSignifLevel level);
// Tabulated critical distance; -1 for n <= 0 or a level outside the enumeration.
double KolmogSmir1SampleTestStat(int32_t n, TSignifLevel level);

// p-value of the Lilliefors statistic d (an approximation, never above 1); -1 for n < 6 or NaN d.
double LillieforsPValue(int32_t n, double d);
// Critical Lilliefors statistic at level alpha; -1 for n < 1 or where the approximation has no
// value (alpha far outside (0, 1) or NaN).
double LillieforsQuantile(int32_t n, double alpha);

}  // namespace nux
