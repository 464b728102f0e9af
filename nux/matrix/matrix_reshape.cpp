// TMatrix: removing, exchanging, mirroring, sorting and transposing; edge reductions.
#include <algorithm>
#include <cmath>

#include "nux/frame/combsort.h"
#include "nux/frame/moments.h"
#include "nux/frame/univconst.h"
#include "nux/matrix/matrix_core.h"

namespace nux {

bool TMatrix::RemoveColumn(int32_t Col) {
  if (Col < 1 || Col > NrOfColumns() || NrOfColumns() < 2) return false;
  // Shift the later columns down, then drop the last through Resize (which fires the events).
  std::rotate(Mat.begin() + (Col - 1), Mat.begin() + Col, Mat.end());
  Resize(NrOfColumns() - 1, NrOfRows());
  return true;
}

bool TMatrix::RemoveRow(int32_t Row) {
  if (Row < 1 || Row > NrOfRows() || NrOfRows() < 2) return false;
  for (auto& Column : Mat)
    std::rotate(Column.begin() + (Row - 1), Column.begin() + Row, Column.end());
  Resize(NrOfColumns(), NrOfRows() - 1);
  return true;
}

void TMatrix::ExchangeColumns(int32_t C1, int32_t C2) {
  if (C1 < 1 || C1 > NrOfColumns() || C2 < 1 || C2 > NrOfColumns()) return;
  Mat[size_t(C1 - 1)].swap(Mat[size_t(C2 - 1)]);
  Changed();
}

void TMatrix::ExchangeRows(int32_t R1, int32_t R2) {
  if (R1 < 1 || R1 > NrOfRows() || R2 < 1 || R2 > NrOfRows()) return;
  for (auto& Column : Mat) std::swap(Column[size_t(R1 - 1)], Column[size_t(R2 - 1)]);
  Changed();
}

void TMatrix::MirrorColumns() {
  std::reverse(Mat.begin(), Mat.end());
  Changed();
}

void TMatrix::MirrorRows() {
  for (auto& Column : Mat) std::reverse(Column.begin(), Column.end());
  Changed();
}

void TMatrix::SortRows(int32_t SortColIx, bool Ascending, int32_t LowCol, int32_t LowRow,
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
        const double A = Key[size_t(P - 1)], B = Key[size_t(Q - 1)];
        return Ascending ? A > B : B > A;
      },
      [&](int64_t P, int64_t Q) {
        for (int32_t C = LowCol; C <= HighCol; ++C)
          std::swap(Mat[size_t(C - 1)][size_t(P - 1)], Mat[size_t(C - 1)][size_t(Q - 1)]);
        if (KeyOutside)
          std::swap(Mat[size_t(SortColIx - 1)][size_t(P - 1)],
                    Mat[size_t(SortColIx - 1)][size_t(Q - 1)]);
        SortExchange(ekRows, static_cast<int32_t>(P), static_cast<int32_t>(Q), LowCol, HighCol);
      });
  Changed();
}

void TMatrix::SortCols(int32_t SortRowIx, bool Ascending, int32_t LowCol, int32_t LowRow,
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
        const double A = Mat[size_t(P - 1)][K], B = Mat[size_t(Q - 1)][K];
        return Ascending ? A > B : B > A;
      },
      [&](int64_t P, int64_t Q) {
        auto& CP = Mat[size_t(P - 1)];
        auto& CQ = Mat[size_t(Q - 1)];
        std::swap_ranges(CP.begin() + (LowRow - 1), CP.begin() + HighRow,
                         CQ.begin() + (LowRow - 1));
        if (KeyOutside) std::swap(CP[K], CQ[K]);
        SortExchange(ekColumns, static_cast<int32_t>(P), static_cast<int32_t>(Q), LowRow, HighRow);
      });
  Changed();
}

bool TMatrix::Transpose() {
  const int32_t Nc = NrOfColumns(), Nr = NrOfRows();
  TDouble2DArray Block = AllocateBlock(Nr, Nc);
  for (int32_t C = 0; C < Nc; ++C)
    for (int32_t R = 0; R < Nr; ++R) Block[size_t(R)][size_t(C)] = Mat[size_t(C)][size_t(R)];
  Mat.swap(Block);
  Changed();
  Resized();
  return true;
}

int32_t TMatrix::EdgeVector(TOrientation Orient, TEdgeOp EdgeOp, TVector& Dest) const {
  return EdgeVector(Orient, EdgeOp, TIntArray{}, Dest);
}

int32_t TMatrix::EdgeVector(TOrientation Orient, TEdgeOp EdgeOp, const TIntArray& EdgeIx,
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
    return PerRow ? Mat[size_t(Pos - 1)][size_t(Line - 1)] : Mat[size_t(Line - 1)][size_t(Pos - 1)];
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

}  // namespace nux
