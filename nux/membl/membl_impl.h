// Internals of the memory-based learner shared by its sources.
#pragma once

#include <algorithm>
#include <cfloat>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "nux/datatable/datatable.h"
#include "nux/membl/membl.h"

namespace nux {

namespace membl_detail {

// The 100 nearest candidates, offered in increasing row order. The order is by distance, and
// among equal distances the row offered later ranks first (as if each candidate were inserted
// in front of the equal ones of a sorted list whose last entry drops out). A NaN or infinite
// distance is never placed. Kept as a heap whose top ranks last, so a candidate costs one
// comparison unless it enters; Finish lays the list out.
struct TNbList {
  using TEntry = std::pair<double, int32_t>;
  struct TRanksBefore {
    bool operator()(const TEntry& A, const TEntry& B) const {
      return A.first < B.first || (A.first == B.first && A.second > B.second);
    }
  };
  std::vector<TEntry> Heap;
  TDoubleArray Dist;  // after Finish: 100 distances, the largest double where unfilled
  TIntArray Row;      // after Finish: 100 row numbers, 0 where unfilled

  void Reset() { Heap.clear(); }
  // The largest distance that still enters.
  double Threshold() const {
    return Heap.size() < size_t(MBLMaxNeighbours) ? DBL_MAX : Heap.front().first;
  }
  void Offer(double D, int32_t R) {
    if (!(D <= Threshold())) return;
    if (Heap.size() == size_t(MBLMaxNeighbours)) {
      std::pop_heap(Heap.begin(), Heap.end(), TRanksBefore());
      Heap.pop_back();
    }
    Heap.emplace_back(D, R);
    std::push_heap(Heap.begin(), Heap.end(), TRanksBefore());
  }
  // Offers D[0..N) as the rows 1..N, leaving out row Exclude. Blocks of rows that cannot enter
  // are passed over with one test.
  void OfferAll(const double* D, int32_t N, int32_t Exclude) {
    constexpr int32_t Block = 16;
    double Limit = Threshold();
    for (int32_t R0 = 0; R0 < N; R0 += Block) {
      const int32_t E = std::min(R0 + Block, N);
      bool Any = false;
      for (int32_t I = R0; I < E; ++I) Any |= D[I] <= Limit;
      if (!Any) continue;
      for (int32_t I = R0; I < E; ++I)
        if (D[I] <= Limit && I + 1 != Exclude) {
          Offer(D[I], I + 1);
          Limit = Threshold();
        }
    }
  }
  void Finish();
  // The number of filled ranks.
  int32_t Filled() const { return int32_t(Heap.size()); }
};

}  // namespace membl_detail

// The independent columns in the units the distances are taken in. Columns whose values Elem
// gives unchanged (metric, unscaled) are read in place; the others are kept as prepared copies.
struct TMemBasedLearner::TPrepared {
  bool Valid = false;
  bool Scaled = false;
  TIntArray Indep;                  // independent columns, ascending
  TIntArray Targets;                // target columns, ascending
  TDoubleArray Mean, Dev;           // per independent column: mean and standard deviation
  std::vector<TDoubleArray> Own;    // prepared copy, or empty to read the table in place
  std::vector<const double*> Cols;  // the column each distance reads
};

// A model read from a file, applied only when the whole file was read.
struct TMemBasedLearner::TStaged {
  std::string Comment, ModelName;
  int32_t K = 0;  // 0: not given
  TMBLDistMode DistMode = mblDistEuclid;
  TMBLScalingMode ScalingMode = mblUnscaled;
  TMBLLocalModel LocalModel = mblLMAverage;
  std::unique_ptr<TDataTable> Table;
};

}  // namespace nux
