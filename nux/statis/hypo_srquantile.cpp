#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "nux/frame/rounding.h"
#include "nux/math2/curvefit.h"
#include "nux/statis/distributions.h"
#include "nux/statis/hypo_impl.h"
#include "nux/statis/hypotests.h"

namespace nux {

namespace hypo_detail {

// Normal approximation of the critical signed-rank sum.
int32_t SRNormal(int64_t n, double alpha, bool twoSided) {
  const double Nd = static_cast<double>(n);
  const double Z = nDistriQuantile(twoSided ? alpha / 2.0 : alpha);
  return RoundToInt32(Nd * (Nd + 1.0) / 4.0 +
                      Z * std::sqrt(Nd * (Nd + 1.0) * (2.0 * Nd + 1.0) / 24.0));
}

}  // namespace hypo_detail

namespace {

// Two-sided levels of the signed-rank table.
constexpr std::array<double, 5> SRLevels = {0.1, 0.05, 0.02, 0.01, 0.001};

// Exact critical values for n = 8 .. 100: the largest T with P(T+ <= T) <= alpha / 2 under the
// null distribution of the signed-rank sum (0 where none exists), built once from the counts of
// subsets of 1..n by their sums.
struct TSRTable {
  std::array<std::array<int32_t, 5>, 93> T{};
  TSRTable() {
    std::vector<double> Count(5051, 0.0);
    Count[0] = 1.0;
    for (int32_t N = 1; N <= 100; ++N) {
      const int32_t Max = N * (N + 1) / 2;
      for (int32_t S = Max; S >= N; --S) Count[S] += Count[S - N];
      if (N < 8) continue;
      const double Total = std::ldexp(1.0, N);
      for (size_t J = 0; J < SRLevels.size(); ++J) {
        const double Limit = SRLevels[J] / 2.0 * Total;
        double Cum = 0.0;
        int32_t Crit = 0;
        for (int32_t S = 0; S <= Max; ++S) {
          Cum += Count[S];
          if (Cum > Limit) break;
          Crit = S;
        }
        T[N - 8][J] = Crit;
      }
    }
  }
};

const TSRTable& SRTable() {
  static const TSRTable Table;
  return Table;
}

}  // namespace

int32_t WilcoxonSRQuantile(int32_t n, double alpha, bool twoSided) {
  if (n <= 7 || n > 1000000 || !(alpha >= 4.99999e-4 && alpha <= 0.20000001)) return -1;
  if (n > 100) return hypo_detail::SRNormal(n, alpha, twoSided);
  const double A2 = twoSided ? alpha : 2.0 * alpha;  // the two-sided level
  const auto& Row = SRTable().T[n - 8];
  for (size_t J = 0; J < SRLevels.size(); ++J)
    if (std::fabs(A2 - SRLevels[J]) <= 1e-9 * SRLevels[J]) return Row[J];
  // Between the tabulated levels: a parabola in ln alpha through the row's usable points.
  const size_t Points = n == 8 ? 3 : (n <= 10 ? 4 : 5);
  TCurveFit Fit;
  for (size_t J = 0; J < Points; ++J) Fit.EnterStatValue(std::log(SRLevels[J]), Row[J]);
  double A, B, C, Quality;
  Fit.CalcParabolFit(A, B, C, Quality);
  const double U = std::log(A2);
  return std::max(RoundToInt32(A + B * U + C * U * U), 0);
}

}  // namespace nux
