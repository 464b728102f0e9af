// TIntMatrix: descriptive statistics, searches and counts. The sparse form visits only its
// stored elements; implicit zeros are counted arithmetically, never visited.
#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

#include "nux/frame/moments.h"
#include "nux/host/system.h"
#include "nux/math1/sorting.h"
#include "nux/matrix/intmatrix.h"
#include "nux/matrix/matrix_stats_impl.h"

namespace nux {

using matrix_detail::ClipBlock;
using matrix_detail::ForEach;
using matrix_detail::SaturatedCount;
using matrix_detail::TBlock;

namespace {

// Central sums of a group A joined by Zeros implicit zeros (pairwise combination of two groups;
// the zero group has mean 0 and no spread), so a sparse block costs O(stored elements).
TCentralSums WithZeros(const TCentralSums& A, int64_t Zeros) {
  if (Zeros <= 0) return A;
  TCentralSums R;
  R.N = A.N + Zeros;
  const double Na = static_cast<double>(A.N), Nb = static_cast<double>(Zeros);
  const double N = Na + Nb;
  const double D = -A.Mean;  // mean of the zeros minus mean of A
  R.Mean = A.Mean * (Na / N);
  R.Constant = A.N == 0 || (A.Constant && A.Mean == 0.0);
  if (R.Constant) {
    R.Mean = 0.0;
    return R;
  }
  R.S2 = A.S2 + D * D * Na * Nb / N;
  R.S3 = A.S3 + D * D * D * Na * Nb * (Na - Nb) / (N * N) - 3.0 * D * Nb * A.S2 / N;
  R.S4 = A.S4 + D * D * D * D * Na * Nb * (Na * Na - Na * Nb + Nb * Nb) / (N * N * N) +
         6.0 * D * D * Nb * Nb * A.S2 / (N * N) - 4.0 * D * Nb * A.S3 / N;
  return R;
}

}  // namespace

namespace {

// A clipped range of the sparse form, 1-based and inclusive (empty when the matrix is).
struct TSparseRange {
  int32_t LowCol, HighCol, LowRow, HighRow;
  TSparseRange(const TIntMatrix& M, int32_t Lc, int32_t Hc, int32_t Lr, int32_t Hr) {
    M.MakeValidColRange(Lc, Hc);
    M.MakeValidRowRange(Lr, Hr);
    LowCol = Lc;
    HighCol = Hc;
    LowRow = Lr;
    HighRow = Hr;
  }
  bool Inside(const TSpMatElemInt& E) const {
    return E.colidx >= LowCol && E.colidx <= HighCol && E.rowidx >= LowRow && E.rowidx <= HighRow;
  }
  // Number of positions, 64-bit (a sparse range may hold about 4.6e18 of them).
  int64_t Positions() const {
    if (HighCol < LowCol || HighRow < LowRow) return 0;
    return (int64_t{HighCol} - LowCol + 1) * (int64_t{HighRow} - LowRow + 1);
  }
};

// The values of the sparse form's stored elements inside the range, in (column, row) order,
// and the number of the range's positions that hold none (implicit zeros, counted).
struct TStoredIn {
  TDoubleArray Values;
  int64_t Zeros = 0;
};

TStoredIn StoredIn(const TIntMatrix& M, const TSparseRange& Rg) {
  TStoredIn G;
  GuardAlloc<ENUXMatrixError>(M, msgNoMemoryOnHeap, [&] {
    for (const TSpMatElemInt& E : M.SparseElements())
      if (Rg.Inside(E)) G.Values.push_back(E.value);
  });
  G.Zeros = Rg.Positions() - static_cast<int64_t>(G.Values.size());
  return G;
}

// The range's values for the order statistics: the dense block's elements, or the stored ones
// and the count of implicit zeros.
TStoredIn OrderValues(const TIntMatrix& M, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                      int32_t HighRow);

// Central sums of every position of the range: dense through the block, sparse from the stored
// elements inside it plus the implicit zeros, counted.
TCentralSums IntSums(const TIntMatrix& M, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                     int32_t HighRow, bool WithHigher) {
  if (!M.IsSparse()) {
    const TBlock B = ClipBlock(M, LowCol, HighCol, LowRow, HighRow);
    return CentralSums(B.Count(), matrix_detail::TBlockReaderOf<int32_t>(M.Data(), B), WithHigher);
  }
  const TStoredIn G = StoredIn(M, TSparseRange(M, LowCol, HighCol, LowRow, HighRow));
  const auto N = static_cast<int64_t>(G.Values.size());
  const TCentralSums Stored = CentralSums(
      N, [&](int64_t I) { return G.Values[size_t(I)]; }, WithHigher);
  return WithZeros(Stored, G.Zeros);
}

}  // namespace

int64_t TIntMatrix::Sum(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow) const {
  int64_t S = 0;
  if (!FIsSparse) {
    ForEach(Mat, ClipBlock(*this, LowCol, HighCol, LowRow, HighRow), [&](int32_t X) { S += X; });
    return S;
  }
  const TSparseRange Rg(*this, LowCol, HighCol, LowRow, HighRow);
  ForEachStored([&](const TSpMatElemInt& E) {
    if (Rg.Inside(E)) S += E.value;
  });
  return S;
}

int64_t TIntMatrix::Trace() const {
  int64_t S = 0;
  if (!FIsSparse) {
    if (NrOfColumns() != NrOfRows()) return 0;
    for (size_t I = 0; I < Mat.size(); ++I) S += Mat[I][I];
    return S;
  }
  if (FSparseHighCol != FSparseHighRow) return 0;
  ForEachStored([&](const TSpMatElemInt& E) {
    if (E.colidx == E.rowidx) S += E.value;
  });
  return S;
}

void TIntMatrix::MinMax(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                        int32_t& Minimum, int32_t& Maximum) const {
  // The documented start values stay only when nothing is visited; otherwise the first element
  // starts both, so that -2147483648 can be the maximum too.
  Minimum = 2147483647;
  Maximum = -2147483647;
  bool Any = false;
  const auto Visit = [&](int32_t X) {
    if (!Any || X < Minimum) Minimum = X;
    if (!Any || X > Maximum) Maximum = X;
    Any = true;
  };
  if (!FIsSparse) {
    ForEach(Mat, ClipBlock(*this, LowCol, HighCol, LowRow, HighRow), Visit);
    return;
  }
  const TSparseRange Rg(*this, LowCol, HighCol, LowRow, HighRow);
  ForEachStored([&](const TSpMatElemInt& E) {
    if (Rg.Inside(E)) Visit(E.value);
  });
}

void TIntMatrix::MeanVar(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                         double& Mean, double& Variance) const {
  const TCentralSums C = IntSums(*this, LowCol, LowRow, HighCol, HighRow, false);
  if (C.N == 0) {
    Mean = Variance = 0.0;
    return;
  }
  Mean = C.Mean;
  Variance = SampleVariance(C);
}

void TIntMatrix::SkewKurt(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                          double& Skewness, double& Kurtosis) const {
  matrix_detail::SkewKurtOfSums(IntSums(*this, LowCol, LowRow, HighCol, HighRow, true), Skewness,
                                Kurtosis);
}

void TIntMatrix::SkewKurtSample(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                                double& Skewness, double& Kurtosis) const {
  const TCentralSums C = IntSums(*this, LowCol, LowRow, HighCol, HighRow, true);
  if (matrix_detail::SkewKurtOfSums(C, Skewness, Kurtosis))
    matrix_detail::SampleSkewKurt(C.N, Skewness, Kurtosis);
}

namespace {

// The dense block's elements as doubles (exact), for the order statistics.
TDoubleArray BlockValues(const TIntMatrix& M, const TBlock& B) {
  TDoubleArray Work;
  GuardAlloc<ENUXMatrixError>(M, msgNoMemoryOnHeap,
                              [&] { Work.reserve(static_cast<size_t>(B.Count())); });
  ForEach(M.Data(), B, [&](int32_t X) { Work.push_back(X); });
  return Work;
}

TStoredIn OrderValues(const TIntMatrix& M, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                      int32_t HighRow) {
  if (M.IsSparse()) return StoredIn(M, TSparseRange(M, LowCol, HighCol, LowRow, HighRow));
  return TStoredIn{BlockValues(M, ClipBlock(M, LowCol, HighCol, LowRow, HighRow)), 0};
}

// Ascending stored values with Zeros zeros slotted in between the negatives and the rest, read
// by position, so that the quantiles never build the run of zeros.
class TSortedWithZeros {
 public:
  TSortedWithZeros(const TDoubleArray& Sorted, int64_t Zeros)
      : FA(Sorted.data()),
        FNeg(std::lower_bound(Sorted.begin(), Sorted.end(), 0.0) - Sorted.begin()),
        FZeros(Zeros) {}
  double operator[](int64_t K) const {
    if (K < FNeg) return FA[K];
    return K < FNeg + FZeros ? 0.0 : FA[K - FZeros];
  }

 private:
  const double* FA;
  int64_t FNeg, FZeros;
};

// The value at sorted position K of Values joined by Zeros zeros; Values is reordered.
double ValueAtRank(TDoubleArray& Values, int64_t Zeros, int64_t K) {
  const auto Neg = static_cast<int64_t>(
      std::count_if(Values.begin(), Values.end(), [](double X) { return X < 0.0; }));
  if (K >= Neg && K < Neg + Zeros) return 0.0;
  if (K >= Neg) K -= Zeros;
  std::nth_element(Values.begin(), Values.begin() + K, Values.end());
  return Values[size_t(K)];
}

}  // namespace

void TIntMatrix::MeanVec(TDims Dim, TVector* Means) const {
  if (Means == nullptr || (Dim != dimColumns && Dim != dimRows)) return;
  const int32_t Nc = NrOfColumns(), Nr = NrOfRows();
  const int32_t Lines = Dim == dimColumns ? Nc : Nr;
  const int32_t Length = Dim == dimColumns ? Nr : Nc;
  if (Lines < 1 || Length < 1) return;
  // A sparse matrix may announce 2^31 lines: refused before anything is allocated.
  if (!AllocationPlausible(uint64_t(Lines), sizeof(int64_t) + sizeof(double)))
    RaiseComponentError<ENUXMatrixError>(*this, msgNoMemoryOnHeap);
  std::vector<int64_t> Sums = GuardAlloc<ENUXMatrixError>(
      *this, msgNoMemoryOnHeap, [&] { return std::vector<int64_t>(size_t(Lines), 0); });
  // Exact 64-bit sums (no cancellation), divided once.
  if (!FIsSparse) {
    for (size_t C = 0; C < Mat.size(); ++C)
      for (size_t R = 0; R < Mat[C].size(); ++R) Sums[Dim == dimColumns ? C : R] += Mat[C][R];
  } else {
    ForEachStored([&](const TSpMatElemInt& E) {
      Sums[size_t((Dim == dimColumns ? E.colidx : E.rowidx) - 1)] += E.value;
    });
  }
  TDoubleArray Values = GuardAlloc<ENUXMatrixError>(
      *this, msgNoMemoryOnHeap, [&] { return TDoubleArray(size_t(Lines), 0.0); });
  for (size_t L = 0; L < Sums.size(); ++L)
    Values[L] = static_cast<double>(Sums[L]) / static_cast<double>(Length);
  Means->Resize(Lines);
  Means->CopyFrom(Values, 0, 0, 1);
}

double TIntMatrix::GeometricMean(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                 int32_t HighRow) const {
  const TStoredIn G = OrderValues(*this, LowCol, LowRow, HighCol, HighRow);
  return matrix_detail::GeometricMeanOf(*this, static_cast<int64_t>(G.Values.size()) + G.Zeros,
                                        G.Zeros, [&](auto&& Take) {
                                          for (double X : G.Values) Take(X);
                                        });
}

double TIntMatrix::HarmonicMean(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                int32_t HighRow) const {
  const TStoredIn G = OrderValues(*this, LowCol, LowRow, HighCol, HighRow);
  return matrix_detail::HarmonicMeanOf(*this, static_cast<int64_t>(G.Values.size()) + G.Zeros,
                                       G.Zeros, [&](auto&& Take) {
                                         for (double X : G.Values) Take(X);
                                       });
}

bool TIntMatrix::Quartiles(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                           double& Q1, double& Q2, double& Q3) const {
  Q1 = Q2 = Q3 = 0.0;
  TStoredIn G = OrderValues(*this, LowCol, LowRow, HighCol, HighRow);
  const int64_t N = static_cast<int64_t>(G.Values.size()) + G.Zeros;
  if (N == 0) return false;
  SortArray(std::span<double>(G.Values), true);
  const TSortedWithZeros A(G.Values, G.Zeros);
  if (N == 1) {
    Q1 = Q2 = Q3 = A[0];
    return true;
  }
  Q1 = QuartileOfSorted(A, N, 0.25);
  Q2 = QuartileOfSorted(A, N, 0.5);
  Q3 = QuartileOfSorted(A, N, 0.75);
  return true;
}

double TIntMatrix::Percentile(double Prob, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                              int32_t HighRow) const {
  TStoredIn G = OrderValues(*this, LowCol, LowRow, HighCol, HighRow);
  if (G.Zeros == 0) return matrix_detail::SelectPercentile(G.Values, Prob);
  const int64_t N = static_cast<int64_t>(G.Values.size()) + G.Zeros;
  return ValueAtRank(G.Values, G.Zeros, matrix_detail::PercentileRank(Prob, N));
}

double TIntMatrix::Percentile(double Prob, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                              int32_t HighRow, int32_t SampleSize) const {
  const TBlock B = ClipBlock(*this, LowCol, HighCol, LowRow, HighRow);
  if (SampleSize <= 0 || SampleSize >= B.Count())
    return Percentile(Prob, LowCol, LowRow, HighCol, HighRow);
  TDoubleArray Sample = matrix_detail::DrawSample(*this, B, SampleSize, [&](int32_t C, int32_t R) {
    return FIsSparse ? GetVal(C + 1, R + 1) : Mat[size_t(C)][size_t(R)];
  });
  return matrix_detail::SelectPercentile(Sample, Prob);
}

void TIntMatrix::Find(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                      int32_t Value, int32_t& ColIx, int32_t& RowIx) const {
  ColIx = RowIx = 0;
  if (!FIsSparse) {
    matrix_detail::FindNearest(Mat, ClipBlock(*this, LowCol, HighCol, LowRow, HighRow), Value,
                               ColIx, RowIx);
    return;
  }
  const TSparseRange Rg(*this, LowCol, HighCol, LowRow, HighRow);
  if (Rg.Positions() == 0) return;
  // The stored elements come in visiting order; the first position they leave free is the first
  // implicit zero, the only zero that can win a tie.
  int32_t Zc = Rg.LowCol, Zr = Rg.LowRow;
  bool ZeroFound = false;
  int64_t Best = 0;
  for (const TSpMatElemInt& E : SparseElements()) {
    if (!Rg.Inside(E)) continue;
    if (!ZeroFound) {
      if (E.colidx == Zc && E.rowidx == Zr) {
        if (++Zr > Rg.HighRow) {
          Zr = Rg.LowRow;
          ++Zc;
        }
      } else {
        ZeroFound = true;
      }
    }
    const int64_t D = matrix_detail::Distance(E.value, Value);
    if (ColIx == 0 || D < Best) {
      Best = D;
      ColIx = E.colidx;
      RowIx = E.rowidx;
    }
  }
  if (Zc > Rg.HighCol) return;  // every position is stored
  const int64_t D = matrix_detail::Distance(0, Value);
  const bool ZeroFirst = Zc < ColIx || (Zc == ColIx && Zr < RowIx);
  if (ColIx == 0 || D < Best || (D == Best && ZeroFirst)) {
    ColIx = Zc;
    RowIx = Zr;
  }
}

int32_t TIntMatrix::FindInSortedColumn(int32_t Col, bool ColIsAscending, int32_t Value) const {
  if (Col < 1 || Col > NrOfColumns() || NrOfRows() < 1) return 0;
  if (FIsSparse)
    return matrix_detail::FindInSortedBy(NrOfRows(), ColIsAscending, Value,
                                         [&](int32_t Row) { return GetVal(Col, Row); });
  return matrix_detail::FindInSorted(Mat[size_t(Col - 1)], ColIsAscending, Value);
}

int32_t TIntMatrix::CountValues(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                                int32_t RangeLow, int32_t RangeHigh) const {
  if (!FIsSparse)
    return matrix_detail::CountInRange(Mat, ClipBlock(*this, LowCol, HighCol, LowRow, HighRow),
                                       RangeLow, RangeHigh);
  const TStoredIn G = StoredIn(*this, TSparseRange(*this, LowCol, HighCol, LowRow, HighRow));
  int64_t N = RangeLow <= 0 && 0 <= RangeHigh ? G.Zeros : 0;
  for (double X : G.Values)
    if (RangeLow <= X && X <= RangeHigh) ++N;
  return SaturatedCount(N);
}

int32_t TIntMatrix::CountMaskedZeros(int32_t LowCol, int32_t HighCol, int32_t LowRow,
                                     int32_t HighRow, int32_t Bitmask) const {
  int64_t N = 0;
  const auto Visit = [&](int32_t X) {
    if ((X & Bitmask) == 0) ++N;
  };
  if (!FIsSparse) {
    ForEach(Mat, ClipBlock(*this, LowCol, HighCol, LowRow, HighRow), Visit);
    return SaturatedCount(N);
  }
  const TStoredIn G = StoredIn(*this, TSparseRange(*this, LowCol, HighCol, LowRow, HighRow));
  N = G.Zeros;  // an implicit zero has no bit set
  for (double X : G.Values) Visit(static_cast<int32_t>(X));
  return SaturatedCount(N);
}

int32_t TIntMatrix::Dichotomize(int32_t Threshold, TBool2DArray& ResultArray) const {
  if (!FIsSparse) return matrix_detail::DichotomizeInto(*this, Mat, Threshold, ResultArray);
  const int32_t Nc = NrOfColumns(), Nr = NrOfRows();
  // One bit per position: a huge sparse size is refused before anything is allocated.
  if (!AllocationPlausible((uint64_t(Nc) * uint64_t(Nr) + 7) / 8, 1) ||
      !AllocationPlausible(uint64_t(Nc), sizeof(TBoolArray)))
    RaiseComponentError<ENUXMatrixError>(*this, msgNoMemoryOnHeap);
  const bool ZeroAbove = 0 > Threshold;
  TBool2DArray Result = GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] {
    return TBool2DArray(size_t(Nc), TBoolArray(size_t(Nr), ZeroAbove));
  });
  int64_t N = ZeroAbove ? int64_t{Nc} * Nr : 0;
  ForEachStored([&](const TSpMatElemInt& E) {
    const bool Above = E.value > Threshold;
    N += int64_t{Above} - int64_t{ZeroAbove};
    Result[size_t(E.colidx - 1)][size_t(E.rowidx - 1)] = Above;
  });
  ResultArray.swap(Result);
  return SaturatedCount(N);
}

}  // namespace nux
