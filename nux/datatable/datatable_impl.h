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

}  // namespace datatable_detail

}  // namespace nux
