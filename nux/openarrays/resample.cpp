#include "nux/openarrays/resample.h"

#include <utility>

#include "nux/frame/rounding.h"
#include "nux/host/random.h"
#include "nux/openarrays/regions_util.h"

namespace nux {
namespace {

// Count distinct numbers from 1..N in random order: the first Count steps of a Fisher-Yates
// shuffle, each exchanging position k with a uniform choice among positions k..N-1, so every
// subset and order is equally likely. Works for any N the array can hold.
TIntArray DistinctRandom(int32_t Count, int32_t N) {
  TIntArray All(static_cast<size_t>(N));
  for (int32_t K = 0; K < N; ++K) All[K] = K + 1;
  for (int32_t K = 0; K < Count; ++K) std::swap(All[K], All[K + RandomInt(N - K)]);
  All.resize(static_cast<size_t>(Count));
  return All;
}

// The number of lines kept: round(Lines * Percent / 100), or -1 when out of 1..Lines.
int64_t KeptLines(int32_t Lines, double Percent) {
  if (!(Percent <= 100.0)) return -1;  // also rejects NaN
  const int64_t N = RoundToInt64(static_cast<double>(Lines) * Percent / 100.0);
  return N >= 1 && N <= Lines ? N : -1;
}

template <class T>
int32_t Resample(const std::vector<std::vector<T>>& A, std::vector<std::vector<T>>& Out,
                 double ColPercent, double RowPercent, bool RowsWithRepetition, TIntArray& ColIdx,
                 TIntArray& RowIdx) {
  int32_t Cols = 0, Rows = 0;
  if (!regions_detail::RectangularExtents(A, Cols, Rows)) return -3;
  if (Out.empty()) return -4;
  if (ColIdx.empty() || RowIdx.empty()) return -5;
  const int64_t NC = KeptLines(Cols, ColPercent);
  if (NC < 0) return -1;
  const int64_t NR = KeptLines(Rows, RowPercent);
  if (NR < 0) return -2;
  const int32_t nc = static_cast<int32_t>(NC), nr = static_cast<int32_t>(NR);
  TIntArray NewColIdx;
  if (nc == Cols) {
    NewColIdx.resize(static_cast<size_t>(nc));
    for (int32_t K = 0; K < nc; ++K) NewColIdx[K] = K + 1;
  } else {
    NewColIdx = DistinctRandom(nc, Cols);
  }
  TIntArray NewRowIdx;
  if (RowsWithRepetition) {
    NewRowIdx.resize(static_cast<size_t>(nr));
    for (auto& R : NewRowIdx) R = RandomInt(Rows) + 1;
  } else {
    NewRowIdx = DistinctRandom(nr, Rows);
  }
  std::vector<std::vector<T>> NewOut(static_cast<size_t>(nc),
                                     std::vector<T>(static_cast<size_t>(nr)));
  for (int32_t I = 0; I < nc; ++I) {
    const auto& Source = A[NewColIdx[I] - 1];
    auto& Target = NewOut[I];
    for (int32_t K = 0; K < nr; ++K) Target[K] = Source[NewRowIdx[K] - 1];
  }
  Out = std::move(NewOut);
  ColIdx = std::move(NewColIdx);
  RowIdx = std::move(NewRowIdx);
  return 0;
}

}  // namespace

int32_t Resample2DArray(const TDouble2DArray& A, TDouble2DArray& Out, double ColPercent,
                        double RowPercent, bool RowsWithRepetition, TIntArray& ColIdx,
                        TIntArray& RowIdx) {
  return Resample(A, Out, ColPercent, RowPercent, RowsWithRepetition, ColIdx, RowIdx);
}

int32_t Resample2DArray(const TInt2DArray& A, TInt2DArray& Out, double ColPercent,
                        double RowPercent, bool RowsWithRepetition, TIntArray& ColIdx,
                        TIntArray& RowIdx) {
  return Resample(A, Out, ColPercent, RowPercent, RowsWithRepetition, ColIdx, RowIdx);
}

}  // namespace nux
