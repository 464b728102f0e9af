// TMatrix: inversion, determinant, LU decomposition and the hat matrix, on the array routines.
#include "nux/matrix/matrix_core.h"
#include "nux/openarrays/invert.h"

namespace nux {

bool TMatrix::Invert() {
  // The column-major storage holds the transpose; the inverse of the transpose is the transpose
  // of the inverse, so the matrix receives its own inverse. No event, as designed.
  return InvertArray(Mat) == 0;
}

}  // namespace nux
