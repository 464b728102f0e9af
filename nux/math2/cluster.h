// Cluster analysis and nearest neighbours on TMatrix data (objects in rows, variables in
// columns): k-means, agglomerative clustering with the leaf order of its dendrogram, reduction
// to a number of centres, nearest-neighbour search, and k-nearest-neighbour estimation. Rows,
// clusters and neighbours are numbered from 1.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "nux/frame/types.h"
#include "nux/matrix/matrix.h"
#include "nux/vector/vector.h"

namespace nux {

// Linkage rules of AgglomClustering (the Lance-Williams updates in docs/clustering.md).
enum TClusterMethod : int32_t {
  cmSingleLink,    // the smaller of the two distances
  cmCompleteLink,  // the larger of the two distances
  cmWard,          // Ward's minimum variance (on squared Euclidean distances)
  cmAvgLink,       // the plain mean of the two distances (weighted pair group)
  cmFlexLink,      // the flexible strategy with parameter FlexAlpha
  cmUpgma          // the mean weighted by cluster size (unweighted pair group)
};

// Names of the linkage rules, in TClusterMethod's order.
extern const std::array<const char*, 6> ClusterMethodID;

// Weighting of the neighbours in EstimateByKNN.
enum TKnnWMode : int32_t {
  kwmGauss,    // weights exp(-(KernelWidth d / mean d)^2)
  kwmAverage,  // plain mean of the neighbours' targets
  kwmMedian,   // median of the neighbours' targets
  kwmLinear,   // weights 1 - d / mean d / KernelWidth, only positive ones
  kwmBiQuad    // local quadratic least-squares model evaluated at the query
};

// A user distance for FindNearestNeighbors: the distance of row ix (1-based) to the query.
// A plain function converts to it.
using TCalcDistFunc = std::function<double(int32_t ix)>;

// Progress of AgglomClustering: the Sender given to it, the running ProcStat and the percentage
// of merges done.
using TClusterFeedBackProc = std::function<void(TObject* Sender, double ProcStat, double Percent)>;

// k-means of the rows of Data into NClust clusters (Lloyd's iteration on squared Euclidean
// distances, ties to the lower centre, at most 1000 iterations). Start centres: rows 1..NClust
// for Seed < 1, else rows drawn from the library's generator seeded with Seed. Centers gets one
// centre per row (NClust x columns), Assign the cluster of every row, ClustSize the sizes;
// clusters are numbered by size, 1 the largest. An Assign of the right length is taken as the
// previous assignment. Rows holding a value that is not finite take no part: cluster 0.
// Returns the within-cluster sum of squares, or -1 when AbortMathProc stopped it (the outputs
// then describe the last assignment). ENUXMath2Error for NClust < 1, NClust above the number
// of usable rows, or an iteration that has not settled after 1000 rounds.
double kMeansClustering(const TMatrix& Data, int32_t Unused1, int32_t Unused2, int32_t NClust,
                        int32_t Seed, TMatrix& Centers, TIntVector& Assign, TIntVector& ClustSize);
// The same with Seed 0 (rows 1..NClust start) and the sizes not returned.
double kMeansClustering(const TMatrix& Data, int32_t Unused1, int32_t Unused2, int32_t NClust,
                        TMatrix& Centers, TIntVector& Assign);

// Rough number of k-means iterations: max(20, round(0.18232 sqrt(ab) - 108 - 0.00092427 a
// - 0.00017557 ac + 0.38775 sqrt(ac))); negative arguments count as 0.
int32_t kMeansEstimatedSteps(int32_t a, int32_t b, int32_t c);

// Agglomerative clustering of the rows of Data: each of the n - 1 steps merges the two closest
// clusters (the first pair in row-then-column order among equal distances) and updates the
// distances by Method (FlexAlpha for cmFlexLink). Distances by DistMode (Tanimoto and Dice
// similarities as 1 - similarity; dmUser asks OnCalcDist, or Data's OnCalcDistance when
// OnCalcDist is empty). Dendrogram becomes 3 x (n - 1): row s holds the ids of the clusters
// merged and the new id n + s (leaves 1..n); MergeDist (n - 1) the merge distances; Position
// (2n - 1) the places of the leaves in the dendrogram's leaf order and, for each merge, the
// mean place of its two members. FeedBack (when given) is called with Sender before the
// distances are formed and after each step; AbortMathProc stops the clustering. Results: 0;
// -1 aborted (outputs sized, cleared and marked empty); -2 fewer than 2 rows; -3 a distance is
// NaN; -4 an unknown DistMode or Method, or dmUser without a handler (outputs untouched).
int32_t AgglomClustering(TObject* Sender, const TMatrix& Data, TDistMode DistMode,
                         TClusterMethod Method, double FlexAlpha, TIntMatrix& Dendrogram,
                         TVector& MergeDist, TVector& Position,
                         const TClusterFeedBackProc& FeedBack = {},
                         const TOnCalcDistanceEvent& OnCalcDist = {});

// Reduces the rows LoRow..HiRow of Data ((0, 0): all; clipped) to NCenters centres by
// repeatedly merging the closest pair (squared Euclidean distance) into their weighted mean.
// Centers is not resized: its rows 1..NCenters receive the centres (as many columns as both
// matrices have; centres that cannot be formed, for lack of usable rows, are NaN). MeanDist
// gets the mean Euclidean distance of each centre to its nearest other centre (NaN for fewer
// than 2). Rows with a value that is not finite take no part. Returns the number of centres
// formed; NCenters below 1 forms none.
int32_t FindCenters(const TMatrix& Data, int32_t LoRow, int32_t HiRow, int32_t NCenters,
                    TMatrix& Centers, double& MeanDist);

// The k nearest rows among FirstRow..LastRow ((0, 0): all; clipped to Data) to Query: the
// Euclidean distance over Query's elements (columns beyond Data read as 0), or DistFunc(row)
// when given. k is limited to 100 and to the number of rows searched. NNList (not resized, at
// least 2 columns x k rows) receives in row i the i-th nearest row and its distance; equal
// distances rank the later row first. A distance that is NaN or infinite never qualifies; slots
// left empty hold row 0 and distance uc_MaxReal. Returns the number of neighbours found.
int32_t FindNearestNeighbors(int32_t k, const TMatrix& Data, int32_t FirstRow, int32_t LastRow,
                             const TVector& Query, TMatrix& NNList,
                             const TCalcDistFunc& DistFunc = {});

// For each row of FirstRow..LastRow ((0, 0): all; clipped): the mean Euclidean distance to its
// k nearest rows of the range, the row itself included (k limited to 1..50 and to the range).
// MeanDist is resized to Data's rows; rows outside the range, and rows without any finite
// distance, get NaN; a row with fewer than k finite distances averages those it has.
void MeanDistanceKNN(const TMatrix& Data, int32_t k, int32_t FirstRow, int32_t LastRow,
                     TVector& MeanDist);

// Estimate of a target at Query from its k nearest rows of Data (k limited to 1..100 and to
// the rows; Targets(row) is row's target) weighted by WMode; MeanDist is the neighbours' mean
// distance. Both are NaN when no row has a finite distance; the estimate is NaN for a WMode
// outside TKnnWMode, 0 when no linear weight is positive or the quadratic fit fails.
void EstimateByKNN(const TMatrix& Data, const TVector& Targets, int32_t k, TKnnWMode WMode,
                   double KernelWidth, const TVector& Query, double& Estimate, double& MeanDist);

}  // namespace nux
