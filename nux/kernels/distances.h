// Squared Euclidean distances of one vector to many, the winner search of the Kohonen map, and
// the row distances of column-major data to one point (the memory-based learner).
#pragma once

#include <cstddef>
#include <cstdint>

namespace nux::kernels {

// D[j] := sum over k = 0..N-1, in that order, of (W[k Stride + j] - Z[k])^2 for j < M (M <=
// Stride): component k of the M vectors is row k of W. On every path each D[j] has the bits of
// the plain loop over k; the paths only compute several j at once.
void SquaredDistances(const double* W, size_t Stride, size_t M, const double* Z, size_t N,
                      double* D);

// The first index of the smallest D[j], j < M (M >= 1), NaN counting as larger than anything
// else; 0 when every D[j] is NaN. So there always is a winner.
size_t FirstSmallest(const double* D, size_t M);

// Out[r] := distance of row R0 + r (r < N) of the columns Cols[0..NCols) to the point Q, for a
// TRowDistance Kind of distance.h (rdCityBlock, rdEuclid, rdEuclidSqr, ...). One lane per row,
// each row's terms added in column order, so every path gives the plain loop's bits.
void RowDistances(int32_t Kind, const double* const* Cols, size_t NCols, const double* Q, size_t R0,
                  size_t N, double* Out);

}  // namespace nux::kernels
