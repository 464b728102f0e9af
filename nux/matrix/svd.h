// Singular value decomposition of a dense matrix held as a dynamic array.
#pragma once

#include <cstdint>

#include "nux/frame/types.h"

namespace nux {

// Results of SingularValueDecomp.
inline constexpr int32_t svdOK = 0;
inline constexpr int32_t svdBadMatrix = -1;   // A empty or not rectangular
inline constexpr int32_t svdBadOutput = -2;   // W or V not of the required size
inline constexpr int32_t svdNoConverge = -3;  // a singular value took more than 30 sweeps
inline constexpr int32_t svdAborted = -4;     // AbortMathProc was set
inline constexpr int32_t svdNotFinite = -5;   // A holds NaN or an infinity
inline constexpr int32_t svdNoMemory = -6;    // working storage could not be allocated

// A = U * diag(W) * V^T for the m x n matrix A, stored [column][row] (n columns of m rows);
// tall (m >= n) and wide (m < n) matrices alike. Golub-Reinsch: Householder reduction to
// bidiagonal form, then implicit-shift QR sweeps, at most 30 per singular value.
//
// On entry V must be n x n and W must hold n values; they are checked, never resized.
// On return A holds U (n columns of m rows, orthonormal where W is non-zero; for m < n the
// columns belonging to the n - m structural zeros are 0), W the singular values (>= 0, not
// sorted) and V the right singular vectors (columns, orthonormal).
//
// Every column of the reduction and of the two accumulations and every singular value of the
// diagonalisation adds 1 to ProcStat through MathFeedBack; when AbortMathProc is set the routine
// returns svdAborted at once (A, V and W then hold intermediate values). svdNoConverge still
// completes the decomposition of the other values. svdBadMatrix, svdBadOutput, svdNotFinite and
// svdNoMemory leave all three arrays untouched.
int32_t SingularValueDecomp(TDouble2DArray& A, TDouble2DArray& V, TDoubleArray& W);

// The singular values alone: W receives bit for bit the values SingularValueDecomp gives, but
// U and V are never formed (the reflections are not accumulated and the rotations reach no
// vectors), which saves most of the work. A is overwritten with the bidiagonal reduction. W
// must hold n values. Progress counts the columns of the reduction and the values; results as
// SingularValueDecomp's (svdBadOutput only for W).
int32_t SingularValues(TDouble2DArray& A, TDoubleArray& W);

}  // namespace nux
