// TMat3D: construction, sizing, element access, filling, cloning and the layer copies.
#include <algorithm>
#include <limits>

#include "nux/host/random.h"
#include "nux/host/system.h"
#include "nux/math1/scalar.h"
#include "nux/matrix/layer_copy_impl.h"
#include "nux/matrix/mat3d.h"
#include "nux/matrix/matrix_base_impl.h"
#include "nux/matrix/matrix_core.h"
#include "nux/openarrays/elementwise.h"

namespace nux {

TMat3D::TMat3D(TComponent* AOwner) : TNuxContainer(AOwner) {
  Mat = AllocateBlock(1, 1, 1);
  FNumX = FNumY = FNumZ = 1;
}

TMat3D::TMat3D(int32_t Nc, int32_t Nr, int32_t Nl, TComponent* AOwner) : TNuxContainer(AOwner) {
  if (Nc < 1 || Nr < 1 || Nl < 1)
    RaiseComponentError<ENUXMatrixError>(*this, "size " + std::to_string(Nc) + " x " +
                                                    std::to_string(Nr) + " x " +
                                                    std::to_string(Nl) + " is not positive");
  Mat = AllocateBlock(Nc, Nr, Nl);
  FNumX = Nc;
  FNumY = Nr;
  FNumZ = Nl;
}

TDouble3DArray TMat3D::AllocateBlock(int32_t Nc, int32_t Nr, int32_t Nl) const {
  // The element count of three 31-bit counts can exceed 64 bits: compare stepwise.
  const uint64_t Plane = uint64_t(Nc) * uint64_t(Nr);
  const uint64_t Limit = std::numeric_limits<uint64_t>::max() / sizeof(double);
  if (Plane > Limit / uint64_t(Nl) || !AllocationPlausible(Plane * uint64_t(Nl), sizeof(double)))
    RaiseComponentError<ENUXMatrixError>(*this, msgNoMemoryOnHeap);
  return GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] {
    return TDouble3DArray(size_t(Nc), TDouble2DArray(size_t(Nr), TDoubleArray(size_t(Nl), 0.0)));
  });
}

bool TMat3D::Resize(int32_t Nc, int32_t Nr, int32_t Nl) {
  if (Nc <= 0 || Nr <= 0 || Nl <= 0 || (Nc == FNumX && Nr == FNumY && Nl == FNumZ)) return false;
  TDouble3DArray Block = AllocateBlock(Nc, Nr, Nl);
  const auto KeepX = size_t(std::min(Nc, FNumX)), KeepY = size_t(std::min(Nr, FNumY)),
             KeepZ = size_t(std::min(Nl, FNumZ));
  for (size_t X = 0; X < KeepX; ++X)
    for (size_t Y = 0; Y < KeepY; ++Y)
      std::copy(Mat[X][Y].begin(), Mat[X][Y].begin() + std::ptrdiff_t(KeepZ), Block[X][Y].begin());
  Mat.swap(Block);
  FNumX = Nc;
  FNumY = Nr;
  FNumZ = Nl;
  Changed();
  Resized();
  return true;
}

bool TMat3D::ResizeAndClear(int32_t Nc, int32_t Nr, int32_t Nl) {
  if (!Resize(Nc, Nr, Nl)) return false;
  Fill(0.0);
  return true;
}

void TMat3D::SetVal(int32_t Nx, int32_t Ny, int32_t Nz, double Value) {
  if (!Inside(Nx, Ny, Nz)) return;
  Mat[size_t(Nx - 1)][size_t(Ny - 1)][size_t(Nz - 1)] = Value;
  Changed();
}

namespace {

template <class F>
void ForAll(TDouble3DArray& Mat, F&& Set) {
  for (auto& Plane : Mat)
    for (auto& Line : Plane)
      for (double& X : Line) Set(X);
}

}  // namespace

void TMat3D::Fill(double Value) {
  ForAll(Mat, [Value](double& X) { X = Value; });
  Changed();
}

void TMat3D::FillRandomUniform(double RangeLow, double RangeHigh) {
  ForAll(Mat, [&](double& X) { X = RangeLow + (RangeHigh - RangeLow) * Random(); });
  Changed();
}

void TMat3D::FillRandomGauss(double Mean, double StdDev) {
  ForAll(Mat, [&](double& X) { X = Mean + StdDev * GRandom(); });
  Changed();
}

void TMat3D::FillDiag(double Value) {
  const int32_t N = std::min({FNumX, FNumY, FNumZ});
  for (int32_t I = 0; I < N; ++I) Mat[size_t(I)][size_t(I)][size_t(I)] = Value;
  Changed();
}

void TMat3D::FillSerial(double Offset, double Diff) {
  FillArraySerial(Mat, Offset, Diff);
  Changed();
}

void TMat3D::Clone(const TMat3D* MatSource) {
  if (MatSource == nullptr || MatSource == this) return;
  TDouble3DArray Copy =
      GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] { return MatSource->Mat; });
  const bool SizeChanged =
      FNumX != MatSource->FNumX || FNumY != MatSource->FNumY || FNumZ != MatSource->FNumZ;
  Mat.swap(Copy);
  FNumX = MatSource->FNumX;
  FNumY = MatSource->FNumY;
  FNumZ = MatSource->FNumZ;
  Changed();
  if (SizeChanged) Resized();
}

void TMat3D::CheckLayer(int32_t Layer) const {
  if (Layer < 1 || Layer > FNumZ)
    RaiseComponentError<ENUXMatrixError>(*this, "specified layer beyond data range");
}

void TMat3D::CopyLayerToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                               int32_t HighRow, int32_t Layer) const {
  CheckLayer(Layer);
  if (DestMat == nullptr) return;
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  TDouble2DArray Block = GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] {
    return TDouble2DArray(size_t(HighCol - LowCol + 1), TDoubleArray(size_t(HighRow - LowRow + 1)));
  });
  const auto Z = size_t(Layer - 1);
  for (int32_t C = LowCol; C <= HighCol; ++C)
    for (int32_t R = LowRow; R <= HighRow; ++R)
      Block[size_t(C - LowCol)][size_t(R - LowRow)] = Mat[size_t(C - 1)][size_t(R - 1)][Z];
  DestMat->SetValues(Block);
}

void TMat3D::CopyMatrixToLayer(const TMatrix* SrcMat, int32_t SrcLowCol, int32_t SrcHighCol,
                               int32_t SrcLowRow, int32_t SrcHighRow, int32_t Layer,
                               int32_t LayLowCol, int32_t LayLowRow) {
  CheckLayer(Layer);
  if (SrcMat == nullptr) return;
  const auto Z = size_t(Layer - 1);
  matrix_detail::MatrixToLayer(
      *SrcMat, SrcLowCol, SrcHighCol, SrcLowRow, SrcHighRow, LayLowCol, LayLowRow, FNumX, FNumY,
      [&](int32_t X, int32_t Y, double V) { Mat[size_t(X)][size_t(Y)][Z] = V; });
  Changed();
}

std::string TMat3D::CRCofData() const {
  TDataFingerprint<double> Crc;
  for (const auto& Plane : Mat)
    for (const auto& Line : Plane) Crc.Add(std::span<const double>(Line));
  return Crc.Result();
}

namespace {

// A layer of a TMat3D seen as a matrix, for the generic block copy.
struct TLayerView {
  const TMat3D& M;
  int32_t Layer;
  int32_t NrOfColumns() const { return M.NrOfColumns(); }
  int32_t NrOfRows() const { return M.NrOfRows(); }
  double GetVal(int32_t C, int32_t R) const { return M.GetVal(C, R, Layer); }
};

}  // namespace

void TMatrix::CopyFrom(const TMat3D* MatSource, int32_t SourceColLo, int32_t SourceRowLo,
                       int32_t SourceColHi, int32_t SourceRowHi, int32_t SourceLayer,
                       int32_t DestCol, int32_t DestRow) {
  if (MatSource == nullptr) return;
  const TLayerView View{*MatSource, std::clamp(SourceLayer, 1, MatSource->NrOfLayers())};
  CopyBlockFrom(View, SourceColLo, SourceRowLo, SourceColHi, SourceRowHi, DestCol, DestRow);
}

}  // namespace nux
