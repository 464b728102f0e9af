// Helpers shared by the clustering and nearest-neighbour sources of unit math2 only.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "nux/frame/errors.h"
#include "nux/frame/types.h"
#include "nux/frame/univconst.h"
#include "nux/kernels/distance.h"
#include "nux/math2/cluster.h"
#include "nux/matrix/matrix.h"

namespace nux::math2_detail {

// Runs Work; exhausted memory inside it becomes ENUXMath2Error "<Routine>: not enough memory".
template <class F>
auto RaiseOnNoMemory(const char* Routine, F&& Work) {
  try {
    return Work();
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  throw ENUXMath2Error(std::string(Routine) + ": not enough memory");
}

// Pointers to the first NCols columns of Data; columns beyond Data are null (read as zeros).
std::vector<const double*> ColumnPointers(const TMatrix& Data, size_t NCols);

// Out[r] := distance (kernels::RowDistancesBody) of row R0 + r of Cols to Q, r < N, on the
// active instruction-set path.
void RowDistances(kernels::TRowDistance Kind, const std::vector<const double*>& Cols,
                  const double* Q, size_t R0, size_t N, double* Out);
// Best[r] := 0-based nearest of the K centres (kernels::NearestCentreBody) for rows R0..R0+N-1.
void NearestCentres(const std::vector<const double*>& Cols, const double* Centres, size_t K,
                    size_t R0, size_t N, int32_t* Best);
// The smallest of X[0..N) (+inf for none), NaN passed over.
double Minimum(const double* X, size_t N);

// True when every value of row R (0-based) in the columns is finite.
inline bool RowIsFinite(const TMatrix& Data, size_t R) {
  for (const auto& Column : Data.Data())
    if (!std::isfinite(Column[R])) return false;
  return true;
}

// A merge list of an agglomerative clustering of N objects: merge s (0-based) joins clusters
// Left[s] and Right[s] (ids: leaves 1..N, merge s makes N + s + 1) at distance Height[s];
// Position holds the dendrogram places of the 2N - 1 ids (leaves 1..N, merges their mean).
struct TAgglomResult {
  TIntArray Left, Right;
  TDoubleArray Height;
  TDoubleArray Position;
};

// Results of AgglomerateCore (AgglomClustering returns them).
inline constexpr int32_t agOK = 0;
inline constexpr int32_t agAborted = -1;
inline constexpr int32_t agTooFew = -2;
inline constexpr int32_t agNaNDistance = -3;
inline constexpr int32_t agBadMode = -4;

// The clustering behind AgglomClustering, filling R on success (agOK).
int32_t AgglomerateCore(TObject* Sender, const TMatrix& Data, TDistMode DistMode,
                        TClusterMethod Method, double FlexAlpha,
                        const TClusterFeedBackProc& FeedBack,
                        const TOnCalcDistanceEvent& OnCalcDist, TAgglomResult& R);

// Keeps the Capacity nearest candidates in ascending distance, as ordered insertion does with
// duplicates allowed: an equal distance goes in front of those already there, so among equal
// distances the later candidate ranks first. NaN and infinite distances never enter.
class TNearestList {
 public:
  // Capacity >= 1.
  explicit TNearestList(size_t Capacity) : FDist(Capacity, uc_MaxReal), FRow(Capacity, 0) {}
  // Offers Row at distance D.
  void Offer(double D, int32_t Row) {
    const size_t N = FDist.size();
    if (N == 0 || !(D <= FDist[N - 1])) return;
    size_t I = N - 1;
    while (I > 0 && FDist[I - 1] >= D) {
      FDist[I] = FDist[I - 1];
      FRow[I] = FRow[I - 1];
      --I;
    }
    FDist[I] = D;
    FRow[I] = Row;
    if (FFound < N) ++FFound;
  }
  // Offers rows From, From + 1, ... at the square roots of D2[0..N). A square clearly above
  // the largest distance admitted is passed over without its root: the root is monotonic and
  // correctly rounded, so the result is the same as offering every root.
  void OfferSquares(const double* D2, size_t N, int32_t From) {
    double Cut = CutFor(FDist.back());
    size_t T = 0;
    for (; T < N; ++T) {
      if ((T & 7) == 0 && T + 8 <= N) {  // most blocks of eight hold no candidate
        bool Any = false;
        for (size_t J = 0; J < 8; ++J) Any |= D2[T + J] <= Cut;
        if (!Any) {
          T += 7;
          continue;
        }
      }
      if (!(D2[T] <= Cut)) continue;  // NaN would not enter either
      Offer(std::sqrt(D2[T]), From + static_cast<int32_t>(T));
      Cut = CutFor(FDist.back());
    }
  }
  // Number of slots filled.
  size_t Found() const { return FFound; }
  // Distance and row of slot I (0-based).
  double Dist(size_t I) const { return FDist[I]; }
  int32_t Row(size_t I) const { return FRow[I]; }

 private:
  // Squares above this have roots above Bound (no cut where Bound^2 would lose precision).
  static double CutFor(double Bound) {
    return Bound >= 1e-150 ? Bound * Bound * (1.0 + 1e-12) : INFINITY;
  }

  std::vector<double> FDist;
  std::vector<int32_t> FRow;
  size_t FFound = 0;
};

}  // namespace nux::math2_detail
