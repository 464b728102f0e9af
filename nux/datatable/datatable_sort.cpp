// TDataTable: sorting rows and columns by data, names or attributes, and searching cells and
// names.
#include <algorithm>

#include "nux/datatable/datatable_impl.h"
#include "nux/frame/combsort.h"
#include "nux/frame/stringl.h"

namespace nux {

const std::array<const char*, 8> IDS_COMPAREMODE = {"cmLT", "cmGT", "cmLE",      "cmGE",
                                                    "cmEQ", "cmNE", "cmInRange", "cmOutOfRange"};

// ---- Sorting by data: the matrix sorts, ExchangeDuringSort carries the rest along ----

void TDataTable::SortRows(int32_t SortColIx, bool Ascending, int32_t LowCol, int32_t LowRow,
                          int32_t HighCol, int32_t HighRow, bool IncludeHeaders) {
  FSortIncludeHd = IncludeHeaders;
  FMat->SortRows(SortColIx, Ascending, LowCol, LowRow, HighCol, HighRow);
  if (IncludeHeaders) {
    ChangedNames();
    ChangedAttrib();
  }
}

void TDataTable::SortCols(int32_t SortRowIx, bool Ascending, int32_t LowCol, int32_t LowRow,
                          int32_t HighCol, int32_t HighRow, bool IncludeHeaders) {
  FSortIncludeHd = IncludeHeaders;
  FMat->SortCols(SortRowIx, Ascending, LowCol, LowRow, HighCol, HighRow);
  if (IncludeHeaders) {
    ChangedNames();
    ChangedAttrib();
  }
}

// ---- Sorting by names or attributes: the table's own comb sort ----

template <class OutOfOrder, class SwapKeys>
void TDataTable::CombSortLines(bool Columns, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                               int32_t HighRow, OutOfOrder&& NeedsSwap, SwapKeys&& SwapKey) {
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  TMatrixMute Mute(*FMat);
  const auto SwapCell = [&](int32_t C1, int32_t R1, int32_t C2, int32_t R2) {
    const double X = RawVal(C1, R1);
    FMat->SetVal(C1, R1, RawVal(C2, R2));
    FMat->SetVal(C2, R2, X);
    std::swap(FCState[StateIx(C1, R1)], FCState[StateIx(C2, R2)]);
  };
  if (Columns) {
    CombSort(LowCol, HighCol, NeedsSwap, [&](int64_t P, int64_t Q) {
      const auto I = static_cast<int32_t>(P), J = static_cast<int32_t>(Q);
      std::swap(FColName[size_t(I - 1)], FColName[size_t(J - 1)]);
      std::swap(FColAtt[size_t(I - 1)], FColAtt[size_t(J - 1)]);
      std::swap(FVType[size_t(I - 1)], FVType[size_t(J - 1)]);
      for (int32_t R = LowRow; R <= HighRow; ++R) SwapCell(I, R, J, R);
      SwapKey(P, Q);
      SortExchange(ekColumns, I, J, LowRow, HighRow);
    });
  } else {
    CombSort(LowRow, HighRow, NeedsSwap, [&](int64_t P, int64_t Q) {
      const auto I = static_cast<int32_t>(P), J = static_cast<int32_t>(Q);
      std::swap(FRowName[size_t(I - 1)], FRowName[size_t(J - 1)]);
      std::swap(FRowAtt[size_t(I - 1)], FRowAtt[size_t(J - 1)]);
      for (int32_t C = LowCol; C <= HighCol; ++C) SwapCell(C, I, C, J);
      SwapKey(P, Q);
      SortExchange(ekRows, I, J, LowCol, HighCol);
    });
  }
}

namespace {

// Names compare as stored (bytes) or, with IgnoreCase, ASCII case folded; the folded keys
// are made once and travel with the lines, positions 1-based.
struct TNameKeys {
  const TStrArray& Names;
  TStrArray Folded;
  bool Fold;
  const std::string& At(int64_t P) const {
    return Fold ? Folded[size_t(P - 1)] : Names[size_t(P - 1)];
  }
  void Swap(int64_t P, int64_t Q) {
    if (Fold) std::swap(Folded[size_t(P - 1)], Folded[size_t(Q - 1)]);
  }
};

TNameKeys MakeNameKeys(const TStrArray& Names, bool IgnoreCase) {
  TNameKeys K{Names, {}, IgnoreCase};
  if (IgnoreCase) {
    K.Folded.reserve(Names.size());
    for (const auto& N : Names) K.Folded.push_back(LowerCase(N));
  }
  return K;
}

}  // namespace

void TDataTable::SortRowNames(bool Ascending, bool IgnoreCase, int32_t LowCol, int32_t LowRow,
                              int32_t HighCol, int32_t HighRow) {
  TNameKeys K =
      datatable_detail::Guarded(*this, [&] { return MakeNameKeys(FRowName, IgnoreCase); });
  CombSortLines(
      false, LowCol, LowRow, HighCol, HighRow,
      [&](int64_t P, int64_t Q) { return Ascending ? K.At(Q) < K.At(P) : K.At(P) < K.At(Q); },
      [&](int64_t P, int64_t Q) { K.Swap(P, Q); });
  ChangedData();
  ChangedNames();
}

void TDataTable::SortRowNames(bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                              int32_t HighRow) {
  SortRowNames(Ascending, false, LowCol, LowRow, HighCol, HighRow);
}

void TDataTable::SortColNames(bool Ascending, bool IgnoreCase, int32_t LowCol, int32_t LowRow,
                              int32_t HighCol, int32_t HighRow) {
  TNameKeys K =
      datatable_detail::Guarded(*this, [&] { return MakeNameKeys(FColName, IgnoreCase); });
  CombSortLines(
      true, LowCol, LowRow, HighCol, HighRow,
      [&](int64_t P, int64_t Q) { return Ascending ? K.At(Q) < K.At(P) : K.At(P) < K.At(Q); },
      [&](int64_t P, int64_t Q) { K.Swap(P, Q); });
  ChangedData();
  ChangedNames();
}

void TDataTable::SortColNames(bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                              int32_t HighRow) {
  SortColNames(Ascending, false, LowCol, LowRow, HighCol, HighRow);
}

void TDataTable::SortRowAttributes(bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                   int32_t HighRow) {
  const auto At = [this](int64_t P) { return FRowAtt[size_t(P - 1)]; };
  CombSortLines(
      false, LowCol, LowRow, HighCol, HighRow,
      [&](int64_t P, int64_t Q) { return Ascending ? At(Q) < At(P) : At(P) < At(Q); },
      [](int64_t, int64_t) {});
  ChangedData();
  ChangedAttrib();
}

void TDataTable::SortColAttributes(bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                   int32_t HighRow) {
  const auto At = [this](int64_t P) { return FColAtt[size_t(P - 1)]; };
  CombSortLines(
      true, LowCol, LowRow, HighCol, HighRow,
      [&](int64_t P, int64_t Q) { return Ascending ? At(Q) < At(P) : At(P) < At(Q); },
      [](int64_t, int64_t) {});
  ChangedData();
  ChangedAttrib();
}

// ---- Searching ----

int32_t TDataTable::FindCells(double Limit, double Limit2, TCompareMode CompareOp, int32_t LowCol,
                              int32_t LowRow, int32_t HighCol, int32_t HighRow,
                              TInt2DArray& CellList) const {
  const auto Hit = [&](double V) {
    switch (CompareOp) {
      case cmLT:
        return V < Limit;
      case cmGT:
        return V > Limit;
      case cmLE:
        return V <= Limit;
      case cmGE:
        return V >= Limit;
      case cmEQ:
        return V == Limit;
      case cmNE:
        return V != Limit;
      case cmInRange:
        return Limit <= V && V <= Limit2;
      case cmOutOfRange:
        return V < Limit || V > Limit2;
    }
    return false;
  };
  TInt2DArray List(2);
  int32_t Result = 0;
  if (CompareOp < cmLT || CompareOp > cmOutOfRange) {
    Result = -1;
  } else {
    MakeValidColRange(LowCol, HighCol);
    MakeValidRowRange(LowRow, HighRow);
    for (int32_t C = LowCol; C <= HighCol && Result >= 0; ++C)
      for (int32_t R = LowRow; R <= HighRow; ++R) {
        if (!Hit(RawVal(C, R))) continue;
        if (Result == MaxFoundCells) {
          Result = -2;
          break;
        }
        List[0].push_back(C);
        List[1].push_back(R);
        ++Result;
      }
  }
  CellList.swap(List);
  return Result;
}

namespace {

int32_t FindName(const TStrArray& Names, std::string_view ID) {
  const std::string Key = UpperCase(StripLTBlanks(Utf8Truncate(ID, MaxDTNameLength)));
  for (size_t K = 0; K < Names.size(); ++K)
    if (UpperCase(StripLTBlanks(Names[K])) == Key) return static_cast<int32_t>(K) + 1;
  return 0;
}

}  // namespace

int32_t TDataTable::FindColIndex(std::string_view ColID) const { return FindName(FColName, ColID); }
int32_t TDataTable::FindRowIndex(std::string_view RowID) const { return FindName(FRowName, RowID); }

}  // namespace nux
