// The matrix-to-layer copy shared by TMat3D and TMat4D. Included only by the matrix unit's
// sources.
#pragma once

#include <algorithm>
#include <cstdint>

#include "nux/matrix/matrix_core.h"

namespace nux::matrix_detail {

// CopyMatrixToLayer of both arrays: source position (c, r) of SrcLowCol..SrcHighCol x
// SrcLowRow..SrcHighRow goes to (c - SrcLowCol + LayLowCol, r - SrcLowRow + LayLowRow) of a
// NumX x NumY layer. Put(x, y, value) receives the 0-based targets inside the layer, 0.0 where
// the source has no element. Only positions landing inside are visited, so a wide range given
// as is costs no more than the layer.
template <class F>
void MatrixToLayer(const TMatrix& Src, int32_t SrcLowCol, int32_t SrcHighCol, int32_t SrcLowRow,
                   int32_t SrcHighRow, int32_t LayLowCol, int32_t LayLowRow, int32_t NumX,
                   int32_t NumY, F&& Put) {
  const int64_t C0 = std::max<int64_t>(SrcLowCol, int64_t{SrcLowCol} + 1 - LayLowCol);
  const int64_t C1 = std::min<int64_t>(SrcHighCol, int64_t{SrcLowCol} + NumX - LayLowCol);
  const int64_t R0 = std::max<int64_t>(SrcLowRow, int64_t{SrcLowRow} + 1 - LayLowRow);
  const int64_t R1 = std::min<int64_t>(SrcHighRow, int64_t{SrcLowRow} + NumY - LayLowRow);
  for (int64_t C = C0; C <= C1; ++C)
    for (int64_t R = R0; R <= R1; ++R) {
      const bool InSrc = C >= 1 && C <= Src.NrOfColumns() && R >= 1 && R <= Src.NrOfRows();
      Put(int32_t(C - SrcLowCol + LayLowCol - 1), int32_t(R - SrcLowRow + LayLowRow - 1),
          InSrc ? Src.GetVal(int32_t(C), int32_t(R)) : 0.0);
    }
}

}  // namespace nux::matrix_detail
