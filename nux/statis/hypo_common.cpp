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
  // Start: Acklam's rational approximation (relative error below 1.2e-9) on the smaller tail,
  // then Halley steps on that tail, which converge cubically: one step reaches full precision,
  // a second confirms it.
  const bool Up = p > 0.5;
  const double Q = Up ? 1.0 - p : p;
  static constexpr double A[6] = {-3.969683028665376e+01, 2.209460984245205e+02,
                                  -2.759285104469687e+02, 1.383577518672690e+02,
                                  -3.066479806614716e+01, 2.506628277459239e+00};
  static constexpr double B[5] = {-5.447609879822406e+01, 1.615858368580409e+02,
                                  -1.556989798598866e+02, 6.680131188771972e+01,
                                  -1.328068155288572e+01};
  static constexpr double C[6] = {-7.784894002430293e-03, -3.223964580411365e-01,
                                  -2.400758277161838e+00, -2.549732539343734e+00,
                                  4.374664141464968e+00,  2.938163982698783e+00};
  static constexpr double D[4] = {7.784695709041462e-03, 3.224671290700398e-01,
                                  2.445134137142996e+00, 3.754408661907416e+00};
  double X;
  if (Q < 0.02425) {
    const double T = std::sqrt(-2.0 * std::log(Q));
    X = (((((C[0] * T + C[1]) * T + C[2]) * T + C[3]) * T + C[4]) * T + C[5]) /
        ((((D[0] * T + D[1]) * T + D[2]) * T + D[3]) * T + 1.0);
  } else {
    const double U = Q - 0.5, R = U * U;
    X = (((((A[0] * R + A[1]) * R + A[2]) * R + A[3]) * R + A[4]) * R + A[5]) * U /
        (((((B[0] * R + B[1]) * R + B[2]) * R + B[3]) * R + B[4]) * R + 1.0);
  }
  for (int I = 0; I < 4; ++I) {
    const double Dens = std::exp(-0.5 * X * X) * 0.39894228040143267794;
    if (!(Dens > 0.0)) break;
    const double E = (NormalLower(X) - Q) / Dens;
    const double Step = E / (1.0 + 0.5 * X * E);
    X -= Step;
    if (std::fabs(Step) <= 1e-9 * std::fabs(X)) break;  // the step after a 1e-9 one is below 1e-27
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
