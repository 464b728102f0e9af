#!/usr/bin/env python3
"""Reference values for the TCurveFit tests, from numpy and scipy.

Writes curvefit_reference.inc beside this script: the test data themselves (exact doubles) and
what numpy.polyfit, numpy.linalg.lstsq, scipy.stats (linregress, spearmanr, kendalltau) and
scipy.interpolate (CubicSpline, make_smoothing_spline) give for them. Prediction intervals use
the textbook formula s * t * sqrt(1 + x0' (X'X)^-1 x0) with an explicit inverse.
Run: python3 make_curvefit_reference.py
"""
import math
import os

import numpy as np
from scipy import interpolate, stats

OUT = []


def emit(name, values):
    vals = ", ".join(repr(float(v)) for v in np.ravel(values))
    OUT.append(f"inline constexpr double {name}[] = {{{vals}}};")


# Data set A: a noisy cubic; B: A rounded (ties in x and y); C: positive power-law data;
# G: a noisy bell; R: points near a circle.
ia = np.arange(25)
ax = 0.3 * ia + 0.1 * np.sin(ia)
ay = 1.2 - 0.8 * ax + 0.35 * ax**2 - 0.02 * ax**3 + 0.3 * np.sin(2.3 * ia)
bx = np.round(ax)
by = np.round(ay * 2) / 2
ic = np.arange(20)
cx = 0.5 + 0.4 * ic
cy = 2.5 * cx**0.7 * np.exp(0.1 * np.sin(3 * ic))
gy = 3 * np.exp(-((cx - 4) ** 2) / 5) * np.exp(0.05 * np.sin(5 * ic))
ir = np.arange(12)
ang = 2 * math.pi * ir / 12 + 0.2
rad = 3 + 0.05 * np.sin(7 * ir)
rx = 2 + rad * np.cos(ang)
ry = -1 + rad * np.sin(ang)
for n, v in (("kAX", ax), ("kAY", ay), ("kBX", bx), ("kBY", by), ("kCX", cx), ("kCY", cy),
             ("kGY", gy), ("kRX", rx), ("kRY", ry)):
    emit(n, v)


def design(x, order):
    return np.column_stack([x**j for j in range(order + 1)])


def prediction(x, y, order, x0, p):
    X = design(x, order)
    beta = np.linalg.lstsq(X, y, rcond=None)[0]
    res = y - X @ beta
    df = len(x) - order - 1
    s = math.sqrt(res @ res / df)
    t = stats.t.ppf(1 - (1 - p) / 2, df)
    r0 = design(np.array([x0]), order)[0]
    h = r0 @ np.linalg.inv(X.T @ X) @ r0
    return [r0 @ beta, s * t * math.sqrt(1 + h), s * t * math.sqrt(h)]


# Straight line.
lr = stats.linregress(ax, ay)
emit("kLin", [lr.slope, lr.intercept, lr.rvalue**2])
emit("kLinPredict", prediction(ax, ay, 1, 3.3, 0.95))
# Parabola and polynomials (ascending coefficients), significances of the coefficients.
for order in (2, 3, 5):
    c, cov = np.polyfit(ax, ay, order, cov="unscaled")
    fit = np.polyval(c, ax)
    df = len(ax) - order - 1
    s2 = ((ay - fit) ** 2).sum() / df
    pv = 2 * stats.t.sf(np.abs(c / np.sqrt(s2 * np.diag(cov))), df)
    r2 = np.corrcoef(ay, fit)[0, 1] ** 2
    emit(f"kPoly{order}", list(c[::-1]) + [r2])
    emit(f"kPoly{order}Alpha", pv[::-1])
    emit(f"kPoly{order}Predict", prediction(ax, ay, order, 3.3, 0.9))
emit("kCentredPoly3", np.polyfit(ax - ax.mean(), ay, 3)[::-1])
# Rank correlations (Kendall: tau-b with the asymptotic tie-corrected p).
for tag, x, y in (("A", ax, ay), ("B", bx, by)):
    sr = stats.spearmanr(x, y)
    kt = stats.kendalltau(x, y, method="asymptotic")
    conc = disc = 0
    for i in range(len(x)):
        for j in range(i + 1, len(x)):
            s = (x[i] - x[j]) * (y[i] - y[j])
            conc += s > 0
            disc += s < 0
    emit(f"kRank{tag}", [sr.correlation, sr.pvalue, kt.correlation, kt.pvalue,
                         (conc - disc) / (conc + disc)])
# Linearised fits on C (G for the bell): least squares of the transformed y.
lx, ly = np.log(cx), np.log(cy)


def line(u, v):
    k1, k0 = np.polyfit(u, v, 1)
    r2 = np.corrcoef(u, v)[0, 1] ** 2
    return k0, k1, r2


k0, k1, r2 = line(cx, 1 / cy)
emit("kReciLin", [k0, k1, r2])
k0, k1, r2 = line(1 / cx, cy)
emit("kHyperbolic", [k0, k1, r2])
k0, k1, r2 = line(1 / cx, 1 / cy)
emit("kReciHyperbolic", [k0, k1, r2])
k0, k1, r2 = line(lx, cy)
emit("kLog", [k0, k1, r2])
k0, k1, r2 = line(lx, 1 / cy)
emit("kReciLog", [k0, k1, r2])
k0, k1, r2 = line(lx, ly)
emit("kPower", [math.exp(k0), k1, r2])
k0, k1, r2 = line(cx, ly)
emit("kExpo", [math.exp(k0), k1, r2])
b = np.linalg.lstsq(np.column_stack([np.ones_like(cx), cx, lx]), ly, rcond=None)[0]
emit("kHoerl", [math.exp(b[0]), math.exp(b[1]), b[2]])
b = np.linalg.lstsq(np.column_stack([np.ones_like(cx), cx, cx**2]), np.log(gy), rcond=None)[0]
emit("kGauss", [math.exp(b[0] - b[1] ** 2 / (4 * b[2])), -b[1] / (2 * b[2]), -1 / b[2]])
# Algebraic circle: x^2 + y^2 = 2 a x + 2 b y + c.
s = np.linalg.lstsq(np.column_stack([2 * rx, 2 * ry, np.ones_like(rx)]), rx**2 + ry**2,
                    rcond=None)[0]
emit("kCircle", [math.sqrt(s[2] + s[0] ** 2 + s[1] ** 2), s[0], s[1]])
# Splines on A (x is increasing) at points inside and outside.
at = np.array([-0.5, 0.0, 1.23, 3.3, 5.55, 7.3, 8.0])
emit("kSplineAt", at)
emit("kSplineNatural", interpolate.CubicSpline(ax, ay, bc_type="natural")(at))
emit("kSplineClamped", interpolate.CubicSpline(ax, ay, bc_type=((1, 0.5), (1, -1.0)))(at))
for lam, tag in ((0.5, "Half"), (5.0, "Five")):
    sp = interpolate.make_smoothing_spline(ax, ay, lam=lam)
    fit = sp(ax)
    r2 = 1 - ((ay - fit) ** 2).sum() / ((ay - ay.mean()) ** 2).sum()
    emit(f"kSmooth{tag}", list(sp(at)) + [r2])

with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "curvefit_reference.inc"),
          "w") as f:
    f.write("// Generated by make_curvefit_reference.py; do not edit.\n")
    f.write("\n".join(OUT) + "\n")
