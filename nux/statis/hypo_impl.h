// Helpers shared by the hypothesis tests; only the unit's own sources include this.
#pragma once

#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

namespace nux::hypo_detail {

// True when every value is finite.
inline bool AllFinite(std::span<const double> X) {
  for (double V : X)
    if (!std::isfinite(V)) return false;
  return true;
}

// Upper tail P(T > t) of Student's t with real degrees of freedom (Welch), full precision.
double TUpperReal(double t, double df);
// p-value of t: two-sided 2 P(T > |t|), or one-sided P(T > |t|) (the observed direction).
double TPValue(double t, double df, bool oneSided);
// Normal quantile to full double precision (0 < p < 1), Halley steps on the matching tail.
double NormalQuantileAccurate(double p);
// p-value of a normal score: two-sided 2 P(Z > |z|), or one-sided P(Z > |z|).
double ZPValue(double z, bool oneSided);

// Sorted copy of X by the library's comb sort.
std::vector<double> SortedCopy(std::span<const double> X);

// Pooled ranks of two samples: the rank sum of the first sample, the tie sum sum (t^3 - t) and
// whether any value occurs twice. A and B must be sorted ascending and free of NaN.
struct TRankSums {
  double R1 = 0.0;
  double TieSum = 0.0;
  bool Ties = false;
};
TRankSums MergedRankSums(const std::vector<double>& A, const std::vector<double>& B);

// p-value of a Mann-Whitney U1 for sizes n1, n2: exact when Exact (no ties) and
// n1 + n2 <= UDistriExactLimit, otherwise normal with continuity correction and the variance
// Var of U1 under permutation (which carries the tie correction).
double UTestPValue(double U1, int64_t n1, int64_t n2, double Var, bool Exact, bool oneSided);
// Variance of U1 with the tie sum sum (t^3 - t) of the pooled ranks.
double UVariance(int64_t n1, int64_t n2, double TieSum);

// Critical signed-rank sum for n non-zero differences by the normal approximation.
int32_t SRNormal(int64_t n, double alpha, bool twoSided);

}  // namespace nux::hypo_detail
