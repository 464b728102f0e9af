// Random resampling of the columns and rows of a 2-D array (A[col][row]).
#pragma once

#include <cstdint>

#include "nux/frame/types.h"

namespace nux {

// Out (nc columns, nr rows) receives Out[i][k] = A[ColIdx[i] - 1][RowIdx[k] - 1], where
// nc = round(columns * ColPercent / 100) and nr = round(rows * RowPercent / 100), halves to
// even. ColIdx receives 1..nc in order when nc equals the number of columns, otherwise nc
// distinct random column numbers; RowIdx receives nr random row numbers, distinct unless
// RowsWithRepetition. Out, ColIdx and RowIdx must be non-empty on entry (any length; they are
// resized). Returns 0; -1 when nc < 1 or ColPercent > 100; -2 likewise for the rows; -3 for an
// empty or ragged A; -4 for an empty Out; -5 for an empty ColIdx or RowIdx. On failure the
// outputs are unchanged.
int32_t Resample2DArray(const TDouble2DArray& A, TDouble2DArray& Out, double ColPercent,
                        double RowPercent, bool RowsWithRepetition, TIntArray& ColIdx,
                        TIntArray& RowIdx);
int32_t Resample2DArray(const TInt2DArray& A, TInt2DArray& Out, double ColPercent,
                        double RowPercent, bool RowsWithRepetition, TIntArray& ColIdx,
                        TIntArray& RowIdx);

}  // namespace nux
