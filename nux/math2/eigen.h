// Covariance and eigen analysis on TMatrix data (variables in columns, objects in rows), the
// singular value decomposition with its back substitution, the pseudo-inverse, the Mahalanobis
// distance and the scatter matrices of a classified data set.
#pragma once

#include <cstdint>

#include "nux/frame/types.h"
#include "nux/matrix/matrix.h"
#include "nux/vector/vector.h"

namespace nux {

// Modes of CalcCovar.
inline constexpr int32_t cvCrossProducts = 0;
// Covariances.
inline constexpr int32_t cvCovariances = 1;
// Correlation coefficients (1 on the diagonal).
inline constexpr int32_t cvCorrelations = 2;
// Squared correlation coefficients.
inline constexpr int32_t cvSquaredCorrelations = 3;
// Summed squared differences of two columns over N - 1.
inline constexpr int32_t cvMeanSquaredDiffs = 4;

// The largest matrix CalcEigVec accepts.
inline constexpr int32_t MaxEigenSize = 10000;

// Writes the p x p matrix of the columns LoC..HiC (LoC = HiC = 0: all) over the rows LoR..HiR
// into the top left of OutMat, sums divided by N - 1. False, with OutMat untouched, for a mode
// outside 0..4, a range outside InMat or reversed, fewer than 2 rows, an OutMat smaller than
// p x p, or an abort (AbortMathProc).
bool CalcCovar(const TMatrix& InMat, TMatrix& OutMat, int32_t LoC, int32_t HiC, int32_t LoR,
               int32_t HiR, int32_t Mode);

// Eigenvalues and eigenvectors of the symmetric matrix Mat by cyclic Jacobi rotations, into the
// eigen result store. Reads the diagonal and the part above it, and leaves the rotated remainder
// of the part above the diagonal there. False for a matrix that is not square, larger than
// MaxEigenSize or not finite (store untouched), and after an abort or 100 sweeps without
// convergence (store holds the values reached). Exhausted memory: ENUXMath2Error.
bool CalcEigVec(TMatrix& Mat);
// Eigenvalue ix (iy = 0) or component iy of eigenvector ix; 0 outside the store.
double GetEigenResult(int32_t ix, int32_t iy);
// Size n of the eigen result store (0 when empty).
int32_t GetEigenSize();
// Empties the eigen result store.
void RemoveEigenMatrix();

// Principal components: CalcCovar of the range, CalcEigVec of it, eigenvalues made fractions of
// their absolute sum (NormEV), then ordered descending (the store holds the result).
bool CalcPrincComp(const TMatrix& InMat, int32_t LoC, int32_t HiC, int32_t LoR, int32_t HiR,
                   int32_t Mode, bool NormEV);
// CalcPrincComp with NormEV true.
bool CalcPrincComp(const TMatrix& InMat, int32_t LoC, int32_t HiC, int32_t LoR, int32_t HiR,
                   int32_t Mode);

// A = U diag(W) V^T for A of m rows and n columns; A is replaced by U (m x n). V must be n x n
// and W hold n elements. False, with all three untouched, for sizes that do not fit, values that
// are not finite or an abort; false after a singular value failed to converge in 30 sweeps (the
// decomposition is still written).
bool SingValDecomp(TMatrix& A, TMatrix& V, TVector& W);
// x = V diag(1/w) U^T b, skipping zero singular values; dx (when given) receives the standard
// error factors sqrt(sum_j V(k,j)^2 / w_j^2). Sizes that do not fit: ENUXMath2Error.
bool SingValEquSolve(const TMatrix& U, const TMatrix& V, const TVector& W, const TVector& b,
                     TVector& x, TVector* dx);

// B = V diag(1/w) U^T (n rows, m columns for A of m rows, n columns), singular values at or below
// Tol dropped; Tol <= 0 means max(m, n) * max(w) * 1.2e-16. False, with B untouched, when the
// decomposition fails.
bool PseudoInverse(const TMatrix& A, TMatrix& B, double Tol);

// sqrt((v1 - v2)^T InvCov (v1 - v2)); ENUXVectorError for sizes that do not fit or a negative
// square.
double MahalanobisDistance(const TVector& v1, const TVector& v2, const TMatrix& InvCov);

// Results of ClassScatterMatrices.
inline constexpr int32_t csOK = 0;
inline constexpr int32_t csBadClassCount = -1;  // ClassNr does not have one entry per object
inline constexpr int32_t csBadClassNr = -2;     // a class number below 1 or above N
inline constexpr int32_t csClassGap = -3;       // a non-empty class after an empty one
inline constexpr int32_t csBadData = -4;        // no variables, no objects, or ragged Data

// Class sizes, means, variances, and the between- (Sb) and within-class (Sw) scatter matrices
// of Data [variable][object] with the classes ClassNr (1..NClass). The outputs are only written
// on success (csOK).
int32_t ClassScatterMatrices(const TDouble2DArray& Data, const TIntArray& ClassNr, int32_t& NClass,
                             TIntArray& ClassSizes, TDouble2DArray& ClassMeans,
                             TDouble2DArray& ClassVars, TDouble2DArray& Sb, TDouble2DArray& Sw);

}  // namespace nux
