#include "nux/statis/kstest.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "nux/math1/scalar.h"

namespace nux {

const std::array<std::array<double, 5>, 21> KSCriticalTable = {{
    {0.20, 0.15, 0.10, 0.05, 0.01},      {0.900, 0.925, 0.950, 0.975, 0.995},
    {0.684, 0.726, 0.776, 0.842, 0.929}, {0.565, 0.597, 0.642, 0.708, 0.828},
    {0.494, 0.525, 0.564, 0.624, 0.733}, {0.446, 0.474, 0.510, 0.565, 0.669},
    {0.410, 0.436, 0.470, 0.521, 0.618}, {0.381, 0.405, 0.438, 0.486, 0.577},
    {0.358, 0.381, 0.411, 0.457, 0.543}, {0.339, 0.360, 0.388, 0.432, 0.514},
    {0.322, 0.342, 0.368, 0.410, 0.490}, {0.307, 0.326, 0.352, 0.391, 0.468},
    {0.295, 0.313, 0.338, 0.375, 0.450}, {0.284, 0.302, 0.325, 0.361, 0.433},
    {0.274, 0.292, 0.314, 0.349, 0.418}, {0.266, 0.283, 0.304, 0.338, 0.404},
    {0.258, 0.274, 0.295, 0.328, 0.392}, {0.250, 0.266, 0.286, 0.318, 0.381},
    {0.244, 0.259, 0.278, 0.309, 0.371}, {0.237, 0.252, 0.272, 0.301, 0.363},
    {0.231, 0.246, 0.264, 0.294, 0.356},
}};

namespace {

// Dense square matrix, row-major.
struct TSquare {
  int M = 0;
  std::vector<double> A;
  explicit TSquare(int Size) : M(Size), A(static_cast<size_t>(Size) * Size, 0.0) {}
  double& operator()(int I, int J) { return A[static_cast<size_t>(I) * M + J]; }
  double operator()(int I, int J) const { return A[static_cast<size_t>(I) * M + J]; }
};

TSquare Multiply(const TSquare& X, const TSquare& Y) {
  const int M = X.M;
  TSquare R(M);
  for (int I = 0; I < M; ++I)
    for (int K = 0; K < M; ++K) {
      const double Xik = X(I, K);
      if (Xik == 0.0) continue;
      for (int J = 0; J < M; ++J) R(I, J) += Xik * Y(K, J);
    }
  return R;
}

// H^n with a decimal exponent E kept beside it, so that the entries never overflow.
TSquare Power(const TSquare& H, int N, int64_t& E) {
  if (N == 1) {
    E = 0;
    return H;
  }
  int64_t Eh = 0;
  TSquare V = Power(H, N / 2, Eh);
  TSquare B = Multiply(V, V);
  E = 2 * Eh;
  if (N % 2 == 1) B = Multiply(H, B);
  const int C = H.M / 2;
  if (B(C, C) > 1e140) {
    for (double& X : B.A) X *= 1e-140;
    E += 140;
  }
  return B;
}

// Above this k the exact method costs O(k^3 log n) per call; the limiting distribution with a
// finite-n correction of the argument takes over (only reached for n of several thousands).
constexpr int KSExactMaxK = 100;

double KolmogorovLimitUpper(double L) {
  if (L <= 0.0) return 1.0;
  if (L < 1.18) {
    // Theta form, fast for small arguments: 1 - sqrt(2 pi)/L sum_{j odd} exp(-j^2 pi^2/(8L^2)).
    const double W = -M_PI * M_PI / (8.0 * L * L);
    double S = 0.0;
    for (int J = 1; J < 40; J += 2) S += std::exp(W * J * J);
    return 1.0 - std::sqrt(2.0 * M_PI) / L * S;
  }
  double S = 0.0, Sign = 1.0;
  for (int J = 1; J < 40; ++J, Sign = -Sign) S += Sign * std::exp(-2.0 * J * J * L * L);
  return 2.0 * S;
}

}  // namespace

double KSPValue(int32_t n, double d) {
  if (n <= 0 || std::isnan(d)) return -1.0;
  if (d <= 0.0) return 1.0;
  if (d >= 1.0) return 0.0;
  const double Nd = n;
  double S = d * d * Nd;
  if (S > 7.24 || (S > 3.76 && n > 99))
    return 2.0 * std::exp(-(2.000071 + 0.331 / std::sqrt(Nd) + 1.409 / Nd) * S);
  const int K = static_cast<int>(Nd * d) + 1;
  if (K > KSExactMaxK) {
    const double Sq = std::sqrt(Nd);
    return KolmogorovLimitUpper((Sq + 0.12 + 0.11 / Sq) * d);
  }
  const int M = 2 * K - 1;
  const double H = K - Nd * d;
  TSquare Hm(M);
  for (int I = 0; I < M; ++I)
    for (int J = 0; J < M; ++J) Hm(I, J) = (I - J + 1 >= 0) ? 1.0 : 0.0;
  for (int I = 0; I < M; ++I) {
    Hm(I, 0) -= std::pow(H, I + 1);
    Hm(M - 1, I) -= std::pow(H, M - I);
  }
  if (2.0 * H - 1.0 > 0.0) Hm(M - 1, 0) += std::pow(2.0 * H - 1.0, M);
  for (int I = 0; I < M; ++I)
    for (int J = 0; J < M; ++J)
      if (I - J + 1 > 0)
        for (int G = 1; G <= I - J + 1; ++G) Hm(I, J) /= G;
  int64_t E = 0;
  const TSquare Q = Power(Hm, n, E);
  S = Q(K - 1, K - 1);
  // Nothing below d = 1/(2n) is possible: the matrix vanishes there.
  if (!(S > 0.0)) return 1.0;
  if (n > 100000) {
    // n!/n^n in logarithms: the loop below would take n steps, and only the absolute accuracy
    // of the tiny P(D <= d) matters here.
    return 1.0 - std::exp(std::log(S) + static_cast<double>(E) * std::log(10.0) +
                          std::lgamma(Nd + 1.0) - Nd * std::log(Nd));
  }
  for (int I = 1; I <= n; ++I) {
    S = S * I / Nd;
    if (S < 1e-140) {
      S *= 1e140;
      E -= 140;
    }
  }
  return 1.0 - S * std::pow(10.0, static_cast<double>(E));
}

double KolmogSmir1SampleTestStat(int32_t n, TSignifLevel level) {
  if (level < Dot20 || level > Dot01 || n <= 0) return -1.0;
  if (n <= 20) return KSCriticalTable[n][level];
  return KSAsymptoticConst[level] / std::sqrt(static_cast<double>(n));
}

double KSQuantile(int32_t n, TSignifLevel level) {
  if (level < Dot20 || level > Dot01 || n <= 0) return -1.0;
  double D = KolmogSmir1SampleTestStat(n, level);
  // The fixed-point step contracts for every n and level; the bound only guards against a
  // table start that is far off.
  for (int Pass = 0; Pass < 1000; ++Pass) {
    const double X = KSPValue(n, D) - KSCriticalTable[0][level];
    if (std::fabs(X) <= 1e-4) break;
    D *= 1.0 + X;
  }
  return D;
}

double LillieforsPValue(int32_t n, double d) {
  if (n < 6 || std::isnan(d)) return -1.0;
  double N = n;
  if (n > 100) {
    d *= std::pow(N / 100.0, 0.49);
    N = 100.0;
  }
  const double V = -7.01256 * d * d * (N + 2.78019) + 2.99587 * d * std::sqrt(N + 2.78019) -
                   0.122119 + 0.97498 / std::sqrt(N) + 1.67997 / N;
  return std::exp(std::min(V, 0.0));
}

double LillieforsQuantile(int32_t n, double alpha) {
  static constexpr double Ca[7] = {6.32207539843126,   -17.1398870006148, 38.42812675101057,
                                   -45.93241384693391, 7.88697700041829,  29.79317711037858,
                                   -18.48090137098585};
  static constexpr double Cb[7] = {12.940399038404,   -53.458334259532, 186.923866119699,
                                   -410.582178349305, 517.377862566267, -343.581476222384,
                                   92.123451358715};
  if (n < 1) return -1.0;
  const double Q = 1.0 - alpha;
  const double V = Polynomial(Ca, 6, Q) * n + Polynomial(Cb, 6, Q);
  if (!(V > 0.0) || std::isinf(V)) return -1.0;
  return 1.0 / std::sqrt(V);
}

}  // namespace nux
