// Reduction of a data set to a given number of centres by merging the closest pair of rows into
// their weighted mean, the last row moving into the freed place.
//
// Like the agglomerative clustering, every position keeps its nearest later position, so a
// merge costs a few passes over the rows instead of a scan of all pairs; the pairs merged are
// the same as with the full scan in position order.
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "nux/frame/progress.h"
#include "nux/math2/cluster_impl.h"

namespace nux {

using math2_detail::RaiseOnNoMemory;
using math2_detail::RowDistances;
using math2_detail::RowIsFinite;

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

class TCentreReducer {
 public:
  // Positions 0..M-1 hold the usable rows of LoRow..HiRow (0-based, inclusive), weight 1.
  TCentreReducer(const TMatrix& Data, size_t LoRow, size_t HiRow)
      : FP(size_t(Data.NrOfColumns())), FCols(FP) {
    std::vector<size_t> Rows;
    for (size_t R = LoRow; R <= HiRow; ++R)
      if (RowIsFinite(Data, R)) Rows.push_back(R);
    FM = Rows.size();
    FW.assign(FM, 1.0);
    FX.assign(FP, TDoubleArray(FM));
    for (size_t C = 0; C < FP; ++C) {
      for (size_t I = 0; I < FM; ++I) FX[C][I] = Data.Data()[C][Rows[I]];
      FCols[C] = FX[C].data();
    }
    FRowMin.assign(FM, Inf);
    FPartner.assign(FM, -1);
    FBuf.resize(FM);
    FQ.resize(FP);
    for (size_t K = 0; K < FM; ++K) Rescan(K);
  }

  size_t Count() const { return FM; }
  double Value(size_t C, size_t I) const { return FX[C][I]; }

  // Merges the closest pair (the first in position order among equals).
  void MergeClosest() {
    const double G = math2_detail::Minimum(FRowMin.data(), FM);
    size_t A = 0;
    while (!(FPartner[A] >= 0 && (FRowMin[A] == G || !(G < Inf)))) ++A;
    const auto B = size_t(FPartner[A]);
    const size_t L = FM - 1;
    const double Wa = FW[A], Wb = FW[B];
    for (size_t C = 0; C < FP; ++C) FX[C][A] = (Wa * FX[C][A] + Wb * FX[C][B]) / (Wa + Wb);
    FW[A] = Wa + Wb;
    if (B != L) {
      for (size_t C = 0; C < FP; ++C) FX[C][B] = FX[C][L];
      FW[B] = FW[L];
    }
    FM = L;
    FRowMin.resize(FM);
    FPartner.resize(FM);

    // Rows before B may have A, B or L as nearest; the others learn the new distances.
    std::vector<double> ToA(A), ToB(B < FM ? B : 0);
    Distances(A, 0, A, ToA.data());
    if (B < FM) Distances(B, 0, B, ToB.data());
    for (size_t K = 0; K < FM; ++K) {
      if (K == A || K == B) continue;
      const auto P = FPartner[K];
      const bool Stale = P == int64_t(A) || P == int64_t(B) || P == int64_t(L);
      if (Stale) {
        Rescan(K);
        continue;
      }
      if (K < A) Offer(K, A, ToA[K]);
      if (K < B && B < FM) Offer(K, B, ToB[K]);
    }
    Rescan(A);
    if (B < FM) Rescan(B);
  }

 private:
  // Out[r] := squared distance of position Of to positions From..From+N-1.
  void Distances(size_t Of, size_t From, size_t N, double* Out) {
    if (N == 0) return;
    for (size_t C = 0; C < FP; ++C) FQ[C] = FX[C][Of];
    RowDistances(kernels::rdEuclidSqr, FCols, FQ.data(), From, N, Out);
  }

  void Offer(size_t K, size_t J, double D) {
    if (D < FRowMin[K] || (D == FRowMin[K] && int64_t(J) < FPartner[K])) {
      FRowMin[K] = D;
      FPartner[K] = int64_t(J);
    }
  }

  void Rescan(size_t K) {
    FRowMin[K] = Inf;
    FPartner[K] = -1;
    if (K + 1 >= FM) return;
    const size_t N = FM - K - 1;
    Distances(K, K + 1, N, FBuf.data());
    const double Min = math2_detail::Minimum(FBuf.data(), N);
    size_t J = 0;
    while (FBuf[J] != Min && Min < Inf) ++J;
    FRowMin[K] = FBuf[J];
    FPartner[K] = int64_t(K + 1 + J);
  }

  size_t FP, FM = 0;
  TDouble2DArray FX;  // [column][position]
  std::vector<const double*> FCols;
  TDoubleArray FW;
  std::vector<double> FRowMin;
  std::vector<int64_t> FPartner;
  std::vector<double> FBuf, FQ;
};

}  // namespace

int32_t FindCenters(const TMatrix& Data, int32_t LoRow, int32_t HiRow, int32_t NCenters,
                    TMatrix& Centers, double& MeanDist) {
  MeanDist = NaN;
  if (NCenters < 1 || Data.NrOfRows() < 1) return 0;
  Data.MakeValidRowRange(LoRow, HiRow);
  return RaiseOnNoMemory("FindCenters", [&] {
    TCentreReducer Reducer(Data, size_t(LoRow - 1), size_t(HiRow - 1));
    while (Reducer.Count() > size_t(NCenters)) {
      MathFeedBack(1.0);
      Reducer.MergeClosest();
    }
    const size_t M = Reducer.Count(), P = size_t(Data.NrOfColumns());

    TDouble2DArray Block = Centers.ToStdVector();
    for (size_t C = 0; C < Block.size(); ++C)
      for (size_t I = 0; I < size_t(NCenters) && I < Block[C].size(); ++I)
        Block[C][I] = I >= M ? NaN : C < P ? Reducer.Value(C, I) : 0.0;
    Centers.SetValues(Block);

    if (M >= 2) {
      double Sum = 0.0;
      for (size_t I = 0; I < M; ++I) {
        double Nearest = Inf;
        for (size_t J = 0; J < M; ++J) {
          if (J == I) continue;
          double D2 = 0.0;
          for (size_t C = 0; C < P; ++C) {
            const double D = Reducer.Value(C, I) - Reducer.Value(C, J);
            D2 += D * D;
          }
          Nearest = std::min(Nearest, D2);
        }
        Sum += std::sqrt(Nearest);
      }
      MeanDist = Sum / static_cast<double>(M);
    }
    return static_cast<int32_t>(M);
  });
}

}  // namespace nux
