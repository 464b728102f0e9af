// TMat4D: copies between layers, time slots, pixels, matrices, 3-D arrays and dynamic arrays;
// Assign and Clone; the free copies on plain arrays.
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <utility>

#include "nux/frame/progress.h"
#include "nux/matrix/layer_copy_impl.h"
#include "nux/matrix/mat3d.h"
#include "nux/matrix/mat4d.h"
#include "nux/matrix/matrix_core.h"
#include "nux/vector/vector.h"

namespace nux {

namespace {

bool Outside(int64_t I, int64_t N) { return I < 1 || I > N; }

// The code of the last 1-based position outside its count, -(k + 1) for the k-th (position,
// count) pair; 0 when all lie inside.
int32_t OutsideCode(std::initializer_list<std::pair<int64_t, int64_t>> Checks) {
  int32_t Code = 0, K = 0;
  for (const auto& [I, N] : Checks) {
    --K;
    if (Outside(I, N)) Code = K;
  }
  return Code;
}

// Source position p of the box Lo..Hi (per dimension: column, row, layer) goes to the 1-based
// target p - Lo + Dest; Put(x, y, z, value) receives the 0-based targets inside Num.
template <class Get, class F>
void CopyBox(const int32_t (&Lo)[3], const int32_t (&Hi)[3], const int32_t (&Dest)[3],
             const int32_t (&Num)[3], Get&& ValueAt, F&& Put) {
  for (int32_t C = Lo[0]; C <= Hi[0]; ++C)
    for (int32_t R = Lo[1]; R <= Hi[1]; ++R)
      for (int32_t L = Lo[2]; L <= Hi[2]; ++L) {
        const int64_t X = int64_t{C} - Lo[0] + Dest[0], Y = int64_t{R} - Lo[1] + Dest[1],
                      Z = int64_t{L} - Lo[2] + Dest[2];
        if (!Outside(X, Num[0]) && !Outside(Y, Num[1]) && !Outside(Z, Num[2]))
          Put(int32_t(X - 1), int32_t(Y - 1), int32_t(Z - 1), ValueAt(C, R, L));
      }
}

}  // namespace

void TMat4D::CheckLayer(int32_t Layer) const {
  if (Outside(Layer, FNumZ))
    RaiseComponentError<ENUXMatrixError>(*this, "specified layer beyond data range");
}

void TMat4D::CheckTimeSlot(int32_t TimeSlot) const {
  if (Outside(TimeSlot, FNumT))
    RaiseComponentError<ENUXMatrixError>(*this, "specified time slot beyond data range");
}

int32_t TMat4D::CopyLayerToArray(TDouble2DArray& DestArray, int32_t LowCol, int32_t HighCol,
                                 int32_t LowRow, int32_t HighRow, int32_t Layer,
                                 int32_t TimeSlot) const {
  if (const int32_t Code = OutsideCode({{Layer, FNumZ}, {TimeSlot, FNumT}}); Code != 0) return Code;
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  TDouble2DArray Block = GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] {
    return TDouble2DArray(size_t(HighCol - LowCol + 1), TDoubleArray(size_t(HighRow - LowRow + 1)));
  });
  for (int32_t C = LowCol; C <= HighCol; ++C)
    for (int32_t R = LowRow; R <= HighRow; ++R)
      Block[size_t(C - LowCol)][size_t(R - LowRow)] = At(C - 1, R - 1, Layer - 1, TimeSlot - 1);
  DestArray.swap(Block);
  return 0;
}

void TMat4D::CopyLayerToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                               int32_t HighRow, int32_t Layer, int32_t TimeSlot) const {
  CheckLayer(Layer);
  CheckTimeSlot(TimeSlot);
  if (DestMat == nullptr) return;
  TDouble2DArray Block;
  CopyLayerToArray(Block, LowCol, HighCol, LowRow, HighRow, Layer, TimeSlot);
  DestMat->SetValues(Block);
}

void TMat4D::CopyMatrixToLayer(const TMatrix* SrcMat, int32_t SrcLowCol, int32_t SrcHighCol,
                               int32_t SrcLowRow, int32_t SrcHighRow, int32_t Layer,
                               int32_t TimeSlot, int32_t LayLowCol, int32_t LayLowRow) {
  CheckLayer(Layer);
  CheckTimeSlot(TimeSlot);
  if (SrcMat == nullptr) return;
  matrix_detail::MatrixToLayer(
      *SrcMat, SrcLowCol, SrcHighCol, SrcLowRow, SrcHighRow, LayLowCol, LayLowRow, FNumX, FNumY,
      [&](int32_t X, int32_t Y, double V) { At(X, Y, Layer - 1, TimeSlot - 1) = V; });
  Changed();
}

int32_t TMat4D::CopyArrayToLayer(const TDouble2DArray& SrcArray, int32_t Col, int32_t Row,
                                 int32_t Layer, int32_t TimeSlot) {
  int32_t Code = OutsideCode({{Layer, FNumZ}, {TimeSlot, FNumT}});
  if (Code == 0 && IsRagged(SrcArray)) Code = -3;
  if (Code != 0) return Code;
  for (size_t I = 0; I < SrcArray.size(); ++I)
    for (size_t J = 0; J < SrcArray[I].size(); ++J) {
      const int64_t C = int64_t{Col} + int64_t(I), R = int64_t{Row} + int64_t(J);
      if (!Outside(C, FNumX) && !Outside(R, FNumY))
        At(int32_t(C - 1), int32_t(R - 1), Layer - 1, TimeSlot - 1) = SrcArray[I][J];
    }
  Changed();
  return 0;
}

int32_t TMat4D::CopyTimeSlotToArray(TDouble3DArray& DestMat, int32_t LowCol, int32_t HighCol,
                                    int32_t LowRow, int32_t HighRow, int32_t LowLay,
                                    int32_t HighLay, int32_t TimeSlot) const {
  if (Outside(TimeSlot, FNumT)) return -1;
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  MakeValidLayerRange(LowLay, HighLay);
  TDouble3DArray Block = GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] {
    return TDouble3DArray(
        size_t(HighCol - LowCol + 1),
        TDouble2DArray(size_t(HighRow - LowRow + 1), TDoubleArray(size_t(HighLay - LowLay + 1))));
  });
  for (int32_t C = LowCol; C <= HighCol; ++C)
    for (int32_t R = LowRow; R <= HighRow; ++R)
      for (int32_t L = LowLay; L <= HighLay; ++L)
        Block[size_t(C - LowCol)][size_t(R - LowRow)][size_t(L - LowLay)] =
            At(C - 1, R - 1, L - 1, TimeSlot - 1);
  DestMat.swap(Block);
  return 0;
}

void TMat4D::CopyTimeSlotToMat3D(TMat3D* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                                 int32_t HighRow, int32_t LowLay, int32_t HighLay,
                                 int32_t TimeSlot) const {
  CheckTimeSlot(TimeSlot);
  if (DestMat == nullptr) return;
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  MakeValidLayerRange(LowLay, HighLay);
  // Built in a handler-less array and cloned, so the destination fires its events once.
  TMat3D Block(HighCol - LowCol + 1, HighRow - LowRow + 1, HighLay - LowLay + 1);
  for (int32_t C = LowCol; C <= HighCol; ++C)
    for (int32_t R = LowRow; R <= HighRow; ++R)
      for (int32_t L = LowLay; L <= HighLay; ++L)
        Block.SetVal(C - LowCol + 1, R - LowRow + 1, L - LowLay + 1,
                     At(C - 1, R - 1, L - 1, TimeSlot - 1));
  DestMat->Clone(&Block);
}

void TMat4D::CopyMat3DToTimeSlot(const TMat3D* SrcMat, int32_t SrcLowCol, int32_t SrcHighCol,
                                 int32_t SrcLowRow, int32_t SrcHighRow, int32_t SrcLowLay,
                                 int32_t SrcHighLay, int32_t TimeSlot, int32_t DestCol,
                                 int32_t DestRow, int32_t DestLayer) {
  CheckTimeSlot(TimeSlot);
  if (SrcMat == nullptr) return;
  SrcMat->MakeValidColRange(SrcLowCol, SrcHighCol);
  SrcMat->MakeValidRowRange(SrcLowRow, SrcHighRow);
  SrcMat->MakeValidLayerRange(SrcLowLay, SrcHighLay);
  CopyBox(
      {SrcLowCol, SrcLowRow, SrcLowLay}, {SrcHighCol, SrcHighRow, SrcHighLay},
      {DestCol, DestRow, DestLayer}, {FNumX, FNumY, FNumZ},
      [&](int32_t C, int32_t R, int32_t L) { return SrcMat->GetVal(C, R, L); },
      [&](int32_t X, int32_t Y, int32_t Z, double V) { At(X, Y, Z, TimeSlot - 1) = V; });
  Changed();
}

namespace {

// Zero-based positions: (0, 0) selects 0..N-1, reversed bounds are exchanged; false when a
// bound lies outside.
bool PositionRange(int32_t& Low, int32_t& High, size_t N) {
  if (Low == 0 && High == 0) {
    High = int32_t(std::min<size_t>(N, INT32_MAX)) - 1;
    return N > 0;
  }
  if (Low > High) std::swap(Low, High);
  return Low >= 0 && size_t(High) < N;
}

}  // namespace

int32_t TMat4D::CopyArrayToTimeSlot(const TDouble3DArray& SrcMat, int32_t SrcLowCol,
                                    int32_t SrcHighCol, int32_t SrcLowRow, int32_t SrcHighRow,
                                    int32_t SrcLowLay, int32_t SrcHighLay, int32_t TimeSlot,
                                    int32_t DestCol, int32_t DestRow, int32_t DestLayer) {
  if (SrcMat.empty() || SrcMat[0].empty() || SrcMat[0][0].empty() || IsRagged(SrcMat)) return -5;
  int32_t Code = 0;
  if (!PositionRange(SrcLowCol, SrcHighCol, SrcMat.size())) Code = -1;
  if (!PositionRange(SrcLowRow, SrcHighRow, SrcMat[0].size())) Code = -2;
  if (!PositionRange(SrcLowLay, SrcHighLay, SrcMat[0][0].size())) Code = -3;
  if (Outside(TimeSlot, FNumT)) Code = -4;
  if (Code != 0) return Code;
  CopyBox(
      {SrcLowCol, SrcLowRow, SrcLowLay}, {SrcHighCol, SrcHighRow, SrcHighLay},
      {DestCol, DestRow, DestLayer}, {FNumX, FNumY, FNumZ},
      [&](int32_t C, int32_t R, int32_t L) { return SrcMat[size_t(C)][size_t(R)][size_t(L)]; },
      [&](int32_t X, int32_t Y, int32_t Z, double V) { At(X, Y, Z, TimeSlot - 1) = V; });
  Changed();
  return 0;
}

void TMat4D::CopyFrom(const TMat4D* MatSource, int32_t SrcLowCol, int32_t SrcHighCol,
                      int32_t SrcLowRow, int32_t SrcHighRow, int32_t SrcLowLayer,
                      int32_t SrcHighLayer, int32_t SrcLowTSlot, int32_t SrcHighTSlot,
                      int32_t DestCol, int32_t DestRow, int32_t DestLayer, int32_t DestTSlot) {
  if (MatSource == nullptr) return;
  const int32_t N[4] = {MatSource->FNumX, MatSource->FNumY, MatSource->FNumZ, MatSource->FNumT};
  int32_t Lo[4] = {SrcLowCol, SrcLowRow, SrcLowLayer, SrcLowTSlot};
  int32_t Hi[4] = {SrcHighCol, SrcHighRow, SrcHighLayer, SrcHighTSlot};
  for (int D = 0; D < 4; ++D) {
    if (Lo[D] == 0 && Hi[D] == 0) Hi[D] = N[D];
    Lo[D] = std::clamp(Lo[D], 1, N[D]);
    Hi[D] = std::clamp(Hi[D], 1, N[D]);
    if (Lo[D] > Hi[D]) std::swap(Lo[D], Hi[D]);
  }
  // Copying within this array reads a copy, so overlapping blocks move as a whole.
  TDouble4DArray Copy;
  if (MatSource == this)
    Copy = GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] { return Mat; });
  const TDouble4DArray& Src = MatSource == this ? Copy : MatSource->Mat;
  const int32_t Dest[4] = {DestCol, DestRow, DestLayer, DestTSlot};
  auto Target = [&](int D, int32_t P) { return int64_t{P} - Lo[D] + Dest[D]; };
  for (int32_t T = Lo[3]; T <= Hi[3]; ++T) {
    const int64_t Tt = Target(3, T);
    if (!Outside(Tt, FNumT))
      for (int32_t Z = Lo[2]; Z <= Hi[2]; ++Z) {
        const int64_t Tz = Target(2, Z);
        if (Outside(Tz, FNumZ)) continue;
        for (int32_t Y = Lo[1]; Y <= Hi[1]; ++Y) {
          const int64_t Ty = Target(1, Y);
          if (Outside(Ty, FNumY)) continue;
          const TDoubleArray& Line = Src[size_t(T - 1)][size_t(Z - 1)][size_t(Y - 1)];
          for (int32_t X = Lo[0]; X <= Hi[0]; ++X) {
            const int64_t Tx = Target(0, X);
            if (!Outside(Tx, FNumX))
              At(int32_t(Tx - 1), int32_t(Ty - 1), int32_t(Tz - 1), int32_t(Tt - 1)) =
                  Line[size_t(X - 1)];
          }
        }
      }
    MathFeedBack(1.0);
  }
  Changed();
}

int32_t TMat4D::Copy1DArrayToPixel(const TDoubleArray& Src, int32_t Col, int32_t Row,
                                   int32_t FirstLayer, int32_t TimeSlot) {
  if (const int32_t Code =
          OutsideCode({{Col, FNumX}, {Row, FNumY}, {FirstLayer, FNumZ}, {TimeSlot, FNumT}});
      Code != 0)
    return Code;
  const size_t N = std::min(Src.size(), size_t(FNumZ - FirstLayer + 1));
  for (size_t I = 0; I < N; ++I)
    At(Col - 1, Row - 1, FirstLayer - 1 + int32_t(I), TimeSlot - 1) = Src[I];
  Changed();
  return 0;
}

int32_t TMat4D::CopyVectorToPixel(const TVector& Src, int32_t Col, int32_t Row, int32_t FirstLayer,
                                  int32_t TimeSlot) {
  return Copy1DArrayToPixel(Src.Data(), Col, Row, FirstLayer, TimeSlot);
}

int32_t TMat4D::CopyPixelTo1DArray(TDoubleArray& Dest, int32_t Col, int32_t Row,
                                   int32_t TimeSlot) const {
  if (const int32_t Code = OutsideCode({{Col, FNumX}, {Row, FNumY}, {TimeSlot, FNumT}}); Code != 0)
    return Code;
  TDoubleArray Pixel = GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap,
                                                   [&] { return TDoubleArray(size_t(FNumZ)); });
  for (int32_t Z = 0; Z < FNumZ; ++Z) Pixel[size_t(Z)] = At(Col - 1, Row - 1, Z, TimeSlot - 1);
  Dest.swap(Pixel);
  return 0;
}

int32_t TMat4D::CopyPixelToVector(TVector& Dest, int32_t Col, int32_t Row, int32_t TimeSlot) const {
  TDoubleArray Pixel;
  const int32_t Code = CopyPixelTo1DArray(Pixel, Col, Row, TimeSlot);
  if (Code == 0) Dest.SetValues(Pixel);
  return Code;
}

void TMat4D::Assign(const TPersistent* Source) {
  const auto* Src = dynamic_cast<const TMat4D*>(Source);
  if (Src == nullptr) return TNuxContainer::Assign(Source);
  if (Src == this) return;
  TDouble4DArray Copy =
      GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] { return Src->Mat; });
  Mat.swap(Copy);
  FNumX = Src->FNumX;
  FNumY = Src->FNumY;
  FNumZ = Src->FNumZ;
  FNumT = Src->FNumT;
  AssignContainerEvents(*Src);
  AssignPercentDoneEvent(*Src);
  OnReadElement = Src->OnReadElement;
}

void TMat4D::AssignTo(TPersistent* Dest) const {
  if (auto* D = dynamic_cast<TMat4D*>(Dest)) return D->Assign(this);
  TNuxContainer::AssignTo(Dest);
}

void TMat4D::Clone(const TMat4D* MatSource) {
  if (MatSource == nullptr || MatSource == this) return;
  TDouble4DArray Copy =
      GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] { return MatSource->Mat; });
  const bool SizeChanged = FNumX != MatSource->FNumX || FNumY != MatSource->FNumY ||
                           FNumZ != MatSource->FNumZ || FNumT != MatSource->FNumT;
  Mat.swap(Copy);
  FNumX = MatSource->FNumX;
  FNumY = MatSource->FNumY;
  FNumZ = MatSource->FNumZ;
  FNumT = MatSource->FNumT;
  Changed();
  if (SizeChanged) Resized();
}

namespace {

// Dest := Src[i][j][k] for the given 0-based positions (0 where Src has none).
TDouble2DArray LayerOf(const TDouble3DArray& Src, int32_t I1, int32_t I2, int32_t J1, int32_t J2,
                       int32_t K) {
  TDouble2DArray Out(size_t(int64_t{I2} - I1 + 1), TDoubleArray(size_t(int64_t{J2} - J1 + 1), 0.0));
  for (int64_t I = I1; I <= I2; ++I)
    for (int64_t J = J1; J <= J2; ++J)
      if (I >= 0 && size_t(I) < Src.size() && J >= 0 && size_t(J) < Src[size_t(I)].size() &&
          K >= 0 && size_t(K) < Src[size_t(I)][size_t(J)].size())
        Out[size_t(I - I1)][size_t(J - J1)] = Src[size_t(I)][size_t(J)][size_t(K)];
  return Out;
}

}  // namespace

void CopyArr3DLayerToArr2D(const TDouble3DArray& Src, TDouble2DArray& Dest, int32_t I1, int32_t I2,
                           int32_t J1, int32_t J2, int32_t K) {
  if (I2 < I1 || J2 < J1) return;
  Dest = LayerOf(Src, I1, I2, J1, J2, K);
}

void CopyArr3DLayerToMatrix(const TDouble3DArray& Src, TMatrix& Dest, int32_t I1, int32_t I2,
                            int32_t J1, int32_t J2, int32_t K) {
  if (I2 < I1 || J2 < J1) return;
  Dest.SetValues(LayerOf(Src, I1, I2, J1, J2, K));
}

void CopyMatrixToArray(const TMatrix& Src, TDouble2DArray& Dest, int32_t LowCol, int32_t HighCol,
                       int32_t LowRow, int32_t HighRow) {
  if (HighCol < LowCol || HighRow < LowRow) {
    Dest.clear();
    return;
  }
  TDouble2DArray Out(size_t(int64_t{HighCol} - LowCol + 1),
                     TDoubleArray(size_t(int64_t{HighRow} - LowRow + 1)));
  for (int64_t C = LowCol; C <= HighCol; ++C)
    for (int64_t R = LowRow; R <= HighRow; ++R)
      Out[size_t(C - LowCol)][size_t(R - LowRow)] = Src.GetVal(int32_t(C), int32_t(R));
  Dest.swap(Out);
}

}  // namespace nux
