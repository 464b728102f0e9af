#!/usr/bin/python3
"""The learner's benchmark beside its peer, in one run: scikit-learn's brute-force k-nearest-
neighbour search on one thread over a 10,000 x 10 model of normal inputs (KNeighborsRegressor
with k = 5 answering one query per call and 1,000 queries per call; the 100 nearest neighbours
of every model row), then bench_membl (path as the first argument, default the bench preset's),
and the ratios. Times are best-of-several process CPU times, robust on a shared machine."""
import json
import os
import subprocess
import sys

for v in ("OMP_NUM_THREADS", "OPENBLAS_NUM_THREADS", "MKL_NUM_THREADS"):
    os.environ[v] = "1"

import time  # noqa: E402
import timeit  # noqa: E402

import numpy as np  # noqa: E402
from sklearn.neighbors import KNeighborsRegressor, NearestNeighbors  # noqa: E402


def best(f, repeat):
    return min(timeit.repeat(f, number=1, repeat=repeat, timer=time.process_time))


rng = np.random.default_rng(28)
n, m = 10000, 10
X = rng.normal(size=(n, m))
y = X[:, :3].sum(axis=1) + rng.normal(size=n) * 0.1
Q = rng.normal(size=(1000, m))
reg = KNeighborsRegressor(n_neighbors=5, algorithm="brute", n_jobs=1).fit(X, y)
single = best(lambda: [reg.predict(Q[i:i + 1]) for i in range(200)], 5) / 200
batch = best(lambda: reg.predict(Q), 5) / len(Q)
nn = NearestNeighbors(n_neighbors=100, algorithm="brute", n_jobs=1).fit(X)
allnn = best(lambda: nn.kneighbors(X), 3)
print(f"scikit-learn KNeighborsRegressor k=5, one query per call:   {single * 1e6:8.1f} us per query")
print(f"scikit-learn KNeighborsRegressor k=5, 1000 queries per call: {batch * 1e6:8.1f} us per query")
print(f"scikit-learn 100 nearest neighbours of every row:            {allnn * 1e3:8.1f} ms")

prog = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
    os.path.dirname(__file__), "..", "build", "bench", "bench", "bench_membl")
if not os.path.exists(prog):
    sys.exit(f"{prog} not built (cmake --preset bench && cmake --build build/bench --target bench_membl)")
out = subprocess.run([prog, "--benchmark_format=json", "--benchmark_repetitions=3",
                      "--benchmark_report_aggregates_only=true"],
                     check=True, capture_output=True, text=True).stdout
res = {b["run_name"]: b for b in json.loads(out)["benchmarks"] if b.get("aggregate_name") == "mean"}
scale = {"us": 1e-6, "ms": 1e-3, "ns": 1e-9}


def cpu(name):
    b = res[name]
    return b["cpu_time"] * scale[b["time_unit"]]


apply_t = cpu("BM_ApplyModel/0")
fill_t = cpu("BM_FillCellByCell")
nn_t = cpu("BM_NeighboursOfModel/iterations:3")
print(f"nux ApplyModel k=5:                                          {apply_t * 1e6:8.1f} us per query"
      f"  ({batch / apply_t:.2f}x the batch peer's speed, {single / apply_t:.1f}x the one-query peer's)")
print(f"nux filling 10,000 x 10 cell by cell, statistics read once:  {fill_t * 1e3:8.1f} ms")
print(f"nux CalcNNOfModelData:                                       {nn_t * 1e3:8.1f} ms"
      f"  ({nn_t / allnn:.2f}x the peer's time)")
