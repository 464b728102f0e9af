// Walking a clipped rectangle of a dense matrix (TMatrix or TIntMatrix), shared by the
// statistics and normalisations. Included only by the matrix unit's statistics sources.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <type_traits>
#include <vector>

#include "nux/frame/moments.h"
#include "nux/frame/rounding.h"
#include "nux/frame/types.h"
#include "nux/host/random.h"
#include "nux/matrix/matrix_core.h"

namespace nux::matrix_detail {

// An inclusive, 0-based rectangle of column and row positions; empty when a bound pair is
// reversed.
struct TBlock {
  int32_t C0 = 0, C1 = -1, R0 = 0, R1 = -1;
  int64_t Cols() const { return C1 >= C0 ? int64_t{C1} - C0 + 1 : 0; }
  int64_t Rows() const { return R1 >= R0 ? int64_t{R1} - R0 + 1 : 0; }
  int64_t Count() const { return Cols() * Rows(); }
};

// The range after the matrix's own clipping; a matrix without elements gives the empty block.
template <class M>
TBlock ClipBlock(const M& Mx, int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow) {
  if (Mx.NrOfColumns() < 1 || Mx.NrOfRows() < 1) return TBlock{};
  Mx.MakeValidColRange(LowCol, HighCol);
  Mx.MakeValidRowRange(LowRow, HighRow);
  return TBlock{LowCol - 1, HighCol - 1, LowRow - 1, HighRow - 1};
}

// Calls F(x) for every element of B, column by column, rows ascending inside a column.
template <class T, class F>
void ForEach(const std::vector<std::vector<T>>& Mat, const TBlock& B, F&& Visit) {
  for (int32_t C = B.C0; C <= B.C1; ++C) {
    const T* Col = Mat[size_t(C)].data();
    for (int32_t R = B.R0; R <= B.R1; ++R) Visit(Col[R]);
  }
}

// The I-th element of B in visiting order, for the moment helpers. They read the positions in
// sequence, so the next one is a step, not a division.
template <class T>
class TBlockReaderOf {
 public:
  TBlockReaderOf(const std::vector<std::vector<T>>& Mat, const TBlock& B) : FMat(&Mat), FB(B) {}
  double operator()(int64_t I) {
    if (I != FNext) Seek(I);
    const auto X = static_cast<double>(FCol[FRow]);
    FNext = I + 1;
    if (++FRow > FB.R1) {
      FRow = FB.R0;
      if (++FColIx <= FB.C1) FCol = (*FMat)[size_t(FColIx)].data();
    }
    return X;
  }

 private:
  void Seek(int64_t I) {
    const int64_t Rows = FB.Rows();
    FColIx = static_cast<int32_t>(FB.C0 + I / Rows);
    FRow = static_cast<int32_t>(FB.R0 + I % Rows);
    FCol = (*FMat)[size_t(FColIx)].data();
  }

  const std::vector<std::vector<T>>* FMat;
  TBlock FB;
  int64_t FNext = -1;
  int32_t FColIx = 0, FRow = 0;
  const T* FCol = nullptr;
};
using TBlockReader = TBlockReaderOf<double>;

// Population skewness and excess kurtosis over s = sqrt(S2/(n - 1)) from central sums; false
// (both 0) for n < 2 or without a spread; NaN for an undefined s (a NaN or infinite element).
inline bool SkewKurtOfSums(const TCentralSums& C, double& Skewness, double& Kurtosis) {
  Skewness = Kurtosis = 0.0;
  if (C.N < 2) return false;
  const double S = std::sqrt(C.S2 / static_cast<double>(C.N - 1));
  if (S == 0.0) return false;
  if (!std::isfinite(S)) {
    Skewness = Kurtosis = std::nan("");
    return true;
  }
  const double Nd = static_cast<double>(C.N);
  Skewness = C.S3 / Nd / (S * S * S);
  Kurtosis = C.S4 / Nd / (S * S * S * S) - 3.0;
  return true;
}

// The small-sample corrections of SkewKurtSample applied to SkewKurt's results for n values;
// both 0 for n < 4.
inline void SampleSkewKurt(int64_t N, double& Skewness, double& Kurtosis) {
  if (N < 4) {
    Skewness = Kurtosis = 0.0;
    return;
  }
  const double A = static_cast<double>(N);
  const double Bm = A - 1.0;
  Kurtosis = (Kurtosis + 3.0) * A * A * (A + 1.0) / (Bm * (A - 2.0) * (A - 3.0)) -
             3.0 * Bm * Bm / ((A - 2.0) * (A - 3.0));
  Skewness = Skewness * A * A / (Bm * (A - 2.0));
}

// The 0-based sorted position of the percentile Prob among N > 0 values: round(Prob * N / 100),
// at most N - 1; Prob is clipped to 0..100 (NaN counts as 0).
inline int64_t PercentileRank(double Prob, int64_t N) {
  if (std::isnan(Prob)) Prob = 0.0;
  Prob = std::clamp(Prob, 0.0, 100.0);
  return std::min<int64_t>(RoundToInt64(Prob * static_cast<double>(N) / 100.0), N - 1);
}

// The value at sorted position PercentileRank(Prob, n) of Work, found by selection; Work is
// reordered. Work must hold no NaN; an empty Work gives NaN.
double SelectPercentile(TDoubleArray& Work, double Prob);

// SampleSize values of the non-empty block B read by At(C, R) (0-based) at positions drawn from
// the running process-wide generator (column, then row, so that a seeded run repeats); NaN
// draws are dropped. Exhausted memory raises M's "not enough memory on heap".
template <class Owner, class Read>
TDoubleArray DrawSample(const Owner& M, const TBlock& B, int32_t SampleSize, Read&& At) {
  TDoubleArray Sample;
  GuardAlloc<ENUXMatrixError>(M, msgNoMemoryOnHeap,
                              [&] { Sample.reserve(static_cast<size_t>(SampleSize)); });
  const auto Cols = static_cast<int32_t>(B.Cols()), Rows = static_cast<int32_t>(B.Rows());
  for (int32_t S = 0; S < SampleSize; ++S) {
    const int32_t C = B.C0 + RandomInt(Cols);
    const double X = At(C, B.R0 + RandomInt(Rows));
    if (!std::isnan(X)) Sample.push_back(X);
  }
  return Sample;
}

// The geometric mean of Count positions whose values Visit(F) hands to F (the others, Zeros of
// them, are zeros): 0 for no position or when any value is 0; a negative value raises M's
// ENUXMatrixError.
template <class Owner, class V>
double GeometricMeanOf(const Owner& M, int64_t Count, int64_t Zeros, V&& Visit) {
  if (Count <= 0) return 0.0;
  double LogSum = 0.0;
  bool AnyZero = Zeros > 0;
  Visit([&](double X) {
    if (X < 0.0)
      RaiseComponentError<ENUXMatrixError>(M, "negative argument passed to GeometricMean");
    if (X == 0.0)
      AnyZero = true;
    else
      LogSum += std::log(X);
  });
  if (AnyZero) return 0.0;
  return std::exp(LogSum / static_cast<double>(Count));
}

// The harmonic mean of Count positions as GeometricMeanOf hands them over: 0 for no position;
// a value <= 0 (an implicit zero too) raises M's ENUXMatrixError.
template <class Owner, class V>
double HarmonicMeanOf(const Owner& M, int64_t Count, int64_t Zeros, V&& Visit) {
  if (Count <= 0) return 0.0;
  const auto Refuse = [&] {
    RaiseComponentError<ENUXMatrixError>(M, "negative or zero argument passed to HarmonicMean");
  };
  if (Zeros > 0) Refuse();
  double RecSum = 0.0;
  Visit([&](double X) {
    if (X <= 0.0) Refuse();
    RecSum += 1.0 / X;
  });
  return static_cast<double>(Count) / RecSum;
}

// The elements of B other than NaN, in visiting order. Exhausted memory raises the matrix's
// "not enough memory on heap".
TDoubleArray ComparableValues(const TMatrix& M, const TBlock& B);

// A count as an int32_t, saturating.
inline int32_t SaturatedCount(int64_t N) {
  return static_cast<int32_t>(std::min<int64_t>(N, std::numeric_limits<int32_t>::max()));
}

// Distance used by the nearest-value searches: equal values (infinities included) are at 0,
// and a NaN distance never wins.
inline double Distance(double X, double Value) { return X == Value ? 0.0 : std::fabs(X - Value); }
// The integer form, in 64 bits so that it cannot overflow.
inline int64_t Distance(int32_t X, int32_t Value) { return std::llabs(int64_t{X} - Value); }

// The running nearest-value search over elements offered in visiting order: Offer is true when
// X becomes the nearest to Value (the first of equals wins; a NaN distance never does).
template <class T>
struct TNearest {
  T Value;                                // the value searched for
  decltype(Distance(T{}, T{})) Best = 0;  // distance of the nearest so far
  bool Any = false;                       // whether any element was taken
  // True when X is nearer than every element offered before it.
  bool Offer(T X) {
    const auto D = Distance(X, Value);
    if constexpr (std::is_floating_point_v<T>)
      if (std::isnan(D)) return false;
    if (Any && !(D < Best)) return false;
    Best = D;
    Any = true;
    return true;
  }
};

// Find: the 1-based position of the element of B nearest to Value (the first of equals; NaN
// never wins), or (0, 0) when there is none.
template <class T>
void FindNearest(const std::vector<std::vector<T>>& Mat, const TBlock& B, T Value, int32_t& ColIx,
                 int32_t& RowIx) {
  ColIx = RowIx = 0;
  TNearest<T> Near{Value};
  for (int32_t C = B.C0; C <= B.C1; ++C)
    for (int32_t R = B.R0; R <= B.R1; ++R)
      if (Near.Offer(Mat[size_t(C)][size_t(R)])) {
        ColIx = C + 1;
        RowIx = R + 1;
      }
}

// FindInSortedColumn on a column of N >= 1 rows read by At(row, 1-based): the row of Value, or
// of the nearer of the two rows that enclose it.
template <class T, class Get>
int32_t FindInSortedBy(int32_t N, bool Ascending, T Value, Get&& At) {
  int32_t Lo = 1, Hi = N;
  while (Hi - Lo > 1) {
    const int32_t Mid = Lo + (Hi - Lo) / 2;
    if (At(Mid) == Value) return Mid;
    if (Ascending == (Value < At(Mid)))
      Hi = Mid;
    else
      Lo = Mid;
  }
  return Distance(At(Hi), Value) > Distance(At(Lo), Value) ? Lo : Hi;
}

// FindInSortedBy on a non-empty stored column X.
template <class T>
int32_t FindInSorted(const std::vector<T>& X, bool Ascending, T Value) {
  return FindInSortedBy(static_cast<int32_t>(X.size()), Ascending, Value,
                        [&X](int32_t Row) { return X[size_t(Row - 1)]; });
}

// CountValues: the elements of B within [RangeLow, RangeHigh], saturating.
template <class T>
int32_t CountInRange(const std::vector<std::vector<T>>& Mat, const TBlock& B, T RangeLow,
                     T RangeHigh) {
  int64_t N = 0;
  ForEach(Mat, B, [&](T X) {
    if (RangeLow <= X && X <= RangeHigh) ++N;
  });
  return SaturatedCount(N);
}

// Dichotomize: Result[c][r] = element > Threshold, built aside (exhausted memory raises Owner's
// "not enough memory on heap" and leaves ResultArray as it was); the count of true cells.
template <class T, class Owner>
int32_t DichotomizeInto(const Owner& M, const std::vector<std::vector<T>>& Mat, T Threshold,
                        TBool2DArray& ResultArray) {
  TBool2DArray Result = GuardAlloc<ENUXMatrixError>(M, msgNoMemoryOnHeap, [&] {
    return TBool2DArray(Mat.size(), TBoolArray(Mat.empty() ? 0 : Mat[0].size(), false));
  });
  int64_t N = 0;
  for (size_t C = 0; C < Mat.size(); ++C)
    for (size_t R = 0; R < Mat[C].size(); ++R)
      if (Mat[C][R] > Threshold) {
        Result[C][R] = true;
        ++N;
      }
  ResultArray.swap(Result);
  return SaturatedCount(N);
}

}  // namespace nux::matrix_detail
