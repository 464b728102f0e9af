#!/usr/bin/python3
# numpy.polyfit of order 5 on the data of BM_CalcPolyFit5 (bench_curvefit.cpp): 100,000 points,
# x_i = i / n, y_i = sin(3 x_i) + 0.1 cos(17 x_i). Prints the median wall and CPU times of seven
# runs (CPU time is the fairer figure on a loaded machine; compare with the benchmark's CPU column).
import time

import numpy as np

n = 100_000
x = np.arange(n, dtype=np.float64) / n
y = np.sin(3 * x) + 0.1 * np.cos(17 * x)
wall, cpu = [], []
for _ in range(7):
    t0, c0 = time.perf_counter(), time.process_time()
    c = np.polyfit(x, y, 5)
    wall.append(time.perf_counter() - t0)
    cpu.append(time.process_time() - c0)
print(f"numpy.polyfit order 5, 100000 points: {sorted(wall)[3] * 1e3:.2f} ms wall, "
      f"{sorted(cpu)[3] * 1e3:.2f} ms CPU (medians of 7)")
print(f"k5 = {c[0]:.15g}")
