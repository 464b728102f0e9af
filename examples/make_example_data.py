#!/usr/bin/python3
"""Writes the bundled data of the example programs (synthetic, reproducible: fixed seeds).
Run from the examples folder: python3 make_example_data.py"""
import numpy as np

rng = np.random.default_rng(7)

# statistics: 40 steel specimens, tensile strength and elongation at break.
strength = rng.normal(532.0, 14.0, 40) + rng.gamma(1.5, 4.0, 40)
elongation = 31.0 - 0.03 * (strength - 530.0) + rng.normal(0.0, 1.2, 40)
with open("statistics/data/tensile.txt", "w") as f:
    f.write("# Tensile tests of 40 steel specimens (synthetic)\n")
    f.write("# strength/MPa  elongation/%\n")
    for s, e in zip(strength, elongation):
        f.write(f"{s:.1f} {e:.2f}\n")

# linalg: the conductance matrix of a small resistor ladder (siemens) and the currents fed in.
n = 6
g = np.zeros((n, n))
for i in range(n):
    g[i, i] += 1.0 / 100.0  # every node to ground through 100 ohm
    if i + 1 < n:
        r = 47.0 + 10.0 * i
        g[i, i] += 1.0 / r
        g[i + 1, i + 1] += 1.0 / r
        g[i, i + 1] -= 1.0 / r
        g[i + 1, i] -= 1.0 / r
with open("linalg/data/ladder.txt", "w") as f:
    f.write("# Nodal conductance matrix of a 6-node resistor ladder, siemens (row by row)\n")
    for row in g:
        f.write(" ".join(f"{v:.10g}" for v in row) + "\n")
with open("linalg/data/currents.txt", "w") as f:
    f.write("# Currents fed into the 6 nodes, ampere\n0.01\n0\n0\n0\n0\n-0.005\n")

# spectrum: 1024 samples of a vibration, 0.5 ms apart (2 kHz).
t = np.arange(1024) * 0.5e-3
x = (1.8 * np.sin(2 * np.pi * 50.0 * t) + 0.6 * np.sin(2 * np.pi * 150.0 * t + 0.4)
     + 0.25 * np.sin(2 * np.pi * 317.3 * t + 1.1) + rng.normal(0.0, 0.15, t.size))
with open("fourier/data/vibration.txt", "w") as f:
    f.write("# Vibration of a pump housing, 1024 samples 0.5 ms apart (synthetic), mm/s\n")
    for v in x:
        f.write(f"{v:.5f}\n")

# wavelet: 512 samples of a piecewise smooth signal with a jump and a little noise.
u = np.linspace(0.0, 1.0, 512, endpoint=False)
y = np.where(u < 0.37, np.sin(6 * u) * 2.0, 0.8 + 1.5 * (u - 0.37) ** 2)
y += 0.5 * np.exp(-((u - 0.72) / 0.01) ** 2) + rng.normal(0.0, 0.02, u.size)
with open("wavelet/data/profile.txt", "w") as f:
    f.write("# Surface profile, 512 points (synthetic), micrometres\n")
    for v in y:
        f.write(f"{v:.5f}\n")

# datatable: 24 alloy specimens with their alloy as a category; one hardness and one density
# were mistyped, two values were not measured ("-"). A generator of its own, so that the data
# above do not change when this part does.
rng_dt = np.random.default_rng(17)
alloys = {"AlMg3": (52.0, 2.66, 230.0), "AlSi1MgMn": (94.0, 2.70, 310.0),
          "CuZn37": (112.0, 8.44, 410.0)}
names = [a for a in alloys for _ in range(8)]
rng_dt.shuffle(names)
rows = []
for k, a in enumerate(names):
    hb, rho, rm = alloys[a]
    rows.append([f"S{k + 1:02d}", a, f"{rng_dt.normal(hb, 2.5):.1f}",
                 f"{rng_dt.normal(rho, 0.012):.3f}", f"{rng_dt.normal(rm, 8.0):.0f}"])
rows[6][2] = f"{alloys[names[6]][0] + 37:.1f}"  # mistyped hardness, far outside its alloy
rows[15][3] = f"{float(rows[15][3]) + 4:.3f}"  # mistyped density
rows[10][4] = "-"
rows[19][2] = "-"
rows[21][1] = rows[21][1].lower()  # identifiers are matched ignoring case
with open("datatable/data/alloys.txt", "w") as f:
    f.write("# Hardness tests of 24 alloy specimens (synthetic); '-' marks a value not measured\n")
    f.write("# hardness HB, density g/cm3, tensile strength MPa\n")
    f.write("specimen alloy hardness density strength\n")
    for r in rows:
        f.write(" ".join(r) + "\n")

# regression: compressive strength of 30 concrete mixes after curing.
rng_rg = np.random.default_rng(5)
m = 30
cement = rng_rg.uniform(260.0, 440.0, m)
water = 0.35 * cement + rng_rg.uniform(50.0, 80.0, m)  # water goes with cement
ash = rng_rg.uniform(0.0, 120.0, m)
age = rng_rg.choice([3, 7, 14, 28, 56, 90], m)
fc = (8.0 + 0.11 * cement - 0.21 * water + 0.045 * ash + 6.5 * np.log(age)
      + rng_rg.normal(0.0, 1.8, m))
with open("regression/data/concrete.txt", "w") as f:
    f.write("# Compressive strength of 30 concrete mixes (synthetic)\n")
    f.write("# cement/(kg/m3) water/(kg/m3) fly ash/(kg/m3) age/d strength/MPa\n")
    for row in zip(cement, water, ash, age, fc):
        f.write(f"{row[0]:.0f} {row[1]:.0f} {row[2]:.0f} {row[3]:d} {row[4]:.1f}\n")

# curvefit: calibration of an NTC thermistor (beta 3950 K, 10 kOhm at 25 degC), 0.5 % noise,
# written in the ASC layout of the curve fit.
rng_cf = np.random.default_rng(20)
temp = np.arange(-10.0, 80.0, 5.0)
res = 10.0 * np.exp(3950.0 * (1.0 / (temp + 273.15) - 1.0 / 298.15))
res *= 1.0 + rng_cf.normal(0.0, 0.005, temp.size)
with open("curvefit/data/thermistor.asc", "w") as f:
    f.write("Thermistor calibration (synthetic): temperature/degC, resistance/kOhm\n")
    f.write(f"2\t;nr. of columns\n{temp.size}\t;nr. of rows\n")
    f.write("FALSE TRUE FALSE\t;row attributes, column names, row names\n")
    f.write("x   y\n")
    for t, r in zip(temp, res):
        f.write(f"{t:.1f}\t{r:.3f}\n")

# filters: a chromatogram with three peaks and noise, and the positions of soil samples taken
# on a field (metres east and north of a survey mark).
rng_fl = np.random.default_rng(9)
t = np.arange(600) * 0.05
y = (4.0 * np.exp(-((t - 7.5) / 0.6) ** 2) + 2.5 * np.exp(-((t - 14.0) / 0.9) ** 2)
     + 1.2 * np.exp(-((t - 21.0) / 0.5) ** 2) + 0.3 + rng_fl.normal(0.0, 0.12, t.size))
with open("filters/data/chromatogram.txt", "w") as f:
    f.write("# Detector signal of a chromatogram, 600 samples 0.05 min apart (synthetic), mV\n")
    for v in y:
        f.write(f"{v:.4f}\n")
angle = rng_fl.uniform(0.0, 2 * np.pi, 80)
radius = 120.0 * np.sqrt(rng_fl.uniform(0.0, 1.0, 80))
east, north = 1.6 * radius * np.cos(angle) + 300.0, radius * np.sin(angle) + 200.0
with open("filters/data/samples.txt", "w") as f:
    f.write("# Soil sample positions on a field, metres east and north of a survey mark "
            "(synthetic)\n")
    for e, n in zip(east, north):
        f.write(f"{e:.1f} {n:.1f}\n")
# intmatrix: fold, true class and predicted class of 120 cases of a four-class classifier.
import random

lab = random.Random(7)
lines = ["# fold true-class predicted-class (classes 1..4, three folds of a classifier run)"]
for fold in (1, 2, 3):
    for i in range(40):
        t = lab.randint(1, 4)
        p = t if lab.random() < 0.75 else lab.randint(1, 4)
        lines.append(f"{fold} {t} {p}")
with open("intmatrix/data/labels.txt", "w") as f:
    f.write("\n".join(lines) + "\n")

# cluster: 45 soil samples from three fields (pH, organic matter %, clay %), in field order
# mixed; the program does not know the fields. A generator of its own.
rng_cl = np.random.default_rng(23)
fields = {"loess": (6.9, 2.1, 18.0), "marsh": (5.6, 7.5, 34.0), "sand": (5.2, 1.2, 6.0)}
spread = (0.25, 0.5, 3.0)
labels = [f for f in fields for _ in range(15)]
rng_cl.shuffle(labels)
with open("cluster/data/soil.txt", "w") as f:
    f.write("# 45 soil samples from three fields (synthetic)\n")
    f.write("# pH  organic matter/%  clay/%\n")
    for lab in labels:
        v = [rng_cl.normal(mu, sd) for mu, sd in zip(fields[lab], spread)]
        f.write(f"{v[0]:.2f} {v[1]:.2f} {v[2]:.1f}\n")
# classifier: a blood marker measured in 120 patients, 42 of whom have the disease.
rng_cf = np.random.default_rng(29)
sick = np.zeros(120, dtype=int)
sick[rng_cf.choice(120, 42, replace=False)] = 1
marker = np.where(sick == 1, rng_cf.normal(3.1, 0.7, 120), rng_cf.normal(2.0, 0.6, 120))
with open("classifier/data/marker.txt", "w") as f:
    f.write("# Blood marker of 120 patients (synthetic)\n")
    f.write("# disease (1 yes, 0 no)  marker/(mg/l)\n")
    for s, v in zip(sick, marker):
        f.write(f"{s:d} {max(v, 0.1):.1f}\n")
# kohonen: 45 water samples from three springs: pH, conductivity/(uS/cm), hardness/(dH).
krng = np.random.default_rng(23)
springs = [(7.9, 520.0, 14.0), (6.6, 180.0, 4.5), (7.3, 860.0, 22.0)]
with open("kohonen/data/springs.txt", "w") as f:
    f.write("# Water samples of three springs, 15 each, in order (synthetic)\n")
    f.write("# pH  conductivity/(uS/cm)  hardness/dH\n")
    for ph, cond, hard in springs:
        for _ in range(15):
            f.write(f"{krng.normal(ph, 0.15):.2f} {krng.normal(cond, 40.0):.0f} "
                    f"{krng.normal(hard, 1.5):.1f}\n")
# mat4d: a 6 x 4 pixel sensor in 3 spectral bands over 5 exposures; pixel (5, 2) is hot in
# band 2, one reading of pixel (1, 1) was lost.
rng_m4 = np.random.default_rng(11)
with open("mat4d/data/exposures.txt", "w") as f:
    f.write("# 6 x 4 pixels, 3 bands, 5 exposures (synthetic); one line per exposure and band,\n")
    f.write("# the pixels row by row; 'nan' marks a lost reading\n")
    for t in range(5):
        for band in range(3):
            level = [120.0, 80.0, 45.0][band]
            img = level + rng_m4.normal(0.0, 2.0, (4, 6))
            if band == 1:
                img[1, 4] += 60.0
            vals = [f"{v:.1f}" for v in img.flatten()]
            if t == 2 and band == 0:
                vals[0] = "nan"
            f.write(" ".join(vals) + "\n")

# membl: 60 concrete mixes: cement/(kg/m3), water-cement ratio, age/d, strength/MPa, grade 1..3.
rng_m = np.random.default_rng(28)
cement = rng_m.uniform(250.0, 450.0, 60)
wc = rng_m.uniform(0.38, 0.65, 60)
age = rng_m.choice([3.0, 7.0, 28.0, 56.0], 60)
strength = (0.09 * cement - 55.0 * wc + 9.0 * np.log(age) + rng_m.normal(0.0, 2.0, 60)).clip(5.0)
grade = np.digitize(strength, [20.0, 32.0]) + 1
with open("membl/data/concrete.txt", "w") as f:
    f.write("# 60 concrete mixes (synthetic)\n")
    f.write("# cement/(kg/m3)  water-cement ratio  age/d  strength/MPa  grade (1 low, 2 mid, 3 high)\n")
    for row in zip(cement, wc, age, strength, grade):
        f.write(f"{row[0]:.0f} {row[1]:.2f} {row[2]:.0f} {row[3]:.1f} {row[4]}\n")
