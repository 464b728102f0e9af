// Walking a clipped rectangle of a TMatrix, shared by the statistics and normalisations.
// Included only by matrix_stats.cpp and matrix_normalize.cpp.
#pragma once

#include <cstdint>

#include "nux/frame/types.h"
#include "nux/matrix/matrix_core.h"

namespace nux::matrix_detail {

// An inclusive, 0-based rectangle of column and row positions; empty when a bound pair is
// reversed.
struct TBlock {
  int32_t C0 = 0, C1 = -1, R0 = 0, R1 = -1;
  int64_t Cols() const { return C1 >= C0 ? int64_t{C1} - C0 + 1 : 0; }
  int64_t Rows() const { return R1 >= R0 ? int64_t{R1} - R0 + 1 : 0; }
  int64_t Count() const { return Cols() * Rows(); }
};

// The range after the matrix's own clipping; a matrix without elements gives the empty block.
inline TBlock ClipBlock(const TMatrix& M, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                        int32_t HighRow) {
  if (M.NrOfColumns() < 1 || M.NrOfRows() < 1) return TBlock{};
  M.MakeValidColRange(LowCol, HighCol);
  M.MakeValidRowRange(LowRow, HighRow);
  return TBlock{LowCol - 1, HighCol - 1, LowRow - 1, HighRow - 1};
}

// Calls F(x) for every element of B, column by column, rows ascending inside a column.
template <class F>
void ForEach(const TDouble2DArray& Mat, const TBlock& B, F&& Visit) {
  for (int32_t C = B.C0; C <= B.C1; ++C) {
    const double* Col = Mat[size_t(C)].data();
    for (int32_t R = B.R0; R <= B.R1; ++R) Visit(Col[R]);
  }
}

// The I-th element of B in visiting order, for the moment helpers. They read the positions in
// sequence, so the next one is a step, not a division.
class TBlockReader {
 public:
  TBlockReader(const TDouble2DArray& Mat, const TBlock& B) : FMat(&Mat), FB(B) {}
  double operator()(int64_t I) {
    if (I != FNext) Seek(I);
    const double X = FCol[FRow];
    FNext = I + 1;
    if (++FRow > FB.R1) {
      FRow = FB.R0;
      if (++FColIx <= FB.C1) FCol = (*FMat)[size_t(FColIx)].data();
    }
    return X;
  }

 private:
  void Seek(int64_t I) {
    const int64_t Rows = FB.Rows();
    FColIx = static_cast<int32_t>(FB.C0 + I / Rows);
    FRow = static_cast<int32_t>(FB.R0 + I % Rows);
    FCol = (*FMat)[size_t(FColIx)].data();
  }

  const TDouble2DArray* FMat;
  TBlock FB;
  int64_t FNext = -1;
  int32_t FColIx = 0, FRow = 0;
  const double* FCol = nullptr;
};

// The value at 0-based sorted position round(Prob * n / 100) (limited to n - 1) of Work, found
// by selection; Work is reordered. Prob is clipped to 0..100 (NaN counts as 0). Work must hold
// no NaN; an empty Work gives NaN.
double SelectPercentile(TDoubleArray& Work, double Prob);

// The elements of B other than NaN, in visiting order. Exhausted memory raises the matrix's
// "not enough memory on heap".
TDoubleArray ComparableValues(const TMatrix& M, const TBlock& B);

}  // namespace nux::matrix_detail
