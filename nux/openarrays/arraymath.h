// Arithmetic between arrays and small linear algebra on 2-D arrays of double. A 2-D array X is
// read as a matrix whose element (row r, column c) is X[c][r], the layout of TMatrix; every
// formula below is meant in those matrix terms. Result codes as in elementwise.h.
#pragma once

#include <cstdint>

#include "nux/frame/types.h"

namespace nux {

// A := A + Factor * B element by element; B must have A's shape (-2 otherwise, -1 when either
// is empty or ragged). Integer results are rounded halves to even and saturated.
int32_t AccumulateArray(TIntArray& A, const TIntArray& B, double Factor);
int32_t AccumulateArray(TInt2DArray& A, const TInt2DArray& B, double Factor);
int32_t AccumulateArray(TInt3DArray& A, const TInt3DArray& B, double Factor);
int32_t AccumulateArray(TInt4DArray& A, const TInt4DArray& B, double Factor);
int32_t AccumulateArray(TDoubleArray& A, const TDoubleArray& B, double Factor);
int32_t AccumulateArray(TDouble2DArray& A, const TDouble2DArray& B, double Factor);
int32_t AccumulateArray(TDouble3DArray& A, const TDouble3DArray& B, double Factor);
int32_t AccumulateArray(TDouble4DArray& A, const TDouble4DArray& B, double Factor);

// C := A * B. A's column count (A.size()) must equal B's row count (B[0].size()), else -1 (also
// for empty or ragged factors). C gets B.size() columns of A[0].size() rows; each element is the
// sum of products taken in index order from 0.0. The integer product is exact (64-bit sums) and
// gives -3 when an element leaves the 32-bit range; C is then unchanged.
int32_t MultiplyArrays(const TDouble2DArray& A, const TDouble2DArray& B, TDouble2DArray& C);
int32_t MultiplyArrays(const TInt2DArray& A, const TInt2DArray& B, TInt2DArray& C);
int32_t MultiplyArrays(const TInt2DArray& A, const TDouble2DArray& B, TDouble2DArray& C);
int32_t MultiplyArrays(const TDouble2DArray& A, const TInt2DArray& B, TDouble2DArray& C);
// Outer product of column A and row B: C[c][r] = A[r] * B[c] (B.size() columns, A.size() rows).
int32_t MultiplyArrays(const TDoubleArray& A, const TDoubleArray& B, TDouble2DArray& C);

// Dot product; -1 empty, -2 different lengths, -3 integer overflow.
int32_t VectorDotProduct(const TDoubleArray& A, const TDoubleArray& B, double& Dot);
int32_t VectorDotProduct(const TIntArray& A, const TIntArray& B, int64_t& Dot);
// Cross product of two 3-element vectors; -1 empty, -2 a length other than 3, -3 overflow.
int32_t VectorCrossProduct(const TDoubleArray& A, const TDoubleArray& B, TDoubleArray& C);
int32_t VectorCrossProduct(const TIntArray& A, const TIntArray& B, TIntArray& C);

// LU decomposition with partial pivoting, arranged so that L * U = A exactly in matrix terms:
// L is a row permutation of a unit lower triangle and U is upper triangular with the
// permutation's sign folded into its last diagonal element, so the product of U's diagonal is
// det(A). A singular matrix decomposes too (U then has a zero on its diagonal).
// -1 empty, ragged or not square; -3 a non-finite element.
int32_t LUdecomposition(const TDouble2DArray& A, TDouble2DArray& L, TDouble2DArray& U);
// P * A = L * U with L unit lower triangular, U upper triangular and P a permutation matrix
// (0/1 entries); Sign is det(P), +1 or -1. Codes as LUdecomposition.
int32_t LUPdecomposition(const TDouble2DArray& A, TDouble2DArray& L, TDouble2DArray& U,
                         TInt2DArray& P, int32_t& Sign);
// Determinant through the pivoted LU decomposition; NaN for an empty, ragged or non-square array.
double Determinant(const TDouble2DArray& A);

// Eigenvalues and eigenvectors of a symmetric matrix (cyclic Jacobi rotations). Values in
// descending order when Descending is set, else ascending; Vectors[k] is the unit eigenvector
// of Values[k], its largest component positive. -1 empty, ragged or not square; -3 not
// symmetric (|a_rc - a_cr| above 1e-10 times the largest |a|); -4 a non-finite element or no
// convergence. The outputs change only on success.
int32_t EigenDecomposition(const TDouble2DArray& A, bool Descending, TDouble2DArray& Vectors,
                           TDoubleArray& Values);

// Reorders A in place by a permutation matrix P: Columns false gives P * A (rows exchanged),
// true gives A * P (columns exchanged). -1 empty or ragged A, or P of the wrong size; -3 P is
// not a permutation matrix.
int32_t PermuteArray(TDouble2DArray& A, const TInt2DArray& P, bool Columns);

// Mean absolute deviation: Option 0 about the mean, 1 about the median; 2 gives the median of
// the absolute deviations from the median. -1 empty, -3 unknown option.
int32_t MeanAbsDev(const TDoubleArray& A, int32_t Option, double& MAD);
int32_t MeanAbsDev(const TIntArray& A, int32_t Option, double& MAD);

// Mean and variance of a range under the library's rule (sample variance with divisor n - 1,
// 1.0 for one or two values). Both are 0 on failure.
int32_t MeanVarArray(const TDoubleArray& A, int32_t Lo, int32_t Hi, double& Mean, double& Variance);
int32_t MeanVarArray(const TIntArray& A, int32_t Lo, int32_t Hi, double& Mean, double& Variance);
int32_t MeanVarArray(const TDouble2DArray& A, int32_t ColLo, int32_t RowLo, int32_t ColHi,
                     int32_t RowHi, double& Mean, double& Variance);
int32_t MeanVarArray(const TInt2DArray& A, int32_t ColLo, int32_t RowLo, int32_t ColHi,
                     int32_t RowHi, double& Mean, double& Variance);

// Rescales the range in place; Offset and Scale receive the parameters that undo it
// (x = Offset + Scale * y; for rsmLog x = 10^(Offset + Scale * y)):
//   rsmLinear       y = x / max|x|                   Offset 0, Scale max|x|
//   rsmLog          y = (lg x - lg min) / (lg max - lg min)
//   rsmRange01      y = (x - min) / (max - min)
//   rsmStandardize  y = (x - mean) / s               (s: sample standard deviation)
// -1 empty, -2 bad range, -3 unknown mode, -4 the range cannot be rescaled (constant, a
// non-finite value, a value <= 0 for rsmLog, fewer than 2 values to standardize).
int32_t RescaleArray(TDoubleArray& A, int32_t Lo, int32_t Hi, TRescaleMode Mode, double& Offset,
                     double& Scale);
int32_t RescaleArray(TDouble2DArray& A, int32_t ColLo, int32_t RowLo, int32_t ColHi, int32_t RowHi,
                     TRescaleMode Mode, double& Offset, double& Scale);

}  // namespace nux
