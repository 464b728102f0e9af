// Inputs shared by the math2 tests; data/make_reference.py computes the same values.
#pragma once

#include <cmath>

#include "nux/matrix/matrix.h"
#include "nux/vector/vector.h"

namespace nux::math2_test {

#include "data/reference.inc"

inline double TestValue(int I, int J) {
  return std::sin(0.37 * (I + 1) * (J + 1) + 0.11 * (J + 1)) + 0.05 * (J + 1) * ((I * (J + 3)) % 7);
}

// Rows x Cols of TestValue (row i, column j, 0-based).
inline void FillTest(TMatrix& M, int Rows, int Cols) {
  M.Resize(Cols, Rows);
  for (int J = 0; J < Cols; ++J)
    for (int I = 0; I < Rows; ++I) M.SetVal(J + 1, I + 1, TestValue(I, J));
}

inline void SetVec(TVector& V, std::initializer_list<double> Values) {
  V.Resize(int32_t(Values.size()));
  int32_t K = 1;
  for (const double X : Values) V.SetVal(K++, X);
}

}  // namespace nux::math2_test
