// k-means clustering (Lloyd's iteration) and its run-time estimate.
#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "nux/frame/combsort.h"
#include "nux/frame/progress.h"
#include "nux/frame/rounding.h"
#include "nux/host/random.h"
#include "nux/math2/cluster_impl.h"

namespace nux {

using math2_detail::ColumnPointers;
using math2_detail::NearestCentres;
using math2_detail::RaiseOnNoMemory;
using math2_detail::RowIsFinite;

namespace {

constexpr int32_t MaxKMeansIterations = 1000;

// The rows that take part (all values finite) and their columns: Data's own storage when every
// row qualifies, else a compacted copy.
struct TUsableRows {
  std::vector<int32_t> Rows;  // 0-based rows of Data
  TDouble2DArray Copy;        // compacted columns, empty when Data is used directly
  std::vector<const double*> Cols;

  explicit TUsableRows(const TMatrix& Data) {
    const auto Nr = static_cast<size_t>(Data.NrOfRows());
    for (size_t R = 0; R < Nr; ++R)
      if (RowIsFinite(Data, R)) Rows.push_back(static_cast<int32_t>(R));
    const auto Nc = static_cast<size_t>(Data.NrOfColumns());
    if (Rows.size() == Nr) {
      Cols = ColumnPointers(Data, Nc);
      return;
    }
    Copy.assign(Nc, TDoubleArray(Rows.size()));
    for (size_t C = 0; C < Nc; ++C) {
      for (size_t M = 0; M < Rows.size(); ++M) Copy[C][M] = Data.Data()[C][size_t(Rows[M])];
      Cols.push_back(Copy[C].data());
    }
  }
};

// Centres (K x P, row-major) := means of the objects of each cluster, summed in row order; a
// cluster without objects gets the zero vector. Sizes receives the counts.
void RecomputeCentres(const std::vector<const double*>& Cols, const std::vector<int32_t>& Cur,
                      size_t K, std::vector<double>& Centres, std::vector<int32_t>& Sizes) {
  const size_t P = Cols.size();
  std::fill(Centres.begin(), Centres.end(), 0.0);
  std::fill(Sizes.begin(), Sizes.end(), 0);
  for (size_t M = 0; M < Cur.size(); ++M) {
    double* Sum = Centres.data() + size_t(Cur[M]) * P;
    ++Sizes[size_t(Cur[M])];
    for (size_t C = 0; C < P; ++C) Sum[C] += Cols[C][M];
  }
  for (size_t Kc = 0; Kc < K; ++Kc)
    if (Sizes[Kc] > 0)
      for (size_t C = 0; C < P; ++C) Centres[Kc * P + C] /= static_cast<double>(Sizes[Kc]);
}

}  // namespace

double kMeansClustering(const TMatrix& Data, int32_t /*Unused1*/, int32_t /*Unused2*/,
                        int32_t NClust, int32_t Seed, TMatrix& Centers, TIntVector& Assign,
                        TIntVector& ClustSize) {
  if (NClust < 1) throw ENUXMath2Error("kMeansClustering: number of clusters is less than 1");
  const char* TooMany = "kMeansClustering: number of clusters is greater than number of objects";
  if (NClust > Data.NrOfRows()) throw ENUXMath2Error(TooMany);
  return RaiseOnNoMemory("kMeansClustering", [&] {
    const TUsableRows U(Data);
    const size_t M = U.Rows.size(), P = U.Cols.size(), K = size_t(NClust);
    if (K > M) throw ENUXMath2Error(TooMany);

    std::vector<double> Centres(K * P);
    for (size_t Kc = 0; Kc < K; ++Kc) {
      size_t Start = Kc;
      if (Seed >= 1) {
        if (Kc == 0) SetRandSeed(static_cast<uint64_t>(Seed));
        Start = size_t(RandomInt(static_cast<int32_t>(M)));
      }
      for (size_t C = 0; C < P; ++C) Centres[Kc * P + C] = U.Cols[C][Start];
    }
    // The previous assignment, 0-based; -1 where there is none.
    std::vector<int32_t> Prev(M, -1);
    if (Assign.NrOfElem() == Data.NrOfRows())
      for (size_t I = 0; I < M; ++I) Prev[I] = Assign.Data()[size_t(U.Rows[I])] - 1;

    std::vector<int32_t> Cur(M), Sizes(K);
    BeginAbortable();
    int32_t Iterations = 0;
    bool Changed = false;
    do {
      ++Iterations;
      MathFeedBack(1.0);
      NearestCentres(U.Cols, Centres.data(), K, 0, M, Cur.data());
      Changed = Cur != Prev;
      if (Changed) {
        RecomputeCentres(U.Cols, Cur, K, Centres, Sizes);
        Prev = Cur;
      }
    } while (Changed && Iterations <= MaxKMeansIterations && !AbortMathProc);
    const bool Aborted = Changed && AbortMathProc;
    // Also when the first round changed nothing (a reused Assign): the centres must belong to
    // the assignment returned, not be the start rows.
    RecomputeCentres(U.Cols, Cur, K, Centres, Sizes);

    double SumSq = 0.0;
    for (size_t I = 0; I < M; ++I) {
      double D2 = 0.0;
      for (size_t C = 0; C < P; ++C) {
        const double D = U.Cols[C][I] - Centres[size_t(Cur[I]) * P + C];
        D2 += D * D;
      }
      SumSq += D2;
    }

    // Clusters by size, largest first, with the library's comb sort.
    std::vector<int32_t> Order(K);
    std::iota(Order.begin(), Order.end(), 0);
    std::vector<int32_t> Sorted = Sizes;
    CombSort(
        0, int64_t(K) - 1,
        [&](int64_t A, int64_t B) { return Sorted[size_t(B)] > Sorted[size_t(A)]; },
        [&](int64_t A, int64_t B) {
          std::swap(Sorted[size_t(A)], Sorted[size_t(B)]);
          std::swap(Order[size_t(A)], Order[size_t(B)]);
        });
    std::vector<int32_t> NewNumber(K);
    for (size_t T = 0; T < K; ++T) NewNumber[size_t(Order[T])] = static_cast<int32_t>(T) + 1;

    TDouble2DArray CentreBlock(P, TDoubleArray(K));
    for (size_t T = 0; T < K; ++T)
      for (size_t C = 0; C < P; ++C) CentreBlock[C][T] = Centres[size_t(Order[T]) * P + C];
    TIntArray Assigned(size_t(Data.NrOfRows()), 0);
    for (size_t I = 0; I < M; ++I) Assigned[size_t(U.Rows[I])] = NewNumber[size_t(Cur[I])];
    Centers.SetValues(CentreBlock);
    Assign.SetValues(Assigned);
    ClustSize.SetValues(Sorted);
    if (Aborted) return -1.0;
    if (Changed) throw ENUXMath2Error("kMeansClustering: max. number of iterations exceeded");
    return SumSq;
  });
}

double kMeansClustering(const TMatrix& Data, int32_t Unused1, int32_t Unused2, int32_t NClust,
                        TMatrix& Centers, TIntVector& Assign) {
  TIntVector Sizes;
  return kMeansClustering(Data, Unused1, Unused2, NClust, 0, Centers, Assign, Sizes);
}

int32_t kMeansEstimatedSteps(int32_t a, int32_t b, int32_t c) {
  // Products in double: no integer overflow, and negative counts mean nothing here.
  const double A = std::max(a, 0), B = std::max(b, 0), C = std::max(c, 0);
  const double Steps = 0.18232 * std::sqrt(A * B) - 108.0 - 0.00092427 * A - 0.00017557 * A * C +
                       0.38775 * std::sqrt(A * C);
  return std::max(20, RoundToInt32(Steps));
}

}  // namespace nux
