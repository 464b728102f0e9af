// Inversion of a square 2-D array.
#pragma once

#include <cstdint>

#include "nux/frame/types.h"

namespace nux {

// Replaces the square array A by its inverse: LU decomposition with implicit row scaling and
// partial pivoting, then forward and back substitution for every column of the inverse. Before
// each column the progress counter advances by one (MathFeedBack) and the routine stops when
// AbortMathProc is set. Returns 0; -1 for an empty, ragged or non-square array; -2 when working
// storage cannot be allocated; -3 when the array is singular (a row of zeros, a pivot below
// 1e-100), holds NaN or infinities, has an inverse beyond the double range, or the computation
// was aborted. A is changed only on success.
int32_t InvertArray(TDouble2DArray& A);

// H := A * A^T in matrix terms (H[i][j] = sum over k of A[k][i] * A[k][j], k in index order),
// so H is square with A's row count: a transposed clone of A multiplied by A with
// MultiplyArrays. Returns 0, or the first failing step's code (-1 for an empty or ragged A).
int32_t CalcHatMatrix(const TDouble2DArray& A, TDouble2DArray& H);

}  // namespace nux
