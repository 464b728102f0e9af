// Element-wise and reduction kernels over columns of doubles, written once and compiled per
// instruction set through TPathVariants (dispatch.h). The reductions keep a fixed number of
// partial sums in a fixed order, so the vector width never changes the bits.
#pragma once

#include <cstddef>

namespace nux::kernels {

// X . Y with Lanes partial sums, added pairwise at the end; Lanes fixes the result's bits.
template <size_t Lanes>
[[gnu::always_inline]] inline double DotBody(const double* __restrict X, const double* __restrict Y,
                                             size_t N) {
  double S[Lanes] = {};
  size_t K = 0;
  for (; K + Lanes <= N; K += Lanes)
    for (size_t J = 0; J < Lanes; ++J) S[J] += X[K + J] * Y[K + J];
  for (size_t J = 0; K < N; ++K, ++J) S[J] += X[K] * Y[K];
  for (size_t Width = Lanes / 2; Width > 0; Width /= 2)
    for (size_t J = 0; J < Width; ++J) S[J] += S[J + Width];
  return S[0];
}

// Y += A X.
[[gnu::always_inline]] inline void AxpyBody(double A, const double* __restrict X,
                                            double* __restrict Y, size_t N) {
  for (size_t K = 0; K < N; ++K) Y[K] += A * X[K];
}

}  // namespace nux::kernels
