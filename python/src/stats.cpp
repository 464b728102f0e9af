// nux.stats: distributions under scipy-style names and the library's own names, and the
// hypothesis tests with named results.
#include <cmath>
#include <limits>

#include "common.h"

namespace nuxpy {

namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();

// A scalar function and its element-wise form over arrays, under one name.
template <class F, class... Extra>
void Both(py::module_& m, const char* Name, F f, const Extra&... extra) {
  m.def(Name, f, extra...);
  m.def(Name, py::vectorize(f), extra...);
}

std::vector<double> Sample(const py::handle& X, const char* Routine) {
  return ToDoubles(X, Routine);
}

// The groups of a k-sample test: a list of 1-D arrays as values and 1-based labels.
void Groups(const py::args& Gs, const char* Routine, nux::TVector& Values,
            nux::TIntVector& Labels) {
  if (Gs.size() < 2) throw py::value_error(std::string(Routine) + ": at least two groups");
  std::vector<double> v;
  std::vector<int32_t> l;
  int32_t k = 0;
  for (auto g : Gs) {
    ++k;
    auto d = ToDoubles(g, Routine);
    v.insert(v.end(), d.begin(), d.end());
    l.insert(l.end(), d.size(), k);
  }
  if (v.empty()) throw py::value_error(std::string(Routine) + ": no values");
  Values.SetValues(v);
  Labels.SetValues(l);
}

}  // namespace

void InitStats(py::module_& top) {
  py::module_ m =
      top.def_submodule("stats",
                        "Distributions (scipy-style objects norm, t, chi2, f, binom, ... and the "
                        "library's own function names) and hypothesis tests with named results.");
  using namespace py::literals;

  // ---- the library's names, scalar or element-wise over arrays ----
  Both(m, "nDistriDensity", &nux::nDistriDensity, "x"_a, "Standard normal density.");
  Both(m, "nDistriIntegral", &nux::nDistriIntegral, "x"_a, "Standard normal P(Z <= x).");
  Both(m, "nDistriIntegralUpper", &nux::nDistriIntegralUpper, "x"_a, "Standard normal P(Z > x).");
  Both(m, "nDistriQuantile", &nux::nDistriQuantile, "p"_a,
       "Standard normal quantile; 0 unless 0 < p < 1.");
  Both(m, "WeibullDensity", &nux::WeibullDensity, "x"_a, "shape"_a, "scale"_a,
       "Weibull density; 0 for x <= 0 or invalid parameters.");
  Both(m, "HyperGeoDistriDensity", &nux::HyperGeoDistriDensity, "p"_a, "npop"_a, "nsample"_a, "k"_a,
       "P(k successes in nsample draws from npop items, round(p npop) of them successes).");
  Both(m, "ConfidenceInterval", &nux::ConfidenceInterval, "alpha"_a, "sigma"_a, "n"_a,
       "Half-width of the two-sided normal confidence interval of a mean.");
  Both(m, "Chi2DistriDensity", &nux::Chi2DistriDensity, "x"_a, "df"_a, "Chi-square density.");
  Both(m, "chi2DistriIntegral", &nux::chi2DistriIntegral, "x"_a, "df"_a, "Chi-square P(X <= x).");
  Both(m, "chi2DistriIntegralUpper", &nux::chi2DistriIntegralUpper, "x"_a, "df"_a,
       "Chi-square P(X > x).");
  Both(m, "chi2DistriQuantile", &nux::chi2DistriQuantile, "p"_a, "df"_a,
       "Chi-square x with P(X <= x) = p.");
  Both(m, "FDistriDensity", &nux::FDistriDensity, "x"_a, "df1"_a, "df2"_a, "F density.");
  Both(m, "FDistriIntegral", &nux::FDistriIntegral, "x"_a, "df1"_a, "df2"_a, "F P(X <= x).");
  Both(m, "FDistriIntegralUpper", &nux::FDistriIntegralUpper, "x"_a, "df1"_a, "df2"_a,
       "F P(X > x).");
  Both(m, "FDistriQuantile", &nux::FDistriQuantile, "p"_a, "df1"_a, "df2"_a,
       "F x with P(X <= x) = p.");
  Both(m, "tDistriDensity", &nux::tDistriDensity, "x"_a, "df"_a, "Student's t density.");
  Both(m, "tDistriIntegral", &nux::tDistriIntegral, "x"_a, "df"_a, "Student's t P(T <= x).");
  Both(m, "tDistriIntegralUpper", &nux::tDistriIntegralUpper, "x"_a, "df"_a,
       "Student's t P(T > x).");
  Both(m, "tDistriQuantile", &nux::tDistriQuantile, "p"_a, "df"_a,
       "Student's t x with P(T <= x) = p.");
  Both(m, "BinomDistriDensity", &nux::BinomDistriDensity, "n"_a, "p"_a, "k"_a,
       "Binomial P(X = k).");
  Both(m, "BinomDistriIntegral", &nux::BinomDistriIntegral, "n"_a, "p"_a, "k"_a,
       "Binomial P(X <= k).");
  Both(m, "BinomDistriIntegralUpper", &nux::BinomDistriIntegralUpper, "n"_a, "p"_a, "k"_a,
       "Binomial P(X > k).");
  m.def(
      "BinomDistriQuantile",
      [](int32_t n, double p, double prob) {
        double cum = 0;
        double k = nux::BinomDistriQuantile(n, p, prob, cum);
        return py::make_tuple(k, cum);
      },
      "n"_a, "p"_a, "prob"_a, "(smallest k with P(X <= k) >= prob, P(X <= k)).");
  Both(m, "UDistriDensity", &nux::UDistriDensity, "n1"_a, "n2"_a, "u"_a, "Mann-Whitney P(U = u).");
  Both(m, "UDistriIntegral", &nux::UDistriIntegral, "n1"_a, "n2"_a, "u"_a,
       "Mann-Whitney P(U <= u).");
  Both(m, "UDistriIntegralUpper", &nux::UDistriIntegralUpper, "n1"_a, "n2"_a, "u"_a,
       "Mann-Whitney P(U > u).");
  Both(m, "UDistriQuantile", &nux::UDistriQuantile, "n1"_a, "n2"_a, "p"_a,
       "Smallest u with P(U <= u) >= p.");
  Both(m, "ShapiroWilkIntegral", &nux::ShapiroWilkIntegral, "w"_a, "n"_a, "n1"_a,
       "p-value P(W <= w) of the Shapiro-Wilk statistic of n values (n1 observed).");
  Both(m, "KSPValue", &nux::KSPValue, "n"_a, "d"_a,
       "P(D_n > d) of the one-sample Kolmogorov-Smirnov distance.");
  Both(m, "LillieforsPValue", &nux::LillieforsPValue, "n"_a, "d"_a,
       "p-value of the Lilliefors statistic d (approximation).");

  // ---- scipy-style distribution objects: nux.stats.t.cdf(x, df) ----
  auto norm = m.def_submodule("norm", "Standard normal distribution.");
  Both(
      norm, "pdf", [](double x) { return nux::nDistriDensity(x); }, "x"_a, "Density.");
  Both(
      norm, "cdf", [](double x) { return nux::nDistriIntegral(x); }, "x"_a, "P(Z <= x).");
  Both(
      norm, "sf", [](double x) { return nux::nDistriIntegralUpper(x); }, "x"_a, "P(Z > x).");
  Both(
      norm, "ppf", [](double p) { return nux::nDistriQuantile(p); }, "q"_a, "Quantile.");
  auto t = m.def_submodule("t", "Student's t distribution with df degrees of freedom.");
  Both(
      t, "pdf", [](double x, int32_t df) { return nux::tDistriDensity(x, df); }, "x"_a, "df"_a,
      "Density.");
  Both(
      t, "cdf", [](double x, int32_t df) { return nux::tDistriIntegral(x, df); }, "x"_a, "df"_a,
      "P(T <= x).");
  Both(
      t, "sf", [](double x, int32_t df) { return nux::tDistriIntegralUpper(x, df); }, "x"_a, "df"_a,
      "P(T > x).");
  Both(
      t, "ppf", [](double p, int32_t df) { return nux::tDistriQuantile(p, df); }, "q"_a, "df"_a,
      "Quantile.");
  auto chi2 = m.def_submodule("chi2", "Chi-square distribution with df degrees of freedom.");
  Both(
      chi2, "pdf", [](double x, int32_t df) { return nux::Chi2DistriDensity(x, df); }, "x"_a,
      "df"_a, "Density.");
  Both(
      chi2, "cdf", [](double x, int32_t df) { return nux::chi2DistriIntegral(x, df); }, "x"_a,
      "df"_a, "P(X <= x).");
  Both(
      chi2, "sf", [](double x, int32_t df) { return nux::chi2DistriIntegralUpper(x, df); }, "x"_a,
      "df"_a, "P(X > x).");
  Both(
      chi2, "ppf", [](double p, int32_t df) { return nux::chi2DistriQuantile(p, df); }, "q"_a,
      "df"_a, "Quantile.");
  auto f = m.def_submodule("f", "F distribution with dfn and dfd degrees of freedom.");
  Both(
      f, "pdf", [](double x, int32_t a, int32_t b) { return nux::FDistriDensity(x, a, b); }, "x"_a,
      "dfn"_a, "dfd"_a, "Density.");
  Both(
      f, "cdf", [](double x, int32_t a, int32_t b) { return nux::FDistriIntegral(x, a, b); }, "x"_a,
      "dfn"_a, "dfd"_a, "P(X <= x).");
  Both(
      f, "sf", [](double x, int32_t a, int32_t b) { return nux::FDistriIntegralUpper(x, a, b); },
      "x"_a, "dfn"_a, "dfd"_a, "P(X > x).");
  Both(
      f, "ppf", [](double p, int32_t a, int32_t b) { return nux::FDistriQuantile(p, a, b); }, "q"_a,
      "dfn"_a, "dfd"_a, "Quantile.");
  auto binom =
      m.def_submodule("binom", "Binomial distribution of n trials with success probability p.");
  Both(
      binom, "pmf", [](int32_t k, int32_t n, double p) { return nux::BinomDistriDensity(n, p, k); },
      "k"_a, "n"_a, "p"_a, "P(X = k).");
  Both(
      binom, "cdf",
      [](int32_t k, int32_t n, double p) { return nux::BinomDistriIntegral(n, p, k); }, "k"_a,
      "n"_a, "p"_a, "P(X <= k).");
  Both(
      binom, "sf",
      [](int32_t k, int32_t n, double p) { return nux::BinomDistriIntegralUpper(n, p, k); }, "k"_a,
      "n"_a, "p"_a, "P(X > k).");
  Both(
      binom, "ppf",
      [](double q, int32_t n, double p) {
        double c = 0;
        return nux::BinomDistriQuantile(n, p, q, c);
      },
      "q"_a, "n"_a, "p"_a, "Smallest k with P(X <= k) >= q.");
  auto weib = m.def_submodule("weibull_min", "Weibull distribution with shape c and scale.");
  Both(
      weib, "pdf",
      [](double x, double c, double scale) { return nux::WeibullDensity(x, c, scale); }, "x"_a,
      "c"_a, "scale"_a = 1.0, "Density.");
  auto hyper =
      m.def_submodule("hypergeom", "Hypergeometric distribution: M items, n successes, N drawn.");
  Both(
      hyper, "pmf",
      [](int32_t k, int32_t M, int32_t n, int32_t N) {
        if (M < 1) return NaN;
        return nux::HyperGeoDistriDensity(double(n) / double(M), M, N, k);
      },
      "k"_a, "M"_a, "n"_a, "N"_a, "P(k successes).");
  auto mwu = m.def_submodule("mannwhitney_u",
                             "Mann-Whitney U of samples of n1 and n2 values without ties.");
  Both(
      mwu, "pmf", [](int32_t u, int32_t n1, int32_t n2) { return nux::UDistriDensity(n1, n2, u); },
      "u"_a, "n1"_a, "n2"_a, "P(U = u).");
  Both(
      mwu, "cdf", [](int32_t u, int32_t n1, int32_t n2) { return nux::UDistriIntegral(n1, n2, u); },
      "u"_a, "n1"_a, "n2"_a, "P(U <= u).");
  Both(
      mwu, "sf",
      [](int32_t u, int32_t n1, int32_t n2) { return nux::UDistriIntegralUpper(n1, n2, u); }, "u"_a,
      "n1"_a, "n2"_a, "P(U > u).");

  // ---- hypothesis tests ----
  py::object TestResult = NamedTuple("TestResult");
  py::object TTestResult = NamedTuple("TTestResult");
  m.def(
      "ttest_1samp",
      [TTestResult](const py::handle& A, double Mu, bool OneSided) {
        auto a = Sample(A, "ttest_1samp");
        double T = 0, P = 0, Mean = 0;
        int32_t DF = 0;
        int32_t rc =
            Released([&] { return nux::Perform1SampleTTest(a, Mu, OneSided, T, P, Mean, DF); });
        if (rc == -1) RaiseStatus("ttest_1samp", rc, "fewer than 2 values");
        if (rc < 0) RaiseStatus("ttest_1samp", rc, "NaN or infinite data");
        return TTestResult(T, P, DF, Mean, NaN);
      },
      "a"_a, "popmean"_a, "one_sided"_a = false,
      "One-sample t-test of mean = popmean (Perform1SampleTTest): (statistic, pvalue, df, "
      "mean1, mean2=nan); p two-sided or the tail in the observed direction.");
  auto two_sample = [TTestResult](const char* Name, nux::TtTestVersion Ver) {
    return [TTestResult, Name, Ver](const py::handle& A, const py::handle& B, bool OneSided) {
      auto a = Sample(A, Name), b = Sample(B, Name);
      double T = 0, P = 0, DF = 0, M1 = 0, M2 = 0, S1 = 0, S2 = 0;
      int32_t n = 0;
      int32_t rc = Released([&] {
        return nux::Perform2SampleTTest(a, b, Ver, OneSided, T, P, DF, M1, M2, S1, S2, n);
      });
      if (rc == -1) RaiseStatus(Name, rc, "too few values");
      if (rc == -2) RaiseStatus(Name, rc, "paired samples of different lengths");
      if (rc < 0) RaiseStatus(Name, rc, "NaN or infinite data");
      return TTestResult(T, P, DF, M1, M2);
    };
  };
  m.def("ttest_rel", two_sample("ttest_rel", nux::ttPaired), "a"_a, "b"_a, "one_sided"_a = false,
        "Paired t-test (Perform2SampleTTest, ttPaired): (statistic, pvalue, df, mean1, mean2).");
  m.def(
      "ttest_ind",
      [two_sample](const py::handle& A, const py::handle& B, bool EqualVar, bool OneSided) {
        return two_sample("ttest_ind", EqualVar ? nux::ttHomoScedastic : nux::ttHeteroScedastic)(
            A, B, OneSided);
      },
      "a"_a, "b"_a, "equal_var"_a = true, "one_sided"_a = false,
      "Two-sample t-test, pooled or Welch's (Perform2SampleTTest): (statistic, pvalue, df, "
      "mean1, mean2).");
  m.def(
      "f_test",
      [TestResult](const py::handle& A, const py::handle& B, bool OneSided) {
        auto a = Sample(A, "f_test"), b = Sample(B, "f_test");
        double F = 0, P = 0, V1 = 0, V2 = 0, Crit = 0;
        int32_t d1 = 0, d2 = 0;
        int32_t rc =
            Released([&] { return nux::PerformFTest(a, b, OneSided, F, P, V1, V2, Crit, d1, d2); });
        if (rc == -1) RaiseStatus("f_test", rc, "fewer than 2 values in a sample");
        if (rc < 0) RaiseStatus("f_test", rc, "NaN or infinite data");
        return TestResult(F, P, py::make_tuple(d1, d2));
      },
      "a"_a, "b"_a, "one_sided"_a = false,
      "F-test of equal variances, F = var(a) / var(b) (PerformFTest): (statistic, pvalue, "
      "(df1, df2)).");
  m.def(
      "mannwhitneyu",
      [TestResult](const py::handle& X, const py::handle& Y, bool OneSided) {
        auto x = Sample(X, "mannwhitneyu"), y = Sample(Y, "mannwhitneyu");
        double U = 0;
        double p = Released([&] { return nux::PerformMannWhitneyUTest(x, y, OneSided, U); });
        if (p == -1) RaiseStatus("mannwhitneyu", -1, "an empty sample");
        if (p < 0) RaiseStatus("mannwhitneyu", int32_t(p), "NaN or infinite data");
        return TestResult(U, p, py::none());
      },
      "x"_a, "y"_a, "one_sided"_a = false,
      "Mann-Whitney U test (PerformMannWhitneyUTest): U counts the pairs with x's value larger "
      "(ties 1/2); p two-sided or the tail in the observed direction.");
  m.def(
      "siegel_tukey",
      [TestResult](const py::handle& X, const py::handle& Y) {
        auto x = Sample(X, "siegel_tukey"), y = Sample(Y, "siegel_tukey");
        double U = 0;
        double p = Released([&] { return nux::PerformSiegelTukeyTest(x, y, U); });
        if (p < 0)
          RaiseStatus("siegel_tukey", int32_t(p),
                      p == -1 ? "an empty sample" : "NaN or infinite data");
        return TestResult(U, p, py::none());
      },
      "x"_a, "y"_a, "Siegel-Tukey test of equal spread (PerformSiegelTukeyTest), two-sided.");
  m.def(
      "shapiro",
      [TestResult](const py::handle& X, int32_t N1) {
        auto x = Sample(X, "shapiro");
        double W = 0, P = 0;
        int32_t rc = Released([&] { return nux::ShapiroWilkTest(x, N1, W, P); });
        if (rc == -1) RaiseStatus("shapiro", rc, "fewer than 3 values");
        if (rc == -2) RaiseStatus("shapiro", rc, "n1 outside 3..n or more than 80 % censored");
        if (rc == -3) RaiseStatus("shapiro", rc, "NaN or infinite data");
        return TestResult(W, P, py::none());
      },
      "x"_a, "n1"_a = 0,
      "Shapiro-Wilk test (ShapiroWilkTest): (W, pvalue, None); all values equal give W = 1, "
      "p = 1. n1 > 0: only the n1 smallest values are observed.");
  m.def(
      "chi2_var_test",
      [TestResult](const py::handle& X, double Sigma, bool OneSided) {
        auto x = Sample(X, "chi2_var_test");
        double C = 0, P = 0, V = 0;
        int32_t df = 0;
        int32_t rc =
            Released([&] { return nux::Perform1SampleChi2Test(x, Sigma, OneSided, C, P, V, df); });
        if (rc == -1) RaiseStatus("chi2_var_test", rc, "fewer than 2 values");
        if (rc == -2) RaiseStatus("chi2_var_test", rc, "sigma <= 0 or not finite");
        if (rc < 0) RaiseStatus("chi2_var_test", rc, "NaN or infinite data");
        return TestResult(C, P, df);
      },
      "x"_a, "sigma"_a, "one_sided"_a = false,
      "Chi-square test of variance = sigma^2 (Perform1SampleChi2Test).");
  m.def(
      "f_oneway",
      [](const py::args& Gs) {
        nux::TVector v;
        nux::TIntVector l;
        Groups(Gs, "f_oneway", v, l);
        double SSB = 0, SSW = 0, SST = 0, F = 0;
        int32_t dB = 0, dW = 0, dT = 0;
        double p = Released([&] { return nux::Anova1F(v, l, SSB, SSW, SST, dB, dW, dT, F); });
        if (p < 0)
          RaiseStatus("f_oneway", int32_t(p),
                      p == -3 ? "no spread at all" : "too few groups or values, or NaN data");
        return NamedTuple("AnovaResult")(F, p, dB, dW, SSB, SSW);
      },
      "One-way analysis of variance (Anova1F) over groups given as arrays: (statistic, "
      "pvalue, df_between, df_within, ss_between, ss_within).");
  m.def(
      "levene",
      [TestResult](const py::args& Gs) {
        nux::TVector v;
        nux::TIntVector l;
        Groups(Gs, "levene", v, l);
        double F = 0;
        double p = Released([&] { return nux::LeveneTest(v, l, F); });
        if (p < 0)
          RaiseStatus("levene", int32_t(p),
                      p == -3 ? "no spread at all" : "too few groups or values, or NaN data");
        return TestResult(F, p, py::none());
      },
      "Levene's test of equal variances, deviations from the group means (LeveneTest).");
  m.def(
      "bartlett",
      [TestResult](const py::args& Gs) {
        if (Gs.size() < 2) throw py::value_error("bartlett: at least two groups");
        nux::TDouble2DArray groups;
        nux::TIntArray sizes;
        for (auto g : Gs) {
          groups.push_back(ToDoubles(g, "bartlett"));
          sizes.push_back(int32_t(groups.back().size()));
        }
        double c = 0;
        double p = Released([&] { return nux::BartlettTest(groups, sizes, c); });
        if (p == -2) RaiseStatus("bartlett", -2, "a group of fewer than 6 values");
        if (p < 0) RaiseStatus("bartlett", int32_t(p), "bad groups or NaN data");
        return TestResult(c, p, int32_t(Gs.size()) - 1);
      },
      "Bartlett's test of equal variances (BartlettTest); each group needs 6 values or more.");
  m.def(
      "friedmanchisquare",
      [TestResult](const py::args& Gs) {
        if (Gs.size() < 3) throw py::value_error("friedmanchisquare: at least three treatments");
        nux::TDouble2DArray cols;
        for (auto g : Gs) cols.push_back(ToDoubles(g, "friedmanchisquare"));
        for (auto& c : cols)
          if (c.size() != cols[0].size() || c.empty())
            throw py::value_error("friedmanchisquare: treatments of different or zero length");
        nux::TMatrix data(cols);
        double c = 0;
        double p = Released([&] { return nux::FriedmanTest(data, c); });
        if (p < 0) RaiseStatus("friedmanchisquare", int32_t(p), "NaN data");
        return TestResult(c, p, int32_t(Gs.size()) - 1);
      },
      "Friedman's test; each argument is one treatment over the same blocks (FriedmanTest).");
  m.def(
      "pearsonr",
      [](const py::handle& X, const py::handle& Y, double Rho0) {
        auto x = Sample(X, "pearsonr"), y = Sample(Y, "pearsonr");
        double r = 0, p = 0;
        int32_t rc = Released([&] { return nux::CorrTest(x, y, Rho0, r, p); });
        if (rc == -1) RaiseStatus("pearsonr", rc, "fewer than 3 values");
        if (rc == -2) RaiseStatus("pearsonr", rc, "lengths differ");
        if (rc == -3) RaiseStatus("pearsonr", rc, "rho0 outside [-1, 1]");
        if (rc < 0) RaiseStatus("pearsonr", rc, "NaN or infinite data");
        return NamedTuple("CorrResult")(r, p);
      },
      "x"_a, "y"_a, "rho0"_a = 0.0,
      "Pearson's r with the test of rho = rho0 (CorrTest); p is the one-sided upper tail "
      "P(T > |t|), half of scipy's two-sided value.");
  m.def(
      "skewtest",
      [TestResult](const py::handle& X, bool OneSided) {
        auto x = Sample(X, "skewtest");
        double s = 0, z = 0, p = 0;
        int32_t rc = Released([&] { return nux::CalcAndTestSkewness(x, OneSided, s, z, p); });
        if (rc == -1) RaiseStatus("skewtest", rc, "fewer than 8 values");
        if (rc == -3) RaiseStatus("skewtest", rc, "NaN or infinite data");
        return TestResult(z, p, py::none());
      },
      "x"_a, "one_sided"_a = false,
      "D'Agostino's test of the skewness (CalcAndTestSkewness): (Z, pvalue, None).");
  m.def(
      "kurtosistest",
      [TestResult](const py::handle& X, bool OneSided) {
        auto x = Sample(X, "kurtosistest");
        double k = 0, z = 0, p = 0;
        int32_t rc = Released([&] { return nux::CalcAndTestKurtosis(x, OneSided, k, z, p); });
        if (rc == -1) RaiseStatus("kurtosistest", rc, "fewer than 5 values");
        if (rc == -3) RaiseStatus("kurtosistest", rc, "NaN or infinite data");
        return TestResult(z, p, py::none());
      },
      "x"_a, "one_sided"_a = false,
      "Anscombe and Glynn's test of the kurtosis (CalcAndTestKurtosis): (Z, pvalue, None).");
  m.def(
      "ks_normal",
      [TestResult](const py::handle& X) {
        auto x = Sample(X, "ks_normal");
        double d = Released([&] { return nux::PerformKSNormalityTest(x, false); });
        if (d < 0) RaiseStatus("ks_normal", -1, "no data or a NaN value");
        return TestResult(d, nux::KSPValue(int32_t(x.size()), d), py::none());
      },
      "x"_a,
      "Kolmogorov-Smirnov distance of the standardised data to the normal distribution, "
      "with KSPValue's p.");
  m.def(
      "lilliefors",
      [TestResult](const py::handle& X) {
        auto x = Sample(X, "lilliefors");
        double d = Released([&] { return nux::PerformLillieforsTest(x, false); });
        if (d < 0) RaiseStatus("lilliefors", -1, "no data or a NaN value");
        return TestResult(d, nux::LillieforsPValue(int32_t(x.size()), d), py::none());
      },
      "x"_a, "Lilliefors test of normality (PerformLillieforsTest, LillieforsPValue).");
  m.def(
      "theilslopes",
      [](const py::handle& X, const py::handle& Y) {
        auto x = Sample(X, "theilslopes"), y = Sample(Y, "theilslopes");
        double s = 0, i = 0, sl = 0, sh = 0, il = 0, ih = 0;
        int32_t rc = Released([&] { return nux::TheilSenEstimator(x, y, s, i, sl, sh, il, ih); });
        if (rc < 0 && rc != -4) {
          static const char* texts[] = {
              "", "n <= 2",          "x of another length", "x not monotone",
              "", "too many points", "a NaN or infinite y"};
          RaiseStatus("theilslopes", rc, rc >= -6 ? texts[-rc] : "failed");
        }
        return py::make_tuple(s, i, sl, sh);
      },
      "x"_a, "y"_a,
      "Theil-Sen line through (x, y), x monotone (TheilSenEstimator): (slope, "
      "intercept, low slope, high slope).");
  m.def(
      "durbin_watson",
      [](const py::handle& R) { return nux::DurbinWatson(Sample(R, "durbin_watson")); },
      "residuals"_a, "Durbin-Watson d of residuals (DurbinWatson).");
  m.def(
      "rankdata",
      [](const py::handle& X) {
        nux::TVector d(std::span<const double>(Sample(X, "rankdata"))), r;
        nux::CalcRanks(d, r);
        return ToNumpy(r.Data());
      },
      "x"_a, "Ranks 1..n in input order, ties their mean rank (CalcRanks).");
}

}  // namespace nuxpy
