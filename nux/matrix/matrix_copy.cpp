// TMatrix: copying to and from vectors, dynamic arrays and other matrices.
#include <algorithm>

#include "nux/frame/rounding.h"
#include "nux/matrix/matrix_core.h"

namespace nux {

namespace {

// The row form of CopyRowToVec and CopyColToVec: Get(k) reads the k-th element (0-based) of
// the normalised range Lo..Hi of the matrix line.
template <class Get>
void LineToVec(TVector& Dest, int32_t Lo, int32_t Hi, Get&& At) {
  const int32_t N = Dest.NrOfElem();
  if (Hi - Lo + 1 > N) Hi = Lo + N - 1;  // cut at the vector's length
  Dest.Fill(0.0);
  for (int32_t K = 0; K <= Hi - Lo; ++K) Dest.SetVal(K + 1, At(K));
}

template <class Get>
void LineToVecAt(TVector& Dest, int32_t Lo, int32_t Hi, int32_t DestElem, Get&& At) {
  const int32_t N = Dest.NrOfElem();
  if (DestElem > N || int64_t{DestElem} < int64_t{Lo} - Hi + 1) return;
  Dest.Fill(0.0);
  for (int32_t K = 0; K <= Hi - Lo; ++K) {
    const int64_t Target = int64_t{DestElem} + K;
    if (Target > N) break;
    if (Target >= 1) Dest.SetVal(static_cast<int32_t>(Target), At(K));
  }
}

template <class Get>
void LineToArray(TDoubleArray& Dest, int32_t Lo, int32_t Hi, int32_t DestElem, Get&& At) {
  const auto Len = static_cast<int64_t>(Dest.size());
  if (Len == 0 || DestElem > Len - 1 || int64_t{DestElem} < int64_t{Lo} - Hi) return;
  std::fill(Dest.begin(), Dest.end(), 0.0);
  for (int32_t K = 0; K <= Hi - Lo; ++K) {
    const int64_t Target = int64_t{DestElem} + K;
    if (Target >= Len) break;
    if (Target >= 0) Dest[size_t(Target)] = At(K);
  }
}

}  // namespace

void TMatrix::CopyRowToVec(TVector* DestVec, int32_t Row, int32_t FirstCol, int32_t LastCol) const {
  if (DestVec == nullptr) return;
  MakeValidColRange(FirstCol, LastCol);
  const auto R = size_t(std::clamp(Row, 1, NrOfRows()) - 1);
  LineToVec(*DestVec, FirstCol, LastCol,
            [&](int32_t K) { return Mat[size_t(FirstCol - 1 + K)][R]; });
}

void TMatrix::CopyRowToVec(TVector* DestVec, int32_t Row, int32_t FirstCol, int32_t LastCol,
                           int32_t DestElem) const {
  if (DestVec == nullptr) return;
  MakeValidColRange(FirstCol, LastCol);
  const auto R = size_t(std::clamp(Row, 1, NrOfRows()) - 1);
  LineToVecAt(*DestVec, FirstCol, LastCol, DestElem,
              [&](int32_t K) { return Mat[size_t(FirstCol - 1 + K)][R]; });
}

void TMatrix::CopyColToVec(TVector* DestVec, int32_t Col, int32_t FirstRow, int32_t LastRow) const {
  if (DestVec == nullptr) return;
  MakeValidRowRange(FirstRow, LastRow);
  const auto& Column = Mat[size_t(std::clamp(Col, 1, NrOfColumns()) - 1)];
  LineToVec(*DestVec, FirstRow, LastRow,
            [&](int32_t K) { return Column[size_t(FirstRow - 1 + K)]; });
}

void TMatrix::CopyColToVec(TVector* DestVec, int32_t Col, int32_t FirstRow, int32_t LastRow,
                           int32_t DestElem) const {
  if (DestVec == nullptr) return;
  MakeValidRowRange(FirstRow, LastRow);
  const auto& Column = Mat[size_t(std::clamp(Col, 1, NrOfColumns()) - 1)];
  LineToVecAt(*DestVec, FirstRow, LastRow, DestElem,
              [&](int32_t K) { return Column[size_t(FirstRow - 1 + K)]; });
}

void TMatrix::CopyRowTo1DArray(TDoubleArray& Dest, int32_t Row, int32_t FirstCol, int32_t LastCol,
                               int32_t DestElem) const {
  MakeValidColRange(FirstCol, LastCol);
  const auto R = size_t(std::clamp(Row, 1, NrOfRows()) - 1);
  LineToArray(Dest, FirstCol, LastCol, DestElem,
              [&](int32_t K) { return Mat[size_t(FirstCol - 1 + K)][R]; });
}

void TMatrix::CopyColTo1DArray(TDoubleArray& Dest, int32_t Col, int32_t FirstRow, int32_t LastRow,
                               int32_t DestElem) const {
  MakeValidRowRange(FirstRow, LastRow);
  const auto& Column = Mat[size_t(std::clamp(Col, 1, NrOfColumns()) - 1)];
  LineToArray(Dest, FirstRow, LastRow, DestElem,
              [&](int32_t K) { return Column[size_t(FirstRow - 1 + K)]; });
}

namespace {

template <class T>
int32_t BlockToArray(const TMatrix& M, std::vector<std::vector<T>>& Dest, int32_t ColLo,
                     int32_t RowLo, int32_t ColHi, int32_t RowHi, int32_t DestCol,
                     int32_t DestRow) {
  if (Dest.empty() || Dest[0].empty() || IsRagged(Dest)) return -1;
  if (M.MakeValidColRange(ColLo, ColHi)) return -2;
  if (M.MakeValidRowRange(RowLo, RowHi)) return -3;
  const auto Cols = static_cast<int64_t>(Dest.size()), Rows = static_cast<int64_t>(Dest[0].size());
  if (DestCol < 0 || DestCol >= Cols || DestRow < 0 || DestRow >= Rows) return -4;
  for (int64_t C = ColLo; C <= ColHi && DestCol + (C - ColLo) < Cols; ++C) {
    auto& Out = Dest[size_t(DestCol + (C - ColLo))];
    const auto& In = M.Data()[size_t(C - 1)];
    for (int64_t R = RowLo; R <= RowHi; ++R) {
      const int64_t Target = DestRow + (R - RowLo);
      if (Target >= Rows) break;
      Out[size_t(Target)] = RoundedTo<T>(In[size_t(R - 1)]);
    }
  }
  return 0;
}

}  // namespace

int32_t TMatrix::CopyToArray(TDouble2DArray& Dest, int32_t SrcColLo, int32_t SrcRowLo,
                             int32_t SrcColHi, int32_t SrcRowHi, int32_t DestCol,
                             int32_t DestRow) const {
  return BlockToArray(*this, Dest, SrcColLo, SrcRowLo, SrcColHi, SrcRowHi, DestCol, DestRow);
}

int32_t TMatrix::CopyToArray(TInt2DArray& Dest, int32_t SrcColLo, int32_t SrcRowLo,
                             int32_t SrcColHi, int32_t SrcRowHi, int32_t DestCol,
                             int32_t DestRow) const {
  return BlockToArray(*this, Dest, SrcColLo, SrcRowLo, SrcColHi, SrcRowHi, DestCol, DestRow);
}

int32_t TMatrix::DuplicateDataAsArray(TDouble2DArray& Dest) const {
  if (Dest.empty()) return -1;
  TDouble2DArray Copy = GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] { return Mat; });
  Dest.swap(Copy);
  return 0;
}

void TMatrix::CopyFromVec(TDims Dim, const TVector* Src, int32_t FirstElem, int32_t LastElem,
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

void TMatrix::CopyFromVec(const TVector* Src, int32_t FirstElem, int32_t LastElem, int32_t DestCol,
                          int32_t DestRow, bool AsColumn) {
  CopyFromVec(AsColumn ? dimRows : dimColumns, Src, FirstElem, LastElem, DestCol, DestRow);
}

namespace {

template <class T>
int32_t ArrayToMatrix(TMatrix& M, const std::vector<T>& Src, int32_t FirstElem, int32_t LastElem,
                      int32_t Col, int32_t Row, bool AsColumn) {
  if (Src.empty()) return -1;
  const auto Len = static_cast<int64_t>(Src.size());
  int64_t Lo = FirstElem, Hi = LastElem;
  if (Lo == 0 && Hi == 0) Hi = Len - 1;
  if (Lo < 0 || Lo >= Len || Hi < 0 || Hi >= Len) return -4;
  if (Col < 1 || Col > M.NrOfColumns() || Row < 1 || Row > M.NrOfRows()) return -5;
  if (Lo > Hi) std::swap(Lo, Hi);
  for (int64_t I = Lo; I <= Hi; ++I) {
    const int64_t C = AsColumn ? Col : Col + I, R = AsColumn ? Row + I : Row;
    if (C > M.NrOfColumns() || R > M.NrOfRows()) break;
    M.SetVal(static_cast<int32_t>(C), static_cast<int32_t>(R), static_cast<double>(Src[size_t(I)]));
  }
  M.Changed();
  return 0;
}

template <class T>
int32_t Array2DToMatrix(TMatrix& M, const std::vector<std::vector<T>>& Src, int32_t ColLo,
                        int32_t RowLo, int32_t ColHi, int32_t RowHi, int32_t Col, int32_t Row) {
  if (Src.empty() || Src[0].empty() || IsRagged(Src)) return -1;
  const auto Cols = static_cast<int64_t>(Src.size()), Rows = static_cast<int64_t>(Src[0].size());
  int64_t C1 = ColLo, C2 = ColHi, R1 = RowLo, R2 = RowHi;
  if (C1 == 0 && C2 == 0) C2 = Cols - 1;
  if (R1 == 0 && R2 == 0) R2 = Rows - 1;
  if (C1 < 0 || C1 >= Cols || C2 < 0 || C2 >= Cols) return -2;
  if (R1 < 0 || R1 >= Rows || R2 < 0 || R2 >= Rows) return -3;
  if (Col < 1 || Col > M.NrOfColumns() || Row < 1 || Row > M.NrOfRows()) return -5;
  for (int64_t I = C1; I <= C2 && Col + I <= M.NrOfColumns(); ++I) {
    const auto& Column = Src[size_t(I)];
    for (int64_t J = R1; J <= R2 && Row + J <= M.NrOfRows(); ++J)
      M.SetVal(static_cast<int32_t>(Col + I), static_cast<int32_t>(Row + J),
               static_cast<double>(Column[size_t(J)]));
  }
  M.Changed();
  return 0;
}

}  // namespace

int32_t TMatrix::CopyFromArray(const TDoubleArray& Src, int32_t FirstElem, int32_t LastElem,
                               int32_t Col, int32_t Row, bool AsColumn) {
  return ArrayToMatrix(*this, Src, FirstElem, LastElem, Col, Row, AsColumn);
}

int32_t TMatrix::CopyFromArray(const TIntArray& Src, int32_t FirstElem, int32_t LastElem,
                               int32_t Col, int32_t Row, bool AsColumn) {
  return ArrayToMatrix(*this, Src, FirstElem, LastElem, Col, Row, AsColumn);
}

int32_t TMatrix::CopyFromArray(const TDouble2DArray& Src, int32_t SrcColLo, int32_t SrcRowLo,
                               int32_t SrcColHi, int32_t SrcRowHi, int32_t Col, int32_t Row) {
  return Array2DToMatrix(*this, Src, SrcColLo, SrcRowLo, SrcColHi, SrcRowHi, Col, Row);
}

int32_t TMatrix::CopyFromArray(const TInt2DArray& Src, int32_t SrcColLo, int32_t SrcRowLo,
                               int32_t SrcColHi, int32_t SrcRowHi, int32_t Col, int32_t Row) {
  return Array2DToMatrix(*this, Src, SrcColLo, SrcRowLo, SrcColHi, SrcRowHi, Col, Row);
}

void TMatrix::CopyFrom(const TMatrix* MatSource, int32_t SourceColLo, int32_t SourceRowLo,
                       int32_t SourceColHi, int32_t SourceRowHi, int32_t DestCol, int32_t DestRow) {
  if (MatSource == nullptr) return;
  const auto Clamp = [](int32_t& Lo, int32_t& Hi, int32_t N) {
    Lo = std::clamp(Lo, 1, N);
    Hi = std::clamp(Hi, 1, N);
    if (Lo > Hi) std::swap(Lo, Hi);
  };
  Clamp(SourceColLo, SourceColHi, MatSource->NrOfColumns());
  Clamp(SourceRowLo, SourceRowHi, MatSource->NrOfRows());
  // Copying a matrix onto itself reads from a snapshot of the block, so overlaps are safe.
  TDouble2DArray Snapshot;
  const TDouble2DArray* From = &MatSource->Mat;
  if (MatSource == this) {
    Snapshot = Mat;
    From = &Snapshot;
  }
  for (int64_t C = SourceColLo; C <= SourceColHi; ++C) {
    const int64_t TC = C + DestCol - SourceColLo;
    if (TC < 1 || TC > NrOfColumns()) continue;
    for (int64_t R = SourceRowLo; R <= SourceRowHi; ++R) {
      const int64_t TR = R + DestRow - SourceRowLo;
      if (TR >= 1 && TR <= NrOfRows())
        SetVal(static_cast<int32_t>(TC), static_cast<int32_t>(TR),
               (*From)[size_t(C - 1)][size_t(R - 1)]);
    }
  }
  Changed();
}

}  // namespace nux
