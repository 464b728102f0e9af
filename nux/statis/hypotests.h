// Hypothesis tests on samples: outliers, normality, runs, signed ranks, Durbin-Watson, equal
// variances, one-way analysis of variance, Friedman, the sign test, binned distributions,
// correlation, the Theil-Sen line, t, F, chi-square, Mann-Whitney, Siegel-Tukey, Shapiro-Wilk,
// skewness and kurtosis tests, a kernel density estimate and ranks.
//
// p-values are upper tails taken from the distributions' ...IntegralUpper forms, so a p of 1e-30
// is reported as such. Rejections are negative status codes (or a negative number in place of a
// probability); outputs start at 0 and stay there on a rejection. NaN or infinite values in the
// data are rejected where a routine has a status; docs/hypothesis_tests.md lists every code and
// the conventions of the tests (tails, ties, continuity corrections).
#pragma once

#include <cstdint>

#include "nux/frame/dstruct.h"
#include "nux/frame/types.h"
#include "nux/statis/gammabeta.h"

namespace nux {

class TVector;
class TIntVector;
class TMatrix;

// Kind of two-sample t-test: paired, equal variances (pooled), unequal variances (Welch).
enum TtTestVersion : int32_t { ttPaired, ttHomoScedastic, ttHeteroScedastic };

// ---------------------------------------------------------------- outliers

// Critical Dean-Dixon ratio for n = 3 .. 100 values at the level; -1 otherwise.
double DeanDixonCriticalValues(int32_t n, TSignifLevelEx level);
// Dean-Dixon outlier test: zero-based index of the outlier or -1; -2 (Q NaN) when a value is NaN
// or infinite. Raises ENUXStatisError for fewer than 3 or more than 100 values.
int32_t DeanDixonTest(const TDoubleArray& data, TSignifLevelEx level, double& Q);
// The same on a vector; the index is one-based.
int32_t DeanDixonTest(const TVector& data, TSignifLevelEx level, double& Q);

// Critical Grubbs statistic for n values; -1 unless 0 < alpha < 1 and n > 2.
double GrubbsCriticalValues(int32_t n, double alpha, bool twoSided);
// Two-sided Grubbs test: 0, -1 alpha outside (0, 1), -2 fewer than 4 values, -3 a NaN or
// infinite value. Index (zero-based) of the outlier or -1.
int32_t GrubbsTest(const TDoubleArray& data, double alpha, double& G, int32_t& index);
// The same on a vector; the index is one-based.
int32_t GrubbsTest(const TVector& data, double alpha, double& G, int32_t& index);

// ---------------------------------------------------------------- regression diagnostics

// Durbin-Watson d of residuals; 2 for n <= 2, 0 when all residuals are 0.
double DurbinWatson(const TDoubleArray& residuals);
// 5 % bounds dL and dU for n observations and k regressors besides the constant; false (outputs
// untouched) when n - k < 5, k < 1, k > 20, n < 5 or n > 2000.
bool DurbinWatsonCrit5pct(int32_t n, int32_t k, double& dL, double& dU);
// Akaike's information criterion n ln(rss / n) + 2k.
double AkaikeInfCrit(int32_t n, int32_t k, double rss);

// Theil-Sen line through (x, y), x monotone: 0; -4 for fewer than 10 points (estimates still
// computed); -1 n <= 2, -2 x of another length, -3 x not monotone, -5 more than
// TheilSenMaxPoints points, -6 a NaN or infinite y (outputs untouched on these).
int32_t TheilSenEstimator(const TDoubleArray& x, const TDoubleArray& y, double& Slope,
                          double& Intercept, double& SlopeLow, double& SlopeHigh,
                          double& InterceptLow, double& InterceptHigh);
// Largest number of points TheilSenEstimator takes (its pairwise slopes are held in memory).
inline constexpr int32_t TheilSenMaxPoints = 5000;

// ---------------------------------------------------------------- variances and groups

// Bartlett's test of equal variances over the first sizes[i] values of groups[i]: the p-value,
// or -1 lengths differ, -2 a size below 6, -3 a size beyond its group, -4 fewer than 2 groups,
// -5 a NaN or infinite value. chi2 is 0 on a rejection.
double BartlettTest(const TDouble2DArray& groups, const TIntArray& sizes, double& chi2);
// Levene's test (deviations from the group means): the p-value, or -1 fewer than 2 groups,
// -2 as many groups as values, -3 no spread at all (F = 0), -4 lengths differ, -5 NaN data.
double LeveneTest(const TVector& values, const TIntVector& labels, double& F);
// One-way analysis of variance: the p-value of F, codes as LeveneTest.
double Anova1F(const TVector& values, const TIntVector& labels, double& SSBetween, double& SSWithin,
               double& SSTotal, int32_t& DFBetween, int32_t& DFWithin, int32_t& DFTotal, double& F);
// Friedman's test, treatments in columns, blocks in rows: the p-value, or -1 fewer than 3
// columns, -2 no rows, -3 NaN data. Rows tied throughout give chi2 = 0 and p = 1.
double FriedmanTest(const TMatrix& data, double& chi2);
// Ranks 1..n of data in input order (ties get their mean rank) into ranks, resized to n;
// returns the tie sum over all tie groups of sum (t^3 - t). NaN elements rank last.
double CalcRanks(const TVector& data, TVector& ranks);

// ---------------------------------------------------------------- counts and proportions

// Probability of exactly as many true signs under success probability p; -1 fewer than 3
// signs, -2 p outside [0, 1].
double BinomSignTest(const TBoolArray& signs, double p);
// Chi-square comparison of two histograms over the same bins: 0, -1 lengths differ, -2 an
// empty one, -3 a zero total (later checks win). See the notes for the merging of bins.
int32_t PerformChi2DistComp(const TIntArray& bins1, const TIntArray& bins2, double& chi2, double& p,
                            int32_t& df, int32_t& n1, int32_t& n2);

// ---------------------------------------------------------------- normality

// Kolmogorov-Smirnov distance of standardised data to the normal distribution (sorts the data
// unless presorted); -1 for no data or a NaN value. p-value: KSPValue(n, D).
double PerformKSNormalityTest(TDoubleArray& data, bool presorted);
double PerformKSNormalityTest(TVector& data, bool presorted);
// Lilliefors statistic: sorts and standardises the data in place; -1 for no data or a NaN
// value. p-value: LillieforsPValue(n, D).
double PerformLillieforsTest(TDoubleArray& data, bool presorted);
double PerformLillieforsTest(TVector& data, bool presorted);
// Shapiro-Wilk W and its p-value; the N1 smallest values are observed, the rest censored from
// above (0 or n: complete). 0, -1 fewer than 3 values, -2 N1 outside 3..n or more than 80 %
// censored, -3 a NaN or infinite value, -4 all values equal (W = 1, p = 1).
int32_t ShapiroWilkTest(const TDoubleArray& data, int32_t N1, double& W, double& P);
int32_t ShapiroWilkTest(const TVector& data, int32_t N1, double& W, double& P);
// D'Agostino's test of the skewness (n >= 8): the biased sample skewness, its normal score Z
// and p (two-sided, or the tail in the observed direction when oneSided). 0, -1 too few values,
// -3 NaN data, -4 all values equal (skewness 0, Z 0, p 1).
int32_t CalcAndTestSkewness(const TDoubleArray& data, bool oneSided, double& Skewness, double& Z,
                            double& P);
// Anscombe and Glynn's test of the kurtosis (n >= 5): the excess kurtosis (biased), Z and p;
// codes as CalcAndTestSkewness.
int32_t CalcAndTestKurtosis(const TDoubleArray& data, bool oneSided, double& Kurtosis, double& Z,
                            double& P);

// ---------------------------------------------------------------- correlation

// Pearson correlation; 0, -1 n < 3, -2 lengths differ, -4 a NaN or infinite value. r = 0
// without spread.
int32_t PearsonCorrCoeff(const TDoubleArray& x, const TDoubleArray& y, double& r);
// Test of rho = rho0: p is the upper tail P(T > |t|) with n - 2 degrees of freedom (one-sided);
// codes as PearsonCorrCoeff and -3 rho0 outside [-1, 1] or NaN.
int32_t CorrTest(const TDoubleArray& x, const TDoubleArray& y, double rho0, double& r, double& p);
// Gini coefficient sum |x_i - x_j| / (2 n sum x); 0 for an empty array or a zero sum.
double GiniCoeff(const TDoubleArray& data);

// ---------------------------------------------------------------- signed ranks, runs

// Critical signed-rank sum for n non-zero differences: exact at the two-sided levels 0.1, 0.05,
// 0.02, 0.01, 0.001 for n <= 100, interpolated in ln alpha between them; -1 for n <= 7,
// n > 1000000 or alpha outside [5e-4, 0.2].
int32_t WilcoxonSRQuantile(int32_t n, double alpha, bool twoSided);
// Wilcoxon signed-rank test of paired samples: 0, -1 fewer than 8 values, -2 lengths differ,
// -3 alpha outside (0, 1], -4 fewer than 8 non-zero differences (WPlus and MedianDiff set),
// -5 NaN data.
int32_t WilcoxonSignedRankTest(const TDoubleArray& x, const TDoubleArray& y, double alpha,
                               bool oneSided, double& MedianDiff, double& WPlus, double& TLow,
                               double& THigh);
// Element of rank round(percent m / 100) of data[first..last] (NaN left out): 0, -1 bound
// outside the array, -3 last < first, -2 percent outside [0, 100], -4 only NaNs.
int32_t PercentileOfArray(const TDoubleArray& data, double percent, int32_t first, int32_t last,
                          double& value);
// P(number of runs <= runs) for n1 and n2 entries of two kinds; 1 when either count is 0.
double ExactRunsTest(int32_t n1, int32_t n2, int32_t runs);
// Runs test of a two-valued sequence: true when p < 0.05. p is P(runs <= r) exactly while both
// kinds number at most 25, else the normal tail in the observed direction. A sequence of one
// kind only (or none) gives p = 1.
bool RunsTest(const TBitFld& bits, double& p);
bool RunsTest(const TBoolArray& bits, double& p);
// Runs above and below the median; NaN values are left out. p = -1 and false without values.
bool RunsTestSerial(const TVector& data, double& p);
bool RunsTestSerial(const TDoubleArray& data, double& p);

// ---------------------------------------------------------------- location and scale

// One-sample t-test of mean = mu: 0, -1 fewer than 2 values, -3 NaN data. P is two-sided or,
// with oneSided, the tail in the direction of the observed mean.
int32_t Perform1SampleTTest(const TDoubleArray& data, double mu, bool oneSided, double& T,
                            double& P, double& Mean, int32_t& DF);
int32_t Perform1SampleTTest(const TVector& data, double mu, bool oneSided, double& T, double& P,
                            double& Mean, int32_t& DF);
// Two-sample t-test (paired, pooled or Welch): 0, -1 too few values, -2 paired samples of
// different lengths, -3 NaN data. DF is fractional for Welch; NUsed counts pairs or values.
int32_t Perform2SampleTTest(const TDoubleArray& x, const TDoubleArray& y, TtTestVersion version,
                            bool oneSided, double& T, double& P, double& DF, double& Mean1,
                            double& Mean2, double& StdDev1, double& StdDev2, int32_t& NUsed);
int32_t Perform2SampleTTest(const TVector& x, const TVector& y, TtTestVersion version,
                            bool oneSided, double& T, double& P, double& DF, double& Mean1,
                            double& Mean2, double& StdDev1, double& StdDev2, int32_t& NUsed);
// The p-value alone, or the negative status.
double Perform2SampleTTest(const TVector& x, const TVector& y, TtTestVersion version,
                           bool oneSided);
// F-test of equal variances, F = Var1 / Var2: 0, -1 fewer than 2 values in a sample, -3 NaN
// data. FCrit is the 5 % critical F of the same sidedness.
int32_t PerformFTest(const TDoubleArray& data1, const TDoubleArray& data2, bool oneSided, double& F,
                     double& P, double& Var1, double& Var2, double& FCrit, int32_t& DF1,
                     int32_t& DF2);
// Chi-square test of variance = sigma^2: 0, -1 fewer than 2 values, -2 sigma <= 0 or not
// finite, -3 NaN data.
int32_t Perform1SampleChi2Test(const TDoubleArray& data, double sigma, bool oneSided, double& Chi2,
                               double& P, double& Variance, int32_t& DF);
// Mann-Whitney U test: the p-value (two-sided, or the observed direction's tail), or -1 an
// empty sample, -3 NaN data. U counts the pairs with the first sample's value larger (ties 1/2).
double PerformMannWhitneyUTest(const TDoubleArray& x, const TDoubleArray& y, bool oneSided,
                               double& U);
double PerformMannWhitneyUTest(const TVector& x, const TVector& y, bool oneSided, double& U);
// Siegel-Tukey test of equal spread: the two-sided p-value, codes as the Mann-Whitney test;
// U is the first sample's U on the Siegel-Tukey ranks.
double PerformSiegelTukeyTest(const TDoubleArray& data1, const TDoubleArray& data2, double& U);

// ---------------------------------------------------------------- density

// Adaptive Gaussian kernel density of data (sorted in place) on steps + 1 points from x1 to
// x2: 0, -1 steps outside 10 .. 10000, -2 factor <= 0 (wins over -1), -3 NaN or infinite data
// or bounds, -4 window <= 0. MinIx and MaxIx are one-based.
int32_t EstimateProbDensity(TVector& data, TVector& density, double x1, double x2, double factor,
                            double window, int32_t steps, int32_t& MinIx, int32_t& MaxIx,
                            const TOnPercentDoneEvent& progress);

}  // namespace nux
