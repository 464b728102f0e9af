// TMatrix: column- and row-wise normalisations and the correlation of two matrices.
#include <algorithm>
#include <cmath>

#include "nux/frame/moments.h"
#include "nux/matrix/matrix_core.h"
#include "nux/matrix/matrix_stats_impl.h"

namespace nux {

using matrix_detail::TBlock;
using matrix_detail::TBlockReader;

namespace {

// The block of line L: column L (ByRow false) or row L (ByRow true), 0-based.
TBlock LineBlock(const TMatrix& M, bool ByRow, int32_t L) {
  if (ByRow) return TBlock{0, M.NrOfColumns() - 1, L, L};
  return TBlock{L, L, 0, M.NrOfRows() - 1};
}

int32_t LineCount(const TMatrix& M, bool ByRow) {
  if (M.NrOfColumns() < 1 || M.NrOfRows() < 1) return 0;
  return ByRow ? M.NrOfRows() : M.NrOfColumns();
}

TDoubleArray LineValues(const TMatrix& M, int32_t Lines) {
  return GuardAlloc<ENUXMatrixError>(M, msgNoMemoryOnHeap,
                                     [&] { return TDoubleArray(size_t(Lines), 0.0); });
}

// Gives an optional result vector one value per line.
void Store(TVector* Dest, const TDoubleArray& Values) {
  if (Dest == nullptr || Values.empty()) return;
  Dest->Resize(static_cast<int32_t>(Values.size()));
  Dest->CopyFrom(Values, 0, 0, 1);
}

// Applies F to every element of line L.
template <class F>
void ForLine(TDouble2DArray& Mat, bool ByRow, int32_t L, F&& Change) {
  if (ByRow) {
    for (auto& Column : Mat) Change(Column[size_t(L)]);
  } else {
    for (double& X : Mat[size_t(L)]) Change(X);
  }
}

// Mean and library variance of each line. The line statistics are all computed (and the result
// vectors filled) before the matrix is touched, so that exhausted memory leaves it as it was.
void LineMeanVars(const TMatrix& M, bool ByRow, TDoubleArray& Means, TDoubleArray& Vars) {
  const int32_t Lines = LineCount(M, ByRow);
  Means = LineValues(M, Lines);
  Vars = LineValues(M, Lines);
  for (int32_t L = 0; L < Lines; ++L) {
    const TBlock B = LineBlock(M, ByRow, L);
    StableMeanVar(B.Count(), TBlockReader(M.Data(), B), Means[size_t(L)], Vars[size_t(L)]);
  }
}

void MeanCenter(const TMatrix& M, TDouble2DArray& Mat, bool ByRow, TVector* Means) {
  TDoubleArray Mv, V;
  LineMeanVars(M, ByRow, Mv, V);
  Store(Means, Mv);
  for (int32_t L = 0; L < static_cast<int32_t>(Mv.size()); ++L) {
    const double Mean = Mv[size_t(L)];
    // A NaN or infinite mean would wipe out the finite elements of the line.
    if (std::isfinite(Mean)) ForLine(Mat, ByRow, L, [Mean](double& X) { X -= Mean; });
  }
}

void Standardize(const TMatrix& M, TDouble2DArray& Mat, bool ByRow, TVector* Means,
                 TVector* StdDevs) {
  TDoubleArray Mv, Sd;
  LineMeanVars(M, ByRow, Mv, Sd);
  for (double& V : Sd) V = std::sqrt(V);
  Store(Means, Mv);
  Store(StdDevs, Sd);
  for (int32_t L = 0; L < static_cast<int32_t>(Mv.size()); ++L) {
    const double Mean = Mv[size_t(L)], S = Sd[size_t(L)];
    // No spread, or one that is not a number: the line stays as it is.
    if (S > 0.0 && std::isfinite(S) && std::isfinite(Mean))
      ForLine(Mat, ByRow, L, [Mean, S](double& X) { X = (X - Mean) / S; });
  }
}

void QNormalize(const TMatrix& M, TDouble2DArray& Mat, bool ByRow, double RefQuant,
                TVector* Medians, TVector* QuantDiffs) {
  const int32_t Lines = LineCount(M, ByRow);
  TDoubleArray Med = LineValues(M, Lines), Diff = LineValues(M, Lines);
  for (int32_t L = 0; L < Lines; ++L) {
    // Selection reorders the work array but keeps its values: one copy serves both.
    TDoubleArray Work = matrix_detail::ComparableValues(M, LineBlock(M, ByRow, L));
    const double Q = matrix_detail::SelectPercentile(Work, RefQuant);
    Med[size_t(L)] = matrix_detail::SelectPercentile(Work, 50.0);
    Diff[size_t(L)] = std::fabs(Med[size_t(L)] - Q);
  }
  Store(Medians, Med);
  Store(QuantDiffs, Diff);
  for (int32_t L = 0; L < Lines; ++L) {
    const double Md = Med[size_t(L)], D = Diff[size_t(L)];
    if (D > 0.0 && std::isfinite(D))
      ForLine(Mat, ByRow, L, [Md, D](double& X) { X = (X - Md) / D; });
  }
}

}  // namespace

void TMatrix::MeanCenterColumns(TVector* Means) {
  MeanCenter(*this, Mat, false, Means);
  Changed();
}

void TMatrix::MeanCenterRows(TVector* Means) {
  MeanCenter(*this, Mat, true, Means);
  Changed();
}

void TMatrix::StandardizeColumns(TVector* Means, TVector* StdDevs) {
  Standardize(*this, Mat, false, Means, StdDevs);
  Changed();
}

void TMatrix::StandardizeRows(TVector* Means, TVector* StdDevs) {
  Standardize(*this, Mat, true, Means, StdDevs);
  Changed();
}

void TMatrix::QNormalizeColumns(double RefQuant, TVector* Medians, TVector* QuantDiffs) {
  QNormalize(*this, Mat, false, RefQuant, Medians, QuantDiffs);
  Changed();
}

void TMatrix::QNormalizeRows(double RefQuant, TVector* Medians, TVector* QuantDiffs) {
  QNormalize(*this, Mat, true, RefQuant, Medians, QuantDiffs);
  Changed();
}

double TMatrix::Correlate(const TMatrix& OtherMat) const {
  if (OtherMat.NrOfColumns() != NrOfColumns() || OtherMat.NrOfRows() != NrOfRows())
    RaiseComponentError<ENUXMatrixError>(*this, "matrices do not match");
  const TBlock B{0, NrOfColumns() - 1, 0, NrOfRows() - 1};
  const int64_t N = B.Count();
  if (N <= 2) return 0.0;
  double SumSqX = 0.0, SumSqY = 0.0;
  matrix_detail::ForEach(Mat, B, [&](double X) { SumSqX += X * X; });
  matrix_detail::ForEach(OtherMat.Mat, B, [&](double Y) { SumSqY += Y * Y; });
  if (!(SumSqX > 0.0) || !(SumSqY > 0.0)) return 0.0;
  // Sums about the means, so that data on a large offset keep their digits.
  const TCentralSums Cx = CentralSums(N, TBlockReader(Mat, B));
  const TCentralSums Cy = CentralSums(N, TBlockReader(OtherMat.Mat, B));
  if (Cx.S2 == 0.0 || Cy.S2 == 0.0) return 0.0;
  const double Sxy =
      CentralCoSum(N, TBlockReader(Mat, B), TBlockReader(OtherMat.Mat, B), Cx.Mean, Cy.Mean);
  // Square roots taken apart: the product of the two sums could overflow.
  const double R = Sxy / (std::sqrt(Cx.S2) * std::sqrt(Cy.S2));
  return std::clamp(R, -1.0, 1.0);  // rounding may step just past 1; NaN stays NaN
}

}  // namespace nux
