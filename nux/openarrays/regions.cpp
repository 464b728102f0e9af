#include "nux/openarrays/regions.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "nux/openarrays/regions_util.h"

namespace nux {

using regions_detail::RectangularExtents;

namespace {

constexpr int64_t MaxInt32 = std::numeric_limits<int32_t>::max();

// Sets Mask[i][j] for the cells of the block ColLo..ColHi x RowLo..RowHi that lie inside the
// mask and pass Inside(i, j). Bounds are 64-bit so that shapes far beyond the mask cost nothing.
template <class Pred>
void DrawBlock(TBool2DArray& Mask, int32_t Cols, int32_t Rows, int64_t ColLo, int64_t RowLo,
               int64_t ColHi, int64_t RowHi, Pred Inside) {
  ColLo = std::max<int64_t>(ColLo, 0);
  RowLo = std::max<int64_t>(RowLo, 0);
  ColHi = std::min<int64_t>(ColHi, Cols - 1);
  RowHi = std::min<int64_t>(RowHi, Rows - 1);
  for (int64_t I = ColLo; I <= ColHi; ++I)
    for (int64_t J = RowLo; J <= RowHi; ++J)
      if (Inside(I, J)) Mask[static_cast<size_t>(I)][static_cast<size_t>(J)] = true;
}

// Scanline fill with an explicit stack of seeds: each popped seed grows into a span along the
// column index, and one seed is pushed for every run of open cells in the rows above and
// below. The filled set is the 4-connected region of the seed, whatever the visiting order.
// Visited cells are tracked only when the fill value itself qualifies; otherwise a filled cell
// no longer qualifies and that is mark enough.
template <class T, class Pred>
int32_t ScanlineFill(int32_t Col, int32_t Row, T FillValue, std::vector<std::vector<T>>& A,
                     Pred Qualifies, int32_t& RowMax, int32_t& RowMin, int32_t& ColMin,
                     int32_t& ColMax) {
  int32_t Cols = 0, Rows = 0;
  if (!RectangularExtents(A, Cols, Rows)) return -1;
  if (Col < 0 || Row < 0 || Col >= Cols || Row >= Rows) return -1;
  RowMax = RowMin = Row;
  ColMin = ColMax = Col;
  std::vector<bool> Done;
  if (Qualifies(FillValue))
    Done.assign(static_cast<size_t>(Cols) * static_cast<size_t>(Rows), false);
  const auto Open = [&](int32_t C, int32_t R) {
    return Qualifies(A[C][R]) &&
           (Done.empty() || !Done[static_cast<size_t>(C) * static_cast<size_t>(Rows) + R]);
  };
  std::vector<std::pair<int32_t, int32_t>> Stack{{Col, Row}};
  int64_t Count = 0;
  while (!Stack.empty()) {
    const auto [C, R] = Stack.back();
    Stack.pop_back();
    if (!Open(C, R)) continue;
    int32_t Lo = C, Hi = C;
    while (Lo > 0 && Open(Lo - 1, R)) --Lo;
    while (Hi + 1 < Cols && Open(Hi + 1, R)) ++Hi;
    for (int32_t K = Lo; K <= Hi; ++K) {
      A[K][R] = FillValue;
      if (!Done.empty()) Done[static_cast<size_t>(K) * static_cast<size_t>(Rows) + R] = true;
    }
    Count += Hi - Lo + 1;
    ColMin = std::min(ColMin, Lo);
    ColMax = std::max(ColMax, Hi);
    RowMin = std::min(RowMin, R);
    RowMax = std::max(RowMax, R);
    for (const int32_t Next : {R - 1, R + 1}) {
      if (Next < 0 || Next >= Rows) continue;
      bool InRun = false;
      for (int32_t K = Lo; K <= Hi; ++K) {
        const bool O = Open(K, Next);
        if (O && !InRun) Stack.emplace_back(K, Next);
        InRun = O;
      }
    }
  }
  return static_cast<int32_t>(std::min<int64_t>(Count, MaxInt32));
}

template <class T>
void Bounds(const std::vector<std::vector<T>>& A, int32_t& ColFirst, int32_t& ColLast,
            int32_t& RowFirst, int32_t& RowLast) {
  ColFirst = ColLast = RowFirst = RowLast = -1;
  const auto NonZero = [](T V) { return V != T(0); };  // NaN != 0 holds
  const auto ColumnHasValue = [&](const std::vector<T>& Column) {
    return std::any_of(Column.begin(), Column.end(), NonZero);
  };
  const int64_t Cols = static_cast<int64_t>(std::min<size_t>(A.size(), MaxInt32));
  int64_t First = 0;
  while (First < Cols && !ColumnHasValue(A[First])) ++First;
  if (First == Cols) return;
  int64_t Last = Cols - 1;
  while (!ColumnHasValue(A[Last])) --Last;
  int64_t RowLo = MaxInt32, RowHi = -1;
  for (int64_t C = First; C <= Last; ++C) {
    const auto& Column = A[C];
    const int64_t N = static_cast<int64_t>(std::min<size_t>(Column.size(), MaxInt32));
    for (int64_t R = 0; R < std::min(N, RowLo); ++R)
      if (NonZero(Column[R])) {
        RowLo = R;
        break;
      }
    for (int64_t R = N - 1; R > RowHi; --R)
      if (NonZero(Column[R])) {
        RowHi = R;
        break;
      }
  }
  ColFirst = static_cast<int32_t>(First);
  ColLast = static_cast<int32_t>(Last);
  RowFirst = static_cast<int32_t>(RowLo);
  RowLast = static_cast<int32_t>(RowHi);
}

}  // namespace

int32_t CreateMaskShape(TBool2DArray& Mask, int32_t Shape, const TIntArray& Params) {
  if (Shape < skRectangle || Shape > skRing) return 0;
  if (Params.size() != (Shape == skCircle ? 3u : 4u)) return -1;
  int32_t Cols = 0, Rows = 0;
  if (!RectangularExtents(Mask, Cols, Rows)) return -1;
  const int64_t P0 = Params[0], P1 = Params[1], P2 = Params[2];
  switch (Shape) {
    case skRectangle:
    case skEllipse: {
      const int64_t ColLo = P0, RowLo = P1, ColHi = P2, RowHi = Params[3];
      if (ColHi < ColLo || RowHi < RowLo) return -2;
      if (Shape == skRectangle) {
        DrawBlock(Mask, Cols, Rows, ColLo, RowLo, ColHi, RowHi,
                  [](int64_t, int64_t) { return true; });
        return 0;
      }
      // The extents squared reach 2^64 for extreme bounds: unsigned 64-bit holds them.
      const uint64_t DC = static_cast<uint64_t>(ColHi - ColLo);
      const uint64_t DR = static_cast<uint64_t>(RowHi - RowLo);
      const double P = static_cast<double>(DC * DC / 2);
      const double Q = static_cast<double>(DR * DR / 2);
      if (P == 0.0 || Q == 0.0) return 0;
      const int64_t C = (ColLo + ColHi) / 2, R = (RowLo + RowHi) / 2;
      DrawBlock(Mask, Cols, Rows, ColLo, RowLo, ColHi, RowHi, [=](int64_t I, int64_t J) {
        const double X = static_cast<double>(I - C), Y = static_cast<double>(J - R);
        return X * X / P + Y * Y / Q <= 1.0;
      });
      return 0;
    }
    case skCircle: {
      const int64_t Radius = P2;
      if (Radius < 0) return -2;
      const int64_t RR = Radius * Radius;
      DrawBlock(
          Mask, Cols, Rows, P0 - Radius, P1 - Radius, P0 + Radius, P1 + Radius,
          [=](int64_t I, int64_t J) { return (I - P0) * (I - P0) + (J - P1) * (J - P1) <= RR; });
      return 0;
    }
    default: {
      int64_t R1 = P2, R2 = Params[3];
      if (R1 < 0 || R2 < 0) return -2;
      if (R1 > R2) std::swap(R1, R2);
      const int64_t Inner = R1 * R1, Outer = R2 * R2;
      DrawBlock(Mask, Cols, Rows, P0 - R2, P1 - R2, P0 + R2, P1 + R2, [=](int64_t I, int64_t J) {
        const int64_t D = (I - P0) * (I - P0) + (J - P1) * (J - P1);
        return Inner <= D && D <= Outer;
      });
      return 0;
    }
  }
}

int32_t ListCellPositions(const TBoolArray& A, bool Value, int32_t MaxCount, int32_t Offset,
                          TIntArray& Pos) {
  if (A.empty()) return -1;
  const size_t N = A.size();
  const size_t Limit = MaxCount < 1 || static_cast<size_t>(MaxCount) > N ? N : MaxCount;
  TIntArray Found;
  for (size_t I = 0; I < N && Found.size() < Limit; ++I) {
    if (A[I] != Value) continue;
    const int64_t P = static_cast<int64_t>(I) + Offset;
    if (P > MaxInt32) return -2;
    Found.push_back(static_cast<int32_t>(P));
  }
  Pos = std::move(Found);
  return static_cast<int32_t>(Pos.size());
}

int32_t ListCellPositions(const TBool2DArray& A, bool Value, int32_t MaxCount, int32_t Offset,
                          TInt2DArray& Pos) {
  int32_t Cols = 0, Rows = 0;
  if (!RectangularExtents(A, Cols, Rows)) return -1;
  const int64_t Cells = int64_t{Cols} * Rows;
  const int64_t Limit = MaxCount < 1 || MaxCount > Cells ? Cells : MaxCount;
  TInt2DArray Found(2);
  int64_t Count = 0;
  for (int32_t C = 0; C < Cols && Count < Limit; ++C)
    for (int32_t R = 0; R < Rows && Count < Limit; ++R) {
      if (A[C][R] != Value) continue;
      const int64_t PC = int64_t{C} + Offset, PR = int64_t{R} + Offset;
      if (PC > MaxInt32 || PR > MaxInt32 || Count >= MaxInt32) return -2;
      Found[0].push_back(static_cast<int32_t>(PC));
      Found[1].push_back(static_cast<int32_t>(PR));
      ++Count;
    }
  Pos = std::move(Found);
  return static_cast<int32_t>(Count);
}

int32_t FloodFillArray(int32_t Col, int32_t Row, double Tolerance, double FillValue,
                       TDouble2DArray& A, int32_t& RowMax, int32_t& RowMin, int32_t& ColMin,
                       int32_t& ColMax) {
  if (Col < 0 || Row < 0 || static_cast<size_t>(Col) >= A.size() ||
      static_cast<size_t>(Row) >= A[Col].size())
    return -1;
  const double S = A[Col][Row], T = std::fabs(Tolerance);
  const double Low = S - T, High = S + T;
  return ScanlineFill(
      Col, Row, FillValue, A, [=](double V) { return Low <= V && V <= High; }, RowMax, RowMin,
      ColMin, ColMax);
}

int32_t FloodFillArray(int32_t Col, int32_t Row, int32_t FillValue, TInt2DArray& A, int32_t& RowMax,
                       int32_t& RowMin, int32_t& ColMin, int32_t& ColMax) {
  if (Col < 0 || Row < 0 || static_cast<size_t>(Col) >= A.size() ||
      static_cast<size_t>(Row) >= A[Col].size())
    return -1;
  const int32_t S = A[Col][Row];
  return ScanlineFill(
      Col, Row, FillValue, A, [=](int32_t V) { return V == S; }, RowMax, RowMin, ColMin, ColMax);
}

void BoundingRect(const TDouble2DArray& A, int32_t& ColFirst, int32_t& ColLast, int32_t& RowFirst,
                  int32_t& RowLast) {
  Bounds(A, ColFirst, ColLast, RowFirst, RowLast);
}

void BoundingRect(const TInt2DArray& A, int32_t& ColFirst, int32_t& ColLast, int32_t& RowFirst,
                  int32_t& RowLast) {
  Bounds(A, ColFirst, ColLast, RowFirst, RowLast);
}

}  // namespace nux
