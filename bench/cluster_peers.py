#!/usr/bin/python3
# The peers of bench_cluster.cpp on the same data, one thread (run with OMP_NUM_THREADS=1 and
# OPENBLAS_NUM_THREADS=1): scikit-learn's Lloyd k-means from the same ten start rows, its
# brute-force nearest neighbours, scipy's linkage. Prints process CPU times (median of runs).
import os
import time

for var in ("OMP_NUM_THREADS", "OPENBLAS_NUM_THREADS", "MKL_NUM_THREADS"):
    os.environ.setdefault(var, "1")

import numpy as np
from scipy.cluster.hierarchy import linkage
from sklearn.cluster import KMeans
from sklearn.neighbors import NearestNeighbors


def cpu(fn, runs):
    times = []
    for _ in range(runs):
        t0 = time.process_time()
        out = fn()
        times.append(time.process_time() - t0)
    return sorted(times)[len(times) // 2], out


r = np.arange(100_000)[:, None]
c = np.arange(8)[None, :]
km = 3.0 * (((r % 10) * (c + 3)) % 5) + np.sin(0.37 * r * (c + 1))
t, model = cpu(lambda: KMeans(10, init=km[:10], n_init=1, algorithm="lloyd", tol=0.0,
                              max_iter=1000).fit(km), 5)
print(f"sklearn KMeans lloyd 100000 x 8, k=10: {t * 1e3:.1f} ms for {model.n_iter_} iterations, "
      f"{t * 1e3 / model.n_iter_:.2f} ms per iteration, inertia {model.inertia_:.10g}")

r = np.arange(10_000)[:, None]
c = np.arange(10)[None, :]
kn = np.sin(0.013 * r * (c + 1) + c)
i = np.arange(1000)[:, None]
queries = np.cos(0.7 * (i + 1) * (c + 1))
nn = NearestNeighbors(n_neighbors=5, algorithm="brute").fit(kn)
t, (dist, idx) = cpu(lambda: nn.kneighbors(queries), 7)
print(f"sklearn NearestNeighbors brute 1000 queries over 10000 x 10, k=5: {t * 1e3:.1f} ms")

r = np.arange(5000)[:, None]
ag = np.sin(0.0371 * r * (c + 1)) + 0.1 * ((r * (c + 2)) % 11)
for method in ("single", "complete", "average", "ward"):
    t, z = cpu(lambda: linkage(ag, method), 3)
    print(f"scipy linkage {method} 5000 x 10: {t * 1e3:.1f} ms, last height {z[-1, 2]:.10g}")
