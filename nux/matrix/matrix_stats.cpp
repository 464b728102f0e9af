// TMatrix: descriptive statistics, searches and counts over a rectangle of the matrix.
#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

#include "nux/frame/moments.h"
#include "nux/frame/rounding.h"
#include "nux/host/random.h"
#include "nux/kernels/histogram.h"
#include "nux/math1/sorting.h"
#include "nux/matrix/matrix_core.h"
#include "nux/matrix/matrix_stats_impl.h"

namespace nux {

using matrix_detail::ClipBlock;
using matrix_detail::ForEach;
using matrix_detail::TBlock;
using matrix_detail::TBlockReader;

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

namespace matrix_detail {

double SelectPercentile(TDoubleArray& Work, double Prob) {
  const auto N = static_cast<int64_t>(Work.size());
  if (N == 0) return NaN;
  const int64_t K = PercentileRank(Prob, N);
  if (N <= std::numeric_limits<int32_t>::max())
    return QuickSelect(std::span<double>(Work), static_cast<int32_t>(K), 0,
                       static_cast<int32_t>(N - 1));
  // Beyond the 32-bit positions of QuickSelect; the selected value is the same.
  std::nth_element(Work.begin(), Work.begin() + K, Work.end());
  return Work[size_t(K)];
}

TDoubleArray ComparableValues(const TMatrix& M, const TBlock& B) {
  TDoubleArray Work;
  GuardAlloc<ENUXMatrixError>(M, msgNoMemoryOnHeap,
                              [&] { Work.reserve(static_cast<size_t>(B.Count())); });
  ForEach(M.Data(), B, [&](double X) {
    if (!std::isnan(X)) Work.push_back(X);
  });
  return Work;
}

}  // namespace matrix_detail

void TMatrix::MeanVar(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                      double& Mean, double& Variance) const {
  const TBlock B = ClipBlock(*this, LowCol, HighCol, LowRow, HighRow);
  if (B.Count() == 0) {
    Mean = Variance = 0.0;
    return;
  }
  StableMeanVar(B.Count(), TBlockReader(Mat, B), Mean, Variance);
}

void TMatrix::MeanVec(TDims Dim, TVector* Means) const {
  if (Means == nullptr || (Dim != dimColumns && Dim != dimRows)) return;
  const int32_t Nc = NrOfColumns(), Nr = NrOfRows();
  const int32_t Lines = Dim == dimColumns ? Nc : Nr;
  if (Lines < 1 || Nc < 1 || Nr < 1) return;
  TDoubleArray Values = GuardAlloc<ENUXMatrixError>(
      *this, msgNoMemoryOnHeap, [&] { return TDoubleArray(size_t(Lines), 0.0); });
  for (int32_t L = 0; L < Lines; ++L) {
    if (Dim == dimColumns) {
      const double* Col = Mat[size_t(L)].data();
      Values[size_t(L)] = StableMean(Nr, [Col](int64_t I) { return Col[I]; });
    } else {
      Values[size_t(L)] = StableMean(Nc, [&](int64_t I) { return Mat[size_t(I)][size_t(L)]; });
    }
  }
  Means->Resize(Lines);
  Means->CopyFrom(Values, 0, 0, 1);
}

void TMatrix::SkewKurt(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                       double& Skewness, double& Kurtosis) const {
  const TBlock B = ClipBlock(*this, LowCol, HighCol, LowRow, HighRow);
  matrix_detail::SkewKurtOfSums(CentralSums(B.Count(), TBlockReader(Mat, B), true), Skewness,
                                Kurtosis);
}

void TMatrix::SkewKurtSample(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                             double& Skewness, double& Kurtosis) const {
  const TBlock B = ClipBlock(*this, LowCol, HighCol, LowRow, HighRow);
  // Without a spread there is nothing to correct: the zeros stay zeros.
  if (!matrix_detail::SkewKurtOfSums(CentralSums(B.Count(), TBlockReader(Mat, B), true), Skewness,
                                     Kurtosis))
    return;
  matrix_detail::SampleSkewKurt(B.Count(), Skewness, Kurtosis);
}

bool TMatrix::Quartiles(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                        double& Q1, double& Q2, double& Q3) const {
  Q1 = Q2 = Q3 = 0.0;
  TDoubleArray A =
      matrix_detail::ComparableValues(*this, ClipBlock(*this, LowCol, HighCol, LowRow, HighRow));
  const auto N = static_cast<int64_t>(A.size());
  if (N == 0) return false;
  if (N == 1) {
    Q1 = Q2 = Q3 = A[0];
    return true;
  }
  SortArray(std::span<double>(A), true);
  const auto Quartile = [&](double P) { return QuartileOfSorted(A.data(), N, P); };
  Q1 = Quartile(0.25);
  Q2 = Quartile(0.5);
  Q3 = Quartile(0.75);
  return true;
}

double TMatrix::Percentile(double Prob, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                           int32_t HighRow) const {
  const TBlock B = ClipBlock(*this, LowCol, HighCol, LowRow, HighRow);
  if (B.Count() == 0) return 0.0;
  TDoubleArray Work = matrix_detail::ComparableValues(*this, B);
  return matrix_detail::SelectPercentile(Work, Prob);
}

double TMatrix::Percentile(double Prob, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                           int32_t HighRow, int32_t SampleSize) const {
  const TBlock B = ClipBlock(*this, LowCol, HighCol, LowRow, HighRow);
  if (SampleSize <= 0 || SampleSize >= B.Count())
    return Percentile(Prob, LowCol, LowRow, HighCol, HighRow);
  TDoubleArray Sample = matrix_detail::DrawSample(
      *this, B, SampleSize, [&](int32_t C, int32_t R) { return Mat[size_t(C)][size_t(R)]; });
  int64_t Zeros = 0, Negatives = 0;
  for (double X : Sample)
    if (X == 0.0)
      ++Zeros;
    else if (X < 0.0)
      ++Negatives;
  if (Sample.empty()) return NaN;
  const double P = std::isnan(Prob) ? 0.0 : std::clamp(Prob, 0.0, 100.0) / 100.0;
  const auto M = static_cast<double>(Sample.size());
  // Inside the run of zeros of a sparse matrix: no selection needed.
  if (static_cast<double>(Negatives) / M < P && P < static_cast<double>(Zeros + Negatives) / M)
    return 0.0;
  return matrix_detail::SelectPercentile(Sample, Prob);
}

bool TMatrix::Histogram(int32_t LoX, int32_t LoY, int32_t HiX, int32_t HiY, double FirstBin,
                        double LastBin, double BinWidth, TIntArray& Histo, int32_t& Underflow,
                        int32_t& Overflow, int32_t& MaxCnt) const {
  // A width that is not positive would give no bins or a negative count of them.
  const kernels::TDoubleBins Bins(FirstBin, LastBin, BinWidth);
  if (Bins.Count == 0) return false;
  const TBlock B = ClipBlock(*this, LoX, HiX, LoY, HiY);
  kernels::CountIntoBins(
      Bins.Count, Bins, [&](auto&& Count) { ForEach(Mat, B, [&](double X) { Count(X, 1); }); },
      Histo, Underflow, Overflow, MaxCnt);
  return true;
}

bool TMatrix::Histogram(int32_t LoX, int32_t LoY, int32_t HiX, int32_t HiY, double FirstBin,
                        double LastBin, double BinWidth, TIntVector& Histo, int32_t& Underflow,
                        int32_t& Overflow, int32_t& MaxCnt) const {
  TIntArray Counts;
  if (!Histogram(LoX, LoY, HiX, HiY, FirstBin, LastBin, BinWidth, Counts, Underflow, Overflow,
                 MaxCnt))
    return false;
  Histo.Resize(static_cast<int32_t>(Counts.size()));
  Histo.CopyFrom(Counts, 0, 0, 1);
  return true;
}

double TMatrix::GeometricMean(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                              int32_t HighRow) const {
  const TBlock B = ClipBlock(*this, LowCol, HighCol, LowRow, HighRow);
  return matrix_detail::GeometricMeanOf(*this, B.Count(), 0,
                                        [&](auto&& Take) { ForEach(Mat, B, Take); });
}

double TMatrix::HarmonicMean(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                             int32_t HighRow) const {
  const TBlock B = ClipBlock(*this, LowCol, HighCol, LowRow, HighRow);
  return matrix_detail::HarmonicMeanOf(*this, B.Count(), 0,
                                       [&](auto&& Take) { ForEach(Mat, B, Take); });
}

double TMatrix::Sum(int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR) const {
  double S = 0.0;
  ForEach(Mat, ClipBlock(*this, LoC, HiC, LoR, HiR), [&](double X) { S += X; });
  return S;
}

void TMatrix::MinMax(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                     double& Minimum, double& Maximum) const {
  // Start from the first comparable element, so that every double (infinities included) can
  // be an extreme; without one the start values +inf and -inf remain.
  Minimum = std::numeric_limits<double>::infinity();
  Maximum = -Minimum;
  bool Any = false;
  ForEach(Mat, ClipBlock(*this, LowCol, HighCol, LowRow, HighRow), [&](double X) {
    if (std::isnan(X)) return;
    if (!Any || X < Minimum) Minimum = X;
    if (!Any || X > Maximum) Maximum = X;
    Any = true;
  });
}

void TMatrix::Find(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, double Value,
                   int32_t& ColIx, int32_t& RowIx) const {
  matrix_detail::FindNearest(Mat, ClipBlock(*this, LowCol, HighCol, LowRow, HighRow), Value, ColIx,
                             RowIx);
}

int32_t TMatrix::FindInSortedColumn(int32_t Col, bool ColIsAscending, double Value) const {
  if (Col < 1 || Col > NrOfColumns() || NrOfRows() < 1) return 0;
  return matrix_detail::FindInSorted(Mat[size_t(Col - 1)], ColIsAscending, Value);
}

int32_t TMatrix::CountValues(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                             double RangeLow, double RangeHigh) const {
  return matrix_detail::CountInRange(Mat, ClipBlock(*this, LowCol, HighCol, LowRow, HighRow),
                                     RangeLow, RangeHigh);
}

int32_t TMatrix::Dichotomize(double Threshold, TBool2DArray& ResultArray) const {
  return matrix_detail::DichotomizeInto(*this, Mat, Threshold, ResultArray);
}

}  // namespace nux
