// TIntMatrix: descriptive statistics, searches and counts. The sparse form visits only its
// stored elements; implicit zeros are counted arithmetically, never visited.
#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

#include "nux/frame/moments.h"
#include "nux/host/random.h"
#include "nux/math1/sorting.h"
#include "nux/matrix/intmatrix.h"
#include "nux/matrix/matrix_stats_impl.h"

namespace nux {

using matrix_detail::ClipBlock;
using matrix_detail::ForEach;
using matrix_detail::SaturatedCount;
using matrix_detail::TBlock;

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

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

// Central sums of every position of the range: dense through the block, sparse from the stored
// elements inside it plus the implicit zeros, counted.
TCentralSums IntSums(const TIntMatrix& M, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                     int32_t HighRow, bool WithHigher) {
  if (!M.IsSparse()) {
    const TBlock B = ClipBlock(M, LowCol, HighCol, LowRow, HighRow);
    return CentralSums(B.Count(), matrix_detail::TBlockReaderOf<int32_t>(M.Data(), B), WithHigher);
  }
  const TSparseRange Rg(M, LowCol, HighCol, LowRow, HighRow);
  std::vector<double> Values;
  GuardAlloc<ENUXMatrixError>(M, msgNoMemoryOnHeap, [&] {
    for (const TSpMatElemInt& E : M.SparseElements())
      if (Rg.Inside(E)) Values.push_back(E.value);
  });
  const auto N = static_cast<int64_t>(Values.size());
  const TCentralSums Stored = CentralSums(
      N, [&](int64_t I) { return Values[size_t(I)]; }, WithHigher);
  return WithZeros(Stored, Rg.Positions() - N);
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

}  // namespace

bool TIntMatrix::Quartiles(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                           double& Q1, double& Q2, double& Q3) const {
  Q1 = Q2 = Q3 = 0.0;
  if (FIsSparse) return false;
  TDoubleArray A = BlockValues(*this, ClipBlock(*this, LowCol, HighCol, LowRow, HighRow));
  const auto N = static_cast<int64_t>(A.size());
  if (N == 0) return false;
  if (N == 1) {
    Q1 = Q2 = Q3 = A[0];
    return true;
  }
  SortArray(std::span<double>(A), true);
  Q1 = QuartileOfSorted(A.data(), N, 0.25);
  Q2 = QuartileOfSorted(A.data(), N, 0.5);
  Q3 = QuartileOfSorted(A.data(), N, 0.75);
  return true;
}

double TIntMatrix::Percentile(double Prob, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                              int32_t HighRow) const {
  if (FIsSparse) return NaN;
  TDoubleArray Work = BlockValues(*this, ClipBlock(*this, LowCol, HighCol, LowRow, HighRow));
  return matrix_detail::SelectPercentile(Work, Prob);
}

double TIntMatrix::Percentile(double Prob, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                              int32_t HighRow, int32_t SampleSize) const {
  if (FIsSparse) return NaN;
  const TBlock B = ClipBlock(*this, LowCol, HighCol, LowRow, HighRow);
  if (SampleSize <= 0 || SampleSize >= B.Count())
    return Percentile(Prob, LowCol, LowRow, HighCol, HighRow);
  TDoubleArray Sample;
  GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap,
                              [&] { Sample.reserve(static_cast<size_t>(SampleSize)); });
  // Drawn from the running process-wide generator, so that a seeded run repeats.
  const auto Cols = static_cast<int32_t>(B.Cols()), Rows = static_cast<int32_t>(B.Rows());
  for (int32_t S = 0; S < SampleSize; ++S)
    Sample.push_back(Mat[size_t(B.C0 + RandomInt(Cols))][size_t(B.R0 + RandomInt(Rows))]);
  return matrix_detail::SelectPercentile(Sample, Prob);
}

void TIntMatrix::Find(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                      int32_t Value, int32_t& ColIx, int32_t& RowIx) const {
  ColIx = RowIx = 0;
  if (FIsSparse) return;
  matrix_detail::FindNearest(Mat, ClipBlock(*this, LowCol, HighCol, LowRow, HighRow), Value, ColIx,
                             RowIx);
}

int32_t TIntMatrix::FindInSortedColumn(int32_t Col, bool ColIsAscending, int32_t Value) const {
  if (FIsSparse || Col < 1 || Col > NrOfColumns() || NrOfRows() < 1) return 0;
  return matrix_detail::FindInSorted(Mat[size_t(Col - 1)], ColIsAscending, Value);
}

int32_t TIntMatrix::CountValues(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                                int32_t RangeLow, int32_t RangeHigh) const {
  if (FIsSparse) return 0;
  return matrix_detail::CountInRange(Mat, ClipBlock(*this, LowCol, HighCol, LowRow, HighRow),
                                     RangeLow, RangeHigh);
}

int32_t TIntMatrix::CountMaskedZeros(int32_t LowCol, int32_t HighCol, int32_t LowRow,
                                     int32_t HighRow, int32_t Bitmask) const {
  if (FIsSparse) return 0;
  int64_t N = 0;
  ForEach(Mat, ClipBlock(*this, LowCol, HighCol, LowRow, HighRow), [&](int32_t X) {
    if ((X & Bitmask) == 0) ++N;
  });
  return SaturatedCount(N);
}

int32_t TIntMatrix::Dichotomize(int32_t Threshold, TBool2DArray& ResultArray) const {
  if (FIsSparse) return 0;
  return matrix_detail::DichotomizeInto(*this, Mat, Threshold, ResultArray);
}

}  // namespace nux
