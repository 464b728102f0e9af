// TMatrix: construction, sizing, element access, filling, cloning and the fingerprint.
#include "nux/matrix/matrix_core.h"

#include <algorithm>
#include <new>

#include "nux/host/random.h"
#include "nux/host/system.h"
#include "nux/math1/scalar.h"
#include "nux/openarrays/elementwise.h"

namespace nux {

TMatrix::TMatrix(TComponent* AOwner) : TNuxContainer(AOwner) { Mat = AllocateBlock(1, 1); }

TMatrix::TMatrix(int32_t Nc, int32_t Nr, TComponent* AOwner) : TNuxContainer(AOwner) {
  if (Nc < 1 || Nr < 1)
    RaiseComponentError<ENUXMatrixError>(
        *this, "size " + std::to_string(Nc) + " x " + std::to_string(Nr) + " is not positive");
  Mat = AllocateBlock(Nc, Nr);
}

TMatrix::TMatrix(const TDouble2DArray& Columns, TComponent* AOwner) : TNuxContainer(AOwner) {
  SetValues(Columns);
}

void TMatrix::SetValues(const TDouble2DArray& Columns) {
  if (Columns.empty() || Columns[0].empty() || IsRagged(Columns))
    RaiseComponentError<ENUXMatrixError>(*this, "SetValues", "empty or ragged array");
  if (Columns.size() > size_t(INT32_MAX) || Columns[0].size() > size_t(INT32_MAX))
    RaiseComponentError<ENUXMatrixError>(*this, msgNoMemoryOnHeap);
  TDouble2DArray New = AllocateBlock(int32_t(Columns.size()), int32_t(Columns[0].size()));
  for (size_t C = 0; C < Columns.size(); ++C)
    std::copy(Columns[C].begin(), Columns[C].end(), New[C].begin());
  const bool SizeChanged = New.size() != Mat.size() || New[0].size() != Mat[0].size();
  Mat.swap(New);
  Changed();
  if (SizeChanged) Resized();
}

TDouble2DArray TMatrix::AllocateBlock(int32_t Nc, int32_t Nr) const {
  // A block beyond physical memory is refused before anything is touched.
  if (!AllocationPlausible(uint64_t(Nc) * uint64_t(Nr), sizeof(double)))
    RaiseComponentError<ENUXMatrixError>(*this, msgNoMemoryOnHeap);
  return GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] {
    TDouble2DArray Block;
    Block.reserve(size_t(Nc));
    for (int32_t C = 0; C < Nc; ++C) Block.emplace_back(size_t(Nr), 0.0);
    return Block;
  });
}

void TMatrix::SetFPrecis(int32_t Ix, int32_t Value) {
  FPrecis[Ix >= 2 ? 1 : 0] = std::clamp(Value, -1, 25);
}

bool TMatrix::Resize(int32_t Nc, int32_t Nr) {
  if (Nc <= 0 || Nr <= 0 || (Nc == NrOfColumns() && Nr == NrOfRows())) return false;
  TDouble2DArray Block = AllocateBlock(Nc, Nr);
  const auto KeepCols = size_t(std::min(Nc, NrOfColumns()));
  const auto KeepRows = size_t(std::min(Nr, NrOfRows()));
  for (size_t C = 0; C < KeepCols; ++C)
    std::copy(Mat[C].begin(), Mat[C].begin() + KeepRows, Block[C].begin());
  Mat.swap(Block);
  Changed();
  Resized();
  return true;
}

bool TMatrix::ResizeAndClear(int32_t Nc, int32_t Nr) {
  if (!Resize(Nc, Nr)) return false;
  for (auto& Column : Mat) std::fill(Column.begin(), Column.end(), 0.0);
  Changed();
  Resized();
  return true;
}

void TMatrix::SetVal(int32_t Nc, int32_t Nr, double Value) {
  if (Nc < 1 || Nc > NrOfColumns() || Nr < 1 || Nr > NrOfRows()) return;
  Mat[size_t(Nc - 1)][size_t(Nr - 1)] = Value;
  Changed();
}

namespace {

// Visits the block LowCol..HighCol x LowRow..HighRow column by column.
template <class F>
void ForBlock(TDouble2DArray& Mat, int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
              F&& Set) {
  for (int32_t C = LowCol; C <= HighCol; ++C)
    for (int32_t R = LowRow; R <= HighRow; ++R) Set(Mat[size_t(C - 1)][size_t(R - 1)]);
}

}  // namespace

void TMatrix::Fill(double Value) { Fill(0, 0, 0, 0, Value); }

void TMatrix::Fill(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, double Value) {
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  ForBlock(Mat, LowCol, HighCol, LowRow, HighRow, [Value](double& X) { X = Value; });
  Changed();
}

void TMatrix::FillDiag(double Value) {
  const int32_t N = std::min(NrOfColumns(), NrOfRows());
  for (int32_t I = 0; I < N; ++I) Mat[size_t(I)][size_t(I)] = Value;
  Changed();
}

void TMatrix::FillSerial(double Offset, double Diff) {
  // Storage order is the array's index order, last index (the row) fastest.
  FillArraySerial(Mat, Offset, Diff);
  Changed();
}

void TMatrix::FillRandomUniform(double RangeLow, double RangeHigh) {
  FillRandomUniform(0, 0, 0, 0, RangeLow, RangeHigh);
}

void TMatrix::FillRandomUniform(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                                double RangeLow, double RangeHigh) {
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  ForBlock(Mat, LowCol, HighCol, LowRow, HighRow,
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
  ForBlock(Mat, LowCol, HighCol, LowRow, HighRow,
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

std::string TMatrix::CRCofData() const {
  TDataFingerprint<double> Crc;
  for (const auto& Column : Mat) Crc.Add(std::span<const double>(Column));
  return Crc.Result();
}

}  // namespace nux
