// Helpers shared by the sources of unit math2 only.
#pragma once

#include <cstdint>
#include <new>
#include <stdexcept>
#include <vector>

#include "nux/frame/types.h"
#include "nux/matrix/matrix.h"
#include "nux/vector/vector.h"

namespace nux::math2_detail {

// Replaces the contents of M by Block ([column][row], rectangular, not empty).
inline void StoreMatrix(TMatrix& M, const TDouble2DArray& Block) {
  const auto Nc = static_cast<int32_t>(Block.size());
  const auto Nr = static_cast<int32_t>(Block[0].size());
  M.Resize(Nc, Nr);
  M.CopyFromArray(Block, 0, 0, Nc - 1, Nr - 1, 1, 1);
}

// Replaces the contents of V by A (not empty).
inline void StoreVector(TVector& V, const TDoubleArray& A) {
  V.Resize(static_cast<int32_t>(A.size()));
  V.CopyFrom(A, 0, 0, 1);
}

inline TDouble2DArray Block(size_t Nc, size_t Nr, double Value = 0.0) {
  return TDouble2DArray(Nc, TDoubleArray(Nr, Value));
}

// Runs Work; exhausted memory inside it becomes a false result.
template <class F>
bool FalseOnNoMemory(F&& Work) {
  try {
    return Work();
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  return false;
}

// A least-squares problem reduced to the singular value decomposition of its K x M design
// matrix (columns scaled by powers of two when asked): the solution of the scaled problem is
// V diag(f(w)) C, and Scale turns it back into the caller's units.
struct TLsq {
  size_t K = 0, M = 0;
  TDoubleArray Scale;  // per column
  TDoubleArray W;      // singular values
  TDouble2DArray V;    // right singular vectors, M x M
  TDoubleArray C;      // U^T y
};

// Householder QR of the columns (K >= M) and the decomposition of R, or the decomposition of the
// columns themselves when K < M. False for values that are not finite, a decomposition that does
// not converge, or an abort.
bool LsqFactor(const std::vector<const double*>& Cols, size_t K, const double* Y, bool Equilibrate,
               TLsq& L);
// Coefficients in the caller's units: 1/w (values at or below RegSingularTol times the largest
// dropped) for Lambda = 0, w / (w^2 + Lambda) otherwise. NearSingular reports small values;
// StdErrFactors (when given) receives the standard errors for unit residual variance.
TDoubleArray LsqSolve(const TLsq& L, double Lambda, bool& NearSingular,
                      TDoubleArray* StdErrFactors);
// The number of parameters the fit uses: the rank kept, or the ridge trace sum w^2/(w^2+Lambda).
double LsqEffectiveParams(const TLsq& L, double Lambda);
// |y - sum_j B_j column_j|^2.
double ResidualSumSq(const std::vector<const double*>& Cols, size_t K, const double* Y,
                     const TDoubleArray& B);

}  // namespace nux::math2_detail
