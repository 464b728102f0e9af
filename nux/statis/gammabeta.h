// Special functions: ln Gamma, the regularised incomplete gamma and beta functions, binomial
// coefficients, the error function, Fisher's z-transformation, Fisher's quotient and the
// significance-level tables shared by the tests.
#pragma once

#include <array>
#include <cstdint>

namespace nux {

// Significance levels 0.20, 0.15, 0.10, 0.05, 0.01 (values in NUMERICSIGNIFLEVEL).
enum TSignifLevel : int32_t { Dot20, Dot15, Dot10, Dot05, Dot01 };
// Significance levels 0.001 to 0.5 (values in NUMERICSIGLEVEL).
enum TSignifLevelEx : int32_t {
  Dot001,
  Dot002,
  Dot005,
  Dot010,
  Dot020,
  Dot050,
  Dot100,
  Dot200,
  Dot500
};

// The levels of TSignifLevel, by ordinal.
inline constexpr std::array<double, 5> NUMERICSIGNIFLEVEL = {0.20, 0.15, 0.10, 0.05, 0.01};
// The levels of TSignifLevelEx, by ordinal.
inline constexpr std::array<double, 9> NUMERICSIGLEVEL = {0.001, 0.002, 0.005, 0.01, 0.02,
                                                          0.05,  0.1,   0.2,   0.5};

// ln Gamma(x) by a six-term series (relative accuracy about 2e-10); 0 for x <= 0 or NaN,
// +inf for +inf.
double LnGamma(double x);

// Regularised lower incomplete gamma P(a, x), shape second; tolerance 1e-8. 0 for x <= 0,
// a <= 0 or NaN; 1 for x = +inf with finite a.
double IncompleteGamma(double x, double a);
// The complement Q(a, x) = 1 - P(a, x), formed without the subtraction where P is near 1
// (the far upper tail); same tolerance and iteration. 1 for x <= 0, 0 for a <= 0 or NaN.
double IncompleteGammaUpper(double x, double a);

// Regularised incomplete beta I_x(a, b); tolerance 1e-8. 0 for x < 0, 1 for x > 1;
// 0 for a <= 0, b <= 0 or a NaN argument; an infinite shape gives the limit (NaN if both are).
double IncompleteBeta(double x, double a, double b);
// ln B(a, b); 0 unless a >= 0 and b >= 0; -inf if one shape is +inf and the other positive.
double LnBeta(double a, double b);

// Exact binomial coefficient; 0 for n < 0, k < 0 or n < k; -1 when it exceeds 2147483647.
int32_t BinomCoeff(int32_t n, int32_t k);
// ln of the binomial coefficient; -1 for n < 0, k < 0 or n < k.
double LnBinomCoeff(int32_t n, int32_t k);

// Error function through IncompleteGamma (tolerance 1e-8), 2x / sqrt(pi) below 1e-150;
// NaN gives 0.
double Erf(double x);
// Error function by a rational approximation (absolute error about 1.2e-7).
double ErfApprox(double x);

// z = atanh r; raises ENUXStatisError "FisherTransform: argument out of range" unless -1 < r < 1.
double FisherTransform(double r);
// r = tanh z.
double FisherTransformInv(double z);

// (mean1 - mean2)^2 / max(sd1^2 + sd2^2, 1e-6).
double CalcFishQ(double mean1, double mean2, double sd1, double sd2);

}  // namespace nux
