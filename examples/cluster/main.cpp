// Cluster: 45 soil samples (data/soil.txt: pH, organic matter %, clay %) from fields the
// program is not told about. The standardised samples are grouped by k-means and by Ward's
// agglomerative clustering (cut at three clusters), the two groupings are cross-tabulated,
// the data are reduced to three centres, and the clay content of a new sample is estimated
// from its nearest neighbours in pH and organic matter. The program checks that the groupings
// agree and that the estimate lies within its neighbours' range, and exits non-zero otherwise.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "nux/nux.h"

using namespace nux;

namespace {

std::string F(double X, int32_t Decimals) { return strff(X, 1, Decimals); }

constexpr int32_t K = 3;

// The cluster (1..K) of every leaf when the dendrogram is cut above its last K - 1 merges.
std::vector<int32_t> CutDendrogram(const TIntMatrix& Dendrogram, int32_t N) {
  std::vector<int32_t> Root(size_t(2 * N - 1));
  for (int32_t Id = 1; Id < 2 * N; ++Id) Root[size_t(Id - 1)] = Id;
  // Walk the merges below the cut from the top down: members inherit their merge's root.
  const int32_t Below = N - K;  // merges 1..Below stay inside clusters
  for (int32_t S = Below; S >= 1; --S) {
    const int32_t Id = N + S;
    for (int32_t Col = 1; Col <= 2; ++Col)
      Root[size_t(Dendrogram.GetVal(Col, S) - 1)] = Root[size_t(Id - 1)];
  }
  std::vector<int32_t> Roots, Cluster(static_cast<size_t>(N), 0);
  for (int32_t Leaf = 1; Leaf <= N; ++Leaf) {
    const int32_t R = Root[size_t(Leaf - 1)];
    auto It = std::find(Roots.begin(), Roots.end(), R);
    if (It == Roots.end()) It = Roots.insert(Roots.end(), R);
    Cluster[size_t(Leaf - 1)] = int32_t(It - Roots.begin()) + 1;
  }
  return Cluster;
}

int Run(const std::string& FileName) {
  TMatrix Soil;
  int64_t Line = 0;
  if (const int32_t Code = LoadPlainText(FileName, Soil, &Line); Code != ptOK) {
    std::fprintf(stderr, "cluster: cannot read %s (code %d, line %lld)\n", FileName.c_str(), Code,
                 static_cast<long long>(Line));
    return 1;
  }
  const int32_t N = Soil.NrOfRows();
  if (Soil.NrOfColumns() != 3 || N < 2 * K) {
    std::fprintf(stderr, "cluster: %s needs 3 columns and at least %d samples\n", FileName.c_str(),
                 2 * K);
    return 1;
  }
  std::printf("%d soil samples read from %s\n", N, FileName.c_str());

  // Standardised, so that clay (in tens of %) does not outweigh pH.
  TMatrix Z;
  Z.Assign(&Soil);
  TVector Means, StdDevs;
  Z.StandardizeColumns(&Means, &StdDevs);

  TMatrix Centers;
  TIntVector Assign, Sizes;
  const double SumSq = kMeansClustering(Z, 0, 0, K, 7, Centers, Assign, Sizes);
  std::printf("\nk-means, %d clusters (about %d iterations expected): within sum of squares %s\n",
              K, kMeansEstimatedSteps(N, 3, K), F(SumSq, 3).c_str());
  std::printf("  %-8s %5s %8s %10s %8s\n", "cluster", "size", "pH", "organic %", "clay %");
  for (int32_t C = 1; C <= K; ++C) {
    std::printf("  %-8d %5d", C, Sizes.GetVal(C));
    for (int32_t V = 1; V <= 3; ++V)  // the centre back in the original units
      std::printf(" %*s", V == 2 ? 10 : 8,
                  F(Means(V) + StdDevs(V) * Centers(V, C), V == 3 ? 1 : 2).c_str());
    std::printf("\n");
  }

  TIntMatrix Dendrogram;
  TVector Height, Position;
  if (AgglomClustering(nullptr, Z, dmEuclidSqr, cmWard, 0, Dendrogram, Height, Position) != 0) {
    std::fprintf(stderr, "cluster: the agglomerative clustering failed\n");
    return 1;
  }
  std::printf("\nWard's method: the last merges at %s, %s and %s (squared distances)\n",
              F(Height(N - 3), 2).c_str(), F(Height(N - 2), 2).c_str(),
              F(Height(N - 1), 2).c_str());
  const std::vector<int32_t> Ward = CutDendrogram(Dendrogram, N);
  int32_t Table[K][K] = {};
  for (int32_t R = 1; R <= N; ++R) ++Table[Assign(R) - 1][Ward[size_t(R - 1)] - 1];
  std::printf("  k-means cluster by Ward cluster:\n");
  int32_t Agreeing = 0;
  for (int32_t A = 0; A < K; ++A) {
    std::printf("  %d:", A + 1);
    for (int32_t B = 0; B < K; ++B) std::printf(" %4d", Table[A][B]);
    std::printf("\n");
    Agreeing += *std::max_element(Table[A], Table[A] + K);
  }

  TMatrix Reduced(3, K);
  double MeanDist = 0;
  const int32_t Formed = FindCenters(Z, 0, 0, K, Reduced, MeanDist);
  std::printf("\n%d centres by merging the closest samples, %s apart on average (standardised)\n",
              Formed, F(MeanDist, 3).c_str());

  // Clay of a new sample from its 5 nearest samples in pH and organic matter.
  TMatrix PhOrg;
  PhOrg.Assign(&Soil);
  PhOrg.RemoveColumn(3);
  TVector Clay(N), Query(std::vector<double>{6.8, 2.2});
  for (int32_t R = 1; R <= N; ++R) Clay(R) = Soil(3, R);
  TMatrix List(2, 5);
  FindNearestNeighbors(5, PhOrg, 0, 0, Query, List);
  std::printf("\nnew sample at pH 6.8, organic matter 2.2 %%; its nearest samples:");
  double Lo = 1e300, Hi = -1e300;
  for (int32_t I = 1; I <= 5; ++I) {
    const auto Row = static_cast<int32_t>(List(1, I));
    std::printf(" %d", Row);
    Lo = std::min(Lo, Clay.GetVal(Row));
    Hi = std::max(Hi, Clay.GetVal(Row));
  }
  std::printf("\n  clay estimate:");
  bool InRange = true;
  const TKnnWMode Modes[] = {kwmAverage, kwmMedian, kwmGauss, kwmLinear};
  const char* const Names[] = {"average", "median", "Gauss", "linear"};
  for (int32_t M = 0; M < 4; ++M) {
    double Estimate = 0, Dist = 0;
    EstimateByKNN(PhOrg, Clay, 5, Modes[M], 1.0, Query, Estimate, Dist);
    std::printf(" %s %s %%", Names[M], F(Estimate, 1).c_str());
    InRange = InRange && Estimate >= Lo && Estimate <= Hi;
  }
  std::printf("\n");

  std::printf("\nchecks: %d of %d samples grouped alike, estimates within %s..%s %%\n", Agreeing, N,
              F(Lo, 1).c_str(), F(Hi, 1).c_str());
  if (Agreeing < N - 2 || !InRange || Formed != K) {
    std::fprintf(stderr, "cluster: a check failed\n");
    return 1;
  }
  std::printf("all checks passed\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string Dir = argc > 1 ? argv[1] : NUX_EXAMPLE_DATA;
  try {
    return Run(Dir + "/soil.txt");
  } catch (const Exception& E) {
    std::fprintf(stderr, "cluster: %s\n", E.what());
    return 1;
  }
}
