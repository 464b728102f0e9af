// Clustering and nearest neighbours of unit math2. bench/cluster_peers.py times the Python peers
// (scikit-learn's Lloyd k-means and brute-force neighbours, scipy's linkage) on the same data,
// one thread each; the figures here are process CPU times, like the script's.
//
// Data (0-based row r, column c):
//   k-means 100,000 x 8:  3 ((r mod 10)(c + 3) mod 5) + sin(0.37 r (c + 1)), start rows 1..10;
//   neighbours 10,000 x 10: sin(0.013 r (c + 1) + c), query i: cos(0.7 (i + 1)(c + 1));
//   linkage 5,000 x 10: sin(0.0371 r (c + 1)) + 0.1 ((r (c + 2)) mod 11).
#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>
#include <vector>

#include "nux/frame/progress.h"
#include "nux/math2/math2.h"

namespace {

double CpuSeconds() {
  timespec T{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &T);
  return double(T.tv_sec) + 1e-9 * double(T.tv_nsec);
}

template <class F>
void Fill(nux::TMatrix& M, int Cols, int Rows, F&& Value) {
  nux::TDouble2DArray Block(size_t(Cols), nux::TDoubleArray(size_t(Rows), 0.0));
  for (int C = 0; C < Cols; ++C)
    for (int R = 0; R < Rows; ++R) Block[size_t(C)][size_t(R)] = Value(R, C);
  M.SetValues(Block);
}

// One k-means run; the counter gives the CPU time per Lloyd iteration.
void BM_KMeans(benchmark::State& State) {
  nux::TMatrix Data, Centers;
  Fill(Data, 8, 100000, [](int R, int C) {
    return 3.0 * double(((R % 10) * (C + 3)) % 5) + std::sin(0.37 * R * (C + 1));
  });
  nux::TIntVector Assign, Sizes;
  double Cpu = 0.0, Iterations = 0.0;
  for (auto _ : State) {
    Assign.Resize(1);  // no previous assignment
    nux::ProcStat = 0.0;
    const double T0 = CpuSeconds();
    benchmark::DoNotOptimize(nux::kMeansClustering(Data, 0, 0, 10, 0, Centers, Assign, Sizes));
    Cpu += CpuSeconds() - T0;
    Iterations += nux::ProcStat;
  }
  State.counters["iterations"] = nux::ProcStat;
  State.counters["cpu_ms_per_iteration"] = 1e3 * Cpu / Iterations;
}
BENCHMARK(BM_KMeans)->Unit(benchmark::kMillisecond);

// 1,000 searches for the 5 nearest of 10,000 rows.
void BM_NearestNeighbors(benchmark::State& State) {
  nux::TMatrix Data, List(2, 5);
  Fill(Data, 10, 10000, [](int R, int C) { return std::sin(0.013 * R * (C + 1) + C); });
  std::vector<nux::TDoubleArray> Queries(1000, nux::TDoubleArray(10));
  for (int I = 0; I < 1000; ++I)
    for (int C = 0; C < 10; ++C) Queries[size_t(I)][size_t(C)] = std::cos(0.7 * (I + 1) * (C + 1));
  nux::TVector Query(10);
  double Cpu = 0.0, Runs = 0.0;
  for (auto _ : State) {
    const double T0 = CpuSeconds();
    for (const auto& Q : Queries) {
      Query.SetValues(Q);
      benchmark::DoNotOptimize(nux::FindNearestNeighbors(5, Data, 0, 0, Query, List));
    }
    Cpu += CpuSeconds() - T0;
    Runs += 1.0;
  }
  State.counters["cpu_ms_1000_queries"] = 1e3 * Cpu / Runs;
}
BENCHMARK(BM_NearestNeighbors)->Unit(benchmark::kMillisecond);

// Agglomerative clustering of 5,000 objects, distances included.
void BM_AgglomClustering(benchmark::State& State) {
  const auto Method = static_cast<nux::TClusterMethod>(State.range(0));
  nux::TMatrix Data;
  Fill(Data, 10, 5000, [](int R, int C) {
    return std::sin(0.0371 * R * (C + 1)) + 0.1 * double((R * (C + 2)) % 11);
  });
  nux::TIntMatrix Dendrogram;
  nux::TVector MergeDist, Position;
  const nux::TDistMode Mode = Method == nux::cmWard ? nux::dmEuclidSqr : nux::dmEuclid;
  double Cpu = 0.0, Runs = 0.0;
  for (auto _ : State) {
    const double T0 = CpuSeconds();
    benchmark::DoNotOptimize(
        nux::AgglomClustering(nullptr, Data, Mode, Method, 0.0, Dendrogram, MergeDist, Position));
    Cpu += CpuSeconds() - T0;
    Runs += 1.0;
  }
  State.SetLabel(nux::ClusterMethodID[Method]);
  State.counters["cpu_ms"] = 1e3 * Cpu / Runs;
  State.counters["last_height"] = MergeDist.GetVal(4999);
}
BENCHMARK(BM_AgglomClustering)
    ->Arg(nux::cmSingleLink)
    ->Arg(nux::cmCompleteLink)
    ->Arg(nux::cmUpgma)
    ->Arg(nux::cmWard)
    ->Unit(benchmark::kMillisecond);

}  // namespace
