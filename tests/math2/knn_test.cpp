// Nearest neighbours against brute-force searches, mean neighbour distances, estimation from
// the neighbours. References: data/make_cluster_reference.py.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "nux/frame/univconst.h"
#include "nux/math2/math2.h"

namespace nux {
namespace {

#include "data/cluster_reference.inc"

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

template <size_t N>
void Load(TMatrix& M, const double (&Values)[N], int32_t Cols) {
  const auto Rows = static_cast<int32_t>(N) / Cols;
  TDouble2DArray Block(size_t(Cols), TDoubleArray(size_t(Rows), 0.0));
  for (int32_t R = 0; R < Rows; ++R)
    for (int32_t C = 0; C < Cols; ++C) Block[size_t(C)][size_t(R)] = Values[R * Cols + C];
  M.SetValues(Block);
}

TVector Vec(std::vector<double> Values) { return TVector(Values); }

TEST(FindNearestNeighbors, MatchesBruteForceWithTheLaterRowFirstOnTies) {
  TMatrix Data, List(2, 7);
  Load(Data, kKnData, 3);
  for (size_t Q = 0; Q < 4; ++Q) {
    const TVector Query = Vec({kKnQueries[3 * Q], kKnQueries[3 * Q + 1], kKnQueries[3 * Q + 2]});
    EXPECT_EQ(FindNearestNeighbors(7, Data, 0, 0, Query, List), 7);
    for (int32_t I = 1; I <= 7; ++I) {
      EXPECT_EQ(List(1, I), kKnRowsAll[7 * Q + size_t(I) - 1]) << Q << " " << I;
      EXPECT_EQ(List(2, I), kKnDistAll[7 * Q + size_t(I) - 1]) << Q << " " << I;
    }
    EXPECT_EQ(FindNearestNeighbors(7, Data, 90, 20, Query, List), 7);
    for (int32_t I = 1; I <= 7; ++I) {
      EXPECT_EQ(List(1, I), kKnRowsRange[7 * Q + size_t(I) - 1]) << Q << " " << I;
      EXPECT_EQ(List(2, I), kKnDistRange[7 * Q + size_t(I) - 1]) << Q << " " << I;
    }
  }
  // The query at row 6 is also rows 78 and 121: the latest ranks first.
  EXPECT_EQ(kKnRowsAll[0], 121);
  EXPECT_EQ(kKnRowsAll[2], 6);
}

TEST(FindNearestNeighbors, ClipsRangeAndCountAndLeavesEmptySlots) {
  TMatrix Data(2, 3), List(2, 120);
  for (int32_t R = 1; R <= 3; ++R) Data.SetVal(1, R, R);
  // Rows outside the matrix are not searched (they used to read as zero rows).
  const TVector Origin = Vec({0.0, 0.0});
  EXPECT_EQ(FindNearestNeighbors(150, Data, -4, 9, Origin, List), 3);
  EXPECT_EQ(List(1, 1), 1.0);
  EXPECT_EQ(List(1, 3), 3.0);
  EXPECT_EQ(List(1, 4), 0.0);  // not written

  // NaN never qualifies; its slot stays empty.
  Data.SetVal(2, 2, NaN);
  EXPECT_EQ(FindNearestNeighbors(3, Data, 0, 0, Origin, List), 2);
  EXPECT_EQ(List(1, 2), 3.0);
  EXPECT_EQ(List(1, 3), 0.0);
  EXPECT_EQ(List(2, 3), uc_MaxReal);

  // A query longer than the rows: the missing columns count as 0.
  EXPECT_EQ(FindNearestNeighbors(1, Data, 3, 3, Vec({3.0, 0.0, 4.0}), List), 1);
  EXPECT_EQ(List(2, 1), 4.0);

  // At most 100 neighbours, and a user distance instead of the Euclidean one.
  TMatrix Big(1, 300);
  const auto Far = [](int32_t Row) { return std::abs(Row - 200.5); };
  EXPECT_EQ(FindNearestNeighbors(150, Big, 0, 0, Origin, List, Far), 100);
  EXPECT_EQ(List(1, 1), 201.0);
  EXPECT_EQ(List(1, 2), 200.0);
  EXPECT_EQ(List(2, 100), 49.5);
  EXPECT_EQ(List(1, 101), 0.0);
  EXPECT_EQ(FindNearestNeighbors(0, Big, 0, 0, Origin, List), 0);
}

TEST(MeanDistanceKNN, MatchesBruteForceAndHandlesItsEdges) {
  TMatrix Data;
  Load(Data, kKnData, 3);
  TVector Mean;
  MeanDistanceKNN(Data, 4, 60, 11, Mean);
  ASSERT_EQ(Mean.NrOfElem(), 150);
  for (int32_t R = 11; R <= 60; ++R) EXPECT_EQ(Mean(R), kKnMeanDist[R - 11]) << R;
  EXPECT_TRUE(std::isnan(Mean(10)));
  EXPECT_TRUE(std::isnan(Mean(61)));

  // k = 1: every row is its own nearest neighbour; k below 1 counts as 1.
  MeanDistanceKNN(Data, 0, 0, 0, Mean);
  for (int32_t R = 1; R <= 150; R += 13) EXPECT_EQ(Mean(R), 0.0);

  // A NaN row has no distance at all; the others average only the finite ones.
  TMatrix Small(1, 3);
  Small.SetVal(1, 2, 3.0);
  Small.SetVal(1, 3, NaN);
  MeanDistanceKNN(Small, 50, 0, 0, Mean);
  EXPECT_EQ(Mean.Data()[0], 1.5);
  EXPECT_EQ(Mean.Data()[1], 1.5);
  EXPECT_TRUE(std::isnan(Mean.Data()[2]));
}

TEST(EstimateByKNN, FiveWeightingsMatchTheReference) {
  TMatrix Data;
  Load(Data, kEstData, 2);
  const TVector Targets{std::vector<double>(std::begin(kEstTargets), std::end(kEstTargets))};
  const TVector Query = Vec({0.4, 0.6});
  double Estimate = 0.0, MeanDist = 0.0;
  const struct {
    TKnnWMode Mode;
    double Width, Expected, Tol;
  } Cases[] = {{kwmGauss, 1.5, kEstGauss, 1e-14},
               {kwmAverage, 0.0, kEstAverage, 1e-15},
               {kwmMedian, 0.0, kEstMedian, 1e-15},
               {kwmLinear, 2.0, kEstLinear, 1e-14},
               {kwmBiQuad, 0.0, kEstBiQuad, 1e-10}};
  for (const auto& C : Cases) {
    EstimateByKNN(Data, Targets, 12, C.Mode, C.Width, Query, Estimate, MeanDist);
    EXPECT_NEAR(Estimate, C.Expected, C.Tol) << C.Mode;
    EXPECT_NEAR(MeanDist, kEstMeanDist, 1e-15);
  }
}

TEST(EstimateByKNN, ZeroDistancesWideKernelsAndClippedK) {
  // All neighbours at the query: m = 0.001 for the weights, MeanDist 0.
  TMatrix Same(2, 4);
  const TVector Targets = Vec({1.0, 2.0, 3.0, 10.0});
  double Estimate = 0.0, MeanDist = 1.0;
  EstimateByKNN(Same, Targets, 3, kwmGauss, 1.0, Vec({0.0, 0.0}), Estimate, MeanDist);
  EXPECT_EQ(MeanDist, 0.0);
  EXPECT_EQ(Estimate, 5.0);  // rows 4, 3, 2 (the later first), equal weights

  // A kernel so narrow that every plain weight underflows still weights by distance.
  TMatrix Line(1, 4);
  for (int32_t R = 1; R <= 4; ++R) Line.SetVal(1, R, R);
  EstimateByKNN(Line, Targets, 2, kwmGauss, 1e3, Vec({0.0}), Estimate, MeanDist);
  EXPECT_EQ(MeanDist, 1.5);
  EXPECT_EQ(Estimate, 1.0);
  // Linear weights all cut off: 0.
  EstimateByKNN(Line, Targets, 2, kwmLinear, 0.1, Vec({0.0}), Estimate, MeanDist);
  EXPECT_EQ(Estimate, 0.0);

  // k outside 1..100 is clipped: k = 0 uses the nearest row, k = 500 all four.
  EstimateByKNN(Line, Targets, 0, kwmAverage, 0.0, Vec({4.2}), Estimate, MeanDist);
  EXPECT_EQ(Estimate, 10.0);
  EstimateByKNN(Line, Targets, 500, kwmMedian, 0.0, Vec({4.2}), Estimate, MeanDist);
  EXPECT_EQ(Estimate, 2.5);

  // No row with a finite distance: nothing to estimate from.
  Line.Fill(NaN);
  EstimateByKNN(Line, Targets, 2, kwmAverage, 0.0, Vec({0.0}), Estimate, MeanDist);
  EXPECT_TRUE(std::isnan(Estimate));
  EXPECT_TRUE(std::isnan(MeanDist));
}

}  // namespace
}  // namespace nux
