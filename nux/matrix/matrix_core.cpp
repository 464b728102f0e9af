// TMatrix: construction, sizing, random filling, cloning and assignment.
#include "nux/matrix/matrix_core.h"

#include <algorithm>
#include <new>

#include "nux/host/random.h"
#include "nux/math1/scalar.h"
#include "nux/matrix/matrix_base_impl.h"

namespace nux {

TMatrix::TMatrix(TComponent* AOwner) : TMatrixBase(AOwner) { Mat = AllocateBlock(1, 1); }

TMatrix::TMatrix(int32_t Nc, int32_t Nr, TComponent* AOwner) : TMatrixBase(AOwner) {
  if (Nc < 1 || Nr < 1)
    RaiseComponentError<ENUXMatrixError>(
        *this, "size " + std::to_string(Nc) + " x " + std::to_string(Nr) + " is not positive");
  Mat = AllocateBlock(Nc, Nr);
}

TMatrix::TMatrix(const TDouble2DArray& Columns, TComponent* AOwner) : TMatrixBase(AOwner) {
  SetValues(Columns);
}

void TMatrix::SetFPrecis(int32_t Ix, int32_t Value) {
  FPrecis[Ix >= 2 ? 1 : 0] = std::clamp(Value, -1, 25);
}

bool TMatrix::Resize(int32_t Nc, int32_t Nr) {
  if (!ResizeStorage(Nc, Nr)) return false;
  Changed();
  Resized();
  return true;
}

void TMatrix::FillRandomUniform(double RangeLow, double RangeHigh) {
  FillRandomUniform(0, 0, 0, 0, RangeLow, RangeHigh);
}

void TMatrix::FillRandomUniform(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                                double RangeLow, double RangeHigh) {
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  matrix_detail::ForBlock(Mat, LowCol, HighCol, LowRow, HighRow,
                          [&](double& X) { X = RangeLow + (RangeHigh - RangeLow) * Random(); });
  Changed();
}

void TMatrix::FillRandomGauss(double Mean, double StdDev) {
  FillRandomGauss(0, 0, 0, 0, Mean, StdDev);
}

void TMatrix::FillRandomGauss(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                              double Mean, double StdDev) {
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  matrix_detail::ForBlock(Mat, LowCol, HighCol, LowRow, HighRow,
                          [&](double& X) { X = Mean + StdDev * GRandom(); });
  Changed();
}

void TMatrix::Clone(const TMatrix* MatSource) {
  if (MatSource == nullptr || MatSource == this) return;
  Resize(MatSource->NrOfColumns(), MatSource->NrOfRows());
  for (size_t C = 0; C < Mat.size(); ++C)
    std::copy(MatSource->Mat[C].begin(), MatSource->Mat[C].end(), Mat[C].begin());
  Changed();
  Resized();
}

void TMatrix::Assign(const TPersistent* Source) {
  const auto* Src = dynamic_cast<const TMatrix*>(Source);
  if (Src == nullptr) return TNuxContainer::Assign(Source);
  if (Src == this) return;
  TDouble2DArray Copy =
      GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] { return Src->Mat; });
  Mat.swap(Copy);
  FDataID = Src->FDataID;
  FPrecis[0] = Src->FPrecis[0];
  FPrecis[1] = Src->FPrecis[1];
  AssignContainerEvents(*Src);
  AssignSortExchangeEvent(*Src);
  AssignPercentDoneEvent(*Src);
  OnCalcDistance = Src->OnCalcDistance;
}

void TMatrix::AssignTo(TPersistent* Dest) const {
  if (auto* D = dynamic_cast<TMatrix*>(Dest)) return D->Assign(this);
  TNuxContainer::AssignTo(Dest);
}

}  // namespace nux
