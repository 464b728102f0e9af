// Clustering: k-means against a plain Lloyd iteration, agglomerative merges against scipy and
// against a literal implementation of the tie rule, reduction to centres. References:
// data/make_cluster_reference.py.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <utility>
#include <vector>

#include "nux/frame/progress.h"
#include "nux/host/random.h"
#include "nux/kernels/dispatch.h"
#include "nux/math2/cluster_impl.h"
#include "nux/math2/math2.h"

namespace nux {
namespace {

#include "data/cluster_reference.inc"

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// A matrix of Rows x Cols from row-major values.
template <size_t N>
void Load(TMatrix& M, const double (&Values)[N], int32_t Cols) {
  const auto Rows = static_cast<int32_t>(N) / Cols;
  TDouble2DArray Block(size_t(Cols), TDoubleArray(size_t(Rows), 0.0));
  for (int32_t R = 0; R < Rows; ++R)
    for (int32_t C = 0; C < Cols; ++C) Block[size_t(C)][size_t(R)] = Values[R * Cols + C];
  M.SetValues(Block);
}

struct TAgglom {
  TIntMatrix Dendrogram;
  TVector MergeDist, Position;
  int32_t Run(const TMatrix& Data, TDistMode Mode, TClusterMethod Method, double Alpha = 0.0,
              const TClusterFeedBackProc& FeedBack = {}, const TOnCalcDistanceEvent& User = {}) {
    return AgglomClustering(nullptr, Data, Mode, Method, Alpha, Dendrogram, MergeDist, Position,
                            FeedBack, User);
  }
};

// ---- k-means ---------------------------------------------------------------------------------

TEST(KMeans, MatchesLloydFromTheFirstRowsAndNumbersClustersBySize) {
  TMatrix Data, Centers;
  Load(Data, kKmData, 3);
  TIntVector Assign, Sizes;
  ProcStat = 0.0;
  const double SumSq = kMeansClustering(Data, 0, 0, 4, 0, Centers, Assign, Sizes);
  EXPECT_EQ(ProcStat, kKmIterations);
  EXPECT_NEAR(SumSq, kKmSumSq, 1e-12 * kKmSumSq);
  ASSERT_EQ(Assign.NrOfElem(), 60);
  for (int32_t R = 1; R <= 60; ++R) EXPECT_EQ(Assign(R), kKmAssign[R - 1]) << R;
  ASSERT_EQ(Centers.NrOfColumns(), 3);
  ASSERT_EQ(Centers.NrOfRows(), 4);
  for (int32_t K = 1; K <= 4; ++K) {
    EXPECT_EQ(Sizes(K), kKmSizes[K - 1]);
    for (int32_t C = 1; C <= 3; ++C)
      EXPECT_NEAR(Centers(C, K), kKmCenters[(K - 1) * 3 + C - 1], 1e-13);
  }
  // The largest cluster started as centre 3 (its first row is row 3).
  EXPECT_EQ(Assign(3), 1);

  // Reused outputs: the previous assignment is already stable, yet the centres must be those
  // of the clusters, not the start rows.
  const double Again = kMeansClustering(Data, 7, 9, 4, Centers, Assign);
  EXPECT_EQ(Again, SumSq);
  for (int32_t K = 1; K <= 4; ++K) EXPECT_NEAR(Centers(1, K), kKmCenters[(K - 1) * 3], 1e-13);
}

TEST(KMeans, SeededStartEndsAtAFixedPointAndRepeats) {
  TMatrix Data, C1, C2;
  Load(Data, kKmData, 3);
  TIntVector A1, A2, S1, S2;
  const double Q1 = kMeansClustering(Data, 0, 0, 4, 17, C1, A1, S1);
  const double Q2 = kMeansClustering(Data, 0, 0, 4, 17, C2, A2, S2);
  EXPECT_EQ(Q1, Q2);
  EXPECT_EQ(A1.Data(), A2.Data());
  // Every row is at its nearest centre, every centre is the mean of its rows.
  double Total = 0.0;
  for (int32_t R = 1; R <= 60; ++R) {
    int32_t Best = 0;
    double BestD = 0.0;
    for (int32_t K = 1; K <= 4; ++K) {
      double D = 0.0;
      for (int32_t C = 1; C <= 3; ++C) D += std::pow(Data(C, R) - C1(C, K), 2);
      if (Best == 0 || D < BestD) {
        Best = K;
        BestD = D;
      }
    }
    EXPECT_EQ(A1(R), Best);
    Total += BestD;
  }
  EXPECT_NEAR(Q1, Total, 1e-12 * Total);
  for (int32_t K = 1; K <= 4; ++K) {
    double Sum = 0.0;
    for (int32_t R = 1; R <= 60; ++R)
      if (A1(R) == K) Sum += Data(2, R);
    if (S1(K) > 0) {
      EXPECT_NEAR(C1(2, K), Sum / S1(K), 1e-12);
    }
    if (K > 1) {
      EXPECT_GE(S1(K - 1), S1(K));
    }
  }
}

TEST(KMeans, OwnClustersDuplicatesBadRowsAndRefusals) {
  // As many clusters as rows: every row alone, except that the later of two equal rows joins
  // the earlier one's centre and leaves an empty cluster at the origin.
  TMatrix Data(2, 4), Centers;
  const double V[4][2] = {{1, 2}, {5, 5}, {1, 2}, {-3, 4}};
  for (int32_t R = 1; R <= 4; ++R)
    for (int32_t C = 1; C <= 2; ++C) Data.SetVal(C, R, V[R - 1][C - 1]);
  TIntVector Assign, Sizes;
  EXPECT_EQ(kMeansClustering(Data, 0, 0, 4, 0, Centers, Assign, Sizes), 0.0);
  EXPECT_EQ(Assign(1), Assign(3));
  EXPECT_EQ(Sizes(1), 2);
  EXPECT_EQ(Sizes(4), 0);
  EXPECT_EQ(Centers(1, 4), 0.0);
  EXPECT_EQ(Centers(2, 4), 0.0);

  // A row with NaN takes no part: cluster 0, the others as without it.
  TMatrix WithNaN(2, 5), Plain(2, 4), C2;
  for (int32_t R = 1; R <= 4; ++R)
    for (int32_t C = 1; C <= 2; ++C) {
      WithNaN.SetVal(C, R < 3 ? R : R + 1, V[R - 1][C - 1] + R);
      Plain.SetVal(C, R, V[R - 1][C - 1] + R);
    }
  WithNaN.SetVal(1, 3, NaN);
  TIntVector A2, S2;
  const double Q = kMeansClustering(WithNaN, 0, 0, 2, 0, Centers, Assign, Sizes);
  EXPECT_EQ(Q, kMeansClustering(Plain, 0, 0, 2, 0, C2, A2, S2));
  EXPECT_EQ(Assign.Data(), (TIntArray{A2(1), A2(2), 0, A2(3), A2(4)}));
  EXPECT_EQ(Centers.Data(), C2.Data());

  EXPECT_THROW(
      {
        try {
          kMeansClustering(Data, 0, 0, 5, 0, Centers, Assign, Sizes);
        } catch (const ENUXMath2Error& E) {
          EXPECT_STREQ(E.what(),
                       "kMeansClustering: number of clusters is greater than number of objects");
          throw;
        }
      },
      ENUXMath2Error);
  EXPECT_THROW(kMeansClustering(WithNaN, 0, 0, 5, 0, Centers, Assign, Sizes), ENUXMath2Error);
  EXPECT_THROW(kMeansClustering(Data, 0, 0, 0, 0, Centers, Assign, Sizes), ENUXMath2Error);
}

TEST(KMeans, CountsIterationsAndStopsOnAbort) {
  TMatrix Data, Centers;
  Load(Data, kKmData, 3);
  TIntVector Assign, Sizes;
  ProcStat = 0.0;
  int32_t Calls = 0;
  MathFeedBackProc = [&](double) {
    if (++Calls == 2) AbortMathProc = true;
  };
  EXPECT_EQ(kMeansClustering(Data, 0, 0, 4, 0, Centers, Assign, Sizes), -1.0);
  MathFeedBackProc = nullptr;
  AbortMathProc = false;
  EXPECT_EQ(ProcStat, 2.0);
  // The outputs still describe one assignment.
  int32_t Total = 0;
  for (int32_t K = 1; K <= 4; ++K) Total += Sizes(K);
  EXPECT_EQ(Total, 60);
}

TEST(KMeans, EstimatedSteps) {
  for (size_t I = 0; I < std::size(kSteps); ++I)
    EXPECT_EQ(kMeansEstimatedSteps(kStepsArgs[3 * I], kStepsArgs[3 * I + 1], kStepsArgs[3 * I + 2]),
              kSteps[I]);
  EXPECT_EQ(kMeansEstimatedSteps(-100000, -8, 10), 20);  // was NaN rounded to 0
}

// ---- Agglomerative clustering ----------------------------------------------------------------

// The leaves of each merge, as sets, so that merges compare whatever the order of the pair.
std::vector<std::set<int32_t>> MergeSets(const std::vector<std::pair<int32_t, int32_t>>& Pairs,
                                         int32_t N) {
  std::vector<std::set<int32_t>> Sets;
  const auto Leaves = [&](int32_t Id) {
    return Id <= N ? std::set<int32_t>{Id} : Sets[size_t(Id - N - 1)];
  };
  for (const auto& [A, B] : Pairs) {
    auto S = Leaves(A);
    S.merge(Leaves(B));
    Sets.push_back(S);
  }
  return Sets;
}

TEST(Agglom, MergesAndHeightsMatchScipy) {
  TMatrix Data;
  Load(Data, kAgData, 3);
  const int32_t N = 30;
  struct TCase {
    TDistMode Mode;
    TClusterMethod Method;
    const double* Z;
    bool Squared;
  } Cases[] = {{dmEuclid, cmSingleLink, kScipySingle, false},
               {dmEuclid, cmCompleteLink, kScipyComplete, false},
               {dmEuclid, cmUpgma, kScipyUpgma, false},
               {dmEuclid, cmAvgLink, kScipyWpgma, false},
               {dmEuclidSqr, cmWard, kScipyWard, true},
               {dmCityBlock, cmSingleLink, kScipySingleCity, false},
               {dmCityBlock, cmUpgma, kScipyUpgmaCity, false}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(ClusterMethodID[C.Method]);
    TAgglom A;
    ASSERT_EQ(A.Run(Data, C.Mode, C.Method), 0);
    ASSERT_EQ(A.Dendrogram.NrOfColumns(), 3);
    ASSERT_EQ(A.Dendrogram.NrOfRows(), N - 1);
    std::vector<std::pair<int32_t, int32_t>> Ours, Theirs;
    for (int32_t S = 1; S < N; ++S) {
      Ours.emplace_back(A.Dendrogram(1, S), A.Dendrogram(2, S));
      EXPECT_EQ(A.Dendrogram(3, S), N + S);
      Theirs.emplace_back(int32_t(C.Z[3 * (S - 1)]) + 1, int32_t(C.Z[3 * (S - 1) + 1]) + 1);
      const double H = C.Z[3 * (S - 1) + 2];
      EXPECT_NEAR(A.MergeDist(S), C.Squared ? H * H : H, 1e-12 * (1 + H * H)) << S;
    }
    EXPECT_EQ(MergeSets(Ours, N), MergeSets(Theirs, N));
  }
  // The flexible strategy at 0.5 is the weighted pair group method; elsewhere it follows the
  // literal update.
  TAgglom Flex, Avg, Flex2;
  Flex.Run(Data, dmEuclid, cmFlexLink, 0.5);
  Avg.Run(Data, dmEuclid, cmAvgLink);
  EXPECT_EQ(Flex.MergeDist.Data(), Avg.MergeDist.Data());
  Flex2.Run(Data, dmEuclid, cmFlexLink, 0.625);
  for (int32_t S = 1; S < N; ++S) {
    EXPECT_EQ(Flex2.Dendrogram(1, S), kAgFlexMerges[3 * (S - 1)]);
    EXPECT_EQ(Flex2.Dendrogram(2, S), kAgFlexMerges[3 * (S - 1) + 1]);
    EXPECT_EQ(Flex2.MergeDist(S), kAgFlexHeights[S - 1]);
  }
}

TEST(Agglom, TiesFollowTheScanOrderAndLeavesDoNotCross) {
  TMatrix Data;
  Load(Data, kTieData, 2);
  const int32_t N = 16;
  struct TCase {
    TClusterMethod Method;
    double Alpha;
    const int* Merges;
    const double* Heights;
    const double* Positions;
  } Cases[] = {{cmSingleLink, 0, kTieSingleMerges, kTieSingleHeights, kTieSinglePositions},
               {cmCompleteLink, 0, kTieCompleteMerges, kTieCompleteHeights, kTieCompletePositions},
               {cmWard, 0, kTieWardMerges, kTieWardHeights, kTieWardPositions},
               {cmAvgLink, 0, kTieAvgMerges, kTieAvgHeights, kTieAvgPositions},
               {cmFlexLink, 0.625, kTieFlexMerges, kTieFlexHeights, kTieFlexPositions},
               {cmUpgma, 0, kTieUpgmaMerges, kTieUpgmaHeights, kTieUpgmaPositions}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(ClusterMethodID[C.Method]);
    TAgglom A;
    ASSERT_EQ(A.Run(Data, dmCityBlock, C.Method, C.Alpha), 0);
    for (int32_t S = 1; S < N; ++S) {
      for (int32_t Col = 1; Col <= 3; ++Col)
        EXPECT_EQ(A.Dendrogram(Col, S), C.Merges[3 * (S - 1) + Col - 1]) << S;
      EXPECT_EQ(A.MergeDist(S), C.Heights[S - 1]) << S;
    }
    for (int32_t I = 1; I < 2 * N; ++I) EXPECT_EQ(A.Position(I), C.Positions[I - 1]) << I;

    // No crossings: the leaves of every merge take consecutive places.
    std::vector<std::pair<int32_t, int32_t>> Pairs;
    for (int32_t S = 1; S < N; ++S) Pairs.emplace_back(A.Dendrogram(1, S), A.Dendrogram(2, S));
    for (const auto& Leaves : MergeSets(Pairs, N)) {
      std::vector<double> Places;
      for (const int32_t L : Leaves) Places.push_back(A.Position(L));
      std::sort(Places.begin(), Places.end());
      EXPECT_EQ(Places.back() - Places.front(), double(Places.size() - 1));
    }
  }
}

TEST(Agglom, SmallInputsSimilaritiesAndBadInput) {
  TMatrix Two(2, 2);
  Two.SetVal(1, 2, 3.0);
  Two.SetVal(2, 2, 4.0);
  TAgglom A;
  ASSERT_EQ(A.Run(Two, dmEuclid, cmWard), 0);
  EXPECT_EQ(A.Dendrogram.Data(), (TInt2DArray{{1}, {2}, {3}}));
  EXPECT_EQ(A.MergeDist.Data(), TDoubleArray{5.0});
  EXPECT_EQ(A.Position.Data(), (TDoubleArray{1.0, 2.0, 1.5}));

  TMatrix One(2, 1);
  EXPECT_EQ(A.Run(One, dmEuclid, cmWard), -2);
  EXPECT_EQ(A.MergeDist.Data(), TDoubleArray{5.0});  // untouched

  // Similarities: the most similar pair merges first, at 1 - similarity.
  TMatrix S(2, 3);
  const double V[3][2] = {{1, 0}, {1, 1}, {0.9, 0.1}};
  for (int32_t R = 1; R <= 3; ++R)
    for (int32_t C = 1; C <= 2; ++C) S.SetVal(C, R, V[R - 1][C - 1]);
  for (const TDistMode Mode : {dmTanimoto, dmDice}) {
    ASSERT_EQ(A.Run(S, Mode, cmSingleLink), 0);
    EXPECT_EQ(A.Dendrogram(1, 1), 1);
    EXPECT_EQ(A.Dendrogram(2, 1), 3);
    EXPECT_EQ(A.MergeDist(1), 1.0 - S.DistanceOfObjects(Mode, 1, 3));
  }

  // A user distance, from the argument or else from the matrix.
  const auto Reverse = [](TObject*, int32_t R1, int32_t R2, double& D) { D = 10.0 - R1 - R2; };
  ASSERT_EQ(A.Run(S, dmUser, cmSingleLink, 0.0, {}, Reverse), 0);
  EXPECT_EQ(A.MergeDist(1), 5.0);  // rows 2 and 3
  EXPECT_EQ(A.Run(S, dmUser, cmSingleLink), -4);
  S.OnCalcDistance = Reverse;
  EXPECT_EQ(A.Run(S, dmUser, cmSingleLink), 0);
  EXPECT_EQ(A.Run(S, TDistMode(9), cmSingleLink), -4);
  EXPECT_EQ(A.Run(S, dmEuclid, TClusterMethod(6)), -4);

  S.SetVal(2, 2, NaN);
  EXPECT_EQ(A.Run(S, dmEuclid, cmCompleteLink), -3);
}

TEST(Agglom, ReportsProgressAndStopsOnAbort) {
  TMatrix Data;
  Load(Data, kAgData, 3);
  std::vector<double> Percents;
  TObject Marker;
  TAgglom A;
  ProcStat = 0.0;
  const auto Track = [&](TObject* Sender, double Stat, double Percent) {
    EXPECT_EQ(Sender, &Marker);
    EXPECT_EQ(Stat, double(Percents.size()));
    Percents.push_back(Percent);
  };
  ASSERT_EQ(AgglomClustering(&Marker, Data, dmEuclid, cmSingleLink, 0.0, A.Dendrogram, A.MergeDist,
                             A.Position, Track),
            0);
  ASSERT_EQ(Percents.size(), 30u);
  EXPECT_EQ(Percents[0], 0.0);
  EXPECT_EQ(Percents[29], 100.0 * 29 / 30);

  const auto Abort = [](TObject*, double Stat, double) { AbortMathProc = Stat >= 3.0; };
  ProcStat = 0.0;
  EXPECT_EQ(A.Run(Data, dmEuclid, cmSingleLink, 0.0, Abort), -1);
  AbortMathProc = false;
  EXPECT_EQ(ProcStat, 3.0);
  EXPECT_EQ(A.Dendrogram.NrOfRows(), 29);
  EXPECT_EQ(A.Dendrogram(1, 1), 0);
  EXPECT_TRUE(A.MergeDist.IsEmpty());
  EXPECT_EQ(A.Position(5), 0.0);
}

TEST(Agglom, LargeTableKeepsTheDendrogramConsistent) {
  // 900 objects: a pair table of several megabytes, allocated the way large ones are.
  SetRandSeed(11);
  TMatrix Data(2, 900);
  Data.FillRandomUniform(0.0, 1.0);
  TAgglom Single, Flex, Avg;
  ASSERT_EQ(Single.Run(Data, dmEuclid, cmSingleLink), 0);
  std::vector<int32_t> Seen(2 * 900, 0);
  for (int32_t S = 1; S < 900; ++S) {
    if (S > 1) {
      EXPECT_LE(Single.MergeDist(S - 1), Single.MergeDist(S));  // single linkage is monotone
    }
    ++Seen[size_t(Single.Dendrogram(1, S))];
    ++Seen[size_t(Single.Dendrogram(2, S))];
  }
  EXPECT_EQ(std::count(Seen.begin() + 1, Seen.end() - 1, 1), 2 * 900 - 2);  // all but the root
  std::vector<double> Places(Single.Position.Data().begin(), Single.Position.Data().begin() + 900);
  std::sort(Places.begin(), Places.end());
  for (int32_t L = 0; L < 900; ++L) EXPECT_EQ(Places[size_t(L)], L + 1.0);
  Flex.Run(Data, dmEuclid, cmFlexLink, 0.5);
  Avg.Run(Data, dmEuclid, cmAvgLink);
  EXPECT_EQ(Flex.Dendrogram.Data(), Avg.Dendrogram.Data());
}

TEST(Agglom, RowKernelsEqualDistanceOfObjectsOnEveryPath) {
  TMatrix Data;
  Load(Data, kAgData, 3);
  Data.SetVal(1, 7, 0.0);
  Data.SetVal(2, 7, 0.0);
  Data.SetVal(3, 7, 0.0);
  Data.SetVal(1, 8, 0.0);
  Data.SetVal(2, 8, 0.0);
  Data.SetVal(3, 8, 0.0);  // two zero rows: the similarities' 0/0 case
  const auto Cols = math2_detail::ColumnPointers(Data, 3);
  for (const auto Path : {kernels::kpGeneric, kernels::kpAVX2, kernels::kpAVX512}) {
    const kernels::TScopedKernelPath Scope(Path);
    for (int32_t Mode = dmTanimoto; Mode <= dmDice; ++Mode)
      for (int32_t I = 1; I <= 30; I += 7) {
        const double Q[3] = {Data(1, I), Data(2, I), Data(3, I)};
        std::vector<double> D(30);
        math2_detail::RowDistances(kernels::TRowDistance(Mode), Cols, Q, 0, 30, D.data());
        for (int32_t J = 1; J <= 30; ++J)
          EXPECT_EQ(D[size_t(J - 1)], Data.DistanceOfObjects(TDistMode(Mode), J, I))
              << Mode << " " << I << " " << J;
      }
  }
}

// ---- Reduction to centres --------------------------------------------------------------------

TEST(FindCenters, MatchesTheLiteralMergingIncludingTies) {
  struct TCase {
    const double* Data;
    size_t N;
    int32_t Cols, Lo, Hi, NCenters;
    const double* Centers;
    double MeanDist;
  } Cases[] = {{kFcTieData, std::size(kFcTieData), 2, 0, 0, 5, kFcTieCenters, kFcTieMeanDist},
               {kFcRandData, std::size(kFcRandData), 3, 36, 5, 6, kFcRandCenters, kFcRandMeanDist}};
  for (const auto& C : Cases) {
    TMatrix Data(C.Cols, int32_t(C.N) / C.Cols);
    for (int32_t R = 1; R <= Data.NrOfRows(); ++R)
      for (int32_t Col = 1; Col <= C.Cols; ++Col)
        Data.SetVal(Col, R, C.Data[(R - 1) * C.Cols + Col - 1]);
    TMatrix Centers(C.Cols, C.NCenters + 1);
    Centers.Fill(-7.0);
    double MeanDist = 0.0;
    EXPECT_EQ(FindCenters(Data, C.Lo, C.Hi, C.NCenters, Centers, MeanDist), C.NCenters);
    for (int32_t K = 1; K <= C.NCenters; ++K)
      for (int32_t Col = 1; Col <= C.Cols; ++Col)
        EXPECT_EQ(Centers(Col, K), C.Centers[(K - 1) * C.Cols + Col - 1]) << K;
    EXPECT_EQ(Centers(1, C.NCenters + 1), -7.0);  // beyond NCenters: untouched
    EXPECT_EQ(MeanDist, C.MeanDist);
  }
}

TEST(FindCenters, ShortDataFarPointsAndBadRows) {
  // Points further apart than any start value would allow: still merged, no endless loop.
  TMatrix Far(1, 4), Centers(2, 3);
  const double X[4] = {0.0, 1e6, 3e6, 3.5e6};
  for (int32_t R = 1; R <= 4; ++R) Far.SetVal(1, R, X[R - 1]);
  double MeanDist = 0.0;
  EXPECT_EQ(FindCenters(Far, 0, 0, 2, Centers, MeanDist), 2);
  EXPECT_EQ(Centers(1, 1), 0.5e6);
  EXPECT_EQ(Centers(1, 2), 3.25e6);
  EXPECT_EQ(Centers(2, 1), 0.0);  // a column beyond the data
  EXPECT_EQ(MeanDist, 2.75e6);

  // A row with NaN takes no part; too few rows leave NaN centres; one centre has no distance.
  Far.SetVal(1, 2, NaN);
  EXPECT_EQ(FindCenters(Far, 1, 3, 3, Centers, MeanDist), 2);
  EXPECT_EQ(Centers(1, 1), 0.0);
  EXPECT_EQ(Centers(1, 2), 3e6);
  EXPECT_TRUE(std::isnan(Centers(1, 3)));
  EXPECT_EQ(MeanDist, 3e6);
  EXPECT_EQ(FindCenters(Far, 0, 0, 1, Centers, MeanDist), 1);
  EXPECT_EQ(Centers(1, 1), 6.5e6 / 3);
  EXPECT_TRUE(std::isnan(MeanDist));
  EXPECT_EQ(FindCenters(Far, 0, 0, 0, Centers, MeanDist), 0);
}

}  // namespace
}  // namespace nux
