#include "nux/statis/accurate.h"

#include <cfloat>
#include <cmath>

namespace nux::statis_detail {

namespace {

constexpr double LnSqrt2Pi = 0.91893853320467274178;
constexpr double Ln2Pi = 1.8378770664093454836;
constexpr double TinyFP = 1e-300;
constexpr double CfEps = 1e-16;

// Iteration bound for the continued fractions and series: they need O(sqrt(shape)) steps near
// the mean, so the bound grows with it.
long IterBound(double Shape) { return 1000 + static_cast<long>(50.0 * std::sqrt(Shape)); }

// Continued fraction of I_x(a, b) (modified Lentz); converges fast for x < (a + 1)/(a + b + 2).
double BetaCF(double A, double B, double X) {
  const double Qab = A + B, Qap = A + 1.0, Qam = A - 1.0;
  double C = 1.0;
  double D = 1.0 - Qab * X / Qap;
  if (std::fabs(D) < TinyFP) D = TinyFP;
  D = 1.0 / D;
  double H = D;
  const long Bound = IterBound(A + B);
  for (long M = 1; M <= Bound; ++M) {
    const double Md = static_cast<double>(M), M2 = 2.0 * Md;
    double Aa = Md * (B - Md) * X / ((Qam + M2) * (A + M2));
    D = 1.0 + Aa * D;
    if (std::fabs(D) < TinyFP) D = TinyFP;
    C = 1.0 + Aa / C;
    if (std::fabs(C) < TinyFP) C = TinyFP;
    D = 1.0 / D;
    H *= D * C;
    Aa = -(A + Md) * (Qab + Md) * X / ((A + M2) * (Qap + M2));
    D = 1.0 + Aa * D;
    if (std::fabs(D) < TinyFP) D = TinyFP;
    C = 1.0 + Aa / C;
    if (std::fabs(C) < TinyFP) C = TinyFP;
    D = 1.0 / D;
    const double Del = D * C;
    H *= Del;
    if (std::fabs(Del - 1.0) < CfEps) break;
  }
  return H;
}

}  // namespace

double StirlErr(double X) {
  constexpr double S0 = 1.0 / 12.0, S1 = 1.0 / 360.0, S2 = 1.0 / 1260.0, S3 = 1.0 / 1680.0,
                   S4 = 1.0 / 1188.0;
  // Below 15 the series is not yet accurate; the direct form loses at most ~1e-14 absolute,
  // which is what matters here (the value ends up in an exponent).
  if (X <= 15.0) return std::lgamma(X + 1.0) - (X + 0.5) * std::log(X) + X - LnSqrt2Pi;
  const double XX = X * X;
  if (X > 500.0) return (S0 - S1 / XX) / X;
  if (X > 80.0) return (S0 - (S1 - S2 / XX) / XX) / X;
  if (X > 35.0) return (S0 - (S1 - (S2 - S3 / XX) / XX) / XX) / X;
  return (S0 - (S1 - (S2 - (S3 - S4 / XX) / XX) / XX) / XX) / X;
}

double Bd0(double X, double M) {
  if (X == 0.0) return M;
  if (std::fabs(X - M) < 0.1 * (X + M)) {
    double V = (X - M) / (X + M);
    double S = (X - M) * V;
    if (std::fabs(S) < DBL_MIN) return S;
    double Ej = 2.0 * X * V;
    V *= V;
    for (int J = 1; J < 1000; ++J) {
      Ej *= V;
      const double S1 = S + Ej / (2 * J + 1);
      if (S1 == S) return S1;
      S = S1;
    }
    return S;
  }
  return X * std::log(X / M) + M - X;
}

double PoissonTerm(double A, double X) {
  if (X == 0.0) return A == 0.0 ? 1.0 : 0.0;
  if (A == 0.0) return std::exp(-X);
  if (std::isinf(X)) return 0.0;
  return std::exp(-StirlErr(A) - Bd0(A, X)) / std::sqrt(2.0 * M_PI * A);
}

double BinomTerm(double K, double N, double P, double Q) {
  if (P == 0.0) return K == 0.0 ? 1.0 : 0.0;
  if (Q == 0.0) return K == N ? 1.0 : 0.0;
  if (K < 0.0 || K > N) return 0.0;
  if (K == 0.0) {
    if (N == 0.0) return 1.0;
    return P < 0.1 ? std::exp(-Bd0(N, N * Q) - N * P) : std::exp(N * std::log(Q));
  }
  if (K == N) return Q < 0.1 ? std::exp(-Bd0(N, N * P) - N * Q) : std::exp(N * std::log(P));
  const double Lc = StirlErr(N) - StirlErr(K) - StirlErr(N - K) - Bd0(K, N * P) - Bd0(N - K, N * Q);
  // ln(2 pi K (N - K) / N); for K near N the ratio K/N would round away the digits of N - K.
  const double Lf =
      Ln2Pi + std::log(K) + (K < 0.5 * N ? std::log1p(-K / N) : std::log(N - K) - std::log(N));
  return std::exp(Lc - 0.5 * Lf);
}

void GammaPQ(double A, double X, double& P, double& Q) {
  if (X <= 0.0) {
    P = 0.0;
    Q = 1.0;
    return;
  }
  if (std::isinf(X)) {
    P = 1.0;
    Q = 0.0;
    return;
  }
  const long Bound = IterBound(A + X);
  if (X < A + 1.0) {
    // Series for P: x^a e^-x / Gamma(a + 1) * sum x^n / ((a + 1) ... (a + n)).
    double Sum = 1.0, Term = 1.0;
    for (long N = 1; N <= Bound; ++N) {
      Term *= X / (A + static_cast<double>(N));
      Sum += Term;
      if (Term < Sum * 1e-17) break;
    }
    P = PoissonTerm(A, X) * Sum;
    Q = 1.0 - P;
    return;
  }
  // Continued fraction for Q (modified Lentz).
  double B = X + 1.0 - A;
  double C = 1.0 / TinyFP;
  double D = 1.0 / B;
  double H = D;
  for (long I = 1; I <= Bound; ++I) {
    const double Id = static_cast<double>(I);
    const double An = -Id * (Id - A);
    B += 2.0;
    D = An * D + B;
    if (std::fabs(D) < TinyFP) D = TinyFP;
    C = B + An / C;
    if (std::fabs(C) < TinyFP) C = TinyFP;
    D = 1.0 / D;
    const double Del = D * C;
    H *= Del;
    if (std::fabs(Del - 1.0) < CfEps) break;
  }
  // x^a e^-x / Gamma(a) = a * x^a e^-x / Gamma(a + 1)
  Q = A * PoissonTerm(A, X) * H;
  P = 1.0 - Q;
}

void BetaPQ(double A, double B, double X, double Y, double& I, double& Ic) {
  if (X <= 0.0) {
    I = 0.0;
    Ic = 1.0;
    return;
  }
  if (Y <= 0.0) {
    I = 1.0;
    Ic = 0.0;
    return;
  }
  // x^a y^b / B(a, b), written as a binomial term so that large shapes lose nothing.
  const double Front = (A * B / (A + B)) * BinomTerm(A, A + B, X, Y);
  // The fraction in x amplifies the rounding of x by about a; when x is near 1 (large a, small
  // 1 - x) the fraction in y = 1 - x keeps the digits that only y carries.
  const bool InX = X < (A + 1.0) / (A + B + 2.0) && !(X > 0.5 && A * Y < 1e4 && A > 1e5);
  if (InX) {
    I = Front * BetaCF(A, B, X) / A;
    Ic = 1.0 - I;
  } else {
    Ic = Front * BetaCF(B, A, Y) / B;
    I = 1.0 - Ic;
  }
}

double NormalLower(double X) { return 0.5 * std::erfc(-X / M_SQRT2); }
double NormalUpper(double X) { return 0.5 * std::erfc(X / M_SQRT2); }

}  // namespace nux::statis_detail
