// Internals of the memory-based learner shared by its sources.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "nux/datatable/datatable.h"
#include "nux/membl/membl.h"

namespace nux {

namespace membl_detail {

// The 100 nearest candidates so far, ascending by distance; a candidate goes in front of equal
// distances, so among ties the one offered later ranks first. Unfilled: row 0, largest double.
struct TNbList {
  TDoubleArray Dist;
  TIntArray Row;
  void Reset();
  void Offer(double D, int32_t R);
  // The number of filled ranks.
  int32_t Filled() const;
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
