#!/usr/bin/python3
"""Writes the sample files of the command-line tests and demo, and the reference values the
tests compare with (computed here with numpy/scipy, independently of the library)."""
import json
import numpy as np
from scipy import stats

rng = np.random.default_rng(32)

# Weather-station readings: a text column, four measured ones, one reading missing.
n = 120
site = rng.choice(["north", "south", "east"], n)
temp = 12 + 6 * np.sin(np.arange(n) / 19.0) + rng.normal(0, 1.5, n)
pressure = 1013 - 0.8 * (temp - 12) + rng.normal(0, 2.0, n)
humidity = 80 - 2.1 * (temp - 12) + rng.normal(0, 4.0, n)
wind = rng.gamma(2.0, 2.5, n)
cols = [np.round(temp, 2), np.round(pressure, 1), np.round(humidity, 1), np.round(wind, 2)]
with open("weather.csv", "w") as f:
    f.write("# hourly readings of three stations (synthetic)\n")
    f.write("site,temperature,pressure,humidity,wind\n")
    for i in range(n):
        vals = [f"{c[i]:g}" for c in cols]
        if i == 17:
            vals[2] = ""
        f.write(",".join([site[i]] + vals) + "\n")

# A vibration: 50 Hz and 120 Hz tones sampled at 1 kHz, 1024 samples.
fs, m = 1000.0, 1024
t = np.arange(m) / fs
acc = 1.0 * np.sin(2 * np.pi * 50 * t) + 0.4 * np.sin(2 * np.pi * 120 * t) + rng.normal(0, 0.1, m)
with open("vibration.csv", "w") as f:
    f.write("time;accel\n")
    for i in range(m):
        f.write(f"{t[i]:.3f};{acc[i]:.5f}\n")

# Reference values.
def describe(x):
    x = x[~np.isnan(x)]
    q = np.percentile(x, [25, 50, 75], method="weibull")  # positions (n + 1) p
    s = x.std(ddof=1)
    d = x - x.mean()
    return {"count": len(x), "mean": x.mean(), "std": s, "min": x.min(), "25%": q[0],
            "50%": q[1], "75%": q[2], "max": x.max(),
            "skewness": np.mean(d**3) / s**3, "kurtosis": np.mean(d**4) / s**4 - 3}

data = np.array(cols, dtype=float)
data[2, 17] = np.nan
names = ["temperature", "pressure", "humidity", "wind"]
ref = {"describe": {nm: describe(data[k]) for k, nm in enumerate(names)}}
complete = data[:, ~np.isnan(data).any(axis=0)]
ref["pearson"] = np.corrcoef(complete).tolist()
ref["spearman"] = stats.spearmanr(complete.T).correlation.tolist()
ev = np.sort(np.linalg.eigvalsh(np.corrcoef(complete)))[::-1]
ref["pca_eigenvalues"] = ev.tolist()
with open("reference.json", "w") as f:
    json.dump(ref, f, indent=1, default=float)
    f.write("\n")

# ---- The hypothesis tests, rank correlations, fits, clusters and ROC of the later commands ----
rng = np.random.default_rng(3232)

# A trial: three arms (group 1..3), a reading before and after, a responder flag and a score.
n = 60
group = np.repeat([1, 2, 3], 20)
before = np.round(rng.normal(140, 12, n), 2)
after = np.round(before - 4 - 3 * group + rng.normal(0, 6, n), 2)
score = np.round(1 / (1 + np.exp(-(before - after - 10) / 5)) + rng.normal(0, 0.15, n), 4)
response = (before - after + rng.normal(0, 4, n) > 11).astype(int)
with open("trial.csv", "w") as f:
    f.write("group,before,after,response,score\n")
    for i in range(n):
        f.write(f"{group[i]},{before[i]:g},{after[i]:g},{response[i]},{score[i]:g}\n")

# A decay curve with positive readings.
x = np.arange(1, 25) * 0.5
y = np.round(5 * np.exp(-0.3 * x) * np.exp(rng.normal(0, 0.05, x.size)), 5)
with open("decay.csv", "w") as f:
    f.write("t,level\n")
    for a, b in zip(x, y):
        f.write(f"{a:g},{b:g}\n")

# Three separated blobs in the plane (20, 15 and 10 points).
centres = [(0, 0), (6, 1), (2, 7)]
pts = np.vstack([np.round(rng.normal(c, 0.7, (m, 2)), 3) for c, m in zip(centres, [20, 15, 10])])
with open("blobs.csv", "w") as f:
    f.write("u,v\n")
    for p in pts:
        f.write(f"{p[0]:g},{p[1]:g}\n")

def res(stat, p, df=None, df2=None):
    return {"statistic": float(stat), "p": float(p), "df": df, "df2": df2}

t = {}
r = stats.ttest_1samp(before, 140)
t["t"] = res(r.statistic, r.pvalue, n - 1)
r = stats.ttest_rel(before, after)
t["paired"] = res(r.statistic, r.pvalue, n - 1)
r = stats.ttest_ind(before, after, equal_var=True)
t["pooled"] = res(r.statistic, r.pvalue, 2 * n - 2)
r = stats.ttest_ind(before, after, equal_var=False)
v1, v2 = before.var(ddof=1) / n, after.var(ddof=1) / n
t["welch"] = res(r.statistic, r.pvalue, (v1 + v2) ** 2 / (v1**2 / (n - 1) + v2**2 / (n - 1)))
# Two values are tied across the samples: the library (as scipy) then takes the normal form.
r = stats.mannwhitneyu(before, after, method="asymptotic")
t["mann-whitney"] = res(r.statistic, r.pvalue)
r = stats.wilcoxon(before, after, alternative="greater")
t["wilcoxon"] = {"statistic": float(r.statistic)}
r = stats.shapiro(before)
t["shapiro"] = res(r.statistic, r.pvalue)
F = before.var(ddof=1) / after.var(ddof=1)
t["f"] = res(F, 2 * min(stats.f.sf(F, n - 1, n - 1), stats.f.cdf(F, n - 1, n - 1)), n - 1, n - 1)
c2 = (n - 1) * before.var(ddof=1) / 10.0**2
t["chi2-var"] = res(c2, 2 * min(stats.chi2.sf(c2, n - 1), stats.chi2.cdf(c2, n - 1)), n - 1)
arms = [after[group == g] for g in (1, 2, 3)]
r = stats.f_oneway(*arms)
t["anova"] = res(r.statistic, r.pvalue, 2, n - 3)
r = stats.levene(*arms, center="mean")
t["levene"] = res(r.statistic, r.pvalue, 2, n - 3)
r = stats.bartlett(*arms)
t["bartlett"] = res(r.statistic, r.pvalue, 2)
r = stats.friedmanchisquare(before, after, score)
t["friedman"] = res(r.statistic, r.pvalue, 2)
tab = np.array([[np.sum((group == g) & (response == k)) for k in (0, 1)] for g in (1, 2, 3)])
r = stats.chi2_contingency(tab, correction=False)
t["chi2"] = res(r[0], r[1], int(r[2]))
r = stats.skewtest(before)
t["skewness"] = res(r.statistic, r.pvalue)
r = stats.kurtosistest(before)
t["kurtosis"] = res(r.statistic, r.pvalue)
ref = {"tests": t}

# Rank correlations of before, after and score (two-sided p; Kendall's tau-b asymptotic).
cols3 = [before, after, score]
ref["spearman"] = [[float(stats.spearmanr(a, b).correlation) for b in cols3] for a in cols3]
ref["spearman_p"] = [[float(stats.spearmanr(a, b).pvalue) for b in cols3] for a in cols3]
ref["kendall"] = [[float(stats.kendalltau(a, b, method="asymptotic").correlation) for b in cols3]
                  for a in cols3]
ref["kendall_p"] = [[float(stats.kendalltau(a, b, method="asymptotic").pvalue) for b in cols3]
                    for a in cols3]

# Fits of the decay: a line, a parabola, the exponential through ln y, with the line's 95 %
# prediction and confidence half-widths at t = 3.
fits = {}
fits["linear"] = np.polyfit(x, y, 1)[::-1].tolist()
fits["parabolic"] = np.polyfit(x, y, 2)[::-1].tolist()
b, a = np.polyfit(x, np.log(y), 1)
fits["expo"] = [float(np.exp(a)), float(b)]
k1, k0 = np.polyfit(x, y, 1)
resid = y - (k0 + k1 * x)
s = np.sqrt(resid @ resid / (x.size - 2))
sxx = np.sum((x - x.mean()) ** 2)
q = stats.t.ppf(0.975, x.size - 2)
fits["linear_at_3"] = {"value": float(k0 + 3 * k1),
                       "pred": float(q * s * np.sqrt(1 + 1 / x.size + (3 - x.mean()) ** 2 / sxx)),
                       "conf": float(q * s * np.sqrt(1 / x.size + (3 - x.mean()) ** 2 / sxx)),
                       "r2": float(1 - resid @ resid / np.sum((y - y.mean()) ** 2))}
ref["fits"] = fits

# ROC of the score against the response.
from sklearn.metrics import roc_auc_score
ref["auc"] = float(roc_auc_score(response, score))

# Single-linkage merge heights of the blobs (Euclidean) and the three-cluster partition sizes.
from scipy.cluster.hierarchy import fcluster, linkage
L = linkage(pts, "single")
ref["single_heights"] = L[:, 2].tolist()
ref["blob_sizes"] = sorted(np.bincount(fcluster(L, 3, "maxclust"))[1:].tolist(), reverse=True)
with open("reference2.json", "w") as f:
    json.dump(ref, f, indent=1, default=float)
    f.write("\n")
