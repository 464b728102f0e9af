#include <algorithm>
#include <cfloat>
#include <cmath>

#include "nux/frame/combsort.h"
#include "nux/math1/sorting.h"
#include "nux/statis/accurate.h"
#include "nux/statis/distributions.h"
#include "nux/statis/hypo_impl.h"

namespace nux::hypo_detail {

using statis_detail::BetaPQ;
using statis_detail::NormalLower;
using statis_detail::NormalUpper;

double TUpperReal(double t, double df) {
  if (std::isnan(t) || !(df > 0.0)) return std::nan("");
  if (t == 0.0) return 0.5;
  const double Ax = std::fabs(t);
  if (std::isinf(Ax)) return t > 0.0 ? 0.0 : 1.0;
  // df / t^2 without overflowing t^2; x = R / (1 + R) and 1 - x = 1 / (1 + R).
  const double S = std::sqrt(df) / Ax, R = Ax > 1.0 ? S * S : df / (t * t);
  double I, Ic;
  BetaPQ(df / 2.0, 0.5, R < 1.0 ? R / (1.0 + R) : 1.0 / (1.0 + 1.0 / R), 1.0 / (1.0 + R), I, Ic);
  return t > 0.0 ? 0.5 * I : 0.5 + 0.5 * Ic;
}

double TPValue(double t, double df, bool oneSided) {
  const double Tail = TUpperReal(std::fabs(t), df);
  return oneSided ? Tail : std::min(1.0, 2.0 * Tail);
}

double ZPValue(double z, bool oneSided) {
  const double Tail = NormalUpper(std::fabs(z));
  return oneSided ? Tail : std::min(1.0, 2.0 * Tail);
}

double NormalQuantileAccurate(double p) {
  if (!(p > 0.0 && p < 1.0)) return p == 0.0 ? -INFINITY : (p == 1.0 ? INFINITY : NAN);
  // Start: Hastings' rational form (absolute error below 5e-4), then Halley steps on the
  // smaller tail, which converge cubically: three are more than enough.
  const bool Up = p > 0.5;
  const double Q = Up ? 1.0 - p : p;
  const double T = std::sqrt(-2.0 * std::log(Q));
  double X = -(T - (2.515517 + 0.802853 * T + 0.010328 * T * T) /
                       (1.0 + 1.432788 * T + 0.189269 * T * T + 0.001308 * T * T * T));
  for (int I = 0; I < 4; ++I) {
    const double Dens = std::exp(-0.5 * X * X) * 0.39894228040143267794;
    if (!(Dens > 0.0)) break;
    const double E = (NormalLower(X) - Q) / Dens;
    const double Step = E / (1.0 + 0.5 * X * E);
    X -= Step;
    if (std::fabs(Step) <= 4.0 * DBL_EPSILON * std::fabs(X)) break;
  }
  return Up ? -X : X;
}

std::vector<double> SortedCopy(std::span<const double> X) {
  std::vector<double> S(X.begin(), X.end());
  if (S.size() > 1) SortArray(std::span<double>(S), true);
  return S;
}

TRankSums MergedRankSums(const std::vector<double>& A, const std::vector<double>& B) {
  TRankSums R;
  const size_t NA = A.size(), NB = B.size();
  size_t I = 0, J = 0;
  double Next = 1.0;  // rank of the next value
  while (I < NA || J < NB) {
    const double V = (J >= NB || (I < NA && A[I] <= B[J])) ? A[I] : B[J];
    size_t CA = 0, CB = 0;
    while (I < NA && A[I] == V) ++I, ++CA;
    while (J < NB && B[J] == V) ++J, ++CB;
    const double T = static_cast<double>(CA + CB);
    const double Mid = Next + (T - 1.0) / 2.0;
    R.R1 += Mid * static_cast<double>(CA);
    if (T > 1.0) {
      R.TieSum += T * T * T - T;
      R.Ties = true;
    }
    Next += T;
  }
  return R;
}

double UVariance(int64_t n1, int64_t n2, double TieSum) {
  const double M = static_cast<double>(n1), N = static_cast<double>(n2), NT = M + N;
  return M * N / 12.0 * ((NT + 1.0) - TieSum / (NT * (NT - 1.0)));
}

double UTestPValue(double U1, int64_t n1, int64_t n2, double Var, bool Exact, bool oneSided) {
  const double M = static_cast<double>(n1), N = static_cast<double>(n2);
  const double MN = M * N, Mu = MN / 2.0;
  const double U = std::max(U1, MN - U1);  // the larger of U1 and U2: its upper tail
  if (Exact && n1 + n2 <= UDistriExactLimit) {
    const double Tail = UDistriIntegralUpper(static_cast<int32_t>(n1), static_cast<int32_t>(n2),
                                             static_cast<int32_t>(U) - 1);
    return oneSided ? Tail : std::min(1.0, 2.0 * Tail);
  }
  if (!(Var > 0.0)) return 1.0;  // every value tied: no evidence either way
  const double Z = (U - Mu - 0.5) / std::sqrt(Var);
  const double Tail = NormalUpper(Z);
  return oneSided ? Tail : std::min(1.0, 2.0 * Tail);
}

}  // namespace nux::hypo_detail
