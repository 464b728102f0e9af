// Internals shared by the table's sources.
#pragma once

#include <utility>

#include "nux/datatable/datatable_core.h"

namespace nux {

// Everything of a table but the values, built aside so that a failed allocation changes
// nothing; Values holds the cells when they move (else the matrix keeps its own).
struct TDataTable::TLayout {
  int32_t Nc = 0;
  int32_t Nr = 0;
  std::vector<uint8_t> CState;
  TStrArray ColName, RowName;
  TIntArray ColAtt, RowAtt;
  std::vector<TVTypeSpec> VType;
  bool HasValues = false;
  TDouble2DArray Values;
};

// Silences the matrix's change event for a scope (the table reports once afterwards).
class TDataTable::TMatrixMute {
 public:
  explicit TMatrixMute(TMatrix& M) : FMat(M), FSaved(std::move(M.OnChange)) {
    FMat.OnChange = nullptr;
  }
  ~TMatrixMute() { FMat.OnChange = std::move(FSaved); }
  TMatrixMute(const TMatrixMute&) = delete;
  TMatrixMute& operator=(const TMatrixMute&) = delete;

 private:
  TMatrix& FMat;
  TNotifyEvent FSaved;
};

template <class Pred, class F>
void TDataTable::VisitCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                            Pred&& Take, F&& Visit) const {
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  for (int32_t C = LowCol; C <= HighCol; ++C) {
    const uint8_t* States = FCState.data() + StateIx(C, 1);
    for (int32_t R = LowRow; R <= HighRow; ++R)
      if (Take(C, States[R - 1])) Visit(RawVal(C, R));
  }
}

namespace datatable_detail {

// Runs Work; exhausted memory inside becomes the table's "not enough memory on heap".
template <class F>
decltype(auto) Guarded(const TComponent& Table, F&& Work) {
  return GuardAlloc<ENUXDataTableError>(Table, msgNoMemoryOnHeap, std::forward<F>(Work));
}

// "C-k" / "R-k".
inline std::string DefaultName(char Prefix, int32_t K) {
  return std::string(1, Prefix) + "-" + std::to_string(K);
}

// 1..N.
inline TIntArray Identity(int32_t N) {
  TIntArray Map(static_cast<size_t>(N));
  for (int32_t K = 0; K < N; ++K) Map[size_t(K)] = K + 1;
  return Map;
}

// 1..min(Old, New), then fresh items (0).
inline TIntArray PrefixMap(int32_t Old, int32_t New) {
  TIntArray Map(size_t(New), 0);
  for (int32_t K = 0; K < Old && K < New; ++K) Map[size_t(K)] = K + 1;
  return Map;
}

// Bits 0 and 1 of a state clear: the cell holds a usable value.
inline bool ValidState(uint8_t S) { return (S & 0x03) == 0; }

// The state shares one of bits 2..7 with Mask.
inline bool MarkedState(uint8_t S, uint8_t Mask) { return (S & Mask & 0xFC) != 0; }

}  // namespace datatable_detail

}  // namespace nux
