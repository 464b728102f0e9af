#!/usr/bin/python3
"""Writes the bundled data of the example programs (synthetic, reproducible: fixed seeds).
Run from the examples folder: python3 make_example_data.py"""
import numpy as np

rng = np.random.default_rng(7)

# statistics: 40 steel specimens, tensile strength and elongation at break.
strength = rng.normal(532.0, 14.0, 40) + rng.gamma(1.5, 4.0, 40)
elongation = 31.0 - 0.03 * (strength - 530.0) + rng.normal(0.0, 1.2, 40)
with open("statistics/data/specimens.txt", "w") as f:
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
with open("spectrum/data/vibration.txt", "w") as f:
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
