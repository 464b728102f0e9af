// Edge profiles: every line of a 2-D array (A[col][row]) reduced to one value.
#pragma once

#include <cstdint>

#include "nux/frame/types.h"

namespace nux {

// Orientation (TOrientation by ordinal) 0 gives one value per row, reduced over the columns
// listed in Positions; any other ordinal one value per column, reduced over the listed rows. An
// empty Positions list means all of them. Op (TEdgeOp by ordinal): 0 minimum, 1 maximum, 2 sum,
// 3 mean, 4 sample standard deviation (0 for fewer than 3 values). Listed positions outside the
// array are skipped and make the result -2; when no position is usable, minimum, maximum and
// mean are NaN. Returns 0; -1 for an empty or ragged array; -3 for an unknown Op (Out is then
// left as it was).
int32_t EdgeVector(const TDouble2DArray& A, int32_t Orientation, int32_t Op, TDoubleArray& Out);
int32_t EdgeVector(const TDouble2DArray& A, int32_t Orientation, int32_t Op,
                   const TIntArray& Positions, TDoubleArray& Out);
int32_t EdgeVector(const TInt2DArray& A, int32_t Orientation, int32_t Op, TDoubleArray& Out);
int32_t EdgeVector(const TInt2DArray& A, int32_t Orientation, int32_t Op,
                   const TIntArray& Positions, TDoubleArray& Out);

}  // namespace nux
