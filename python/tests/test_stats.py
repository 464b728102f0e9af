import numpy as np
import pytest

import nux
from nux import stats as ns

sp = pytest.importorskip("scipy.stats")


def test_distributions_match_scipy_scalar_and_array():
    x = np.linspace(-6, 6, 49)
    for df in (1, 3, 30):
        np.testing.assert_allclose(ns.t.cdf(x, df), sp.t.cdf(x, df), rtol=1e-9, atol=1e-300)
        np.testing.assert_allclose(ns.t.sf(x, df), sp.t.sf(x, df), rtol=1e-9)
        np.testing.assert_allclose(ns.t.pdf(x, df), sp.t.pdf(x, df), rtol=1e-10)
        q = np.array([1e-10, 0.01, 0.5, 0.975])
        np.testing.assert_allclose(ns.t.ppf(q, df), sp.t.ppf(q, df), rtol=1e-7, atol=1e-12)
    z = np.array([-40.0, -5, 0, 1.96, 8])
    np.testing.assert_allclose(ns.norm.cdf(z), sp.norm.cdf(z), rtol=1e-8, atol=0)
    np.testing.assert_allclose(ns.norm.sf(z), sp.norm.sf(z), rtol=1e-8)
    c = np.array([0.1, 1, 10, 200])
    np.testing.assert_allclose(ns.chi2.sf(c, 7), sp.chi2.sf(c, 7), rtol=1e-9)
    np.testing.assert_allclose(ns.f.cdf(c, 3, 11), sp.f.cdf(c, 3, 11), rtol=1e-9)
    np.testing.assert_allclose(ns.f.ppf(0.95, 3, 11), sp.f.ppf(0.95, 3, 11), rtol=1e-7)
    k = np.arange(0, 21)
    np.testing.assert_allclose(ns.binom.pmf(k, 20, 0.3), sp.binom.pmf(k, 20, 0.3), rtol=1e-10)
    np.testing.assert_allclose(ns.binom.sf(k, 20, 0.3), sp.binom.sf(k, 20, 0.3), rtol=1e-9,
                               atol=1e-300)
    np.testing.assert_allclose(ns.hypergeom.pmf(k[:8], 50, 12, 7), sp.hypergeom.pmf(k[:8], 50, 12, 7),
                               rtol=1e-9)
    np.testing.assert_allclose(ns.weibull_min.pdf(c, 1.5, 2.0), sp.weibull_min.pdf(c, 1.5, scale=2.0),
                               rtol=1e-12)
    # the library's names are the same functions; scalars stay Python floats
    assert isinstance(ns.tDistriIntegral(1.0, 5), float)
    assert ns.tDistriIntegral(1.0, 5) == ns.t.cdf(1.0, 5)
    assert np.isnan(ns.t.cdf(1.0, 0))  # invalid degrees of freedom


def test_tests_match_scipy(rng):
    a = rng.normal(0.3, 1.0, 40)
    b = rng.normal(0.0, 2.0, 35)
    r = ns.ttest_1samp(a, 0.1)
    e = sp.ttest_1samp(a, 0.1)
    assert (r.statistic, r.pvalue, r.df) == pytest.approx((e.statistic, e.pvalue, 39), rel=1e-9)
    for eq in (True, False):
        r, e = ns.ttest_ind(a, b, equal_var=eq), sp.ttest_ind(a, b, equal_var=eq)
        assert (r.statistic, r.pvalue) == pytest.approx((e.statistic, e.pvalue), rel=1e-8)
    r, e = ns.ttest_rel(a[:35], b), sp.ttest_rel(a[:35], b)
    assert (r.statistic, r.pvalue) == pytest.approx((e.statistic, e.pvalue), rel=1e-8)
    r, e = ns.mannwhitneyu(a[:12], b[:9]), sp.mannwhitneyu(a[:12], b[:9], method="exact")
    assert (r.statistic, r.pvalue) == pytest.approx((e.statistic, e.pvalue), rel=1e-9)
    r, e = ns.shapiro(a), sp.shapiro(a)
    assert (r.statistic, r.pvalue) == pytest.approx((e.statistic, e.pvalue), rel=1e-4)
    g = [a[:12], b[:14], a[12:30] + 1]
    r, e = ns.f_oneway(*g), sp.f_oneway(*g)
    assert (r.statistic, r.pvalue, r.df_between, r.df_within) == pytest.approx(
        (e.statistic, e.pvalue, 2, 41), rel=1e-9)
    r, e = ns.levene(*g), sp.levene(*g, center="mean")
    assert (r.statistic, r.pvalue) == pytest.approx((e.statistic, e.pvalue), rel=1e-9)
    r, e = ns.bartlett(*g), sp.bartlett(*g)
    assert (r.statistic, r.pvalue) == pytest.approx((e.statistic, e.pvalue), rel=1e-9)
    r, e = ns.friedmanchisquare(a[:10], b[:10], a[10:20]), sp.friedmanchisquare(a[:10], b[:10], a[10:20])
    assert (r.statistic, r.pvalue) == pytest.approx((e.statistic, e.pvalue), rel=1e-9)
    r, e = ns.pearsonr(a[:35], b), sp.pearsonr(a[:35], b)
    assert r.statistic == pytest.approx(e[0], rel=1e-12)
    assert r.pvalue == pytest.approx(e[1] / 2, rel=1e-8)  # one-sided upper tail
    big = rng.normal(size=300)
    for mine, theirs in ((ns.skewtest, sp.skewtest), (ns.kurtosistest, sp.kurtosistest)):
        r, e = mine(big), theirs(big)
        assert (r.statistic, r.pvalue) == pytest.approx((e.statistic, e.pvalue), rel=1e-8)
    np.testing.assert_array_equal(ns.rankdata([3.0, 1.0, 3.0, 2.0]), sp.rankdata([3, 1, 3, 2]))
    x = np.arange(20.0)
    y = 2 * x + rng.normal(size=20)
    s, i, lo, hi = ns.theilslopes(x, y)
    assert s == pytest.approx(sp.theilslopes(y, x)[0], rel=1e-12)
    r = np.sort(y - s * x)
    assert r[9] <= i <= r[10] and lo <= s <= hi  # intercept: the median residual


def test_rejections_raise_with_the_reason():
    with pytest.raises(ValueError, match=r"ttest_1samp: fewer than 2 values \(code -1\)"):
        ns.ttest_1samp([1.0], 0.0)
    with pytest.raises(ValueError, match="NaN"):
        ns.ttest_ind([1.0, 2.0, np.nan], [1.0, 2.0])
    with pytest.raises(ValueError, match="different lengths"):
        ns.ttest_rel([1.0, 2.0, 3.0], [1.0, 2.0])
    with pytest.raises(ValueError, match="fewer than 6"):
        ns.bartlett([1.0, 2, 3], [4.0, 5, 6, 7, 8, 9])
    with pytest.raises(ValueError, match="1-D"):
        ns.shapiro(np.zeros((3, 3)))
    with pytest.raises(nux.StatisError):
        ns.HyperGeoDistriDensity(1.5, 10, 3, 1)
