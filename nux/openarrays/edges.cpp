#include "nux/openarrays/edges.h"

#include <cmath>
#include <limits>

#include "nux/frame/moments.h"
#include "nux/openarrays/regions_util.h"

namespace nux {
namespace {

template <class T>
int32_t Profile(const std::vector<std::vector<T>>& A, int32_t Orientation, int32_t Op,
                const TIntArray& Positions, TDoubleArray& Out) {
  int32_t Cols = 0, Rows = 0;
  if (!regions_detail::RectangularExtents(A, Cols, Rows)) return -1;
  if (Op < eoMin || Op > eoStdDev) return -3;
  const bool PerRow = Orientation == orRows;
  const int32_t Lines = PerRow ? Rows : Cols;   // one result per line
  const int32_t Across = PerRow ? Cols : Rows;  // positions along a line
  int32_t Result = 0;
  TIntArray Used;
  if (Positions.empty()) {
    Used.resize(static_cast<size_t>(Across));
    for (int32_t K = 0; K < Across; ++K) Used[K] = K;
  } else {
    for (const int32_t P : Positions) {
      if (P >= 0 && P < Across)
        Used.push_back(P);
      else
        Result = -2;
    }
  }
  const int64_t N = static_cast<int64_t>(Used.size());
  constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
  TDoubleArray Values(static_cast<size_t>(Lines));
  for (int32_t L = 0; L < Lines; ++L) {
    const auto At = [&](int64_t K) {
      const int32_t P = Used[static_cast<size_t>(K)];
      return static_cast<double>(PerRow ? A[P][L] : A[L][P]);
    };
    double V = 0.0;
    switch (Op) {
      case eoMin:
      case eoMax: {
        if (N == 0) {
          V = NaN;
          break;
        }
        V = Op == eoMin ? std::numeric_limits<double>::max() : -std::numeric_limits<double>::max();
        for (int64_t K = 0; K < N; ++K) {
          const double X = At(K);
          if (Op == eoMin ? X < V : X > V) V = X;
        }
        break;
      }
      case eoSum:
        for (int64_t K = 0; K < N; ++K) V += At(K);
        break;
      case eoMean:
        V = N == 0 ? NaN : StableMean(N, At);
        break;
      default:
        // Deviations from the mean, not raw power sums: data on a large offset keep their digits.
        V = N < 3 ? 0.0 : std::sqrt(CentralSums(N, At).S2 / static_cast<double>(N - 1));
        break;
    }
    Values[static_cast<size_t>(L)] = V;
  }
  Out = std::move(Values);
  return Result;
}

}  // namespace

int32_t EdgeVector(const TDouble2DArray& A, int32_t Orientation, int32_t Op, TDoubleArray& Out) {
  return Profile(A, Orientation, Op, TIntArray(), Out);
}
int32_t EdgeVector(const TDouble2DArray& A, int32_t Orientation, int32_t Op,
                   const TIntArray& Positions, TDoubleArray& Out) {
  return Profile(A, Orientation, Op, Positions, Out);
}
int32_t EdgeVector(const TInt2DArray& A, int32_t Orientation, int32_t Op, TDoubleArray& Out) {
  return Profile(A, Orientation, Op, TIntArray(), Out);
}
int32_t EdgeVector(const TInt2DArray& A, int32_t Orientation, int32_t Op,
                   const TIntArray& Positions, TDoubleArray& Out) {
  return Profile(A, Orientation, Op, Positions, Out);
}

}  // namespace nux
