// TIntMatrix: construction, the two forms and the conversions between them, element access,
// sizing, filling, transposing and cloning.
#include <algorithm>
#include <cmath>

#include "nux/frame/combsort.h"
#include "nux/frame/rounding.h"
#include "nux/host/random.h"
#include "nux/host/system.h"
#include "nux/math1/scalar.h"
#include "nux/matrix/intmatrix.h"
#include "nux/matrix/matrix_base_impl.h"
#include "nux/matrix/matrix_core.h"

namespace nux {

namespace {

bool Before(const TSpMatElemInt& E, int32_t Nc, int32_t Nr) {
  return E.colidx < Nc || (E.colidx == Nc && E.rowidx < Nr);
}

}  // namespace

TIntMatrix::TIntMatrix(TComponent* AOwner) : TMatrixBase(AOwner) { Mat = AllocateBlock(1, 1); }

TIntMatrix::TIntMatrix(int32_t Nc, int32_t Nr, TComponent* AOwner) : TMatrixBase(AOwner) {
  if (Nc < 1 || Nr < 1)
    RaiseComponentError<ENUXMatrixError>(
        *this, "size " + std::to_string(Nc) + " x " + std::to_string(Nr) + " is not positive");
  Mat = AllocateBlock(Nc, Nr);
}

std::unique_ptr<TIntMatrix> TIntMatrix::CreateSparse(TComponent* AOwner, int32_t AllocBy) {
  auto M = std::unique_ptr<TIntMatrix>(new TIntMatrix(AOwner));
  T2DArray().swap(M->Mat);
  M->FIsSparse = true;
  M->FAllocBy = std::max(AllocBy, 1);
  M->ClearSparse();
  return M;
}

void TIntMatrix::ClearSparse() {
  std::vector<TSpMatElemInt>().swap(FPending);
  std::vector<TSpMatElemInt>().swap(SpMat);
  FNumAllocated = FAllocBy;
  FSparseLowCol = FSparseLowRow = INT32_MAX;
  FSparseHighCol = FSparseHighRow = 1;
}

size_t TIntMatrix::Search(const std::vector<TSpMatElemInt>& A, int32_t Nc, int32_t Nr,
                          bool& Found) {
  // Binary search for the first element not before (Nc, Nr).
  size_t Lo = 0, Hi = A.size();
  while (Lo < Hi) {
    const size_t Mid = Lo + (Hi - Lo) / 2;
    if (Before(A[Mid], Nc, Nr))
      Lo = Mid + 1;
    else
      Hi = Mid;
  }
  Found = Lo < A.size() && A[Lo].colidx == Nc && A[Lo].rowidx == Nr;
  return Lo;
}

void TIntMatrix::Consolidate() const {
  if (FPending.empty()) return;
  // SetVal reserved room for every stored element, so this neither allocates nor fails.
  const size_t N = SpMat.size(), M = FPending.size();
  SpMat.resize(N + M);
  size_t I = N, J = M, K = N + M;
  while (J > 0) {
    if (I > 0 && !Before(SpMat[I - 1], FPending[J - 1].colidx, FPending[J - 1].rowidx))
      SpMat[--K] = SpMat[--I];
    else
      SpMat[--K] = FPending[--J];
  }
  FPending.clear();
}

std::vector<TSpMatElemInt> TIntMatrix::SparseElements() const {
  if (!FIsSparse) return {};
  Consolidate();
  return SpMat;
}

int32_t TIntMatrix::GetVal(int32_t Nc, int32_t Nr) const {
  if (!FIsSparse) return TMatrixBase::GetVal(Nc, Nr);
  if (Nc < FSparseLowCol || Nc > FSparseHighCol || Nr < FSparseLowRow || Nr > FSparseHighRow)
    return 0;
  bool Found = false;
  size_t I = Search(SpMat, Nc, Nr, Found);
  if (Found) return SpMat[I].value;
  I = Search(FPending, Nc, Nr, Found);
  return Found ? FPending[I].value : 0;
}

void TIntMatrix::SetVal(int32_t Nc, int32_t Nr, int32_t Value) {
  if (!FIsSparse) return TMatrixBase::SetVal(Nc, Nr, Value);
  if (Nc < 1 || Nr < 1) return;
  bool Found = false;
  const size_t I = Search(SpMat, Nc, Nr, Found);
  if (Found) {
    SpMat[I].value = Value;
    Changed();
    return;
  }
  const size_t J = Search(FPending, Nc, Nr, Found);
  if (Found) {
    FPending[J].value = Value;
    Changed();
    return;
  }
  const int64_t Count = SparseNumElem();
  // The capacity grows by the step; memory is taken as needed (at least half again when the
  // storage moves), so neither a step of 1 makes building quadratic nor a huge step (from a
  // caller or a file) takes memory up front. The main run keeps room for every element, so
  // merging the insert buffer never allocates.
  if (!AllocationPlausible(uint64_t(Count) + 1, sizeof(TSpMatElemInt)))
    RaiseComponentError<ENUXMatrixError>(*this, msgNoMemoryOnHeap);
  if (size_t(Count) + 1 > SpMat.capacity())
    GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] {
      SpMat.reserve(std::max(size_t(Count) + 1, SpMat.capacity() + SpMat.capacity() / 2));
    });
  if (Count >= FNumAllocated) FNumAllocated += FAllocBy;
  GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] {
    FPending.insert(FPending.begin() + std::ptrdiff_t(J), TSpMatElemInt{Nc, Nr, Value});
  });
  FSparseLowCol = std::min(FSparseLowCol, Nc);
  FSparseHighCol = std::max(FSparseHighCol, Nc);
  FSparseLowRow = std::min(FSparseLowRow, Nr);
  FSparseHighRow = std::max(FSparseHighRow, Nr);
  FNCol = std::max(FNCol, FSparseHighCol);
  FNRow = std::max(FNRow, FSparseHighRow);
  const auto Limit = std::max<size_t>(32, size_t(std::sqrt(double(SpMat.size()))));
  if (FPending.size() > Limit) Consolidate();
  Changed();
}

bool TIntMatrix::Resize(int32_t Nc, int32_t Nr) {
  if (!FIsSparse) {
    if (!ResizeStorage(Nc, Nr)) return false;
    Resized();
    Changed();
    return true;
  }
  if (Nc <= 0 || Nr <= 0 || (Nc == FNCol && Nr == FNRow)) return false;
  Consolidate();
  std::erase_if(SpMat, [&](const TSpMatElemInt& E) { return E.colidx > Nc || E.rowidx > Nr; });
  FNCol = Nc;
  FNRow = Nr;
  RecomputeBounds();  // from what is left, so that the box stays tight
  return true;
}

bool TIntMatrix::ResizeAndClear(int32_t Nc, int32_t Nr) {
  if (!FIsSparse) return TMatrixBase::ResizeAndClear(Nc, Nr);
  if (!Resize(Nc, Nr)) return false;
  Fill(0);
  return true;
}

void TIntMatrix::Fill(int32_t Value) {
  if (!FIsSparse) return TMatrixBase::Fill(Value);
  if (Value == 0) {
    ClearSparse();
  } else {
    for (TSpMatElemInt& E : SpMat) E.value = Value;
    for (TSpMatElemInt& E : FPending) E.value = Value;
  }
  Changed();
}

bool TIntMatrix::Transpose() {
  if (!FIsSparse) return TMatrixBase::Transpose();
  Consolidate();
  for (TSpMatElemInt& E : SpMat) std::swap(E.colidx, E.rowidx);
  std::swap(FSparseLowCol, FSparseLowRow);
  std::swap(FSparseHighCol, FSparseHighRow);
  std::swap(FNCol, FNRow);
  CombSort(
      0, int64_t(SpMat.size()) - 1,
      [&](int64_t P, int64_t Q) {
        return Before(SpMat[size_t(Q)], SpMat[size_t(P)].colidx, SpMat[size_t(P)].rowidx);
      },
      [&](int64_t P, int64_t Q) { std::swap(SpMat[size_t(P)], SpMat[size_t(Q)]); });
  Changed();
  Resized();
  return true;
}

void TIntMatrix::Clone(const TIntMatrix* MatSource) {
  if (MatSource == nullptr || MatSource == this || MatSource->FIsSparse != FIsSparse) return;
  if (!FIsSparse) {
    Resize(MatSource->NrOfColumns(), MatSource->NrOfRows());
    for (size_t C = 0; C < Mat.size(); ++C)
      std::copy(MatSource->Mat[C].begin(), MatSource->Mat[C].end(), Mat[C].begin());
    Changed();
    return;
  }
  MatSource->Consolidate();
  std::vector<TSpMatElemInt> Copy;
  GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] { Copy = MatSource->SpMat; });
  SpMat.swap(Copy);
  FPending.clear();
  FNumAllocated = MatSource->FNumAllocated;
  FAllocBy = MatSource->FAllocBy;
  FSparseLowCol = MatSource->FSparseLowCol;
  FSparseHighCol = MatSource->FSparseHighCol;
  FSparseLowRow = MatSource->FSparseLowRow;
  FSparseHighRow = MatSource->FSparseHighRow;
  FNCol = MatSource->FNCol;
  FNRow = MatSource->FNRow;
  Changed();
  Resized();
}

void TIntMatrix::SetValues(const TInt2DArray& Columns) {
  if (!FIsSparse) return TMatrixBase::SetValues(Columns);
  // Validated and allocated before the sparse form is given up, so a failure keeps it.
  T2DArray New = CopyOfColumns(Columns);
  AdoptDense(New);
  Changed();
  Resized();
}

void TIntMatrix::AdoptDense(T2DArray& Block) {
  Mat.swap(Block);
  std::vector<TSpMatElemInt>().swap(SpMat);
  std::vector<TSpMatElemInt>().swap(FPending);
  FIsSparse = false;
  FNumAllocated = 0;
  FNCol = FNRow = 0;
}

void TIntMatrix::RecomputeBounds() {
  FSparseLowCol = FSparseLowRow = INT32_MAX;
  FSparseHighCol = FSparseHighRow = 1;
  for (const TSpMatElemInt& E : SpMat) {
    FSparseLowCol = std::min(FSparseLowCol, E.colidx);
    FSparseHighCol = std::max(FSparseHighCol, E.colidx);
    FSparseLowRow = std::min(FSparseLowRow, E.rowidx);
    FSparseHighRow = std::max(FSparseHighRow, E.rowidx);
  }
}

void TIntMatrix::ArrayToSparse(int32_t AllocBy) {
  if (FIsSparse) return;
  const int32_t Step = std::max(AllocBy, 1);
  std::vector<TSpMatElemInt> Elems;
  GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] {
    size_t Count = 0;
    for (const auto& Col : Mat)
      Count += size_t(std::count_if(Col.begin(), Col.end(), [](int32_t X) { return X != 0; }));
    const size_t Cap =
        std::max<size_t>((Count + size_t(Step) - 1) / size_t(Step), 1) * size_t(Step);
    Elems.reserve(Cap);
    for (size_t C = 0; C < Mat.size(); ++C)
      for (size_t R = 0; R < Mat[C].size(); ++R)
        if (Mat[C][R] != 0) Elems.push_back({int32_t(C + 1), int32_t(R + 1), Mat[C][R]});
  });
  FNCol = TMatrixBase::NrOfColumns();
  FNRow = TMatrixBase::NrOfRows();
  FAllocBy = Step;
  FNumAllocated = std::max<int64_t>((int64_t(Elems.size()) + Step - 1) / Step, 1) * Step;
  SpMat.swap(Elems);
  FPending.clear();
  RecomputeBounds();
  T2DArray().swap(Mat);
  FIsSparse = true;
  Resized();
}

void TIntMatrix::SparseToArray() {
  if (!FIsSparse) return;
  Consolidate();
  T2DArray Block = AllocateBlock(FSparseHighCol, FSparseHighRow);
  for (const TSpMatElemInt& E : SpMat) Block[size_t(E.colidx - 1)][size_t(E.rowidx - 1)] = E.value;
  Mat.swap(Block);
  std::vector<TSpMatElemInt>().swap(SpMat);
  FNumAllocated = 0;
  FNCol = FNRow = 0;
  FIsSparse = false;
  Resized();
}

namespace {

// A uniform integer of Lo..Hi (Lo <= Hi); spans beyond the generator's int32 range (up to 2^32
// values) go through a uniform double, whose 53 bits keep the draw practically uniform.
int32_t UniformInt(int32_t Lo, int32_t Hi) {
  const int64_t Span = int64_t{Hi} - Lo + 1;
  if (Span <= INT32_MAX) return Lo + RandomInt(static_cast<int32_t>(Span));
  const auto Off = std::min(static_cast<int64_t>(Random() * static_cast<double>(Span)), Span - 1);
  return static_cast<int32_t>(Lo + Off);
}

}  // namespace

template <class F>
void TIntMatrix::FillBlockWith(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                               F&& Draw) {
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  if (!FIsSparse) {
    matrix_detail::ForBlock(Mat, LowCol, HighCol, LowRow, HighRow, [&](int32_t& X) { X = Draw(); });
  } else {
    // The stored elements in (column, row) order, so that a seeded fill repeats.
    Consolidate();
    for (TSpMatElemInt& E : SpMat)
      if (E.colidx >= LowCol && E.colidx <= HighCol && E.rowidx >= LowRow && E.rowidx <= HighRow)
        E.value = Draw();
  }
  Changed();
}

void TIntMatrix::FillRandomUniform(int32_t RangeLow, int32_t RangeHigh) {
  FillRandomUniform(0, 0, 0, 0, RangeLow, RangeHigh);
}

void TIntMatrix::FillRandomUniform(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                                   int32_t RangeLow, int32_t RangeHigh) {
  if (RangeLow > RangeHigh) std::swap(RangeLow, RangeHigh);
  FillBlockWith(LowCol, HighCol, LowRow, HighRow, [&] { return UniformInt(RangeLow, RangeHigh); });
}

void TIntMatrix::FillRandomGauss(double Mean, double StdDev) {
  FillRandomGauss(0, 0, 0, 0, Mean, StdDev);
}

void TIntMatrix::FillRandomGauss(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                                 double Mean, double StdDev) {
  FillBlockWith(LowCol, HighCol, LowRow, HighRow,
                [&] { return RoundToInt32(Mean + StdDev * GRandom()); });
}

int32_t TIntMatrix::ResampleExtMat(const TIntMatrix* SrcMat, double colpct, double rowpct,
                                   bool BootStrap, TIntArray& RndColIx, TIntArray& RndRowIx) {
  if (SrcMat == nullptr) return -3;
  if (RndColIx.empty() || RndRowIx.empty()) return -5;
  T2DArray Block;
  TIntArray Cols, Rows;
  // Built aside first: SrcMat may be this matrix, and a failed allocation changes nothing.
  if (const int32_t R = ResampleBlock(*SrcMat, colpct, rowpct, BootStrap, Block, Cols, Rows))
    return R;
  AdoptDense(Block);
  RndColIx.swap(Cols);
  RndRowIx.swap(Rows);
  Changed();
  Resized();
  return 0;
}

void TMatrix::CopyFrom(const TIntMatrix* MatSource, int32_t SourceColLo, int32_t SourceRowLo,
                       int32_t SourceColHi, int32_t SourceRowHi, int32_t DestCol, int32_t DestRow) {
  if (MatSource == nullptr) return;
  CopyBlockFrom(*MatSource, SourceColLo, SourceRowLo, SourceColHi, SourceRowHi, DestCol, DestRow);
}

}  // namespace nux
