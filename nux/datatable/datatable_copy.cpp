// TDataTable: copying between tables, taking a caller's matrix, and copying values to and from
// vectors, matrices and dynamic arrays.
#include <algorithm>

#include "nux/datatable/datatable_impl.h"
#include "nux/frame/rounding.h"

namespace nux {

using datatable_detail::Guarded;
using datatable_detail::PrefixMap;

// ---- Between tables ----

void TDataTable::Assign(const TPersistent* Source) {
  const auto* Src = dynamic_cast<const TDataTable*>(Source);
  if (Src == nullptr) return TComponent::Assign(Source);
  if (Src == this) return;
  TLayout L = Guarded(*this, [&] {
    TLayout L;
    L.CState = Src->FCState;
    L.ColName = Src->FColName;
    L.RowName = Src->FRowName;
    L.ColAtt = Src->FColAtt;
    L.RowAtt = Src->FRowAtt;
    L.VType = Src->FVType;
    return L;
  });
  std::string Comment = Guarded(*this, [&] { return Src->FComment; });
  // The matrix copies the source matrix's handlers too; ours go back on at once, so that the
  // matrix keeps reporting to this table.
  FMat->Assign(Src->FMat);
  AttachMatrix();
  FCState.swap(L.CState);
  FColName.swap(L.ColName);
  FRowName.swap(L.RowName);
  FColAtt.swap(L.ColAtt);
  FRowAtt.swap(L.RowAtt);
  FVType.swap(L.VType);
  FComment.swap(Comment);
  FNrOfCols = Src->FNrOfCols;
  FNrOfRows = Src->FNrOfRows;
  FSortIncludeHd = Src->FSortIncludeHd;
  OnChange = Src->OnChange;
  OnChangeSetup = Src->OnChangeSetup;
  OnChangeNames = Src->OnChangeNames;
  OnChangeCellState = Src->OnChangeCellState;
  OnChangeAttrib = Src->OnChangeAttrib;
  OnResize = Src->OnResize;
  OnExportText = Src->OnExportText;
  AssignSortExchangeEvent(*Src);
  AssignPercentDoneEvent(*Src);
}

void TDataTable::AssignTo(TPersistent* Dest) const {
  if (auto* D = dynamic_cast<TDataTable*>(Dest)) return D->Assign(this);
  TComponent::AssignTo(Dest);
}

void TDataTable::Clone(const TDataTable* ExtTab) {
  if (ExtTab == nullptr || ExtTab == this) return;
  const int32_t OldCols = FNrOfCols, OldRows = FNrOfRows;
  const int32_t Nc = ExtTab->FNrOfCols, Nr = ExtTab->FNrOfRows;
  CheckShape(Nc, Nr, 1 + sizeof(double));
  TLayout L = Guarded(*this, [&] {
    TLayout L;
    L.Nc = Nc;
    L.Nr = Nr;
    L.CState = ExtTab->FCState;
    L.ColName = ExtTab->FColName;
    L.RowName = ExtTab->FRowName;
    L.ColAtt = ExtTab->FColAtt;
    L.RowAtt = ExtTab->FRowAtt;
    L.VType = ExtTab->FVType;
    L.HasValues = true;
    L.Values.reserve(size_t(Nc));
    for (int32_t C = 1; C <= Nc; ++C) {
      TDoubleArray& Column = L.Values.emplace_back(size_t(Nr));
      for (int32_t R = 1; R <= Nr; ++R) Column[size_t(R - 1)] = ExtTab->Elem(C, R);
    }
    return L;
  });
  std::string Comment = Guarded(*this, [&] { return ExtTab->FComment; });
  Install(L);
  FComment.swap(Comment);
  ChangedData();
  ChangedCellStates();
  ChangedSetup();
  ChangedNames();
  ChangedAttrib();
  FireResize(OldCols, OldRows);
}

void TDataTable::CopyFrom(const TDataTable* ExtTab, int32_t SourceColLo, int32_t SourceRowLo,
                          int32_t SourceColHi, int32_t SourceRowHi, int32_t DestCol,
                          int32_t DestRow) {
  if (ExtTab == nullptr) return;
  const auto Clamp = [](int32_t& Lo, int32_t& Hi, int32_t N) {
    Lo = std::clamp(Lo, 1, N);
    Hi = std::clamp(Hi, 1, N);
    if (Lo > Hi) std::swap(Lo, Hi);
  };
  Clamp(SourceColLo, SourceColHi, ExtTab->FNrOfCols);
  Clamp(SourceRowLo, SourceRowHi, ExtTab->FNrOfRows);
  // Copying within the table reads from a snapshot of the block, so overlaps are safe.
  const int32_t W = SourceColHi - SourceColLo + 1, Hgt = SourceRowHi - SourceRowLo + 1;
  const auto Cells = size_t(W) * size_t(Hgt);
  std::vector<double> Vals;
  std::vector<uint8_t> States;
  Guarded(*this, [&] {
    Vals.resize(Cells);
    States.resize(Cells);
  });
  for (int32_t C = 0; C < W; ++C)
    for (int32_t R = 0; R < Hgt; ++R) {
      const size_t P = size_t(C) * size_t(Hgt) + size_t(R);
      Vals[P] = ExtTab->Elem(SourceColLo + C, SourceRowLo + R);
      States[P] = ExtTab->CellState(SourceColLo + C, SourceRowLo + R);
    }
  {
    TMatrixMute Mute(*FMat);
    for (int32_t C = 0; C < W; ++C) {
      const int64_t TC = int64_t{DestCol} + C;
      if (TC < 1 || TC > FNrOfCols) continue;
      for (int32_t R = 0; R < Hgt; ++R) {
        const int64_t TR = int64_t{DestRow} + R;
        if (TR < 1 || TR > FNrOfRows) continue;
        const size_t P = size_t(C) * size_t(Hgt) + size_t(R);
        FMat->SetVal(int32_t(TC), int32_t(TR), Vals[P]);
        FCState[StateIx(int32_t(TC), int32_t(TR))] = States[P];
      }
    }
  }
  ChangedData();
  ChangedCellStates();
}

int32_t TDataTable::CopyColumnFrom(const TDataTable* ExtTab, int32_t SrcCol, int32_t DestCol) {
  if (ExtTab == nullptr) return -4;
  if (SrcCol < 1 || SrcCol > ExtTab->FNrOfCols) return -1;
  if (DestCol < 1 || DestCol > FNrOfCols) return -2;
  if (ExtTab == this && SrcCol == DestCol) return 0;
  TVTypeSpec VarType = Guarded(*this, [&] { return ExtTab->FVType[size_t(SrcCol - 1)]; });
  std::string Name = ExtTab->FColName[size_t(SrcCol - 1)];
  FColAtt[size_t(DestCol - 1)] = ExtTab->FColAtt[size_t(SrcCol - 1)];
  FColName[size_t(DestCol - 1)].swap(Name);
  FVType[size_t(DestCol - 1)] = std::move(VarType);
  const int32_t Rows = std::min(FNrOfRows, ExtTab->FNrOfRows);
  {
    TMatrixMute Mute(*FMat);
    for (int32_t R = 1; R <= Rows; ++R) {
      FMat->SetVal(DestCol, R, ExtTab->RawVal(SrcCol, R));
      FCState[StateIx(DestCol, R)] = ExtTab->FCState[ExtTab->StateIx(SrcCol, R)];
    }
  }
  ChangedData();
  ChangedCellStates();
  ChangedSetup();
  ChangedNames();
  ChangedAttrib();
  return FNrOfRows == ExtTab->FNrOfRows ? 0 : -3;
}

bool TDataTable::CopyCellStatesFrom(const TDataTable* ExtTab) {
  if (ExtTab == nullptr || ExtTab->FNrOfCols != FNrOfCols || ExtTab->FNrOfRows != FNrOfRows)
    return false;
  if (ExtTab != this) std::copy(ExtTab->FCState.begin(), ExtTab->FCState.end(), FCState.begin());
  ChangedCellStates();
  return true;
}

bool TDataTable::AssignAnotherDataMatrix(TMatrix* NewDMat) {
  if (NewDMat == nullptr) return false;
  const int32_t OldCols = FNrOfCols, OldRows = FNrOfRows;
  const int32_t Nc = std::max(NewDMat->NrOfColumns(), 1), Nr = std::max(NewDMat->NrOfRows(), 1);
  TLayout L = Guarded(*this, [&] {
    return MapLayout(PrefixMap(OldCols, Nc), PrefixMap(OldRows, Nr), true, false);
  });
  for (auto& VarType : L.VType) VarType.MScaleType = stInterval;
  // Nothing can fail from here on.
  if (NewDMat != FMat) {
    if (FExtMatAssigned) DetachMatrix();
    FMat = NewDMat;
    FOwnMat.reset();
    FExtMatAssigned = true;
  }
  AttachMatrix();
  FCState.swap(L.CState);
  FColName.swap(L.ColName);
  FRowName.swap(L.RowName);
  FColAtt.swap(L.ColAtt);
  FRowAtt.swap(L.RowAtt);
  FVType.swap(L.VType);
  FNrOfCols = Nc;
  FNrOfRows = Nr;
  FireResize(OldCols, OldRows);
  ChangedData();
  ChangedSetup();
  ChangedNames();
  ChangedAttrib();
  ChangedCellStates();
  return true;
}

// ---- To arrays and vectors ----

namespace {

// Checks and normalises a line range of the ranged copies: 0 or the result code.
int32_t CheckLineRange(int32_t& First, int32_t& Last, int32_t N) {
  if (First == 0 && Last == 0) {
    First = 1;
    Last = N;
  }
  if (First < 1 || First > N || Last < 1 || Last > N) return -2;
  if (First > Last) std::swap(First, Last);
  return 0;
}

}  // namespace

template <class TArr>
int32_t TDataTable::LineToArray(TArr& Dest, bool Column, int32_t Line, int32_t First, int32_t Last,
                                int32_t DestElem) const {
  if (Dest.empty()) return -4;
  if (Line < 1 || Line > (Column ? FNrOfCols : FNrOfRows)) return -1;
  if (CheckLineRange(First, Last, Column ? FNrOfRows : FNrOfCols) != 0) return -2;
  const auto Len = static_cast<int64_t>(Dest.size());
  if (DestElem < 0 || DestElem >= Len) return -3;
  const int64_t Fit = std::min<int64_t>(Last, First + (Len - DestElem) - 1);
  for (int64_t K = First; K <= Fit; ++K) {
    const double X = Column ? Elem(Line, int32_t(K)) : Elem(int32_t(K), Line);
    Dest[size_t(DestElem + (K - First))] = RoundedTo<typename TArr::value_type>(X);
  }
  return 0;
}

template <class TVec>
int32_t TDataTable::LineToVector(TVec* Dest, bool Column, int32_t Line, int32_t First, int32_t Last,
                                 int32_t DestElem) const {
  if (Dest == nullptr) return -4;
  if (Line < 1 || Line > (Column ? FNrOfCols : FNrOfRows)) return -1;
  if (CheckLineRange(First, Last, Column ? FNrOfRows : FNrOfCols) != 0) return -2;
  const int64_t N = Dest->NrOfElem();
  if (DestElem < 1 || DestElem > N) return -3;
  const int64_t Fit = std::min<int64_t>(Last, First + (N - DestElem));
  for (int64_t K = First; K <= Fit; ++K) {
    const double X = Column ? Elem(Line, int32_t(K)) : Elem(int32_t(K), Line);
    Dest->SetVal(int32_t(DestElem + (K - First)), RoundedTo<typename TVec::TElem>(X));
  }
  return 0;
}

int32_t TDataTable::CopyDataColumnToArray(TDoubleArray& Dest, int32_t Col, int32_t FirstRow,
                                          int32_t LastRow, int32_t DestElem) const {
  return LineToArray(Dest, true, Col, FirstRow, LastRow, DestElem);
}
int32_t TDataTable::CopyDataColumnToArray(TIntArray& Dest, int32_t Col, int32_t FirstRow,
                                          int32_t LastRow, int32_t DestElem) const {
  return LineToArray(Dest, true, Col, FirstRow, LastRow, DestElem);
}
int32_t TDataTable::CopyDataRowToArray(TDoubleArray& Dest, int32_t Row, int32_t FirstCol,
                                       int32_t LastCol, int32_t DestElem) const {
  return LineToArray(Dest, false, Row, FirstCol, LastCol, DestElem);
}
int32_t TDataTable::CopyDataRowToArray(TIntArray& Dest, int32_t Row, int32_t FirstCol,
                                       int32_t LastCol, int32_t DestElem) const {
  return LineToArray(Dest, false, Row, FirstCol, LastCol, DestElem);
}
int32_t TDataTable::CopyDataColumnToVector(TVector* Dest, int32_t Col, int32_t FirstRow,
                                           int32_t LastRow, int32_t DestElem) const {
  return LineToVector(Dest, true, Col, FirstRow, LastRow, DestElem);
}
int32_t TDataTable::CopyDataColumnToVector(TIntVector* Dest, int32_t Col, int32_t FirstRow,
                                           int32_t LastRow, int32_t DestElem) const {
  return LineToVector(Dest, true, Col, FirstRow, LastRow, DestElem);
}
int32_t TDataTable::CopyDataRowToVector(TVector* Dest, int32_t Row, int32_t FirstCol,
                                        int32_t LastCol, int32_t DestElem) const {
  return LineToVector(Dest, false, Row, FirstCol, LastCol, DestElem);
}
int32_t TDataTable::CopyDataRowToVector(TIntVector* Dest, int32_t Row, int32_t FirstCol,
                                        int32_t LastCol, int32_t DestElem) const {
  return LineToVector(Dest, false, Row, FirstCol, LastCol, DestElem);
}

int32_t TDataTable::CopyDataColumnToArray(int32_t Col, TDoubleArray& Dest) const {
  if (Col < 1 || Col > FNrOfCols) return -1;
  TDoubleArray Out = Guarded(*this, [&] { return TDoubleArray(size_t(FNrOfRows)); });
  for (int32_t R = 1; R <= FNrOfRows; ++R) Out[size_t(R - 1)] = RawVal(Col, R);
  Dest.swap(Out);
  return 0;
}

int32_t TDataTable::CopyDataRowToArray(int32_t Row, TDoubleArray& Dest) const {
  if (Row < 1 || Row > FNrOfRows) return -1;
  TDoubleArray Out = Guarded(*this, [&] { return TDoubleArray(size_t(FNrOfCols)); });
  for (int32_t C = 1; C <= FNrOfCols; ++C) Out[size_t(C - 1)] = RawVal(C, Row);
  Dest.swap(Out);
  return 0;
}

int32_t TDataTable::CopyDataColumnToVector(int32_t Col, TVector* Dest) const {
  if (Col < 1 || Col > FNrOfCols) return -1;
  if (Dest == nullptr) return -4;
  TDoubleArray Values;
  CopyDataColumnToArray(Col, Values);
  Dest->SetVecSize(FNrOfRows);
  Dest->CopyFrom(Values, 0, 0, 1);
  return 0;
}

int32_t TDataTable::CopyDataRowToVector(int32_t Row, TVector* Dest) const {
  if (Row < 1 || Row > FNrOfRows) return -1;
  if (Dest == nullptr) return -4;
  TDoubleArray Values;
  CopyDataRowToArray(Row, Values);
  Dest->SetVecSize(FNrOfCols);
  Dest->CopyFrom(Values, 0, 0, 1);
  return 0;
}

int32_t TDataTable::Slice(bool Column, int32_t Line, int32_t First, int32_t Last, int32_t Step,
                          TDoubleArray& Dst) const {
  if (Line < 1 || Line > (Column ? FNrOfCols : FNrOfRows)) return -1;
  if (CheckLineRange(First, Last, Column ? FNrOfRows : FNrOfCols) != 0) return -2;
  if (Step < 1) return -3;
  TDoubleArray Out =
      Guarded(*this, [&] { return TDoubleArray(size_t((Last - First) / Step + 1)); });
  size_t P = 0;
  for (int64_t K = First; K <= Last; K += Step)
    Out[P++] = Column ? RawVal(Line, int32_t(K)) : RawVal(int32_t(K), Line);
  Dst.swap(Out);
  return static_cast<int32_t>(P);
}

int32_t TDataTable::SliceCol(int32_t Col, int32_t FirstRow, int32_t LastRow, int32_t Step,
                             TDoubleArray& DstVec) const {
  return Slice(true, Col, FirstRow, LastRow, Step, DstVec);
}
int32_t TDataTable::SliceRow(int32_t Row, int32_t FirstCol, int32_t LastCol, int32_t Step,
                             TDoubleArray& DstVec) const {
  return Slice(false, Row, FirstCol, LastCol, Step, DstVec);
}

int32_t TDataTable::CopyCellsToVector(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                      int32_t HighRow, uint8_t State, TVector* DestVect) const {
  if (DestVect == nullptr) return -1;
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  TDoubleArray Taken = Guarded(*this, [&] {
    TDoubleArray Values;
    for (int32_t C = LowCol; C <= HighCol; ++C)
      for (int32_t R = LowRow; R <= HighRow; ++R) {
        const uint8_t S = FCState[StateIx(C, R)];
        if ((S & (csInvalid | csEmpty)) == 0 && (State == 0xFF || (S & State) != 0))
          Values.push_back(RawVal(C, R));
      }
    return Values;
  });
  const auto N = static_cast<int32_t>(Taken.size());
  if (N > 0) {
    DestVect->SetVecSize(N);
    DestVect->CopyFrom(Taken, 0, 0, 1);
  }
  return N;
}

int32_t TDataTable::CopyDataToMatrix(TMatrix* Dest, int32_t SrcColLo, int32_t SrcRowLo,
                                     int32_t SrcColHi, int32_t SrcRowHi, int32_t DestCol,
                                     int32_t DestRow) const {
  if (Dest == nullptr) return -1;
  if (MakeValidColRange(SrcColLo, SrcColHi)) return -2;
  if (MakeValidRowRange(SrcRowLo, SrcRowHi)) return -3;
  if (DestCol < 1 || DestCol > Dest->NrOfColumns() || DestRow < 1 || DestRow > Dest->NrOfRows())
    return -4;
  // Targets beyond Dest are dropped, so the block is cut to fit; the matrix snapshots its own
  // block when Dest is the table's store.
  Dest->CopyFrom(FMat, SrcColLo, SrcRowLo, SrcColHi, SrcRowHi, DestCol, DestRow);
  return 0;
}

int32_t TDataTable::CopyDataToArray(TDouble2DArray& Dest, int32_t SrcColLo, int32_t SrcRowLo,
                                    int32_t SrcColHi, int32_t SrcRowHi, int32_t DestCol,
                                    int32_t DestRow) const {
  return FMat->CopyToArray(Dest, SrcColLo, SrcRowLo, SrcColHi, SrcRowHi, DestCol, DestRow);
}

int32_t TDataTable::CopyDataToArray(TInt2DArray& Dest, int32_t SrcColLo, int32_t SrcRowLo,
                                    int32_t SrcColHi, int32_t SrcRowHi, int32_t DestCol,
                                    int32_t DestRow) const {
  return FMat->CopyToArray(Dest, SrcColLo, SrcRowLo, SrcColHi, SrcRowHi, DestCol, DestRow);
}

int32_t TDataTable::DuplicateDataAsArray(TDouble2DArray& Dest) const {
  if (Dest.empty()) return -1;
  TDouble2DArray Out = Guarded(*this, [&] {
    TDouble2DArray A;
    A.reserve(size_t(FNrOfCols));
    for (int32_t C = 0; C < FNrOfCols; ++C) A.emplace_back(size_t(FNrOfRows));
    return A;
  });
  for (int32_t C = 1; C <= FNrOfCols; ++C)
    for (int32_t R = 1; R <= FNrOfRows; ++R) Out[size_t(C - 1)][size_t(R - 1)] = RawVal(C, R);
  Dest.swap(Out);
  return 0;
}

// ---- Into the table ----

int32_t TDataTable::LineFromValues(bool Column, int32_t Line, const double* Values, size_t Count) {
  if (Line < 1 || Line > (Column ? FNrOfCols : FNrOfRows)) return -1;
  const auto N = std::min<size_t>(Count, size_t(Column ? FNrOfRows : FNrOfCols));
  // Not muted: every write reports through the matrix.
  for (size_t K = 0; K < N; ++K) {
    const auto P = static_cast<int32_t>(K) + 1;
    if (Column)
      FMat->SetVal(Line, P, Values[K]);
    else
      FMat->SetVal(P, Line, Values[K]);
  }
  return 0;
}

int32_t TDataTable::CopyDataColumnFromArray(int32_t Col, const TDoubleArray& SrcArray) {
  return LineFromValues(true, Col, SrcArray.data(), SrcArray.size());
}
int32_t TDataTable::CopyDataRowFromArray(int32_t Row, const TDoubleArray& SrcArray) {
  return LineFromValues(false, Row, SrcArray.data(), SrcArray.size());
}
int32_t TDataTable::CopyDataColumnFromVector(int32_t Col, const TVector* SrcVec) {
  if (Col < 1 || Col > FNrOfCols) return -1;
  if (SrcVec == nullptr) return -4;
  return LineFromValues(true, Col, SrcVec->Data().data(), SrcVec->Data().size());
}
int32_t TDataTable::CopyDataRowFromVector(int32_t Row, const TVector* SrcVec) {
  if (Row < 1 || Row > FNrOfRows) return -1;
  if (SrcVec == nullptr) return -4;
  return LineFromValues(false, Row, SrcVec->Data().data(), SrcVec->Data().size());
}

template <class TArr>
int32_t TDataTable::ArrayToCells(const TArr& Src, int32_t FirstElem, int32_t LastElem, int32_t Col,
                                 int32_t Row, bool AsColumn) {
  if (Src.empty()) return -1;
  const auto Len = static_cast<int64_t>(Src.size());
  int64_t Lo = FirstElem, Hi = LastElem;
  if (Lo == 0 && Hi == 0) Hi = Len - 1;
  if (Lo < 0 || Lo >= Len || Hi < 0 || Hi >= Len) return -4;
  if (!ValidCell(Col, Row)) return -5;
  if (Lo > Hi) std::swap(Lo, Hi);
  {
    TMatrixMute Mute(*FMat);
    for (int64_t I = Lo; I <= Hi; ++I) {
      const int64_t C = AsColumn ? Col : Col + (I - Lo), R = AsColumn ? Row + (I - Lo) : Row;
      if (C > FNrOfCols || R > FNrOfRows) break;
      FMat->SetVal(int32_t(C), int32_t(R), static_cast<double>(Src[size_t(I)]));
    }
  }
  ChangedData();
  return 0;
}

int32_t TDataTable::CopyDataFromArray(const TDoubleArray& Src, int32_t FirstElem, int32_t LastElem,
                                      int32_t Col, int32_t Row, bool AsColumn) {
  return ArrayToCells(Src, FirstElem, LastElem, Col, Row, AsColumn);
}
int32_t TDataTable::CopyDataFromArray(const TIntArray& Src, int32_t FirstElem, int32_t LastElem,
                                      int32_t Col, int32_t Row, bool AsColumn) {
  return ArrayToCells(Src, FirstElem, LastElem, Col, Row, AsColumn);
}

template <class TVec>
int32_t TDataTable::VectorToCells(const TVec* Src, int32_t FirstElem, int32_t LastElem, int32_t Col,
                                  int32_t Row, bool AsColumn) {
  if (Src == nullptr) return -1;
  const int32_t N = Src->NrOfElem();
  if (FirstElem == 0 && LastElem == 0) {
    FirstElem = 1;
    LastElem = N;
  }
  if (FirstElem < 1 || FirstElem > N || LastElem < 1 || LastElem > N) return -4;
  // The same walk as the array form, on the vector's storage (element k at k - 1).
  return ArrayToCells(Src->Data(), FirstElem - 1, LastElem - 1, Col, Row, AsColumn);
}

int32_t TDataTable::CopyDataFromVector(const TVector* Src, int32_t FirstElem, int32_t LastElem,
                                       int32_t Col, int32_t Row, bool AsColumn) {
  return VectorToCells(Src, FirstElem, LastElem, Col, Row, AsColumn);
}
int32_t TDataTable::CopyDataFromVector(const TIntVector* Src, int32_t FirstElem, int32_t LastElem,
                                       int32_t Col, int32_t Row, bool AsColumn) {
  return VectorToCells(Src, FirstElem, LastElem, Col, Row, AsColumn);
}

int32_t TDataTable::CopyDataFromMatrix(const TMatrix* MatSrc, int32_t SrcColLo, int32_t SrcRowLo,
                                       int32_t SrcColHi, int32_t SrcRowHi, int32_t DstCol,
                                       int32_t DstRow) {
  if (MatSrc == nullptr || !ValidCell(DstCol, DstRow)) return -1;
  MatSrc->MakeValidColRange(SrcColLo, SrcColHi);
  MatSrc->MakeValidRowRange(SrcRowLo, SrcRowHi);
  {
    TMatrixMute Mute(*FMat);
    FMat->CopyFrom(MatSrc, SrcColLo, SrcRowLo, SrcColHi, SrcRowHi, DstCol, DstRow);
  }
  ChangedData();
  return 0;
}

template <class T2D>
int32_t TDataTable::Array2DToCells(const T2D& Src, int32_t SrcColLo, int32_t SrcRowLo,
                                   int32_t SrcColHi, int32_t SrcRowHi, int32_t Col, int32_t Row) {
  if (Src.empty() || Src[0].empty()) return -1;
  const auto Cols = static_cast<int64_t>(Src.size()), Rows = static_cast<int64_t>(Src[0].size());
  int64_t C1 = SrcColLo, C2 = SrcColHi, R1 = SrcRowLo, R2 = SrcRowHi;
  if (C1 == 0 && C2 == 0) C2 = Cols - 1;
  if (R1 == 0 && R2 == 0) R2 = Rows - 1;
  if (C1 < 0 || C1 >= Cols || C2 < 0 || C2 >= Cols) return -2;
  if (R1 < 0 || R1 >= Rows || R2 < 0 || R2 >= Rows) return -3;
  if (!ValidCell(Col, Row)) return -5;
  {
    TMatrixMute Mute(*FMat);
    for (int64_t I = C1; I <= C2 && Col + (I - C1) <= FNrOfCols; ++I) {
      const auto& Column = Src[size_t(I)];
      for (int64_t J = R1; J <= R2 && Row + (J - R1) <= FNrOfRows; ++J)
        if (J < static_cast<int64_t>(Column.size()))  // a shorter inner array is never read past
          FMat->SetVal(int32_t(Col + (I - C1)), int32_t(Row + (J - R1)),
                       static_cast<double>(Column[size_t(J)]));
    }
  }
  ChangedData();
  return 0;
}

int32_t TDataTable::CopyDataFromArray(const TDouble2DArray& Src, int32_t SrcColLo, int32_t SrcRowLo,
                                      int32_t SrcColHi, int32_t SrcRowHi, int32_t Col,
                                      int32_t Row) {
  return Array2DToCells(Src, SrcColLo, SrcRowLo, SrcColHi, SrcRowHi, Col, Row);
}
int32_t TDataTable::CopyDataFromArray(const TInt2DArray& Src, int32_t SrcColLo, int32_t SrcRowLo,
                                      int32_t SrcColHi, int32_t SrcRowHi, int32_t Col,
                                      int32_t Row) {
  return Array2DToCells(Src, SrcColLo, SrcRowLo, SrcColHi, SrcRowHi, Col, Row);
}

}  // namespace nux
