// Distances of many rows of column-major data to one point, vectorised across the rows: each
// lane holds one row and adds its terms column after column, so a row's sum is formed in the
// same order as a plain loop over its columns, on every instruction set. Compile the bodies
// per path through TPathVariants (dispatch.h); the eight-lane vectors below become one, two or
// four registers depending on the path.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "nux/kernels/dispatch.h"

namespace nux::kernels {

// The distances of the row kernels; the ordinals are those of the library's distance modes.
enum TRowDistance : int32_t { rdTanimoto, rdCityBlock, rdEuclid, rdEuclidSqr, rdDice };

namespace distance_detail {

inline constexpr size_t Lanes = 8;
using TLanes = VecOf<Lanes>::V;
using TLaneBits [[gnu::vector_size(Lanes * sizeof(double))]] = int64_t;

[[gnu::always_inline]] inline void Load(TLanes& V, const double* P) {
  std::memcpy(&V, P, sizeof V);
}

[[gnu::always_inline]] inline void Store(double* P, const TLanes& V) {
  std::memcpy(P, &V, sizeof V);
}

// |V| lane by lane, by clearing the sign bit as fabs does.
[[gnu::always_inline]] inline void AbsInPlace(TLanes& V) {
  V = reinterpret_cast<TLanes>(reinterpret_cast<TLaneBits>(V) & INT64_MAX);
}

// The sums of one row: the similarities need four (|x - q|, xq, xx, qq), the others one.
template <int Kind>
inline constexpr bool IsSimilarity = Kind == rdTanimoto || Kind == rdDice;

// Adds the terms of NV * Lanes rows starting at R0 over all columns, column after column.
template <int Kind, size_t NV>
[[gnu::always_inline]] inline void VectorSums(const double* const* Cols, size_t NCols,
                                              const double* Q, size_t R0, TLanes* Acc, TLanes* XY,
                                              TLanes* XX, TLanes* YY) {
  for (size_t C = 0; C < NCols; ++C) {
    const double Y = Q[C];
    for (size_t V = 0; V < NV; ++V) {
      TLanes X = {};
      if (Cols[C] != nullptr) Load(X, Cols[C] + R0 + V * Lanes);
      TLanes D = X - Y;
      if constexpr (Kind == rdCityBlock || IsSimilarity<Kind>) {
        AbsInPlace(D);
        Acc[V] += D;
      } else {
        Acc[V] += D * D;
      }
      if constexpr (IsSimilarity<Kind>) {
        XY[V] += X * Y;
        XX[V] += X * X;
        YY[V] += Y * Y;
      }
    }
  }
}

// The same for the single row R0, in plain arithmetic.
template <int Kind>
[[gnu::always_inline]] inline void RowSums(const double* const* Cols, size_t NCols, const double* Q,
                                           size_t R0, double& Acc, double& XY, double& XX,
                                           double& YY) {
  for (size_t C = 0; C < NCols; ++C) {
    const double Y = Q[C];
    const double X = Cols[C] == nullptr ? 0.0 : Cols[C][R0];
    const double D = X - Y;
    if constexpr (Kind == rdCityBlock || IsSimilarity<Kind>)
      Acc += std::fabs(D);
    else
      Acc += D * D;
    if constexpr (IsSimilarity<Kind>) {
      XY += X * Y;
      XX += X * X;
      YY += Y * Y;
    }
  }
}

// The distance from a row's sums, as TMatrix::DistanceOfObjects forms it.
template <int Kind>
[[gnu::always_inline]] inline double Finish(double Acc, double XY, double XX, double YY) {
  if constexpr (Kind == rdEuclid) {
    return std::sqrt(Acc);
  } else if constexpr (IsSimilarity<Kind>) {
    const double Denom = Kind == rdTanimoto ? XX + YY - XY : XX + YY;
    const double Numer = Kind == rdTanimoto ? XY : 2.0 * XY;
    if (Denom == 0.0) return Acc == 0.0 ? 1.0 : 0.0;
    return Numer / Denom;
  } else {
    return Acc;
  }
}

}  // namespace distance_detail

// Out[r] := distance of row R0 + r (r < N) of the columns Cols[0..NCols) to the point Q
// (Q[c] is the point's value in column c). A null column pointer reads as zeros. The terms
// are those of TMatrix::DistanceOfObjects with the row as first and the point as second
// object: sum |x - q|, sum (x - q)^2 (its root for rdEuclid), and for the similarities
// sum xq / (sum x^2 + sum q^2 - sum xq) or 2 sum xq / (sum x^2 + sum q^2), 1 or 0 when the
// denominator is 0 (equal or different rows).
template <int Kind>
[[gnu::always_inline]] inline void RowDistancesBody(const double* const* Cols, size_t NCols,
                                                    const double* Q, size_t R0, size_t N,
                                                    double* __restrict Out) {
  using namespace distance_detail;
  // Four sums per row for the similarities: fewer rows per step keep them in registers.
  constexpr size_t NV = IsSimilarity<Kind> ? 1 : 4;
  constexpr size_t Chunk = NV * Lanes;
  size_t T0 = 0;
  for (; T0 + Chunk <= N; T0 += Chunk) {
    TLanes Acc[NV] = {}, XY[NV] = {}, XX[NV] = {}, YY[NV] = {};
    VectorSums<Kind, NV>(Cols, NCols, Q, R0 + T0, Acc, XY, XX, YY);
    if constexpr (Kind == rdEuclid || IsSimilarity<Kind>) {
      double A[Chunk], B[Chunk], C[Chunk], D[Chunk];
      for (size_t V = 0; V < NV; ++V) {
        Store(A + V * Lanes, Acc[V]);
        Store(B + V * Lanes, XY[V]);
        Store(C + V * Lanes, XX[V]);
        Store(D + V * Lanes, YY[V]);
      }
      for (size_t R = 0; R < Chunk; ++R) Out[T0 + R] = Finish<Kind>(A[R], B[R], C[R], D[R]);
    } else {
      for (size_t V = 0; V < NV; ++V) Store(Out + T0 + V * Lanes, Acc[V]);
    }
  }
  for (; T0 < N; ++T0) {  // the rows after the last full chunk
    double Acc = 0.0, XY = 0.0, XX = 0.0, YY = 0.0;
    RowSums<Kind>(Cols, NCols, Q, R0 + T0, Acc, XY, XX, YY);
    Out[T0] = Finish<Kind>(Acc, XY, XX, YY);
  }
}

// For rows R0..R0+N-1 of Cols[0..NCols): the 0-based number of the nearest of the K centres
// (centre k's value in column c at Centres[k * NCols + c]) by squared Euclidean distance, the
// lower number on ties, into Best[r]. Rows are expected finite; centres too.
[[gnu::always_inline]] inline void NearestCentreBody(const double* const* Cols, size_t NCols,
                                                     const double* Centres, size_t K, size_t R0,
                                                     size_t N, int32_t* __restrict Best) {
  using namespace distance_detail;
  constexpr size_t NV = 2, Chunk = NV * Lanes;
  size_t T0 = 0;
  for (; T0 + Chunk <= N; T0 += Chunk) {
    TLanes BestD[NV] = {}, BestK[NV] = {};
    for (size_t Kc = 0; Kc < K; ++Kc) {
      const double* Centre = Centres + Kc * NCols;
      TLanes Acc[NV] = {};
      for (size_t C = 0; C < NCols; ++C) {
        const double Y = Centre[C];
        for (size_t V = 0; V < NV; ++V) {
          TLanes X;
          Load(X, Cols[C] + R0 + T0 + V * Lanes);
          const TLanes D = X - Y;
          Acc[V] += D * D;
        }
      }
      for (size_t V = 0; V < NV; ++V) {
        if (Kc == 0) {
          BestD[V] = Acc[V];
          continue;
        }
        const TLaneBits Closer = Acc[V] < BestD[V];
        const TLanes Number = TLanes{} + static_cast<double>(Kc);
        BestD[V] = Closer ? Acc[V] : BestD[V];
        BestK[V] = Closer ? Number : BestK[V];
      }
    }
    for (size_t V = 0; V < NV; ++V)
      for (size_t L = 0; L < Lanes; ++L)
        Best[T0 + V * Lanes + L] = static_cast<int32_t>(BestK[V][L]);
  }
  for (; T0 < N; ++T0) {
    double BestD = 0.0;
    for (size_t Kc = 0; Kc < K; ++Kc) {
      double Acc = 0.0, Unused = 0.0;
      distance_detail::RowSums<rdEuclidSqr>(Cols, NCols, Centres + Kc * NCols, R0 + T0, Acc, Unused,
                                            Unused, Unused);
      if (Kc == 0 || Acc < BestD) {
        BestD = Acc;
        Best[T0] = static_cast<int32_t>(Kc);
      }
    }
  }
}

// The smallest of X[0..N) (+inf for N = 0), NaN passed over; the comparisons are per lane, so
// every path finds the same value.
[[gnu::always_inline]] inline double MinimumBody(const double* __restrict X, size_t N) {
  constexpr size_t Lanes = 8;
  double M[Lanes];
  for (size_t J = 0; J < Lanes; ++J) M[J] = INFINITY;
  size_t K = 0;
  for (; K + Lanes <= N; K += Lanes)
    for (size_t J = 0; J < Lanes; ++J) M[J] = X[K + J] < M[J] ? X[K + J] : M[J];
  for (size_t J = 0; K < N; ++K, ++J) M[J] = X[K] < M[J] ? X[K] : M[J];
  double Min = M[0];
  for (size_t J = 1; J < Lanes; ++J) Min = M[J] < Min ? M[J] : Min;
  return Min;
}

}  // namespace nux::kernels
