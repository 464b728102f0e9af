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

// D[j] := sum over k = 0..N-1, in that order, of (W[k Stride + j] - Z[k])^2, for j < M: the
// squared distances of Z to M vectors stored one component per row. Vectorised across j, so
// each distance is summed exactly as a scalar loop over k would.
[[gnu::always_inline]] inline void SquaredDistancesBody(const double* __restrict W, size_t Stride,
                                                        size_t M, const double* __restrict Z,
                                                        size_t N, double* __restrict D) {
  // Many independent sums in flight: each one's additions are a chain of N dependent steps.
  constexpr size_t Block = 64;
  size_t J = 0;
  for (; J + Block <= M; J += Block) {
    double Acc[Block] = {};
    for (size_t K = 0; K < N; ++K) {
      const double* Row = W + K * Stride + J;
      const double Zk = Z[K];
      for (size_t L = 0; L < Block; ++L) {
        const double T = Row[L] - Zk;
        Acc[L] += T * T;
      }
    }
    for (size_t L = 0; L < Block; ++L) D[J + L] = Acc[L];
  }
  if (J < M) {
    const size_t Rest = M - J;
    double Acc[Block] = {};
    for (size_t K = 0; K < N; ++K) {
      const double* Row = W + K * Stride + J;
      const double Zk = Z[K];
      for (size_t L = 0; L < Rest; ++L) {
        const double T = Row[L] - Zk;
        Acc[L] += T * T;
      }
    }
    for (size_t L = 0; L < Rest; ++L) D[J + L] = Acc[L];
  }
}

// The smallest of D[0..M) that is not NaN (+inf when there is none): a select per element, so
// that it vectorises; min is exact, so the order of comparison does not matter.
[[gnu::always_inline]] inline double SmallestBody(const double* __restrict D, size_t M) {
  constexpr size_t Lanes = 8;
  double Mn[Lanes];
  for (size_t L = 0; L < Lanes; ++L) Mn[L] = __builtin_inf();
  size_t J = 0;
  for (; J + Lanes <= M; J += Lanes)
    for (size_t L = 0; L < Lanes; ++L) Mn[L] = D[J + L] < Mn[L] ? D[J + L] : Mn[L];
  for (; J < M; ++J) Mn[0] = D[J] < Mn[0] ? D[J] : Mn[0];
  double R = Mn[0];
  for (size_t L = 1; L < Lanes; ++L) R = Mn[L] < R ? Mn[L] : R;
  return R;
}

}  // namespace nux::kernels
