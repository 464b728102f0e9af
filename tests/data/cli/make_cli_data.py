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
