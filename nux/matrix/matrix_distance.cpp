// TMatrix: distances between rows, distance matrices and random resampling.
#include <algorithm>
#include <cmath>
#include <numeric>

#include "nux/frame/rounding.h"
#include "nux/host/random.h"
#include "nux/matrix/matrix_base_impl.h"
#include "nux/matrix/matrix_core.h"

namespace nux {

double TMatrix::DistanceOfObjects(TDistMode Mode, int32_t obj1, int32_t obj2) const {
  if (Mode == dmUser) {
    double Distance = 0.0;
    // The event takes a mutable Sender; the handler gets this matrix as it is.
    if (OnCalcDistance) OnCalcDistance(const_cast<TMatrix*>(this), obj1, obj2, Distance);
    return Distance;
  }
  if (Mode < dmTanimoto || Mode > dmDice) return 0.0;
  // Rows outside the matrix read as zeros, as GetVal does.
  const bool In1 = obj1 >= 1 && obj1 <= NrOfRows();
  const bool In2 = obj2 >= 1 && obj2 <= NrOfRows();
  const auto R1 = size_t(In1 ? obj1 - 1 : 0);
  const auto R2 = size_t(In2 ? obj2 - 1 : 0);
  double SumXY = 0.0, SumXX = 0.0, SumYY = 0.0, SumAbs = 0.0, SumSqr = 0.0;
  for (const auto& Column : Mat) {
    const double X = In1 ? Column[R1] : 0.0;
    const double Y = In2 ? Column[R2] : 0.0;
    const double D = X - Y;
    SumXY += X * Y;
    SumXX += X * X;
    SumYY += Y * Y;
    SumAbs += std::abs(D);
    SumSqr += D * D;
  }
  switch (Mode) {
    case dmTanimoto:
    case dmDice: {
      const double Denom = Mode == dmTanimoto ? SumXX + SumYY - SumXY : SumXX + SumYY;
      const double Numer = Mode == dmTanimoto ? SumXY : 2.0 * SumXY;
      // 0/0 only for rows of zeros (or squares that underflow): equal rows are fully
      // similar, different ones not at all.
      if (Denom == 0.0) return SumAbs == 0.0 ? 1.0 : 0.0;
      return Numer / Denom;
    }
    case dmCityBlock:
      return SumAbs;
    case dmEuclid:
      return std::sqrt(SumSqr);
    case dmEuclidSqr:
      return SumSqr;
    default:
      return 0.0;
  }
}

int32_t TMatrix::CalcDistMat(TDistMode Mode, TMatrix* DMat) const {
  if (DMat == nullptr) return -3;
  const int32_t N = NrOfRows();
  if (DMat->NrOfColumns() != N) return -2;
  if (DMat->NrOfRows() != N) return -1;
  // DMat may be this matrix: the distances are then gathered before anything is written.
  TDouble2DArray Buffer;
  if (DMat == this) Buffer = AllocateBlock(N, N);
  for (int32_t I = 1; I <= N; ++I)
    for (int32_t J = I + 1; J <= N; ++J) {
      const double D = DistanceOfObjects(Mode, I, J);
      if (DMat == this) {
        Buffer[size_t(I - 1)][size_t(J - 1)] = D;
        Buffer[size_t(J - 1)][size_t(I - 1)] = D;
      } else {
        DMat->SetVal(I, J, D);
        DMat->SetVal(J, I, D);
      }
    }
  if (DMat == this) {
    auto* Self = const_cast<TMatrix*>(this);
    Self->Mat.swap(Buffer);
    Self->Changed();
  } else {
    for (int32_t I = 1; I <= N; ++I) DMat->SetVal(I, I, 0.0);
  }
  return 0;
}

int32_t TMatrix::ResampleExtMat(const TMatrix* SrcMat, double colpct, double rowpct, bool BootStrap,
                                TIntArray& RndColIx, TIntArray& RndRowIx) {
  if (SrcMat == nullptr) return -3;
  if (RndColIx.empty() || RndRowIx.empty()) return -5;
  TDouble2DArray Block;
  TIntArray Cols, Rows;
  // Built aside first: SrcMat may be this matrix, and a failed allocation changes nothing.
  if (const int32_t R = ResampleBlock(*SrcMat, colpct, rowpct, BootStrap, Block, Cols, Rows))
    return R;
  Mat.swap(Block);
  RndColIx.swap(Cols);
  RndRowIx.swap(Rows);
  Changed();
  Resized();
  return 0;
}

}  // namespace nux
