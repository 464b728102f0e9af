// TMatrix: inversion, determinant and LU decomposition, on the array routines.
#include "nux/matrix/matrix_core.h"
#include "nux/openarrays/arraymath.h"
#include "nux/openarrays/invert.h"

namespace nux {

bool TMatrix::Invert() {
  // The column-major storage holds the transpose; the inverse of the transpose is the transpose
  // of the inverse, so the matrix receives its own inverse. No event, as designed.
  return InvertArray(Mat) == 0;
}

double TMatrix::Determinant() const {
  // The array routine pivots and folds the permutation's sign into U, so the product of U's
  // diagonal is the determinant also for matrices that need row exchanges.
  TDouble2DArray L, U;
  if (nux::LUdecomposition(Mat, L, U) != 0) return 0.0;
  double Det = 1.0;
  for (size_t I = 0; I < U.size(); ++I) Det *= U[I][I];
  return Det;
}

bool TMatrix::LUdecomposition(TMatrix* MatL, TMatrix* MatU) const {
  if (MatL == nullptr || MatU == nullptr || NrOfColumns() != NrOfRows()) return false;
  TDouble2DArray L, U;
  if (nux::LUdecomposition(Mat, L, U) != 0) return false;
  const int32_t N = NrOfColumns();
  MatL->Resize(N, N);
  MatU->Resize(N, N);
  MatL->CopyFromArray(L, 0, 0, 0, 0, 1, 1);
  MatU->CopyFromArray(U, 0, 0, 0, 0, 1, 1);
  return true;
}

}  // namespace nux
