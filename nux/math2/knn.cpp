// Nearest-neighbour search, mean distances to the nearest neighbours, and k-nearest-neighbour
// estimation.
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "nux/math2/cluster_impl.h"
#include "nux/math2/math2_impl.h"

namespace nux {

using math2_detail::ColumnPointers;
using math2_detail::RaiseOnNoMemory;
using math2_detail::RowDistances;
using math2_detail::TNearestList;

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr int32_t MaxNeighbors = 100;
constexpr int32_t MaxMeanDistNeighbors = 50;
// Rows whose distances are formed per kernel call.
constexpr size_t RowBlock = 4096;

// The nearest rows Lo..Hi (1-based, valid) to Query (Euclidean over Query's elements) or by
// DistFunc, in List.
void Search(const TMatrix& Data, int32_t Lo, int32_t Hi, const TDoubleArray& Query,
            const TCalcDistFunc& DistFunc, TNearestList& List) {
  if (DistFunc) {
    for (int32_t R = Lo; R <= Hi; ++R) List.Offer(DistFunc(R), R);
    return;
  }
  const std::vector<const double*> Cols = ColumnPointers(Data, Query.size());
  const size_t Count = size_t(Hi - Lo + 1);
  std::vector<double> D(std::min(Count, RowBlock));
  for (size_t B0 = 0; B0 < Count; B0 += RowBlock) {
    const size_t N = std::min(RowBlock, Count - B0);
    RowDistances(kernels::rdEuclidSqr, Cols, Query.data(), size_t(Lo - 1) + B0, N, D.data());
    List.OfferSquares(D.data(), N, Lo + static_cast<int32_t>(B0));
  }
}

// k clipped to 1..Limit and to the rows Lo..Hi; 0 when k < 1 is to be kept.
int32_t ClipK(int32_t k, int32_t Limit, int32_t Lo, int32_t Hi) {
  return std::min({k, Limit, Hi - Lo + 1});
}

// Median of Y (NaN left out; NaN when nothing is left).
double Median(const std::vector<double>& Y) {
  TVector V(static_cast<int32_t>(Y.size()));
  V.SetValues(Y);
  double Q1 = 0.0, Q2 = 0.0, Q3 = 0.0;
  return V.Quartiles(1, V.NrOfElem(), Q1, Q2, Q3) ? Q2 : NaN;
}

// A least-squares quadratic in the coordinates relative to the query (terms 1, u_v, u_v^2,
// u_v u_w for v < w) through the neighbours: its constant is the value at the query. 0 when
// the fit fails.
double LocalQuadratic(const TMatrix& Data, const TDoubleArray& Query, const TNearestList& List,
                      const std::vector<double>& Y) {
  const size_t K = List.Found(), P = Query.size();
  std::vector<TDoubleArray> U(P, TDoubleArray(K));
  for (size_t V = 0; V < P; ++V)
    for (size_t I = 0; I < K; ++I)
      U[V][I] = Data.GetVal(static_cast<int32_t>(V + 1), List.Row(I)) - Query[V];
  std::vector<TDoubleArray> Terms;
  Terms.emplace_back(K, 1.0);
  for (size_t V = 0; V < P; ++V) Terms.push_back(U[V]);
  for (size_t V = 0; V < P; ++V) {
    Terms.emplace_back(K);
    for (size_t I = 0; I < K; ++I) Terms.back()[I] = U[V][I] * U[V][I];
  }
  for (size_t V = 0; V < P; ++V)
    for (size_t W = V + 1; W < P; ++W) {
      Terms.emplace_back(K);
      for (size_t I = 0; I < K; ++I) Terms.back()[I] = U[V][I] * U[W][I];
    }
  std::vector<const double*> Cols;
  for (const auto& T : Terms) Cols.push_back(T.data());
  math2_detail::TLsq L;
  if (!math2_detail::LsqFactor(Cols, K, Y.data(), true, L)) return 0.0;
  bool NearSingular = false;
  const TDoubleArray B = math2_detail::LsqSolve(L, 0.0, NearSingular, nullptr);
  return std::isfinite(B[0]) ? B[0] : 0.0;
}

}  // namespace

int32_t FindNearestNeighbors(int32_t k, const TMatrix& Data, int32_t FirstRow, int32_t LastRow,
                             const TVector& Query, TMatrix& NNList, const TCalcDistFunc& DistFunc) {
  if (Data.NrOfRows() < 1) return 0;
  Data.MakeValidRowRange(FirstRow, LastRow);
  k = ClipK(k, MaxNeighbors, FirstRow, LastRow);
  if (k < 1) return 0;
  return RaiseOnNoMemory("FindNearestNeighbors", [&] {
    TNearestList List{size_t(k)};
    Search(Data, FirstRow, LastRow, Query.Data(), DistFunc, List);
    for (int32_t I = 1; I <= k; ++I) {
      NNList.SetVal(1, I, List.Row(size_t(I - 1)));
      NNList.SetVal(2, I, List.Dist(size_t(I - 1)));
    }
    return static_cast<int32_t>(List.Found());
  });
}

void MeanDistanceKNN(const TMatrix& Data, int32_t k, int32_t FirstRow, int32_t LastRow,
                     TVector& MeanDist) {
  if (Data.NrOfRows() < 1) return;
  Data.MakeValidRowRange(FirstRow, LastRow);
  k = std::max(ClipK(k, MaxMeanDistNeighbors, FirstRow, LastRow), 1);
  RaiseOnNoMemory("MeanDistanceKNN", [&] {
    const auto P = size_t(Data.NrOfColumns());
    const std::vector<const double*> Cols = ColumnPointers(Data, P);
    TDoubleArray Result(size_t(Data.NrOfRows()), NaN), Q(P);
    const size_t Count = size_t(LastRow - FirstRow + 1);
    std::vector<double> D(Count);
    for (int32_t R = FirstRow; R <= LastRow; ++R) {
      for (size_t C = 0; C < P; ++C) Q[C] = Cols[C][size_t(R - 1)];
      RowDistances(kernels::rdEuclidSqr, Cols, Q.data(), size_t(FirstRow - 1), Count, D.data());
      TNearestList List{size_t(k)};
      List.OfferSquares(D.data(), Count, FirstRow);
      if (List.Found() == 0) continue;
      double Sum = 0.0;
      for (size_t I = 0; I < List.Found(); ++I) Sum += List.Dist(I);
      Result[size_t(R - 1)] = Sum / static_cast<double>(List.Found());
    }
    MeanDist.SetValues(Result);
    return 0;
  });
}

void EstimateByKNN(const TMatrix& Data, const TVector& Targets, int32_t k, TKnnWMode WMode,
                   double KernelWidth, const TVector& Query, double& Estimate, double& MeanDist) {
  Estimate = MeanDist = NaN;
  int32_t Lo = 1, Hi = Data.NrOfRows();
  k = std::max(ClipK(k, MaxNeighbors, Lo, Hi), 1);
  RaiseOnNoMemory("EstimateByKNN", [&] {
    TNearestList List{size_t(k)};
    Search(Data, Lo, Hi, Query.Data(), {}, List);
    const size_t F = List.Found();
    if (F == 0) return 0;
    std::vector<double> Y(F);
    double SumD = 0.0;
    for (size_t I = 0; I < F; ++I) {
      Y[I] = Targets.GetVal(List.Row(I));
      SumD += List.Dist(I);
    }
    MeanDist = SumD / static_cast<double>(F);
    const double M = MeanDist == 0.0 ? 0.001 : MeanDist;
    const auto Weighted = [&](auto&& Weight) {
      double Sw = 0.0, Swy = 0.0;
      for (size_t I = 0; I < F; ++I) {
        const double W = Weight(I);
        if (!(W > 0.0)) continue;
        Sw += W;
        Swy += W * Y[I];
      }
      return Sw > 0.0 ? Swy / Sw : 0.0;
    };
    switch (WMode) {
      case kwmGauss: {
        const auto Exponent = [&](size_t I) {
          const double T = KernelWidth * List.Dist(I) / M;
          return -(T * T);
        };
        double Sw = 0.0;
        for (size_t I = 0; I < F; ++I) Sw += std::exp(Exponent(I));
        // Far neighbours and a wide kernel underflow every weight: relative to the nearest
        // neighbour's weight they stay representable, and the weighted mean is the same.
        const double Shift = Sw > 0.0 ? 0.0 : Exponent(0);
        double Swy = 0.0;
        Sw = 0.0;
        for (size_t I = 0; I < F; ++I) {
          const double W = std::exp(Exponent(I) - Shift);
          Sw += W;
          Swy += W * Y[I];
        }
        Estimate = Swy / Sw;
        break;
      }
      case kwmAverage: {
        double S = 0.0;
        for (const double X : Y) S += X;
        Estimate = S / static_cast<double>(F);
        break;
      }
      case kwmMedian:
        Estimate = Median(Y);
        break;
      case kwmLinear:
        Estimate = Weighted([&](size_t I) { return 1.0 - List.Dist(I) / M / KernelWidth; });
        break;
      case kwmBiQuad:
        Estimate = LocalQuadratic(Data, Query.Data(), List, Y);
        break;
    }
    return 0;
  });
}

}  // namespace nux
