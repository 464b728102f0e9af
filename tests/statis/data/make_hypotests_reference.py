#!/usr/bin/python3
"""Reference values for the hypothesis tests, from scipy.stats (Debian's python3-scipy).

Run:  /usr/bin/python3 make_hypotests_reference.py
It writes hypotests_reference.inc beside this script: the samples themselves (so that the C++
tests use exactly the same doubles) and scipy's statistics and p-values as C++ initialisers.
scipy is needed only to regenerate the file, never to build or run the tests.
"""
import math
import os
from fractions import Fraction

import numpy as np
from scipy import stats

OUT = []
rng = np.random.default_rng(20261207)


def g(v):
    return repr(float(v))


def arr(name, values):
    OUT.append(f"#define {name} {{{', '.join(g(v) for v in values)}}}")


def rows(name, comment, items):
    OUT.append(f"// {comment}")
    OUT.append(f"#define {name} \\")
    OUT.append(", \\\n".join("  {" + ", ".join(g(v) for v in it) + "}" for it in items))
    OUT.append("")


# Samples. x and y: continuous, without ties; t: values on a grid of 0.5 (ties); big: an offset
# that raw power sums would cancel on.
x = np.round(rng.normal(10.0, 2.0, 25), 6)
y = np.round(rng.normal(11.0, 3.0, 31), 6)
xp = np.round(x + rng.normal(0.4, 1.0, 25), 6)  # paired with x
t1 = np.round(rng.normal(5.0, 2.0, 40) * 2.0) / 2.0
t2 = np.round(rng.normal(5.6, 2.5, 37) * 2.0) / 2.0
far = np.round(np.arange(1, 31) * 0.1 + 50.0, 6)  # t-test with a p near 1e-30 and below
sk = np.round(rng.lognormal(0.0, 0.6, 60), 6)
big1 = np.round(rng.normal(0.0, 1.0, 600), 6)
big2 = np.round(rng.normal(0.15, 1.0, 500), 6)
for name, v in (("X", x), ("Y", y), ("XP", xp), ("T1", t1), ("T2", t2), ("FAR", far),
                ("SK", sk), ("BIG1", big1), ("BIG2", big2)):
    arr("NUX_HT_" + name, v)
OUT.append("")

# t-tests: two-sided and one-sided (observed direction) p, statistic, degrees of freedom.
res = []
for tag, (a, b, kind) in enumerate(((x, None, 0), (far, None, 0), (x, y, 1), (x, y, 2),
                                    (x, xp, 3), (t1, t2, 2))):
    if kind == 0:
        r = stats.ttest_1samp(a, 10.0 if a is x else 0.0)
        df = len(a) - 1
    elif kind == 1:
        r = stats.ttest_ind(a, b, equal_var=True)
        df = len(a) + len(b) - 2
    elif kind == 2:
        r = stats.ttest_ind(a, b, equal_var=False)
        v1, v2 = np.var(a, ddof=1) / len(a), np.var(b, ddof=1) / len(b)
        df = (v1 + v2) ** 2 / (v1 ** 2 / (len(a) - 1) + v2 ** 2 / (len(b) - 1))
    else:
        r = stats.ttest_rel(a, b)
        df = len(a) - 1
    alt = "greater" if r.statistic > 0 else "less"
    if kind == 0:
        r1 = stats.ttest_1samp(a, 10.0 if a is x else 0.0, alternative=alt)
    elif kind == 3:
        r1 = stats.ttest_rel(a, b, alternative=alt)
    else:
        r1 = stats.ttest_ind(a, b, equal_var=(kind == 1), alternative=alt)
    res.append((tag, r.statistic, r.pvalue, r1.pvalue, df))
rows("NUX_HT_TTESTS", "case, t, two-sided p, one-sided p, df (cases: x vs 10, far vs 0, pooled x y, "
     "Welch x y, paired x xp, Welch t1 t2)", res)

# F and chi-square tests of variances (the distributions' tails).
v1, v2 = np.var(x, ddof=1), np.var(y, ddof=1)
F = v1 / v2
lo, up = stats.f.cdf(F, 24, 30), stats.f.sf(F, 24, 30)
c2 = 24 * v1 / 1.5 ** 2
clo, cup = stats.chi2.cdf(c2, 24), stats.chi2.sf(c2, 24)
rows("NUX_HT_VARTESTS", "F(x, y), its two-sided and one-sided p, F crit (two-sided 5 %); chi2 of x "
     "against sigma 1.5, two-sided and one-sided p",
     [(F, min(1, 2 * min(lo, up)), min(lo, up), stats.f.ppf(0.975, 24, 30),
       c2, min(1, 2 * min(clo, cup)), min(clo, cup))])

# Mann-Whitney: exact (no ties, 25 + 31 values), asymptotic with ties, asymptotic beyond the
# exact limit (600 + 500 values). U1, two-sided p, one-sided p.
mw = []
for a, b, method in ((x, y, "exact"), (t1, t2, "asymptotic"), (big1, big2, "asymptotic")):
    r = stats.mannwhitneyu(a, b, method=method)
    u1 = r.statistic
    alt = "greater" if u1 > len(a) * len(b) / 2 else "less"
    r1 = stats.mannwhitneyu(a, b, method=method, alternative=alt)
    mw.append((u1, r.pvalue, r1.pvalue))
rows("NUX_HT_MANNWHITNEY", "U1, two-sided p, one-sided p: x y exact, t1 t2 and big1 big2 asymptotic",
     mw)


# Siegel-Tukey: scores from alternating ends; without ties they are a permutation of 1..N, so
# the Mann-Whitney test of the scores is the Siegel-Tukey test.
def siegel_scores(n):
    sc = [0] * n
    lo, hi, nxt, low, take = 0, n, 1, True, 1
    while lo < hi:
        for _ in range(take):
            if lo >= hi:
                break
            if low:
                sc[lo] = nxt
                lo += 1
            else:
                hi -= 1
                sc[hi] = nxt
            nxt += 1
        low = not low
        take = 2
    return sc


pooled = sorted([(v, 1) for v in x] + [(v, 0) for v in y])
sc = siegel_scores(len(pooled))
s1 = [s for s, (v, f) in zip(sc, pooled) if f]
s2 = [s for s, (v, f) in zip(sc, pooled) if not f]
r = stats.mannwhitneyu(s1, s2, method="exact")
rows("NUX_HT_SIEGELTUKEY", "Siegel-Tukey of x and y: U1 on the scores, two-sided p",
     [(r.statistic, r.pvalue)])

# Shapiro-Wilk. scipy works in single precision (its W and p are single-precision numbers and
# differ from a double evaluation by up to about 1e-6 in W), so beside its values the same
# method (Royston's coefficients and normalising transformation) is evaluated here in double.
def poly(c, v):
    return sum(ci * v ** i for i, ci in enumerate(c))


def shapiro_double(a):
    xs = np.sort(np.asarray(a, dtype=float))
    n = len(xs)
    m = stats.norm.ppf((np.arange(1, n + 1) - 0.375) / (n + 0.25))
    summ2 = np.sum(m * m)
    ssumm2 = math.sqrt(summ2)
    rsn = 1.0 / math.sqrt(n)
    a1 = poly([0.0, 0.221157, -0.147981, -2.071190, 4.434685, -2.706056], rsn) - m[0] / ssumm2
    a2 = poly([0.0, 0.042981, -0.293762, -1.752461, 5.682633, -3.582633], rsn) - m[1] / ssumm2
    fac = math.sqrt((summ2 - 2 * m[0] ** 2 - 2 * m[1] ** 2) / (1 - 2 * a1 ** 2 - 2 * a2 ** 2))
    coef = m / fac
    coef[0], coef[1], coef[-1], coef[-2] = -a1, -a2, a1, a2
    w = np.dot(coef, xs - xs.mean()) ** 2 / np.sum((xs - xs.mean()) ** 2)
    lnn = math.log(n)
    mu = poly([-1.5861, -0.31082, -0.083751, 0.0038915], lnn)
    sd = math.exp(poly([-0.4803, -0.082676, 0.0030302], lnn))
    return w, stats.norm.sf((math.log1p(-w) - mu) / sd)


sw = []
for a in (x, sk, t1, big1):
    r = stats.shapiro(a)
    wd, pd = shapiro_double(a)
    sw.append((len(a), r.statistic, r.pvalue, wd, pd))
rows("NUX_HT_SHAPIRO", "n, W, p of x, sk, t1, big1 from scipy (single precision), W, p in double",
     sw)

# Skewness and kurtosis tests.
sk_rows = []
for a in (x, sk, t1, big1):
    rs, rk = stats.skewtest(a), stats.kurtosistest(a)
    sk_rows.append((stats.skew(a), rs.statistic, rs.pvalue, stats.kurtosis(a), rk.statistic,
                    rk.pvalue))
rows("NUX_HT_SKEWKURT", "skewness, Z, p; excess kurtosis, Z, p of x, sk, t1, big1", sk_rows)

# Bartlett, Levene (deviations from the means), one-way ANOVA over three groups: x, y, sk.
groups = (x, y, sk)
rb = stats.bartlett(*groups)
rl = stats.levene(*groups, center="mean")
ra = stats.f_oneway(*groups)
rows("NUX_HT_GROUPS", "Bartlett chi2, p; Levene F, p; ANOVA F, p over x, y, sk",
     [(rb.statistic, rb.pvalue, rl.statistic, rl.pvalue, ra.statistic, ra.pvalue)])
# Bartlett with a p far below 1e-16: sk against sk / 40 and x.
rb2 = stats.bartlett(sk, sk / 40.0, x)
rows("NUX_HT_BARTLETT_FAR", "Bartlett chi2, p of sk, sk / 40, x", [(rb2.statistic, rb2.pvalue)])

# Friedman: 12 blocks of 4 treatments with ties.
fr = np.round(rng.normal(0, 1, (12, 4)) + np.array([0, 0.3, 0.6, 0.9]), 1)
arr("NUX_HT_FRIEDMAN_DATA", fr.T.ravel())  # column after column
r = stats.friedmanchisquare(*fr.T)
rows("NUX_HT_FRIEDMAN", "chi2, p of the 12 x 4 blocks (column-major data above)",
     [(r.statistic, r.pvalue)])

# Wilcoxon signed ranks: W+ of x - xp (scipy's statistic for alternative='greater').
r = stats.wilcoxon(x, xp, alternative="greater")
rows("NUX_HT_WILCOXON", "W+ of x and xp", [(r.statistic,)])

# Theil-Sen slope and Pearson correlation (one-sided p: half of pearsonr's two-sided p).
ts = stats.theilslopes(xp, np.arange(25.0))
pr = stats.pearsonr(x, xp)
rows("NUX_HT_CORR", "Theil-Sen slope of xp on 0..24; Pearson r of x xp, one-sided p",
     [(ts[0], pr[0], pr[1] / 2)])

# Exact critical values of the signed-rank sum for n = 8 .. 100, from the exact distribution in
# integers: the largest T with P(T+ <= T) <= alpha / 2, 0 where none exists.
levels = [Fraction(1, 10), Fraction(1, 20), Fraction(1, 50), Fraction(1, 100), Fraction(1, 1000)]
counts = [1]
crit = []
for n in range(1, 101):
    new = counts + [0] * n
    for s in range(n, len(new)):
        new[s] += counts[s - n] if s - n < len(counts) else 0
    counts = new
    if n < 8:
        continue
    total = 2 ** n
    row = []
    for a in levels:
        cum, c = 0, 0
        for s, v in enumerate(counts):
            cum += v
            if Fraction(cum, total) > a / 2:
                break
            c = s
        row.append(c)
    crit.append(row)
OUT.append("// exact signed-rank critical values, rows n = 8 .. 100, two-sided 0.1 0.05 0.02 0.01 0.001")
OUT.append("#define NUX_HT_SRCRIT \\")
OUT.append(", \\\n".join("  {" + ", ".join(str(c) for c in r) + "}" for r in crit))
OUT.append("")


# Exact runs probabilities P(R <= r), in rationals.
def runs_cdf(n1, n2, r):
    tot = math.comb(n1 + n2, n1)
    s = 0
    for u in range(2, r + 1):
        if u % 2 == 0:
            k = u // 2
            s += 2 * math.comb(n1 - 1, k - 1) * math.comb(n2 - 1, k - 1)
        else:
            v = (u + 1) // 2
            a = math.comb(n1 - 1, v - 1) * math.comb(n2 - 1, v - 2) if v >= 2 else 0
            b = math.comb(n1 - 1, v - 2) * math.comb(n2 - 1, v - 1) if v >= 2 else 0
            s += a + b
    return float(Fraction(s, tot))


rows("NUX_HT_RUNS", "n1, n2, r, P(R <= r)",
     [(a, b, r, runs_cdf(a, b, r)) for a, b, r in ((5, 5, 10), (5, 5, 3), (20, 20, 15),
                                                    (25, 25, 20), (17, 17, 2), (3, 24, 4),
                                                    (200, 300, 230))])

# The sign test where p^k underflows but the probability does not.
rows("NUX_HT_SIGNTEST", "n, k, p, P(X = k)", [(400, 330, 0.1, stats.binom.pmf(330, 400, 0.1))])

with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "hypotests_reference.inc"),
          "w") as f:
    f.write("// Generated by make_hypotests_reference.py (scipy). Do not edit.\n// clang-format off\n")
    f.write("\n".join(OUT))
    f.write("\n// clang-format on\n")
