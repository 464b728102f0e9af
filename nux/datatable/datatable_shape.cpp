// TDataTable: sizing, clearing, inserting and removing rows and columns, exchanging and
// mirroring, and the reshaping into one row per cell.
#include <algorithm>
#include <limits>

#include "nux/datatable/datatable_impl.h"
#include "nux/frame/dstruct.h"
#include "nux/frame/stringl.h"
#include "nux/host/system.h"

namespace nux {

using datatable_detail::DefaultName;
using datatable_detail::Guarded;
using datatable_detail::Identity;
using datatable_detail::PrefixMap;

TDataTable::TLayout TDataTable::MapLayout(const TIntArray& ColMap, const TIntArray& RowMap,
                                          bool DefaultNames, bool MoveValues) const {
  const auto Nc = static_cast<int32_t>(ColMap.size()), Nr = static_cast<int32_t>(RowMap.size());
  CheckShape(Nc, Nr, 1 + (MoveValues ? sizeof(double) : 0));
  return Guarded(*this, [&] {
    TLayout L;
    L.Nc = Nc;
    L.Nr = Nr;
    L.ColName.resize(size_t(Nc));
    L.ColAtt.assign(size_t(Nc), 0);
    L.VType.resize(size_t(Nc));
    for (int32_t K = 0; K < Nc; ++K) {
      const int32_t Old = ColMap[size_t(K)];
      if (Old > 0) {
        L.ColName[size_t(K)] = FColName[size_t(Old - 1)];
        L.ColAtt[size_t(K)] = FColAtt[size_t(Old - 1)];
        L.VType[size_t(K)] = FVType[size_t(Old - 1)];
      } else if (DefaultNames) {
        L.ColName[size_t(K)] = DefaultName('C', K + 1);
      }
    }
    L.RowName.resize(size_t(Nr));
    L.RowAtt.assign(size_t(Nr), 0);
    for (int32_t K = 0; K < Nr; ++K) {
      const int32_t Old = RowMap[size_t(K)];
      if (Old > 0) {
        L.RowName[size_t(K)] = FRowName[size_t(Old - 1)];
        L.RowAtt[size_t(K)] = FRowAtt[size_t(Old - 1)];
      } else if (DefaultNames) {
        L.RowName[size_t(K)] = DefaultName('R', K + 1);
      }
    }
    L.CState.assign(size_t(Nc) * size_t(Nr), 0);
    if (MoveValues) {
      L.HasValues = true;
      L.Values.reserve(size_t(Nc));
      for (int32_t K = 0; K < Nc; ++K) L.Values.emplace_back(size_t(Nr), 0.0);
    }
    for (int32_t C = 0; C < Nc; ++C) {
      const int32_t OC = ColMap[size_t(C)];
      if (OC <= 0) continue;
      for (int32_t R = 0; R < Nr; ++R) {
        const int32_t OR = RowMap[size_t(R)];
        if (OR <= 0) continue;
        L.CState[size_t(C) * size_t(Nr) + size_t(R)] = FCState[StateIx(OC, OR)];
        if (MoveValues) L.Values[size_t(C)][size_t(R)] = RawVal(OC, OR);
      }
    }
    return L;
  });
}

void TDataTable::CheckShape(int64_t Nc, int64_t Nr, uint64_t CellBytes) const {
  // Per column: name, attribute, variable type; per row: name and attribute.
  if (!AllocationPlausible(uint64_t(Nc) * uint64_t(Nr), CellBytes) ||
      !AllocationPlausible(uint64_t(Nc), sizeof(std::string) + sizeof(TVTypeSpec) + 4) ||
      !AllocationPlausible(uint64_t(Nr), sizeof(std::string) + 4))
    RaiseComponentError<ENUXDataTableError>(*this, msgNoMemoryOnHeap);
}

void TDataTable::Install(TLayout& L) {
  {
    TMatrixMute Mute(*FMat);
    const bool Whole =
        L.HasValues && L.Values.size() == size_t(L.Nc) &&
        std::all_of(L.Values.begin(), L.Values.end(),
                    [&](const TDoubleArray& Column) { return Column.size() == size_t(L.Nr); });
    if (Whole && L.Nc > 0 && L.Nr > 0) {
      // The layout's columns become the matrix's: no second copy of the values.
      FMat->Mat.swap(L.Values);
    } else {
      try {
        FMat->Resize(L.Nc, L.Nr);
      } catch (const ENUXError&) {
        RaiseComponentError<ENUXError>(*this, msgNoMemoryOnHeap);
      }
      if (L.HasValues)
        for (int32_t C = 1; C <= L.Nc; ++C) {
          TDoubleArray& Column = L.Values[size_t(C - 1)];
          for (int32_t R = 1; R <= L.Nr; ++R) FMat->SetVal(C, R, Column[size_t(R - 1)]);
          TDoubleArray().swap(Column);  // the layout is used up: keep the peak near one copy
        }
    }
  }
  FCState.swap(L.CState);
  FColName.swap(L.ColName);
  FRowName.swap(L.RowName);
  FColAtt.swap(L.ColAtt);
  FRowAtt.swap(L.RowAtt);
  FVType.swap(L.VType);
  FNrOfCols = L.Nc;
  FNrOfRows = L.Nr;
}

void TDataTable::FireStructureEvents(int32_t OldCols, int32_t OldRows, TMoveKind Kind) {
  const bool Resized = OldCols != FNrOfCols || OldRows != FNrOfRows;
  // An insertion grows the table before items move; a removal moves them, then shrinks.
  if (Kind == mkInsert && Resized) FireResize(OldCols, OldRows);
  if (Kind == mkRemoveBlock) {
    ChangedNames();
    ChangedAttrib();
  } else {
    ChangedAttrib();
    ChangedNames();
  }
  ChangedCellStates();
  if (Kind != mkInsert && Resized) FireResize(OldCols, OldRows);
  ChangedSetup();
}

void TDataTable::Resize(int32_t NrCols, int32_t NrRows) {
  // A table always keeps at least one row and one column, as its matrix does.
  NrCols = std::max(NrCols, 1);
  NrRows = std::max(NrRows, 1);
  if (NrCols == FNrOfCols && NrRows == FNrOfRows) return;
  const int32_t OldCols = FNrOfCols, OldRows = FNrOfRows;
  CheckShape(NrCols, NrRows, 1);
  TLayout L = Guarded(*this, [&] {
    return MapLayout(PrefixMap(OldCols, NrCols), PrefixMap(OldRows, NrRows), true, false);
  });
  Install(L);
  FireResize(OldCols, OldRows);
}

void TDataTable::Clear() {
  TLayout L = Guarded(*this, [&] {
    return MapLayout(TIntArray(size_t(FNrOfCols), 0), TIntArray(size_t(FNrOfRows), 0), true, false);
  });
  Install(L);
  {
    TMatrixMute Mute(*FMat);
    FMat->Fill(0.0);
  }
  FComment.clear();
  ChangedData();
  ChangedNames();
  ChangedAttrib();
  ChangedCellStates();
  ChangedSetup();
}

// ---- Inserting and removing ----

bool TDataTable::InsertRow(int32_t Ix) {
  if (Ix < 1 || Ix > FNrOfRows + 1) return false;
  const int32_t OldCols = FNrOfCols, OldRows = FNrOfRows;
  TLayout L = Guarded(*this, [&] {
    TIntArray RowMap = Identity(FNrOfRows);
    RowMap.insert(RowMap.begin() + (Ix - 1), 0);
    return MapLayout(Identity(FNrOfCols), RowMap, false, true);
  });
  Install(L);
  FireStructureEvents(OldCols, OldRows, mkInsert);
  return true;
}

bool TDataTable::InsertColumn(int32_t Ix) {
  if (Ix < 1 || Ix > FNrOfCols + 1) return false;
  const int32_t OldCols = FNrOfCols, OldRows = FNrOfRows;
  TLayout L = Guarded(*this, [&] {
    TIntArray ColMap = Identity(FNrOfCols);
    ColMap.insert(ColMap.begin() + (Ix - 1), 0);
    return MapLayout(ColMap, Identity(FNrOfRows), false, true);
  });
  Install(L);
  FireStructureEvents(OldCols, OldRows, mkInsert);
  return true;
}

int32_t TDataTable::RemoveByMap(bool Columns, const TIntArray& Keep, TMoveKind Kind) {
  const int32_t OldCols = FNrOfCols, OldRows = FNrOfRows;
  const int32_t Removed = (Columns ? OldCols : OldRows) - static_cast<int32_t>(Keep.size());
  // Nothing kept: one fresh row (column) with default name, as a new table has.
  const TIntArray Fresh{0};
  const TIntArray& Map = Keep.empty() ? Fresh : Keep;
  TLayout L = Guarded(*this, [&] {
    return Columns ? MapLayout(Map, Identity(OldRows), true, true)
                   : MapLayout(Identity(OldCols), Map, true, true);
  });
  Install(L);
  FireStructureEvents(OldCols, OldRows, Kind);
  return Removed;
}

bool TDataTable::RemoveRow(int32_t Ix) {
  if (Ix < 1 || Ix > FNrOfRows || FNrOfRows < 2) return false;
  TIntArray Keep = Guarded(*this, [&] { return Identity(FNrOfRows); });
  Keep.erase(Keep.begin() + (Ix - 1));
  RemoveByMap(false, Keep, mkRemoveOne);
  return true;
}

bool TDataTable::RemoveColumn(int32_t Ix) {
  if (Ix < 1 || Ix > FNrOfCols || FNrOfCols < 2) return false;
  TIntArray Keep = Guarded(*this, [&] { return Identity(FNrOfCols); });
  Keep.erase(Keep.begin() + (Ix - 1));
  RemoveByMap(true, Keep, mkRemoveOne);
  return true;
}

int32_t TDataTable::RemoveRows(int32_t FirstRow, int32_t LastRow) {
  if (FirstRow == 0 && LastRow == 0) {
    FirstRow = 1;
    LastRow = FNrOfRows;
  }
  if (FirstRow < 1 || FirstRow > FNrOfRows || LastRow < 1 || LastRow > FNrOfRows) return -1;
  if (FirstRow > LastRow) std::swap(FirstRow, LastRow);
  TIntArray Keep = Guarded(*this, [&] { return Identity(FNrOfRows); });
  Keep.erase(Keep.begin() + (FirstRow - 1), Keep.begin() + LastRow);
  return RemoveByMap(false, Keep, mkRemoveBlock);
}

int32_t TDataTable::RemoveSelected(bool Columns, int32_t First, int32_t Last, uint8_t CSMask,
                                   bool Marked) {
  const int32_t N = Columns ? FNrOfCols : FNrOfRows;
  if (First == 0 && Last == 0) {
    First = 1;
    Last = N;
  }
  if (First < 1 || First > N || Last < 1 || Last > N) return -1;
  if (First > Last) std::swap(First, Last);
  TBitFld Selected = Guarded(*this, [&] { return TBitFld(int64_t{N} + 1); });
  for (int32_t K = First; K <= Last; ++K) {
    const bool Has = Columns ? IfColHasCellState(K, CSMask) : IfRowHasCellState(K, CSMask);
    Selected.SetBit(K, Has == Marked);
  }
  if (Selected.CountTrueBits() == 0) return 0;
  TIntArray Keep = Guarded(*this, [&] {
    TIntArray Kept;
    Kept.reserve(size_t(N));
    for (int32_t K = 1; K <= N; ++K)
      if (!Selected.GetBit(K)) Kept.push_back(K);
    return Kept;
  });
  return RemoveByMap(Columns, Keep, mkRemoveBlock);
}

int32_t TDataTable::RemoveMarkedColumns(int32_t FirstCol, int32_t LastCol, uint8_t CSMask) {
  return RemoveSelected(true, FirstCol, LastCol, CSMask, true);
}
int32_t TDataTable::RemoveUnmarkedColumns(int32_t FirstCol, int32_t LastCol, uint8_t CSMask) {
  return RemoveSelected(true, FirstCol, LastCol, CSMask, false);
}
int32_t TDataTable::RemoveMarkedRows(int32_t FirstRow, int32_t LastRow, uint8_t CSMask) {
  return RemoveSelected(false, FirstRow, LastRow, CSMask, true);
}
int32_t TDataTable::RemoveUnmarkedRows(int32_t FirstRow, int32_t LastRow, uint8_t CSMask) {
  return RemoveSelected(false, FirstRow, LastRow, CSMask, false);
}

// ---- Exchanging and mirroring (in place, nothing to allocate) ----

namespace {

void RearrangedEvents(TDataTable& T) {
  T.ChangedData();
  T.ChangedCellStates();
  T.ChangedAttrib();
  T.ChangedNames();
  T.ChangedSetup();
}

}  // namespace

void TDataTable::ExchangeColumns(int32_t C1, int32_t C2) {
  if (C1 < 1 || C1 > FNrOfCols || C2 < 1 || C2 > FNrOfCols) return;
  {
    TMatrixMute Mute(*FMat);
    FMat->ExchangeColumns(C1, C2);
  }
  const auto A = size_t(C1 - 1), B = size_t(C2 - 1);
  std::swap(FColAtt[A], FColAtt[B]);
  std::swap(FColName[A], FColName[B]);
  std::swap(FVType[A], FVType[B]);
  if (A != B)
    std::swap_ranges(FCState.begin() + StateIx(C1, 1), FCState.begin() + StateIx(C1, 1) + FNrOfRows,
                     FCState.begin() + StateIx(C2, 1));
  RearrangedEvents(*this);
}

void TDataTable::ExchangeRows(int32_t R1, int32_t R2) {
  if (R1 < 1 || R1 > FNrOfRows || R2 < 1 || R2 > FNrOfRows) return;
  {
    TMatrixMute Mute(*FMat);
    FMat->ExchangeRows(R1, R2);
  }
  std::swap(FRowAtt[size_t(R1 - 1)], FRowAtt[size_t(R2 - 1)]);
  std::swap(FRowName[size_t(R1 - 1)], FRowName[size_t(R2 - 1)]);
  for (int32_t C = 1; C <= FNrOfCols; ++C)
    std::swap(FCState[StateIx(C, R1)], FCState[StateIx(C, R2)]);
  RearrangedEvents(*this);
}

void TDataTable::MirrorColumns() {
  {
    TMatrixMute Mute(*FMat);
    FMat->MirrorColumns();
  }
  std::reverse(FColAtt.begin(), FColAtt.end());
  std::reverse(FColName.begin(), FColName.end());
  std::reverse(FVType.begin(), FVType.end());
  for (int32_t K = 1; K < FNrOfCols + 1 - K; ++K)
    std::swap_ranges(FCState.begin() + StateIx(K, 1), FCState.begin() + StateIx(K, 1) + FNrOfRows,
                     FCState.begin() + StateIx(FNrOfCols + 1 - K, 1));
  RearrangedEvents(*this);
}

void TDataTable::MirrorRows() {
  {
    TMatrixMute Mute(*FMat);
    FMat->MirrorRows();
  }
  std::reverse(FRowAtt.begin(), FRowAtt.end());
  std::reverse(FRowName.begin(), FRowName.end());
  for (int32_t C = 1; C <= FNrOfCols; ++C)
    std::reverse(FCState.begin() + StateIx(C, 1), FCState.begin() + StateIx(C, 1) + FNrOfRows);
  RearrangedEvents(*this);
}

// ---- One row per cell ----

TMScaleType TDataTable::HighestScaleOfColumns() const {
  TMScaleType Highest = stNominal;
  for (const auto& VarType : FVType) Highest = std::max(Highest, VarType.MScaleType);
  return Highest;
}

bool TDataTable::Serialize(bool ColHeadsAsVar, bool IncludeColRowNumbers) {
  const int32_t N = FNrOfCols, M = FNrOfRows;
  const int64_t Cells = int64_t{N} * M;
  if (Cells > std::numeric_limits<int32_t>::max()) return false;
  const int32_t H = ColHeadsAsVar ? 1 : 0, K = IncludeColRowNumbers ? 2 : 0;
  const int32_t Nc = H + K + 1, Nr = static_cast<int32_t>(Cells);
  const TMScaleType DataScale = HighestScaleOfColumns();
  CheckShape(Nc, Nr, 1 + sizeof(double));
  TLayout L = Guarded(*this, [&] {
    TLayout L;
    L.Nc = Nc;
    L.Nr = Nr;
    // Label columns start fresh: state 0, no identifiers; the data column likewise gets an
    // identifier list of its own (the old lists belong to single columns).
    L.ColName.resize(size_t(Nc));
    L.ColAtt.assign(size_t(Nc), 0);
    L.VType.resize(size_t(Nc));
    if (H == 1) {
      L.ColName[0] = "(column)";
      L.VType[0].MScaleType = stNominal;
      for (int32_t I = 1; I <= std::min(N, MaxNominalIDs); ++I)
        L.VType[0].IDs.Set(I - 1, std::to_string(I) + ":" + FColName[size_t(I - 1)]);
    }
    if (K == 2) {
      L.ColName[size_t(H)] = "(col. index)";
      L.ColName[size_t(H + 1)] = "(row index)";
    }
    L.ColName[size_t(Nc - 1)] = "(data)";
    L.VType[size_t(Nc - 1)].MScaleType = DataScale;
    L.RowName.resize(size_t(Nr));
    L.RowAtt.resize(size_t(Nr));
    L.CState.assign(size_t(Nc) * size_t(Nr), 0);
    L.HasValues = true;
    L.Values.reserve(size_t(Nc));
    for (int32_t C = 0; C < Nc; ++C) L.Values.emplace_back(size_t(Nr), 0.0);
    uint8_t* DataStates = L.CState.data() + size_t(Nc - 1) * size_t(Nr);
    size_t Row = 0;
    for (int32_t I = 1; I <= N; ++I)
      for (int32_t J = 1; J <= M; ++J, ++Row) {
        if (H == 1) L.Values[0][Row] = I - 1;
        if (K == 2) {
          L.Values[size_t(H)][Row] = I;
          L.Values[size_t(H + 1)][Row] = J;
        }
        L.Values[size_t(Nc - 1)][Row] = RawVal(I, J);
        DataStates[Row] = FCState[StateIx(I, J)];
        L.RowName[Row] = FRowName[size_t(J - 1)];
        L.RowAtt[Row] = FRowAtt[size_t(J - 1)];
      }
    return L;
  });
  Install(L);
  if (N != Nc || M != Nr) FireResize(N, M);
  ChangedSetup();
  return true;
}

}  // namespace nux
