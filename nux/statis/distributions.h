// Probability distributions: normal, Weibull, hypergeometric, chi-square, F, Student's t,
// binomial, the Mann-Whitney U statistic and the p-value of the Shapiro-Wilk W.
//
// Integral functions give the lower tail P(X <= x); the ...Upper forms give P(X > x) directly,
// for upper-tail p-values far out where 1 minus the integral has lost its digits. Quantile
// functions invert the integral. Invalid parameters (degrees of freedom or sample sizes below 1,
// a probability outside its range) and NaN arguments give NaN unless stated otherwise; see
// docs/distributions.md for the full list.
#pragma once

#include <cstdint>

namespace nux {

// Standard normal distribution (the integral and quantile work to a relative 1e-8).
double nDistriDensity(double x);
double nDistriIntegral(double x);       // NaN gives NaN
double nDistriIntegralUpper(double x);  // P(Z > x) = nDistriIntegral(-x)
double nDistriQuantile(double p);       // 0 unless 0 < p < 1; 1e-8 of the smaller tail

// Weibull density with shape and scale; 0 for x <= 0, scale <= 0, shape <= 0 or NaN, and at
// the limits x = +inf or scale = +inf.
double WeibullDensity(double x, double shape, double scale);

// Probability of k successes in nsample draws without replacement from npop items of which
// round(p * npop) are successes. Raises ENUXStatisError for invalid p, npop or nsample.
double HyperGeoDistriDensity(double p, int32_t npop, int32_t nsample, int32_t k);

// Half-width of the two-sided normal confidence interval (level 1 - alpha) of a mean of n
// values with standard deviation sigma; 0 for n < 1 or alpha outside (0, 2).
double ConfidenceInterval(double alpha, double sigma, int32_t n);

// Chi-square with df degrees of freedom.
double Chi2DistriDensity(double x, int32_t df);
// Chi-square P(X <= x); 0 for x <= 0.
double chi2DistriIntegral(double x, int32_t df);
// Chi-square P(X > x); 1 for x <= 0.
double chi2DistriIntegralUpper(double x, int32_t df);
// Chi-square x with P(X <= x) = p; 0 for p = 0, +inf for p = 1.
double chi2DistriQuantile(double p, int32_t df);

// F with df1 (numerator) and df2 (denominator) degrees of freedom.
double FDistriDensity(double x, int32_t df1, int32_t df2);
// F P(X <= x); 0 for x <= 0.
double FDistriIntegral(double x, int32_t df1, int32_t df2);
// F P(X > x); 1 for x <= 0.
double FDistriIntegralUpper(double x, int32_t df1, int32_t df2);
// F x with P(X <= x) = p; 0 for p = 0, +inf for p = 1.
double FDistriQuantile(double p, int32_t df1, int32_t df2);

// Student's t with df degrees of freedom.
double tDistriDensity(double x, int32_t df);
// Student's t P(T <= x).
double tDistriIntegral(double x, int32_t df);
// Student's t P(T > x).
double tDistriIntegralUpper(double x, int32_t df);
// Student's t x with P(T <= x) = p; -inf for p = 0, +inf for p = 1.
double tDistriQuantile(double p, int32_t df);

// Binomial: n trials with success probability p; k successes.
double BinomDistriDensity(int32_t n, double p, int32_t k);        // P(X = k)
double BinomDistriIntegral(int32_t n, double p, int32_t k);       // P(X <= k)
double BinomDistriIntegralUpper(int32_t n, double p, int32_t k);  // P(X > k)
// Smallest k with P(X <= k) >= prob, returned as a double; Cumulative receives P(X <= k).
double BinomDistriQuantile(int32_t n, double p, double prob, double& Cumulative);

// Mann-Whitney U for samples of n1 and n2 values without ties (U counts the pairs in which the
// first sample's value is the larger). Exact for n1 + n2 <= UDistriExactLimit, otherwise a
// normal approximation with continuity correction.
inline constexpr int32_t UDistriExactLimit = 1000;
double UDistriDensity(int32_t n1, int32_t n2, int32_t u);        // P(U = u)
double UDistriIntegral(int32_t n1, int32_t n2, int32_t u);       // P(U <= u)
double UDistriIntegralUpper(int32_t n1, int32_t n2, int32_t u);  // P(U > u)
double UDistriQuantile(int32_t n1, int32_t n2, double p);        // smallest u with P(U <= u) >= p

// p-value P(W <= w) of the Shapiro-Wilk statistic w of n values (3 <= n), of which the n1
// smallest are observed and the rest censored from above (n1 = n or n1 = 0: complete sample).
double ShapiroWilkIntegral(double w, int32_t n, int32_t n1);

}  // namespace nux
