#!/usr/bin/python3
# numpy.cov on the data of BM_CalcCovar (bench_datatable.cpp): 50 columns x 100,000 rows,
# cell (c, r) = sin(0.001 r c) + 0.01 c, 1-based. Prints the median time of seven runs.
import time

import numpy as np

cols, rows = 50, 100_000
r = np.arange(1, rows + 1, dtype=np.float64)
x = np.stack([np.sin(0.001 * r * c) + 0.01 * c for c in range(1, cols + 1)])
times = []
for _ in range(7):
    t0 = time.perf_counter()
    cov = np.cov(x)
    times.append(time.perf_counter() - t0)
print(f"numpy.cov 50 x 100000: {sorted(times)[3] * 1e3:.1f} ms (median of 7)")
print(f"cov[0][1] = {cov[0][1]:.15g}, cov[49][49] = {cov[49][49]:.15g}")
