// The blocked, vectorised product kernel behind the TMatrix and open-array products. Every element
// of a result is the plain sum of its products accumulated in index order from 0.0: the vectors run
// across result elements, never across the terms of one sum, and nothing is fused, so each
// instruction set gives bit for bit the same result.
#pragma once

#include <cstdint>
#include <vector>

namespace nux::kernels {

// A read-only operand X seen through the column pointers of a column-major matrix:
// plain X(i, p) = Cols[p][i]; transposed X(i, p) = Cols[i][p].
struct TOperand {
  const double* const* Cols;
  bool Trans;
};

// Column pointers of a vector-of-columns storage.
template <class TCols>
std::vector<const double*> ColumnPointers(const TCols& Columns) {
  std::vector<const double*> P;
  P.reserve(Columns.size());
  for (const auto& C : Columns) P.push_back(C.data());
  return P;
}

// Packing buffers that a caller running many products keeps between them; they only grow.
struct TGemmWorkspace {
  std::vector<double> PackA;
  std::vector<double> PackB;
  std::vector<double*> CCols;  // column pointers of a strided result
};

// What a product does with C's previous contents: giSet replaces them by the sum; giAdd and
// giSubtract start from them and add (or subtract) the products one by one in index order, so
// C - a0*b0 - a1*b1 - ... rounds exactly as the scalar loop that subtracts each product in turn.
enum TGemmInto : int32_t { giSet, giAdd, giSubtract };

// C(i, j) = sum over p = 0..K-1 of A(Row0 + i, p) * B(p, Col0 + j), for i < M, j < N, with C
// column-major (element (i, j) at C[i + j * Ldc]); Into tells whether the sum replaces C or is
// added to or subtracted from it. With Upper, only the elements with Row0 + i <= Col0 + j are
// wanted: tiles wholly below that line are skipped and left as they were. Work, when given,
// supplies the packing buffers. Throws std::bad_alloc when the packing buffers cannot be had.
void Gemm(int64_t M, int64_t N, int64_t K, TOperand A, int64_t Row0, TOperand B, int64_t Col0,
          double* C, int64_t Ldc, bool Upper = false, TGemmWorkspace* Work = nullptr,
          TGemmInto Into = giSet);

// The same product into a result held as separate columns: C(i, j) at CCols[j][CRow0 + i].
void Gemm(int64_t M, int64_t N, int64_t K, TOperand A, int64_t Row0, TOperand B, int64_t Col0,
          double* const* CCols, int64_t CRow0, TGemmWorkspace* Work = nullptr,
          TGemmInto Into = giSet);

// Y(i) = sum over p = 0..K-1 of A(i, p) * X[p], for a plain operand A of M rows.
void Gemv(int64_t M, int64_t K, const double* const* ACols, const double* X, double* Y);

}  // namespace nux::kernels
