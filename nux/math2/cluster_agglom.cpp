// Agglomerative clustering by the Lance-Williams updates, and the dendrogram's leaf order.
//
// Each step merges the active pair (i < j) with the smallest distance, the first pair in
// row-then-column order among equals. Instead of scanning all pairs per step, every row keeps
// the smallest distance to an active later slot and the first slot holding it; a merge only
// rescans the rows whose minimum it may have raised. The pairs chosen are exactly those of the
// full scan, at O(n^2) cost for the usual linkage rules.
#include <sys/mman.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "nux/frame/progress.h"
#include "nux/math2/cluster_impl.h"

namespace nux::math2_detail {

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
// Slots ahead whose distances the merge loop requests early.
constexpr size_t PrefetchDistance = 48;

// Distances of pairs i < j (0-based), row i holding j = i + 1 .. n - 1 one after another. A
// large table asks for transparent huge pages: a merge touches a different row for nearly every
// slot, and with small pages almost each of those accesses would also miss the TLB.
class TPackedDistances {
 public:
  explicit TPackedDistances(size_t N) : FN(N), FSize(N * (N - 1) / 2) {
    constexpr size_t Huge = size_t(2) << 20;
    const size_t Bytes = std::max<size_t>(FSize, 1) * sizeof(double);
    if (Bytes >= Huge) {
      const size_t Rounded = (Bytes + Huge - 1) / Huge * Huge;
      FD.reset(static_cast<double*>(std::aligned_alloc(Huge, Rounded)));
#ifdef MADV_HUGEPAGE
      if (FD) madvise(FD.get(), Rounded, MADV_HUGEPAGE);  // a mere hint: failure is harmless
#endif
    } else {
      FD.reset(static_cast<double*>(std::malloc(Bytes)));
    }
    if (!FD) throw std::bad_alloc();
  }
  // Row I's first pair, (I, I + 1).
  double* Row(size_t I) { return FD.get() + I * (2 * FN - I - 1) / 2; }
  double& At(size_t I, size_t J) { return I < J ? Row(I)[J - I - 1] : Row(J)[I - J - 1]; }
  double* begin() { return FD.get(); }
  double* end() { return FD.get() + FSize; }

 private:
  struct TFree {
    void operator()(double* P) const { std::free(P); }
  };
  size_t FN, FSize;
  std::unique_ptr<double[], TFree> FD;
};

// Fills the pair distances; false for an unknown mode or dmUser without a handler.
bool FillDistances(const TMatrix& Data, TDistMode Mode, const TOnCalcDistanceEvent& User,
                   TPackedDistances& D) {
  const auto N = static_cast<size_t>(Data.NrOfRows());
  if (Mode == dmUser) {
    if (!User) return false;
    auto* Sender = const_cast<TMatrix*>(&Data);  // the handler's Sender is mutable
    for (size_t I = 0; I + 1 < N; ++I)
      for (size_t J = I + 1; J < N; ++J) {
        double Distance = 0.0;
        User(Sender, static_cast<int32_t>(I + 1), static_cast<int32_t>(J + 1), Distance);
        D.Row(I)[J - I - 1] = Distance;
      }
    return true;
  }
  if (Mode < dmTanimoto || Mode > dmDice) return false;
  const auto Kind = static_cast<kernels::TRowDistance>(Mode);
  const auto P = static_cast<size_t>(Data.NrOfColumns());
  const std::vector<const double*> Cols = ColumnPointers(Data, P);
  std::vector<double> Q(P);
  for (size_t I = 0; I + 1 < N; ++I) {
    for (size_t C = 0; C < P; ++C) Q[C] = Cols[C][I];
    RowDistances(Kind, Cols, Q.data(), I + 1, N - I - 1, D.Row(I));
  }
  // Similarities grow as objects get closer: merging works on 1 - similarity.
  if (Mode == dmTanimoto || Mode == dmDice)
    for (double& X : D) X = 1.0 - X;
  return true;
}

// The Lance-Williams update: the distance of cluster k to the merger of i and j.
double Updated(TClusterMethod Method, double Alpha, double Dik, double Djk, double Dij, double Ni,
               double Nj, double Nk) {
  switch (Method) {
    case cmSingleLink:
      return std::min(Dik, Djk);
    case cmCompleteLink:
      return std::max(Dik, Djk);
    case cmWard:
      return ((Nk + Ni) * Dik + (Nk + Nj) * Djk - Nk * Dij) / (Nk + Ni + Nj);
    case cmAvgLink:
      return (Dik + Djk) / 2.0;
    case cmFlexLink:
      return Alpha * (Dik + Djk) + (1.0 - 2.0 * Alpha) * Dij;
    case cmUpgma:
      return Ni / (Ni + Nj) * Dik + Nj / (Ni + Nj) * Djk;
  }
  return Dik;
}

// The merging state: active slots, their cluster ids and sizes, and per row the smallest
// distance to an active later slot (RowMin) and the first such slot (Partner, -1: none).
class TMerger {
 public:
  TMerger(TPackedDistances& D, size_t N)
      : FD(D), FN(N), FActive(N, 1), FSize(N, 1.0), FRowMin(N, Inf), FPartner(N, -1) {
    for (size_t I = 0; I < N; ++I) Rescan(I);
  }

  // The pair to merge next: the first row holding the smallest row minimum.
  void NextPair(size_t& I, size_t& J) const {
    const double G = Minimum(FRowMin.data(), FN);
    for (size_t K = 0; K < FN; ++K)
      if (FPartner[K] >= 0 && (FRowMin[K] == G || !(G < Inf))) {
        I = K;
        J = size_t(FPartner[K]);
        return;
      }
  }

  // Merges slot I into slot J (I < J): J holds the merged cluster, I is retired.
  void Merge(size_t I, size_t J, TClusterMethod Method, double Alpha) {
    const double Dij = FD.At(I, J), Ni = FSize[I], Nj = FSize[J];
    FActive[I] = 0;
    FRowMin[I] = Inf;
    FPartner[I] = -1;
    FStale.clear();
    for (size_t K = 0; K < FN; ++K) {
      // Most pairs touched here lie in different rows of a matrix far larger than the caches;
      // fetching them ahead overlaps the misses.
      if (const size_t Ahead = K + PrefetchDistance; Ahead < FN && Ahead != I && Ahead != J) {
        __builtin_prefetch(&FD.At(Ahead, I), 1);
        __builtin_prefetch(&FD.At(Ahead, J), 1);
      }
      if (!FActive[K] || K == J) continue;
      double& Dik = FD.At(K, I);
      double& Djk = FD.At(K, J);
      double New = Updated(Method, Alpha, Dik, Djk, Dij, Ni, Nj, FSize[K]);
      if (std::isnan(New)) New = Inf;  // e.g. inf - inf: as far as can be
      Djk = New;
      if (K < I) Dik = Inf;  // retired slots never win a rescan
      if (K > J) continue;
      const auto P = FPartner[K];
      if (P == static_cast<int64_t>(I) || P == static_cast<int64_t>(J))
        FStale.push_back(K);
      else if (New < FRowMin[K] || (New == FRowMin[K] && static_cast<int64_t>(J) < P)) {
        FRowMin[K] = New;
        FPartner[K] = static_cast<int64_t>(J);
      }
    }
    FSize[J] = Ni + Nj;
    Rescan(J);
    for (const size_t K : FStale) Rescan(K);
  }

 private:
  // RowMin and Partner of row K from its distances to the active later slots.
  void Rescan(size_t K) {
    FRowMin[K] = Inf;
    FPartner[K] = -1;
    if (!FActive[K] || K + 1 >= FN) return;
    const double* Row = FD.Row(K);  // Row[J - K - 1] is pair (K, J)
    const double Min = Minimum(Row, FN - K - 1);
    for (size_t J = K + 1; J < FN; ++J)
      if (FActive[J] && (Row[J - K - 1] == Min || !(Min < Inf))) {
        FRowMin[K] = Row[J - K - 1];
        FPartner[K] = static_cast<int64_t>(J);
        return;
      }
  }

  TPackedDistances& FD;
  size_t FN;
  std::vector<char> FActive;
  std::vector<double> FSize;
  std::vector<double> FRowMin;
  std::vector<int64_t> FPartner;
  std::vector<size_t> FStale;
};

// Leaf places and the mean places of the merges: the last merge's first member, then its second;
// below it, every merge lists its second member before its first.
TDoubleArray DendrogramPositions(const TIntArray& Left, const TIntArray& Right, size_t N) {
  TDoubleArray Position(2 * N - 1, 0.0);
  std::vector<int32_t> Stack{Right.back(), Left.back()};
  double Place = 0.0;
  while (!Stack.empty()) {
    const int32_t Id = Stack.back();
    Stack.pop_back();
    if (Id <= static_cast<int32_t>(N)) {
      Position[size_t(Id - 1)] = ++Place;
      continue;
    }
    const auto S = size_t(Id) - N - 1;
    Stack.push_back(Left[S]);
    Stack.push_back(Right[S]);
  }
  for (size_t S = 0; S + 1 < N; ++S)
    Position[N + S] = (Position[size_t(Left[S] - 1)] + Position[size_t(Right[S] - 1)]) / 2.0;
  return Position;
}

}  // namespace

int32_t AgglomerateCore(TObject* Sender, const TMatrix& Data, TDistMode DistMode,
                        TClusterMethod Method, double FlexAlpha,
                        const TClusterFeedBackProc& FeedBack,
                        const TOnCalcDistanceEvent& OnCalcDist, TAgglomResult& R) {
  const auto N = static_cast<size_t>(Data.NrOfRows());
  if (Method < cmSingleLink || Method > cmUpgma) return agBadMode;
  if (N < 2) return agTooFew;
  return RaiseOnNoMemory("AgglomClustering", [&] {
    if (FeedBack) FeedBack(Sender, ProcStat, 0.0);
    TPackedDistances D(N);
    if (!FillDistances(Data, DistMode, OnCalcDist ? OnCalcDist : Data.OnCalcDistance, D))
      return agBadMode;
    for (const double X : D)
      if (std::isnan(X)) return agNaNDistance;

    TAgglomResult Out;
    Out.Left.resize(N - 1);
    Out.Right.resize(N - 1);
    Out.Height.resize(N - 1);
    std::vector<int32_t> Ids(N);
    for (size_t I = 0; I < N; ++I) Ids[I] = static_cast<int32_t>(I + 1);
    TMerger Merger(D, N);
    BeginAbortable();
    for (size_t S = 0; S + 1 < N; ++S) {
      if (AbortMathProc) return agAborted;
      ProcStat += 1.0;
      if (FeedBack)
        FeedBack(Sender, ProcStat, 100.0 * static_cast<double>(S + 1) / static_cast<double>(N));
      size_t I = 0, J = 1;
      Merger.NextPair(I, J);
      Out.Left[S] = Ids[I];
      Out.Right[S] = Ids[J];
      Out.Height[S] = D.At(I, J);
      Merger.Merge(I, J, Method, FlexAlpha);
      Ids[J] = static_cast<int32_t>(N + S + 1);
    }
    Out.Position = DendrogramPositions(Out.Left, Out.Right, N);
    R = std::move(Out);
    return agOK;
  });
}

}  // namespace nux::math2_detail

namespace nux {

int32_t AgglomClustering(TObject* Sender, const TMatrix& Data, TDistMode DistMode,
                         TClusterMethod Method, double FlexAlpha, TIntMatrix& Dendrogram,
                         TVector& MergeDist, TVector& Position,
                         const TClusterFeedBackProc& FeedBack,
                         const TOnCalcDistanceEvent& OnCalcDist) {
  using namespace math2_detail;
  TAgglomResult R;
  const int32_t Result =
      AgglomerateCore(Sender, Data, DistMode, Method, FlexAlpha, FeedBack, OnCalcDist, R);
  const int32_t N = Data.NrOfRows();
  if (Result == agAborted) {
    Dendrogram.Resize(3, N - 1);
    Dendrogram.Fill(0);
    MergeDist.Resize(N - 1);
    MergeDist.Clear();
    Position.Resize(2 * N - 1);
    Position.Clear();
  }
  if (Result != agOK) return Result;
  RaiseOnNoMemory("AgglomClustering", [&] {
    TIntArray NewIds(R.Left.size());
    for (size_t S = 0; S < NewIds.size(); ++S) NewIds[S] = N + static_cast<int32_t>(S) + 1;
    Dendrogram.SetValues(TInt2DArray{R.Left, R.Right, NewIds});
    MergeDist.SetValues(R.Height);
    Position.SetValues(R.Position);
    return 0;
  });
  return agOK;
}

}  // namespace nux
