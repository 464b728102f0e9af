// Distances of many rows of column-major data to one point, vectorised across the rows: each
// lane holds one row and adds its terms column after column, so a row's sum is formed in the
// same order as a plain loop over its columns, on every instruction set. Compile the bodies
// per path through TPathVariants (dispatch.h).
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace nux::kernels {

// The distances of the row kernels; the ordinals are those of the library's distance modes.
enum TRowDistance : int32_t { rdTanimoto, rdCityBlock, rdEuclid, rdEuclidSqr, rdDice };

// Rows handled per tile: the partial sums of a tile stay in the first-level cache.
inline constexpr size_t DistanceTile = 256;

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
  constexpr bool Similarity = Kind == rdTanimoto || Kind == rdDice;
  for (size_t T0 = 0; T0 < N; T0 += DistanceTile) {
    const size_t Len = N - T0 < DistanceTile ? N - T0 : DistanceTile;
    double* __restrict Acc = Out + T0;
    double XY[Similarity ? DistanceTile : 1], XX[Similarity ? DistanceTile : 1],
        YY[Similarity ? DistanceTile : 1];
    for (size_t R = 0; R < Len; ++R) Acc[R] = 0.0;
    if constexpr (Similarity)
      for (size_t R = 0; R < Len; ++R) XY[R] = XX[R] = YY[R] = 0.0;
    for (size_t C = 0; C < NCols; ++C) {
      const double Y = Q[C];
      if (Cols[C] == nullptr) {
        for (size_t R = 0; R < Len; ++R) {
          if constexpr (Kind == rdCityBlock || Similarity)
            Acc[R] += std::fabs(0.0 - Y);
          else
            Acc[R] += (0.0 - Y) * (0.0 - Y);
          if constexpr (Similarity) {
            XY[R] += 0.0 * Y;
            XX[R] += 0.0 * 0.0;
            YY[R] += Y * Y;
          }
        }
        continue;
      }
      const double* __restrict X = Cols[C] + R0 + T0;
      for (size_t R = 0; R < Len; ++R) {
        const double D = X[R] - Y;
        if constexpr (Kind == rdCityBlock || Similarity)
          Acc[R] += std::fabs(D);
        else
          Acc[R] += D * D;
        if constexpr (Similarity) {
          XY[R] += X[R] * Y;
          XX[R] += X[R] * X[R];
          YY[R] += Y * Y;
        }
      }
    }
    if constexpr (Kind == rdEuclid)
      for (size_t R = 0; R < Len; ++R) Acc[R] = std::sqrt(Acc[R]);
    if constexpr (Similarity)
      for (size_t R = 0; R < Len; ++R) {
        const double Denom = Kind == rdTanimoto ? XX[R] + YY[R] - XY[R] : XX[R] + YY[R];
        const double Numer = Kind == rdTanimoto ? XY[R] : 2.0 * XY[R];
        const double Alone = Acc[R] == 0.0 ? 1.0 : 0.0;
        Acc[R] = Denom == 0.0 ? Alone : Numer / Denom;
      }
  }
}

// For rows R0..R0+N-1 of Cols[0..NCols): the 0-based number of the nearest of the K centres
// (centre k's value in column c at Centres[k * NCols + c]) by squared Euclidean distance, the
// lower number on ties, into Best[r]. Rows are expected finite; centres too.
[[gnu::always_inline]] inline void NearestCentreBody(const double* const* Cols, size_t NCols,
                                                     const double* Centres, size_t K, size_t R0,
                                                     size_t N, int32_t* __restrict Best) {
  double Acc[DistanceTile], BestD[DistanceTile];
  int32_t BestK[DistanceTile];
  for (size_t T0 = 0; T0 < N; T0 += DistanceTile) {
    const size_t Len = N - T0 < DistanceTile ? N - T0 : DistanceTile;
    for (size_t Kc = 0; Kc < K; ++Kc) {
      const double* Centre = Centres + Kc * NCols;
      for (size_t R = 0; R < Len; ++R) Acc[R] = 0.0;
      for (size_t C = 0; C < NCols; ++C) {
        const double* __restrict X = Cols[C] + R0 + T0;
        const double Y = Centre[C];
        for (size_t R = 0; R < Len; ++R) {
          const double D = X[R] - Y;
          Acc[R] += D * D;
        }
      }
      if (Kc == 0) {
        for (size_t R = 0; R < Len; ++R) {
          BestD[R] = Acc[R];
          BestK[R] = 0;
        }
      } else {
        const auto Ki = static_cast<int32_t>(Kc);
        for (size_t R = 0; R < Len; ++R) {
          const bool Closer = Acc[R] < BestD[R];
          BestD[R] = Closer ? Acc[R] : BestD[R];
          BestK[R] = Closer ? Ki : BestK[R];
        }
      }
    }
    for (size_t R = 0; R < Len; ++R) Best[T0 + R] = BestK[R];
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
