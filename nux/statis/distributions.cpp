#include "nux/statis/distributions.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "nux/frame/errors.h"
#include "nux/frame/rounding.h"
#include "nux/frame/univconst.h"
#include "nux/statis/accurate.h"
#include "nux/statis/gammabeta.h"

namespace nux {

using namespace statis_detail;

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double Ln2Pi = 1.8378770664093454836;
// Slack for the discrete quantiles: a cumulative probability that misses the target only by
// rounding still counts as reaching it.
constexpr double DiscreteFuzz = 64.0 * DBL_EPSILON;

// Smallest k in [Lo, Hi] with Reached(k), for a predicate that turns from false to true once
// and holds at Hi.
template <class Pred>
int64_t FirstReached(int64_t Lo, int64_t Hi, Pred Reached) {
  while (Lo < Hi) {
    const int64_t Mid = Lo + (Hi - Lo) / 2;
    if (Reached(Mid))
      Hi = Mid;
    else
      Lo = Mid + 1;
  }
  return Lo;
}

// Next trial point inside (Lo, Hi): geometric while the bracket spans decades.
double Split(double Lo, double Hi) {
  if (Lo <= 0.0) return Hi / 8.0;
  if (Hi > 8.0 * Lo) return std::sqrt(Lo) * std::sqrt(Hi);
  return 0.5 * (Lo + Hi);
}

// Solves Tail(x) = Target for x in [Lo, inf) with Lo >= 0. Tail is the lower tail (increasing)
// or, with Upper, the upper tail (decreasing); Dens is the density. Newton steps on ln Tail,
// kept inside a bracket that bisection shrinks when a step leaves it; the loops are bounded.
template <class TailF, class DensF>
double SolveTail(TailF Tail, DensF Dens, double Target, bool Upper, double Lo, double X0) {
  const double S = Upper ? -1.0 : 1.0;
  double Hi = std::max(X0, 1.0);
  for (int I = 0; I < 2100 && S * (Tail(Hi) - Target) < 0.0; ++I) {
    Lo = Hi;
    Hi *= 2.0;
    if (std::isinf(Hi)) return Hi;
  }
  double X = (X0 > Lo && X0 < Hi) ? X0 : Split(Lo, Hi);
  const double LnTarget = std::log(Target);
  for (int Iter = 0; Iter < 1000; ++Iter) {
    const double T = Tail(X);
    const double Diff = S * (T - Target);
    if (Diff == 0.0) return X;
    if (Diff < 0.0)
      Lo = X;
    else
      Hi = X;
    double Xn = NaN;
    const double F = Dens(X);
    if (T > 0.0 && F > 0.0 && std::isfinite(F)) Xn = X - S * (std::log(T) - LnTarget) * T / F;
    if (!(Xn > Lo && Xn < Hi)) Xn = Split(Lo, Hi);
    if (std::fabs(Xn - X) <= 2.0 * DBL_EPSILON * std::fabs(X) || Hi - Lo <= DBL_EPSILON * Hi)
      return Xn;
    X = Xn;
  }
  return X;
}

// ln Gamma(a + b) - ln Gamma(b) for 0 < a <= 1, without the cancellation of two large
// ln Gamma values when b is large.
double LnGammaRatio(double A, double B) {
  if (B > 1e6) return A * std::log(B) + A * (A - 1.0) / (2.0 * B);
  return std::lgamma(A + B) - std::lgamma(B);
}

// Start for the normal quantile: Abramowitz & Stegun 26.2.23 (Hastings' rational form), absolute
// error below 4.5e-4 (measured 4.4e-4 over p in [1e-300, 0.5]).
double NormalStart(double p) {
  const double Q = p < 0.5 ? p : 1.0 - p;
  const double T = std::sqrt(-2.0 * std::log(Q));
  const double Z = T - (2.515517 + 0.802853 * T + 0.010328 * T * T) /
                           (1.0 + 1.432788 * T + 0.189269 * T * T + 0.001308 * T * T * T);
  return p < 0.5 ? -Z : Z;
}

}  // namespace

// ---------------------------------------------------------------- normal

double nDistriDensity(double x) { return 0.3989422804014327 * std::exp(-x * x / 2.0); }

double nDistriIntegral(double x) {
  if (std::isnan(x)) return NaN;
  if (x > 0.0) return (1.0 + IncompleteGamma(x * x / 2.0, 0.5)) / 2.0;
  // The lower tail straight from the upper incomplete gamma: 1 - P would cancel.
  return IncompleteGammaUpper(x * x / 2.0, 0.5) / 2.0;
}

double nDistriIntegralUpper(double x) { return nDistriIntegral(-x); }

double nDistriQuantile(double p) {
  if (!(p > 0.0 && p < 1.0)) return 0.0;
  const double Z0 = NormalStart(p);
  const double W = 0.1 * std::max(std::fabs(Z0), 0.1);
  double Low = Z0 - W, High = Z0 + W;
  double Mid = 0.5 * (Low + High);
  // The tolerance is relative to the smaller tail: above 0.5 the upper tail 1 - p (exact
  // there) is matched by P(Z > z), which keeps its digits where P(Z <= z) rounds to 1.
  const bool Up = p > 0.5;
  const double Tail = Up ? 1.0 - p : p;
  // Near the ends of the double range the integral cannot reach the relative tolerance; the
  // bound ends the search at the closest point found.
  for (int Pass = 0; Pass < 200; ++Pass) {
    Mid = 0.5 * (Low + High);
    const double E = nDistriIntegral(Up ? -Mid : Mid);
    if (std::fabs(E - Tail) / Tail < 1e-8) return Mid;
    if ((E <= Tail) != Up)
      Low = Mid;
    else
      High = Mid;
    if (Low == High) break;
  }
  return Mid;
}

// ---------------------------------------------------------------- Weibull, hypergeometric

double WeibullDensity(double x, double shape, double scale) {
  if (!(x > 0.0) || !(scale > 0.0) || !(shape > 0.0)) return 0.0;
  if (std::isinf(x) || std::isinf(scale)) return 0.0;
  if (std::isinf(shape)) return x == scale ? Inf : 0.0;
  const double Xk1 = std::exp((shape - 1.0) * std::log(x));
  const double Lk = std::exp(shape * std::log(scale));
  const double Ratio = std::exp(shape * std::log(x / scale));
  if (Xk1 > 0.0 && Lk > 0.0 && std::isfinite(Xk1) && std::isfinite(Lk))
    return shape * Xk1 / Lk * std::exp(-Ratio);
  // x^(k-1) or scale^k left the double range: the same product in logarithms.
  const double Q = x / scale;
  const double LnQ = (Q >= DBL_MIN && Q <= DBL_MAX) ? std::log(Q) : std::log(x) - std::log(scale);
  return std::exp(std::log(shape) - std::log(scale) + (shape - 1.0) * LnQ - std::exp(shape * LnQ));
}

double HyperGeoDistriDensity(double p, int32_t npop, int32_t nsample, int32_t k) {
  if (!(p >= 0.0 && p <= 1.0))
    throw ENUXStatisError("HyperGeoDistriDensity: probability p must be between 0.0 and 1.0");
  if (npop < 1) throw ENUXStatisError("HyperGeoDistriDensity: npop must be greater than 0");
  if (nsample > npop)
    throw ENUXStatisError("HyperGeoDistriDensity: nsample must not be greater than npop");
  if (nsample < 1) throw ENUXStatisError("HyperGeoDistriDensity: nsample must not be less than 1");
  const int64_t K = RoundToInt64(p * npop);
  const int64_t N = npop, Ns = nsample, Kk = k;
  if (Kk < 0 || Kk > K || Kk > Ns || Kk < Ns + K - N) return 0.0;
  const double Kd = static_cast<double>(K), Nd = N, Nsd = Ns, kd = Kk;
  return std::exp(LnGamma(Kd + 1) - LnGamma(kd + 1) - LnGamma(Kd - kd + 1) + LnGamma(Nd - Kd + 1) -
                  LnGamma(Nsd - kd + 1) - LnGamma(kd + Nd - Nsd - Kd + 1) - LnGamma(Nd + 1) +
                  LnGamma(Nsd + 1) + LnGamma(Nd - Nsd + 1));
}

double ConfidenceInterval(double alpha, double sigma, int32_t n) {
  if (n < 1 || !(alpha > 0.0 && alpha < 2.0)) return 0.0;
  // z(1 - alpha/2) = -z(alpha/2): the tail alpha/2 is exact, 1 - alpha/2 would round it.
  return -nDistriQuantile(alpha / 2.0) * sigma / std::sqrt(static_cast<double>(n));
}

// ---------------------------------------------------------------- chi-square

double Chi2DistriDensity(double x, int32_t df) {
  if (df < 1 || std::isnan(x)) return NaN;
  if (x < 0.0 || std::isinf(x)) return 0.0;
  if (x == 0.0) return df == 1 ? Inf : (df == 2 ? 0.5 : 0.0);
  const double A = df / 2.0, Y = x / 2.0;
  // x^(a-1) e^-x / Gamma(a) = (a / x) * x^a e^-x / Gamma(a + 1), halved for the scale 2.
  const double Term = PoissonTerm(A, Y), Ratio = A / Y;
  if (Term >= DBL_MIN && Ratio <= DBL_MAX) return 0.5 * Ratio * Term;
  // Near 0 the term underflows (or a / x overflows) before the ratio brings the product back
  // into range: the same product in logarithms. ln y comes from x itself (halving the smallest
  // subnormals would lose them), and Bd0 is written out where a / y overflows.
  const double LnY = std::log(x) - M_LN2;
  const double BdA = Ratio <= DBL_MAX ? Bd0(A, Y) : A * (std::log(A) - LnY) + Y - A;
  const double LnTerm = -StirlErr(A) - BdA - 0.5 * (Ln2Pi + std::log(A));
  return std::exp(LnTerm + std::log(A) - LnY - M_LN2);
}

double chi2DistriIntegral(double x, int32_t df) {
  if (df < 1 || std::isnan(x)) return NaN;
  double P, Q;
  GammaPQ(df / 2.0, std::max(x, 0.0) / 2.0, P, Q);
  return P;
}

double chi2DistriIntegralUpper(double x, int32_t df) {
  if (df < 1 || std::isnan(x)) return NaN;
  double P, Q;
  GammaPQ(df / 2.0, std::max(x, 0.0) / 2.0, P, Q);
  return Q;
}

double chi2DistriQuantile(double p, int32_t df) {
  if (df < 1 || !(p >= 0.0 && p <= 1.0)) return NaN;
  if (p == 0.0) return 0.0;
  if (p == 1.0) return Inf;
  const bool Up = p > 0.5;
  // Below the normal range (1 or 2 degrees of freedom and a tiny p) the tail is its leading
  // term (x/2)^a / Gamma(a + 1), exact there: solve that one, 0 when even the smallest
  // double has the larger tail.
  if (!Up && chi2DistriIntegral(DBL_MIN, df) > p) {
    const double A = df / 2.0;
    return 2.0 * std::exp((std::log(p) + std::lgamma(A + 1.0)) / A);
  }
  // Wilson-Hilferty start.
  const double K = df, Z = NormalStart(p), H = 2.0 / (9.0 * K);
  const double X0 = std::max(K * std::pow(std::max(1.0 - H + Z * std::sqrt(H), 0.0), 3.0), 0.0);
  return SolveTail(
      [&](double X) { return Up ? chi2DistriIntegralUpper(X, df) : chi2DistriIntegral(X, df); },
      [&](double X) { return Chi2DistriDensity(X, df); }, Up ? 1.0 - p : p, Up, 0.0, X0);
}

// ---------------------------------------------------------------- F

namespace {

// I_u(df1/2, df2/2) and its complement with u = df1 x / (df1 x + df2), x > 0.
// u = r / (1 + r) and 1 - u = 1 / (1 + r) for r = df1 x / df2, free of overflow for any r >= 0.
void FArgs(double x, int32_t df1, int32_t df2, double& U, double& Y) {
  const double R = static_cast<double>(df1) * x / df2;
  U = R < 1.0 ? R / (1.0 + R) : 1.0 / (1.0 + 1.0 / R);
  Y = 1.0 / (1.0 + R);
}

void FTails(double x, int32_t df1, int32_t df2, double& Lower, double& Upper) {
  double U, Y;
  FArgs(x, df1, df2, U, Y);
  BetaPQ(df1 / 2.0, df2 / 2.0, U, Y, Lower, Upper);
}

}  // namespace

double FDistriDensity(double x, int32_t df1, int32_t df2) {
  if (df1 < 1 || df2 < 1 || std::isnan(x)) return NaN;
  if (x < 0.0 || std::isinf(x)) return 0.0;
  if (x == 0.0) return df1 == 1 ? Inf : (df1 == 2 ? 1.0 : 0.0);
  const double A = df1 / 2.0, B = df2 / 2.0, N = A + B;
  double U, Y;
  FArgs(x, df1, df2, U, Y);
  // u^a y^b / B(a, b) / x, the beta density carried over to x.
  const double Term = BinomTerm(A, N, U, Y);
  if (Term >= DBL_MIN || x >= 1.0) return (A * B / N) * Term / x;
  // Near 0, u^a underflows before the division by x: the binomial term in logarithms, with
  // ln u = ln r - ln(1 + r) taken from x directly (u itself may be subnormal there).
  const double R = static_cast<double>(df1) * x / df2;
  const double LnU = std::log(static_cast<double>(df1)) - std::log(static_cast<double>(df2)) +
                     std::log(x) - std::log1p(R);
  const double BdA =
      U >= DBL_MIN ? Bd0(A, N * U) : A * (std::log(A) - std::log(N) - LnU) + N * U - A;
  const double LnTerm = StirlErr(N) - StirlErr(A) - StirlErr(B) - BdA - Bd0(B, N * Y) -
                        0.5 * (Ln2Pi + std::log(A) + std::log(B) - std::log(N));
  return std::exp(std::log(A * B / N) + LnTerm - std::log(x));
}

double FDistriIntegral(double x, int32_t df1, int32_t df2) {
  if (df1 < 1 || df2 < 1 || std::isnan(x)) return NaN;
  if (x <= 0.0) return 0.0;
  double L, U;
  FTails(x, df1, df2, L, U);
  return L;
}

double FDistriIntegralUpper(double x, int32_t df1, int32_t df2) {
  if (df1 < 1 || df2 < 1 || std::isnan(x)) return NaN;
  if (x <= 0.0) return 1.0;
  double L, U;
  FTails(x, df1, df2, L, U);
  return U;
}

double FDistriQuantile(double p, int32_t df1, int32_t df2) {
  if (df1 < 1 || df2 < 1 || !(p >= 0.0 && p <= 1.0)) return NaN;
  if (p == 0.0) return 0.0;
  if (p == 1.0) return Inf;
  const bool Up = p > 0.5;
  // Below the normal range the tail is u^a / (a B(a, b)) with u = df1 x / df2 (see chi-square).
  if (!Up && FDistriIntegral(DBL_MIN, df1, df2) > p) {
    const double A = df1 / 2.0, B = df2 / 2.0;
    // Only df1 = 1 or 2 get here: for a >= 3/2 the tail at DBL_MIN is below every double.
    const double LnU = (std::log(p) + std::lgamma(A + 1.0) - LnGammaRatio(A, B)) / A;
    return std::exp(LnU + std::log(static_cast<double>(df2)) - std::log(static_cast<double>(df1)));
  }
  return SolveTail(
      [&](double X) {
        return Up ? FDistriIntegralUpper(X, df1, df2) : FDistriIntegral(X, df1, df2);
      },
      [&](double X) { return FDistriDensity(X, df1, df2); }, Up ? 1.0 - p : p, Up, 0.0, 1.0);
}

// ---------------------------------------------------------------- Student's t

namespace {

// P(T > |x|) = I_{df/(df + x^2)}(df/2, 1/2) / 2, and P(T < |x|) beside it.
void TTails(double x, int32_t df, double& Beyond, double& Within) {
  const double Nu = df, Ax = std::fabs(x);
  // R = df / x^2, formed without overflowing x^2 for huge |x|.
  const double S = std::sqrt(Nu) / Ax, R = Ax > 1.0 ? S * S : Nu / (x * x);
  if (R < 1e-280) {
    // So far out that df / t^2 leaves the normal range: the tail is its leading term
    // x^a / (a B(a, 1/2)) with x^a = (sqrt(df) / |t|)^df (relative error of order df / t^2).
    const double A = Nu / 2.0;
    Beyond = 0.5 * std::exp(Nu * std::log(S) - std::log(A) -
                            (std::lgamma(A) + std::lgamma(0.5) - std::lgamma(A + 0.5)));
    Within = 1.0 - Beyond;
    return;
  }
  double I, Ic;
  BetaPQ(Nu / 2.0, 0.5, R < 1.0 ? R / (1.0 + R) : 1.0 / (1.0 + 1.0 / R), 1.0 / (1.0 + R), I, Ic);
  Beyond = 0.5 * I;
  Within = 0.5 + 0.5 * Ic;
}

}  // namespace

double tDistriDensity(double x, int32_t df) {
  if (df < 1 || std::isnan(x)) return NaN;
  if (std::isinf(x)) return 0.0;
  const double Nu = df, A = Nu / 2.0;
  // ln(Gamma(a + 1/2) / (Gamma(a) sqrt(a))), free of the cancellation of two ln Gamma values.
  const double LnC = -Bd0(A, A + 0.5) + StirlErr(A + 0.5) - StirlErr(A);
  // ln(1 + x^2 / df), without overflowing x^2 for huge |x|.
  const double Ax = std::fabs(x);
  const double L = Ax > 1e150 ? 2.0 * std::log(Ax) - std::log(Nu) : std::log1p(x * x / Nu);
  return std::exp(LnC - (Nu + 1.0) / 2.0 * L) * uc_sqrt2pitom1;
}

double tDistriIntegral(double x, int32_t df) {
  if (df < 1 || std::isnan(x)) return NaN;
  if (x == 0.0) return 0.5;
  double Beyond, Within;
  TTails(x, df, Beyond, Within);
  return x < 0.0 ? Beyond : Within;
}

double tDistriIntegralUpper(double x, int32_t df) {
  if (df < 1 || std::isnan(x)) return NaN;
  if (x == 0.0) return 0.5;
  double Beyond, Within;
  TTails(x, df, Beyond, Within);
  return x > 0.0 ? Beyond : Within;
}

double tDistriQuantile(double p, int32_t df) {
  if (df < 1 || !(p >= 0.0 && p <= 1.0)) return NaN;
  if (p == 0.0) return -Inf;
  if (p == 1.0) return Inf;
  if (p == 0.5) return 0.0;
  // Solve for |t| in the upper tail, then take the sign.
  const double Target = p < 0.5 ? p : 1.0 - p;
  const double Sign = p < 0.5 ? -1.0 : 1.0;
  // Closed forms: Cauchy for 1 degree of freedom, (1 - 2q) / sqrt(2 q (1 - q)) for 2; both
  // reach the tails far beyond where the tail integral could be searched (|t| up to 1e308).
  if (df == 1)
    return Sign * (Target < 0.25 ? 1.0 / std::tan(M_PI * Target) : std::tan(M_PI * (0.5 - Target)));
  if (df == 2) return Sign * (1.0 - 2.0 * Target) / std::sqrt(2.0 * Target * (1.0 - Target));
  const double T = SolveTail([&](double X) { return tDistriIntegralUpper(X, df); },
                             [&](double X) { return tDistriDensity(X, df); }, Target, true, 0.0,
                             std::fabs(NormalStart(p)));
  return p < 0.5 ? -T : T;
}

// ---------------------------------------------------------------- binomial

namespace {

bool BinomValid(int32_t n, double p) { return n >= 0 && p >= 0.0 && p <= 1.0; }

// P(X <= k) and P(X > k) for 0 <= k < n: I_{1-p}(n - k, k + 1) and I_p(k + 1, n - k).
void BinomTails(int32_t n, double p, int32_t k, double& Lower, double& Upper) {
  BetaPQ(k + 1.0, static_cast<double>(n) - k, p, 1.0 - p, Upper, Lower);
}

}  // namespace

double BinomDistriDensity(int32_t n, double p, int32_t k) {
  if (!BinomValid(n, p)) return NaN;
  if (k < 0 || k > n) return 0.0;
  return BinomTerm(k, n, p, 1.0 - p);
}

double BinomDistriIntegral(int32_t n, double p, int32_t k) {
  if (!BinomValid(n, p)) return NaN;
  if (k < 0) return 0.0;
  if (k >= n) return 1.0;
  double L, U;
  BinomTails(n, p, k, L, U);
  return L;
}

double BinomDistriIntegralUpper(int32_t n, double p, int32_t k) {
  if (!BinomValid(n, p)) return NaN;
  if (k < 0) return 1.0;
  if (k >= n) return 0.0;
  double L, U;
  BinomTails(n, p, k, L, U);
  return U;
}

double BinomDistriQuantile(int32_t n, double p, double prob, double& Cumulative) {
  Cumulative = NaN;
  if (!BinomValid(n, p) || !(prob >= 0.0 && prob <= 1.0)) return NaN;
  // The upper tail decides above the median, where the lower one has no digits left.
  const bool Up = prob > 0.5;
  auto Reached = [&](int64_t k) {
    const int32_t K = static_cast<int32_t>(k);
    if (Up) return BinomDistriIntegralUpper(n, p, K) <= (1.0 - prob) * (1.0 + DiscreteFuzz);
    return BinomDistriIntegral(n, p, K) >= prob * (1.0 - DiscreteFuzz);
  };
  const int32_t K = static_cast<int32_t>(FirstReached(0, n, Reached));  // Reached(n) holds
  Cumulative = BinomDistriIntegral(n, p, K);
  return K;
}

// ---------------------------------------------------------------- Mann-Whitney U

namespace {

struct TUDistri {
  int32_t M = 0, N = 0;        // the sample sizes, smaller first
  int64_t MN = 0;              // n1 * n2
  std::vector<double> Counts;  // arrangements with U = u, u = 0 .. MN / 2
  std::vector<double> Cum;     // P(U <= u), u = 0 .. MN / 2
  double Total = 0.0;          // C(n1 + n2, n1)
};

// Hi + Lo += BHi + BLo in double-double arithmetic.
inline void AddDD(double& Hi, double& Lo, double BHi, double BLo) {
  const double S = Hi + BHi, V = S - Hi;
  const double E = (Hi - (S - V)) + (BHi - V) + Lo + BLo;
  Hi = S + E;
  Lo = E - (Hi - S);
}

// Lower half of the coefficients of the Gaussian binomial [n1 + n2 choose n1], built as
// prod_{i=1..m} (1 - q^(n+i)) / (1 - q^i); the partial product after step i is [n + i choose i],
// of degree n i and zero above. The division by (1 - q^i) undoes near-cancellations of the
// multiplication: in doubles the counts lose about 1e12 times the rounding at (500, 500), so
// they are carried in double-double (about 32 digits), which leaves them correctly rounded.
// The last table is kept per thread: the tails and quantiles of one pair of sizes share it.
const TUDistri& UCounts(int32_t n1, int32_t n2) {
  thread_local TUDistri D;
  const int32_t M = std::min(n1, n2), N = std::max(n1, n2);
  if (D.M == M && D.N == N) return D;
  D.M = D.N = 0;  // marks the table incomplete until it is built
  D.MN = static_cast<int64_t>(M) * N;
  const int64_t H = D.MN / 2;
  std::vector<double> Hi(static_cast<size_t>(H + 1), 0.0), Lo(static_cast<size_t>(H + 1), 0.0);
  Hi[0] = 1.0;
  for (int64_t I = 1; I <= M; ++I) {
    const int64_t Top = std::min<int64_t>(H, N * I), S = N + I;
    for (int64_t K = Top; K >= S; --K) AddDD(Hi[K], Lo[K], -Hi[K - S], -Lo[K - S]);
    for (int64_t K = I; K <= Top; ++K) AddDD(Hi[K], Lo[K], Hi[K - I], Lo[K - I]);
  }
  // Running sums, also in double-double; the total is twice the lower half less the middle.
  D.Cum.assign(static_cast<size_t>(H + 1), 0.0);
  double SHi = 0.0, SLo = 0.0;
  for (int64_t K = 0; K <= H; ++K) {
    AddDD(SHi, SLo, Hi[K], Lo[K]);
    D.Cum[K] = SHi + SLo;
  }
  double THi = 2.0 * SHi, TLo = 2.0 * SLo;
  if (D.MN % 2 == 0) AddDD(THi, TLo, -Hi[H], -Lo[H]);
  D.Total = THi + TLo;
  for (double& C : D.Cum) C /= D.Total;
  D.Counts = std::move(Hi);
  D.M = M;
  D.N = N;
  return D;
}

bool UExact(int32_t n1, int32_t n2) { return static_cast<int64_t>(n1) + n2 <= UDistriExactLimit; }

// Normal approximation with continuity correction: P(U <= u) and P(U > u).
void UApprox(int32_t n1, int32_t n2, double u, double& Lower, double& Upper) {
  const double M = n1, N = n2;
  const double Mu = M * N / 2.0, Sigma = std::sqrt(M * N * (M + N + 1.0) / 12.0);
  const double Z = (u + 0.5 - Mu) / Sigma;
  Lower = NormalLower(Z);
  Upper = NormalUpper(Z);
}

// P(U <= u) and P(U > u) for any u.
void UTails(int32_t n1, int32_t n2, int64_t u, double& Lower, double& Upper) {
  const int64_t MN = static_cast<int64_t>(n1) * n2;
  if (u < 0) {
    Lower = 0.0;
    Upper = 1.0;
    return;
  }
  if (u >= MN) {
    Lower = 1.0;
    Upper = 0.0;
    return;
  }
  if (!UExact(n1, n2)) {
    UApprox(n1, n2, static_cast<double>(u), Lower, Upper);
    return;
  }
  const TUDistri& D = UCounts(n1, n2);
  // Symmetry: P(U > u) = P(U <= MN - u - 1); take whichever side lies in the stored half.
  if (u <= MN / 2) {
    Lower = D.Cum[u];
    Upper = 1.0 - Lower;
  } else {
    Upper = D.Cum[MN - u - 1];
    Lower = 1.0 - Upper;
  }
}

}  // namespace

double UDistriDensity(int32_t n1, int32_t n2, int32_t u) {
  if (n1 < 1 || n2 < 1) return NaN;
  const int64_t MN = static_cast<int64_t>(n1) * n2;
  if (u < 0 || u > MN) return 0.0;
  if (!UExact(n1, n2)) {
    double L1, U1, L0, U0;
    UApprox(n1, n2, u, L1, U1);
    UApprox(n1, n2, u - 1.0, L0, U0);
    return u <= MN / 2 ? L1 - L0 : U0 - U1;
  }
  const TUDistri& D = UCounts(n1, n2);
  const int64_t K = u <= MN / 2 ? u : MN - u;
  return D.Counts[K] / D.Total;
}

double UDistriIntegral(int32_t n1, int32_t n2, int32_t u) {
  if (n1 < 1 || n2 < 1) return NaN;
  double L, U;
  UTails(n1, n2, u, L, U);
  return L;
}

double UDistriIntegralUpper(int32_t n1, int32_t n2, int32_t u) {
  if (n1 < 1 || n2 < 1) return NaN;
  double L, U;
  UTails(n1, n2, u, L, U);
  return U;
}

double UDistriQuantile(int32_t n1, int32_t n2, double p) {
  if (n1 < 1 || n2 < 1 || !(p >= 0.0 && p <= 1.0)) return NaN;
  const int64_t MN = static_cast<int64_t>(n1) * n2;
  const bool Up = p > 0.5;
  auto Reached = [&](double Lower, double Upper) {
    return Up ? Upper <= (1.0 - p) * (1.0 + DiscreteFuzz) : Lower >= p * (1.0 - DiscreteFuzz);
  };
  if (!UExact(n1, n2)) {
    return static_cast<double>(FirstReached(0, MN, [&](int64_t Mid) {
      double L, U;
      UApprox(n1, n2, static_cast<double>(Mid), L, U);
      return Reached(L, U);
    }));
  }
  const TUDistri& D = UCounts(n1, n2);
  const int64_t H = MN / 2;
  // The upper half follows by symmetry.
  const std::vector<double>& Cum = D.Cum;
  auto Tails = [&](int64_t u, double& L, double& U) {
    if (u >= MN) {
      L = 1.0;
      U = 0.0;
    } else if (u <= H) {
      L = Cum[u];
      U = 1.0 - L;
    } else {
      U = Cum[MN - u - 1];
      L = 1.0 - U;
    }
  };
  return static_cast<double>(FirstReached(0, MN, [&](int64_t Mid) {
    double L, U;
    Tails(Mid, L, U);
    return Reached(L, U);
  }));
}

// ---------------------------------------------------------------- Shapiro-Wilk

double ShapiroWilkIntegral(double w, int32_t n, int32_t n1) {
  if (std::isnan(w) || n < 3) return NaN;
  if (n1 == 0) n1 = n;
  if (n1 < 3 || n1 > n) return NaN;
  const double An = n;
  const double Delta = (n - n1) / An;
  if (Delta > 0.8) return NaN;
  if (w >= 1.0) return 1.0;
  if (w <= 0.0) return 0.0;
  // Royston's normalising transformation, coefficients as published (P. Royston, Statistics and
  // Computing 2 (1992) 117-119; censoring: Applied Statistics 44 (1995), algorithm AS R94);
  // it matches the same transformation evaluated at 50 digits to 4e-15.
  if (n == 3) {
    // Exact: 6/pi (asin sqrt(w) - asin sqrt(3/4)).
    return std::max(6.0 / M_PI * (std::asin(std::sqrt(w)) - M_PI / 3.0), 0.0);
  }
  auto Poly = [](const double* C, int Nord, double X) {
    double R = C[Nord - 1];
    for (int I = Nord - 2; I >= 0; --I) R = R * X + C[I];
    return R;
  };
  static constexpr double G[2] = {-2.273, 0.459};
  static constexpr double C3[4] = {0.544, -0.39978, 0.025054, -6.714e-4};
  static constexpr double C4[4] = {1.3822, -0.77857, 0.062767, -0.0020322};
  static constexpr double C5[4] = {-1.5861, -0.31082, -0.083751, 0.0038915};
  static constexpr double C6[3] = {-0.4803, -0.082676, 0.0030302};
  static constexpr double C7[2] = {0.164, 0.533};
  static constexpr double C8[2] = {0.1736, 0.315};
  static constexpr double C9[2] = {0.256, -0.00635};
  double Y = std::log1p(-w);
  const double Xx = std::log(An);
  double M, S;
  if (n <= 11) {
    const double Gamma = Poly(G, 2, An);
    if (Y >= Gamma) return 0.0;
    Y = -std::log(Gamma - Y);
    M = Poly(C3, 4, An);
    S = std::exp(Poly(C4, 4, An));
  } else {
    M = Poly(C5, 4, Xx);
    S = std::exp(Poly(C6, 3, Xx));
  }
  if (n1 < n) {
    // Censoring: shift and scale the normalising transform by regressing the corrected
    // 90, 95 and 99% points on the uncorrected ones.
    constexpr double Z90 = 1.2816, Z95 = 1.6449, Z99 = 2.3263, Zm = 1.7509, Zss = 0.56268;
    const double Ld = -std::log(Delta), Bf = 1.0 + Xx * 0.8;
    const double Z90f = Z90 + Bf * std::pow(Poly(C7, 2, std::pow(0.556, Xx)), Ld);
    const double Z95f = Z95 + Bf * std::pow(Poly(C8, 2, std::pow(0.622, Xx)), Ld);
    const double Z99f = Z99 + Bf * std::pow(Poly(C9, 2, Xx), Ld);
    const double Zfm = (Z90f + Z95f + Z99f) / 3.0;
    const double Zsd = (Z90 * (Z90f - Zfm) + Z95 * (Z95f - Zfm) + Z99 * (Z99f - Zfm)) / Zss;
    const double Zbar = Zfm - Zsd * Zm;
    M += Zbar * S;
    S *= Zsd;
  }
  return NormalUpper((Y - M) / S);
}

}  // namespace nux
