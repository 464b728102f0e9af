// Definitions of the shared dense matrix members. Included only by the matrix unit's sources;
// matrix_instances.cpp compiles them for TMatrix and TIntMatrix.
#pragma once

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>

#include "nux/frame/combsort.h"
#include "nux/frame/moments.h"
#include "nux/frame/rounding.h"
#include "nux/frame/univconst.h"
#include "nux/host/random.h"
#include "nux/host/system.h"
#include "nux/matrix/matrix_base.h"
#include "nux/openarrays/elementwise.h"

namespace nux {

namespace matrix_detail {

// The row form of CopyRowToVec and CopyColToVec: Get(k) reads the k-th element (0-based) of
// the normalised range Lo..Hi of the matrix line.
template <class V, class Get>
void LineToVec(V& Dest, int32_t Lo, int32_t Hi, Get&& At) {
  const int32_t N = Dest.NrOfElem();
  if (Hi - Lo + 1 > N) Hi = Lo + N - 1;  // cut at the vector's length
  Dest.Fill(0);
  for (int32_t K = 0; K <= Hi - Lo; ++K) Dest.SetVal(K + 1, At(K));
}

template <class V, class Get>
void LineToVecAt(V& Dest, int32_t Lo, int32_t Hi, int32_t DestElem, Get&& At) {
  const int32_t N = Dest.NrOfElem();
  if (DestElem > N || int64_t{DestElem} < int64_t{Lo} - Hi + 1) return;
  Dest.Fill(0);
  for (int32_t K = 0; K <= Hi - Lo; ++K) {
    const int64_t Target = int64_t{DestElem} + K;
    if (Target > N) break;
    if (Target >= 1) Dest.SetVal(static_cast<int32_t>(Target), At(K));
  }
}

template <class T, class Get>
void LineToArray(std::vector<T>& Dest, int32_t Lo, int32_t Hi, int32_t DestElem, Get&& At) {
  const auto Len = static_cast<int64_t>(Dest.size());
  if (Len == 0 || DestElem > Len - 1 || int64_t{DestElem} < int64_t{Lo} - Hi) return;
  std::fill(Dest.begin(), Dest.end(), T{});
  for (int32_t K = 0; K <= Hi - Lo; ++K) {
    const int64_t Target = int64_t{DestElem} + K;
    if (Target >= Len) break;
    if (Target >= 0) Dest[size_t(Target)] = At(K);
  }
}

// Visits the block LowCol..HighCol x LowRow..HighRow column by column.
template <class A, class F>
void ForBlock(A& Mat, int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, F&& Set) {
  for (int32_t C = LowCol; C <= HighCol; ++C)
    for (int32_t R = LowRow; R <= HighRow; ++R) Set(Mat[size_t(C - 1)][size_t(R - 1)]);
}

// Count numbers from 1..Range in random order from the process-wide generator: distinct ones
// by a partial Fisher-Yates shuffle, or independent draws when Duplicates is set. A pool far
// larger than the draw (a sparse matrix's 2^31 columns) is kept as a map of the moved entries;
// the picks are the same either way.
inline TIntArray DrawIndices(int32_t Count, int32_t Range, bool Duplicates) {
  TIntArray Result(static_cast<size_t>(Count));
  if (Duplicates) {
    for (auto& X : Result) X = 1 + RandomInt(Range);
    return Result;
  }
  if (Range / 4 > Count) {
    std::unordered_map<int32_t, int32_t> Moved;
    const auto At = [&Moved](int32_t I) {
      const auto It = Moved.find(I);
      return It == Moved.end() ? I + 1 : It->second;
    };
    for (int32_t I = 0; I < Count; ++I) {
      const int32_t J = I + RandomInt(Range - I);
      const int32_t Picked = At(J);
      Moved[J] = At(I);
      Result[size_t(I)] = Picked;
    }
    return Result;
  }
  TIntArray Pool(static_cast<size_t>(Range));
  std::iota(Pool.begin(), Pool.end(), 1);
  for (int32_t I = 0; I < Count; ++I) {
    const int32_t J = I + RandomInt(Range - I);
    std::swap(Pool[size_t(I)], Pool[size_t(J)]);
    Result[size_t(I)] = Pool[size_t(I)];
  }
  return Result;
}

}  // namespace matrix_detail

template <class T, class D>
template <class S>
int32_t TMatrixBase<T, D>::ResampleBlock(const S& Src, double colpct, double rowpct, bool BootStrap,
                                         T2DArray& Block, TIntArray& Cols, TIntArray& Rows) const {
  const int32_t SrcNc = Src.NrOfColumns();
  const int32_t SrcNr = Src.NrOfRows();
  const int32_t Nc = RoundToInt32(SrcNc * colpct / 100.0);
  const int32_t Nr = RoundToInt32(SrcNr * rowpct / 100.0);
  // NaN percentages round to 0 and are rejected with the small ones.
  if (Nr < 1 || rowpct > 100.0) return -2;
  if (Nc < 1 || colpct > 100.0) return -1;
  Block = AllocateBlock(Nc, Nr);
  Cols = GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] {
    if (Nc != SrcNc) return matrix_detail::DrawIndices(Nc, SrcNc, false);
    TIntArray InOrder(static_cast<size_t>(Nc));
    std::iota(InOrder.begin(), InOrder.end(), 1);
    return InOrder;
  });
  Rows = GuardAlloc<ENUXMatrixError>(
      *this, msgNoMemoryOnHeap, [&] { return matrix_detail::DrawIndices(Nr, SrcNr, BootStrap); });
  for (size_t C = 0; C < size_t(Nc); ++C)
    for (size_t R = 0; R < size_t(Nr); ++R) Block[C][R] = Src.GetVal(Cols[C], Rows[R]);
  return 0;
}

template <class T, class D>
typename TMatrixBase<T, D>::T2DArray TMatrixBase<T, D>::AllocateBlock(int32_t Nc,
                                                                      int32_t Nr) const {
  // A block beyond physical memory is refused before anything is touched.
  if (!AllocationPlausible(uint64_t(Nc) * uint64_t(Nr), sizeof(T)))
    RaiseComponentError<ENUXMatrixError>(*this, msgNoMemoryOnHeap);
  return GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] {
    T2DArray Block;
    Block.reserve(size_t(Nc));
    for (int32_t C = 0; C < Nc; ++C) Block.emplace_back(size_t(Nr), T{});
    return Block;
  });
}

template <class T, class D>
typename TMatrixBase<T, D>::T2DArray TMatrixBase<T, D>::CopyOfColumns(
    const T2DArray& Columns) const {
  if (Columns.empty() || Columns[0].empty() || IsRagged(Columns))
    RaiseComponentError<ENUXMatrixError>(*this, "SetValues", "empty or ragged array");
  if (Columns.size() > size_t(INT32_MAX) || Columns[0].size() > size_t(INT32_MAX))
    RaiseComponentError<ENUXMatrixError>(*this, msgNoMemoryOnHeap);
  T2DArray New = AllocateBlock(int32_t(Columns.size()), int32_t(Columns[0].size()));
  for (size_t C = 0; C < Columns.size(); ++C)
    std::copy(Columns[C].begin(), Columns[C].end(), New[C].begin());
  return New;
}

template <class T, class D>
void TMatrixBase<T, D>::SetValues(const T2DArray& Columns) {
  T2DArray New = CopyOfColumns(Columns);
  const bool SizeChanged =
      New.size() != Mat.size() || Mat.empty() || New[0].size() != Mat[0].size();
  Mat.swap(New);
  Changed();
  if (SizeChanged) Resized();
}

template <class T, class D>
bool TMatrixBase<T, D>::ResizeStorage(int32_t Nc, int32_t Nr) {
  if (Nc <= 0 || Nr <= 0 || (Nc == NrOfColumns() && Nr == NrOfRows())) return false;
  T2DArray Block = AllocateBlock(Nc, Nr);
  const auto KeepCols = size_t(std::min(Nc, NrOfColumns()));
  const auto KeepRows = size_t(std::min(Nr, NrOfRows()));
  for (size_t C = 0; C < KeepCols; ++C)
    std::copy(Mat[C].begin(), Mat[C].begin() + KeepRows, Block[C].begin());
  Mat.swap(Block);
  return true;
}

template <class T, class D>
bool TMatrixBase<T, D>::ResizeAndClear(int32_t Nc, int32_t Nr) {
  if (!Self().Resize(Nc, Nr)) return false;
  for (auto& Col : Mat) std::fill(Col.begin(), Col.end(), T{});
  Changed();
  Resized();
  return true;
}

template <class T, class D>
void TMatrixBase<T, D>::SetVal(int32_t Nc, int32_t Nr, T Value) {
  if (Nc < 1 || Nc > NrOfColumns() || Nr < 1 || Nr > NrOfRows()) return;
  Mat[size_t(Nc - 1)][size_t(Nr - 1)] = Value;
  Changed();
}

template <class T, class D>
void TMatrixBase<T, D>::Fill(T Value) {
  Fill(0, 0, 0, 0, Value);
}

template <class T, class D>
void TMatrixBase<T, D>::Fill(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                             T Value) {
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  matrix_detail::ForBlock(Mat, LowCol, HighCol, LowRow, HighRow, [Value](T& X) { X = Value; });
  Changed();
}

template <class T, class D>
void TMatrixBase<T, D>::FillDiag(T Value) {
  const int32_t N = std::min(NrOfColumns(), NrOfRows());
  for (int32_t I = 0; I < N; ++I) Mat[size_t(I)][size_t(I)] = Value;
  Changed();
}

template <class T, class D>
void TMatrixBase<T, D>::FillSerial(T Offset, T Diff) {
  // Storage order is the array's index order, last index (the row) fastest.
  FillArraySerial(Mat, Offset, Diff);
  Changed();
}

// ---- Copying ----

template <class T, class D>
void TMatrixBase<T, D>::CopyRowToVec(TVec* DestVec, int32_t Row, int32_t FirstCol,
                                     int32_t LastCol) const {
  if (DestVec == nullptr || Mat.empty()) return;
  MakeValidColRange(FirstCol, LastCol);
  const auto R = size_t(std::clamp(Row, 1, NrOfRows()) - 1);
  matrix_detail::LineToVec(*DestVec, FirstCol, LastCol,
                           [&](int32_t K) { return Mat[size_t(FirstCol - 1 + K)][R]; });
}

template <class T, class D>
void TMatrixBase<T, D>::CopyRowToVec(TVec* DestVec, int32_t Row, int32_t FirstCol, int32_t LastCol,
                                     int32_t DestElem) const {
  if (DestVec == nullptr || Mat.empty()) return;
  MakeValidColRange(FirstCol, LastCol);
  const auto R = size_t(std::clamp(Row, 1, NrOfRows()) - 1);
  matrix_detail::LineToVecAt(*DestVec, FirstCol, LastCol, DestElem,
                             [&](int32_t K) { return Mat[size_t(FirstCol - 1 + K)][R]; });
}

template <class T, class D>
void TMatrixBase<T, D>::CopyColToVec(TVec* DestVec, int32_t Col, int32_t FirstRow,
                                     int32_t LastRow) const {
  if (DestVec == nullptr || Mat.empty()) return;
  MakeValidRowRange(FirstRow, LastRow);
  const auto& Line = Mat[size_t(std::clamp(Col, 1, NrOfColumns()) - 1)];
  matrix_detail::LineToVec(*DestVec, FirstRow, LastRow,
                           [&](int32_t K) { return Line[size_t(FirstRow - 1 + K)]; });
}

template <class T, class D>
void TMatrixBase<T, D>::CopyColToVec(TVec* DestVec, int32_t Col, int32_t FirstRow, int32_t LastRow,
                                     int32_t DestElem) const {
  if (DestVec == nullptr || Mat.empty()) return;
  MakeValidRowRange(FirstRow, LastRow);
  const auto& Line = Mat[size_t(std::clamp(Col, 1, NrOfColumns()) - 1)];
  matrix_detail::LineToVecAt(*DestVec, FirstRow, LastRow, DestElem,
                             [&](int32_t K) { return Line[size_t(FirstRow - 1 + K)]; });
}

template <class T, class D>
void TMatrixBase<T, D>::CopyRowTo1DArray(TArray& Dest, int32_t Row, int32_t FirstCol,
                                         int32_t LastCol, int32_t DestElem) const {
  if (Mat.empty()) return;
  MakeValidColRange(FirstCol, LastCol);
  const auto R = size_t(std::clamp(Row, 1, NrOfRows()) - 1);
  matrix_detail::LineToArray(Dest, FirstCol, LastCol, DestElem,
                             [&](int32_t K) { return Mat[size_t(FirstCol - 1 + K)][R]; });
}

template <class T, class D>
void TMatrixBase<T, D>::CopyColTo1DArray(TArray& Dest, int32_t Col, int32_t FirstRow,
                                         int32_t LastRow, int32_t DestElem) const {
  if (Mat.empty()) return;
  MakeValidRowRange(FirstRow, LastRow);
  const auto& Line = Mat[size_t(std::clamp(Col, 1, NrOfColumns()) - 1)];
  matrix_detail::LineToArray(Dest, FirstRow, LastRow, DestElem,
                             [&](int32_t K) { return Line[size_t(FirstRow - 1 + K)]; });
}

namespace matrix_detail {

template <class U, class M>
int32_t BlockToArray(const M& Mx, std::vector<std::vector<U>>& Dest, int32_t ColLo, int32_t RowLo,
                     int32_t ColHi, int32_t RowHi, int32_t DestCol, int32_t DestRow) {
  if (Dest.empty() || Dest[0].empty() || IsRagged(Dest)) return -1;
  if (Mx.Data().empty()) return -2;
  if (Mx.MakeValidColRange(ColLo, ColHi)) return -2;
  if (Mx.MakeValidRowRange(RowLo, RowHi)) return -3;
  const auto Cols = static_cast<int64_t>(Dest.size()), Rows = static_cast<int64_t>(Dest[0].size());
  if (DestCol < 0 || DestCol >= Cols || DestRow < 0 || DestRow >= Rows) return -4;
  for (int64_t C = ColLo; C <= ColHi && DestCol + (C - ColLo) < Cols; ++C) {
    auto& Out = Dest[size_t(DestCol + (C - ColLo))];
    const auto& In = Mx.Data()[size_t(C - 1)];
    for (int64_t R = RowLo; R <= RowHi; ++R) {
      const int64_t Target = DestRow + (R - RowLo);
      if (Target >= Rows) break;
      Out[size_t(Target)] = RoundedTo<U>(static_cast<double>(In[size_t(R - 1)]));
    }
  }
  return 0;
}

}  // namespace matrix_detail

template <class T, class D>
int32_t TMatrixBase<T, D>::CopyToArray(TDouble2DArray& Dest, int32_t SrcColLo, int32_t SrcRowLo,
                                       int32_t SrcColHi, int32_t SrcRowHi, int32_t DestCol,
                                       int32_t DestRow) const {
  return matrix_detail::BlockToArray(*this, Dest, SrcColLo, SrcRowLo, SrcColHi, SrcRowHi, DestCol,
                                     DestRow);
}

template <class T, class D>
int32_t TMatrixBase<T, D>::CopyToArray(TInt2DArray& Dest, int32_t SrcColLo, int32_t SrcRowLo,
                                       int32_t SrcColHi, int32_t SrcRowHi, int32_t DestCol,
                                       int32_t DestRow) const {
  return matrix_detail::BlockToArray(*this, Dest, SrcColLo, SrcRowLo, SrcColHi, SrcRowHi, DestCol,
                                     DestRow);
}

template <class T, class D>
int32_t TMatrixBase<T, D>::DuplicateDataAsArray(T2DArray& Dest) const {
  if (Dest.empty()) return -1;
  T2DArray Copy = GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] { return Mat; });
  Dest.swap(Copy);
  return 0;
}

template <class T, class D>
void TMatrixBase<T, D>::CopyFromVec(TDims Dim, const TVec* Src, int32_t FirstElem, int32_t LastElem,
                                    int32_t DestCol, int32_t DestRow) {
  if (Src == nullptr) return;
  Src->MakeValidElemRange(FirstElem, LastElem);
  for (int32_t E = FirstElem; E <= LastElem; ++E) {
    const int64_t Offset = E - FirstElem;
    const int64_t C = Dim == dimColumns ? DestCol + Offset : DestCol;
    const int64_t R = Dim == dimColumns ? DestRow : DestRow + Offset;
    if (C >= 1 && C <= NrOfColumns() && R >= 1 && R <= NrOfRows())
      SetVal(static_cast<int32_t>(C), static_cast<int32_t>(R), Src->GetVal(E));
  }
  Changed();
}

template <class T, class D>
void TMatrixBase<T, D>::CopyFromVec(const TVec* Src, int32_t FirstElem, int32_t LastElem,
                                    int32_t DestCol, int32_t DestRow, bool AsColumn) {
  CopyFromVec(AsColumn ? dimRows : dimColumns, Src, FirstElem, LastElem, DestCol, DestRow);
}

namespace matrix_detail {

template <class M, class U>
int32_t ArrayToMatrix(M& Mx, const std::vector<U>& Src, int32_t FirstElem, int32_t LastElem,
                      int32_t Col, int32_t Row, bool AsColumn) {
  using T = typename M::TElem;
  if (Src.empty()) return -1;
  const auto Len = static_cast<int64_t>(Src.size());
  int64_t Lo = FirstElem, Hi = LastElem;
  if (Lo == 0 && Hi == 0) Hi = Len - 1;
  if (Lo < 0 || Lo >= Len || Hi < 0 || Hi >= Len) return -4;
  const int32_t Nc = Mx.NrOfColumns(), Nr = Mx.NrOfRows();
  if (Col < 1 || Col > Nc || Row < 1 || Row > Nr) return -5;
  if (Lo > Hi) std::swap(Lo, Hi);
  for (int64_t I = Lo; I <= Hi; ++I) {
    const int64_t C = AsColumn ? Col : Col + I, R = AsColumn ? Row + I : Row;
    if (C > Nc || R > Nr) break;
    Mx.SetVal(static_cast<int32_t>(C), static_cast<int32_t>(R),
              RoundedTo<T>(static_cast<double>(Src[size_t(I)])));
  }
  Mx.Changed();
  return 0;
}

template <class M, class U>
int32_t Array2DToMatrix(M& Mx, const std::vector<std::vector<U>>& Src, int32_t ColLo, int32_t RowLo,
                        int32_t ColHi, int32_t RowHi, int32_t Col, int32_t Row) {
  using T = typename M::TElem;
  if (Src.empty() || Src[0].empty() || IsRagged(Src)) return -1;
  const auto Cols = static_cast<int64_t>(Src.size()), Rows = static_cast<int64_t>(Src[0].size());
  int64_t C1 = ColLo, C2 = ColHi, R1 = RowLo, R2 = RowHi;
  if (C1 == 0 && C2 == 0) C2 = Cols - 1;
  if (R1 == 0 && R2 == 0) R2 = Rows - 1;
  if (C1 < 0 || C1 >= Cols || C2 < 0 || C2 >= Cols) return -2;
  if (R1 < 0 || R1 >= Rows || R2 < 0 || R2 >= Rows) return -3;
  const int32_t Nc = Mx.NrOfColumns(), Nr = Mx.NrOfRows();
  if (Col < 1 || Col > Nc || Row < 1 || Row > Nr) return -5;
  for (int64_t I = C1; I <= C2 && Col + I <= Nc; ++I) {
    const auto& Line = Src[size_t(I)];
    for (int64_t J = R1; J <= R2 && Row + J <= Nr; ++J)
      Mx.SetVal(static_cast<int32_t>(Col + I), static_cast<int32_t>(Row + J),
                RoundedTo<T>(static_cast<double>(Line[size_t(J)])));
  }
  Mx.Changed();
  return 0;
}

}  // namespace matrix_detail

template <class T, class D>
int32_t TMatrixBase<T, D>::CopyFromArray(const TDoubleArray& Src, int32_t FirstElem,
                                         int32_t LastElem, int32_t Col, int32_t Row,
                                         bool AsColumn) {
  return matrix_detail::ArrayToMatrix(*this, Src, FirstElem, LastElem, Col, Row, AsColumn);
}

template <class T, class D>
int32_t TMatrixBase<T, D>::CopyFromArray(const TIntArray& Src, int32_t FirstElem, int32_t LastElem,
                                         int32_t Col, int32_t Row, bool AsColumn) {
  return matrix_detail::ArrayToMatrix(*this, Src, FirstElem, LastElem, Col, Row, AsColumn);
}

template <class T, class D>
int32_t TMatrixBase<T, D>::CopyFromArray(const TDouble2DArray& Src, int32_t SrcColLo,
                                         int32_t SrcRowLo, int32_t SrcColHi, int32_t SrcRowHi,
                                         int32_t Col, int32_t Row) {
  return matrix_detail::Array2DToMatrix(*this, Src, SrcColLo, SrcRowLo, SrcColHi, SrcRowHi, Col,
                                        Row);
}

template <class T, class D>
int32_t TMatrixBase<T, D>::CopyFromArray(const TInt2DArray& Src, int32_t SrcColLo, int32_t SrcRowLo,
                                         int32_t SrcColHi, int32_t SrcRowHi, int32_t Col,
                                         int32_t Row) {
  return matrix_detail::Array2DToMatrix(*this, Src, SrcColLo, SrcRowLo, SrcColHi, SrcRowHi, Col,
                                        Row);
}

template <class T, class D>
template <class S>
void TMatrixBase<T, D>::CopyBlockFrom(const S& Source, int32_t SourceColLo, int32_t SourceRowLo,
                                      int32_t SourceColHi, int32_t SourceRowHi, int32_t DestCol,
                                      int32_t DestRow) {
  const int32_t SrcNc = Source.NrOfColumns(), SrcNr = Source.NrOfRows();
  if (SrcNc < 1 || SrcNr < 1) return;
  const auto Clamp = [](int32_t& Lo, int32_t& Hi, int32_t N) {
    Lo = std::clamp(Lo, 1, N);
    Hi = std::clamp(Hi, 1, N);
    if (Lo > Hi) std::swap(Lo, Hi);
  };
  Clamp(SourceColLo, SourceColHi, SrcNc);
  Clamp(SourceRowLo, SourceRowHi, SrcNr);
  // Copying a matrix onto itself reads from a snapshot of the storage, so overlaps are safe.
  T2DArray Snapshot;
  const bool SameObject = static_cast<const void*>(&Source) == static_cast<const void*>(this);
  if (SameObject) Snapshot = Mat;
  for (int64_t C = SourceColLo; C <= SourceColHi; ++C) {
    const int64_t TC = C + DestCol - SourceColLo;
    if (TC < 1 || TC > NrOfColumns()) continue;
    for (int64_t R = SourceRowLo; R <= SourceRowHi; ++R) {
      const int64_t TR = R + DestRow - SourceRowLo;
      if (TR < 1 || TR > NrOfRows()) continue;
      const T X = SameObject ? Snapshot[size_t(C - 1)][size_t(R - 1)]
                             : RoundedTo<T>(static_cast<double>(Source.GetVal(
                                   static_cast<int32_t>(C), static_cast<int32_t>(R))));
      SetVal(static_cast<int32_t>(TC), static_cast<int32_t>(TR), X);
    }
  }
  Changed();
}

template <class T, class D>
void TMatrixBase<T, D>::CopyFrom(const D* MatSource, int32_t SourceColLo, int32_t SourceRowLo,
                                 int32_t SourceColHi, int32_t SourceRowHi, int32_t DestCol,
                                 int32_t DestRow) {
  if (MatSource == nullptr) return;
  CopyBlockFrom(*MatSource, SourceColLo, SourceRowLo, SourceColHi, SourceRowHi, DestCol, DestRow);
}

// ---- Reshaping ----

template <class T, class D>
bool TMatrixBase<T, D>::RemoveColumn(int32_t Col) {
  if (Col < 1 || Col > NrOfColumns() || NrOfColumns() < 2) return false;
  // Shift the later columns down, then drop the last through Resize (which fires the events).
  std::rotate(Mat.begin() + (Col - 1), Mat.begin() + Col, Mat.end());
  Self().Resize(NrOfColumns() - 1, NrOfRows());
  return true;
}

template <class T, class D>
bool TMatrixBase<T, D>::RemoveRow(int32_t Row) {
  if (Row < 1 || Row > NrOfRows() || NrOfRows() < 2) return false;
  for (auto& Col : Mat) std::rotate(Col.begin() + (Row - 1), Col.begin() + Row, Col.end());
  Self().Resize(NrOfColumns(), NrOfRows() - 1);
  return true;
}

template <class T, class D>
void TMatrixBase<T, D>::ExchangeColumns(int32_t C1, int32_t C2) {
  if (C1 < 1 || C1 > NrOfColumns() || C2 < 1 || C2 > NrOfColumns()) return;
  Mat[size_t(C1 - 1)].swap(Mat[size_t(C2 - 1)]);
  Changed();
}

template <class T, class D>
void TMatrixBase<T, D>::ExchangeRows(int32_t R1, int32_t R2) {
  if (R1 < 1 || R1 > NrOfRows() || R2 < 1 || R2 > NrOfRows()) return;
  for (auto& Col : Mat) std::swap(Col[size_t(R1 - 1)], Col[size_t(R2 - 1)]);
  Changed();
}

template <class T, class D>
void TMatrixBase<T, D>::MirrorColumns() {
  std::reverse(Mat.begin(), Mat.end());
  Changed();
}

template <class T, class D>
void TMatrixBase<T, D>::MirrorRows() {
  for (auto& Col : Mat) std::reverse(Col.begin(), Col.end());
  Changed();
}

template <class T, class D>
void TMatrixBase<T, D>::SortRows(int32_t SortColIx, bool Ascending, int32_t LowCol, int32_t LowRow,
                                 int32_t HighCol, int32_t HighRow) {
  if (SortColIx < 1 || SortColIx > NrOfColumns()) return;
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  if (HighRow - LowRow <= 0) return;
  const auto& Key = Mat[size_t(SortColIx - 1)];
  const bool KeyOutside = SortColIx < LowCol || SortColIx > HighCol;
  CombSort(
      LowRow, HighRow,
      [&](int64_t P, int64_t Q) {
        const T A = Key[size_t(P - 1)], B = Key[size_t(Q - 1)];
        return Ascending ? A > B : B > A;
      },
      [&](int64_t P, int64_t Q) {
        for (int32_t C = LowCol; C <= HighCol; ++C)
          std::swap(Mat[size_t(C - 1)][size_t(P - 1)], Mat[size_t(C - 1)][size_t(Q - 1)]);
        if (KeyOutside)
          std::swap(Mat[size_t(SortColIx - 1)][size_t(P - 1)],
                    Mat[size_t(SortColIx - 1)][size_t(Q - 1)]);
        this->SortExchange(ekRows, static_cast<int32_t>(P), static_cast<int32_t>(Q), LowCol,
                           HighCol);
      });
  Changed();
}

template <class T, class D>
void TMatrixBase<T, D>::SortCols(int32_t SortRowIx, bool Ascending, int32_t LowCol, int32_t LowRow,
                                 int32_t HighCol, int32_t HighRow) {
  if (SortRowIx < 1 || SortRowIx > NrOfRows()) return;
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  if (HighCol - LowCol <= 0) return;
  const auto K = size_t(SortRowIx - 1);
  const bool KeyOutside = SortRowIx < LowRow || SortRowIx > HighRow;
  CombSort(
      LowCol, HighCol,
      [&](int64_t P, int64_t Q) {
        const T A = Mat[size_t(P - 1)][K], B = Mat[size_t(Q - 1)][K];
        return Ascending ? A > B : B > A;
      },
      [&](int64_t P, int64_t Q) {
        auto& CP = Mat[size_t(P - 1)];
        auto& CQ = Mat[size_t(Q - 1)];
        std::swap_ranges(CP.begin() + (LowRow - 1), CP.begin() + HighRow,
                         CQ.begin() + (LowRow - 1));
        if (KeyOutside) std::swap(CP[K], CQ[K]);
        this->SortExchange(ekColumns, static_cast<int32_t>(P), static_cast<int32_t>(Q), LowRow,
                           HighRow);
      });
  Changed();
}

template <class T, class D>
bool TMatrixBase<T, D>::Transpose() {
  const int32_t Nc = NrOfColumns(), Nr = NrOfRows();
  if (Nc < 1 || Nr < 1) return false;
  T2DArray Block = AllocateBlock(Nr, Nc);
  for (int32_t C = 0; C < Nc; ++C)
    for (int32_t R = 0; R < Nr; ++R) Block[size_t(R)][size_t(C)] = Mat[size_t(C)][size_t(R)];
  Mat.swap(Block);
  Changed();
  Resized();
  return true;
}

template <class T, class D>
int32_t TMatrixBase<T, D>::EdgeVector(TOrientation Orient, TEdgeOp EdgeOp, TVector& Dest) const {
  return EdgeVector(Orient, EdgeOp, TIntArray{}, Dest);
}

template <class T, class D>
int32_t TMatrixBase<T, D>::EdgeVector(TOrientation Orient, TEdgeOp EdgeOp, const TIntArray& EdgeIx,
                                      TVector& Dest) const {
  if (NrOfColumns() < 1 || NrOfRows() < 1) return -1;
  const bool PerRow = Orient == orRows;
  // Lines reduced (one result each) and the positions across them.
  const int32_t Lines = PerRow ? NrOfRows() : NrOfColumns();
  const int32_t Across = PerRow ? NrOfColumns() : NrOfRows();
  TIntArray Positions;
  int32_t Result = 0;
  if (EdgeIx.empty()) {
    for (int32_t P = 1; P <= Across; ++P) Positions.push_back(P);
  } else {
    for (const int32_t P : EdgeIx) {
      if (P >= 1 && P <= Across)
        Positions.push_back(P);
      else
        Result = -2;
    }
  }
  Dest.SetVecSize(Lines);
  const auto At = [&](int32_t Line, int32_t Pos) {
    return static_cast<double>(PerRow ? Mat[size_t(Pos - 1)][size_t(Line - 1)]
                                      : Mat[size_t(Line - 1)][size_t(Pos - 1)]);
  };
  for (int32_t L = 1; L <= Lines; ++L) {
    double Value = 0.0;
    switch (EdgeOp) {
      case eoMin:
      case eoMax: {
        // The first value used is the start, so the extremes of the type are found too (NaNs
        // are passed over); with no value at all the documented start value stands.
        Value = EdgeOp == eoMin ? uc_MaxDouble : -uc_MaxDouble;
        bool Any = false;
        for (const int32_t P : Positions) {
          const double X = At(L, P);
          if (std::isnan(X)) continue;
          if (!Any || (EdgeOp == eoMin ? X < Value : X > Value)) Value = X;
          Any = true;
        }
        break;
      }
      case eoSum:
      case eoMean:
        for (const int32_t P : Positions) Value += At(L, P);
        if (EdgeOp == eoMean) Value /= Across;
        break;
      case eoStdDev: {
        const auto N = static_cast<int64_t>(Positions.size());
        const TCentralSums C =
            CentralSums(N, [&](int64_t I) { return At(L, Positions[size_t(I)]); });
        Value = N < 3 ? 0.0 : std::sqrt(std::max(0.0, C.S2 / static_cast<double>(N - 1)));
        break;
      }
      default:
        break;
    }
    Dest.SetVal(L, Value);
  }
  return Result;
}

template <class T, class D>
std::string TMatrixBase<T, D>::CRCofData() const {
  TDataFingerprint<T> Crc;
  for (const auto& Col : Mat) Crc.Add(std::span<const T>(Col));
  return Crc.Result();
}

}  // namespace nux
