#include "nux/openarrays/invert.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <stdexcept>
#include <vector>

#include "nux/frame/progress.h"
#include "nux/kernels/dispatch.h"
#include "nux/openarrays/arraymath.h"
#include "nux/openarrays/elementwise.h"

namespace nux {
namespace {

constexpr double TinyPivot = 1e-100;
// Columns of the inverse solved together: their rows are short enough to stay in cache and
// long enough for vector instructions.
constexpr int64_t BlockWidth = 64;

// Y[0..Len) -= F * X[0..Len). The kernel of both the factorisation and the substitutions; the
// products are rounded before the subtraction on every path (no fused multiply-add).
[[gnu::always_inline]] inline void SubtractMultiple(double* __restrict Y,
                                                    const double* __restrict X, double F,
                                                    int64_t Len) {
  for (int64_t K = 0; K < Len; ++K) Y[K] -= F * X[K];
}

// Row[0..Len) -= F[J] * X[J * Stride + 0..Len) for J = J0..J1-1 in this order. Chunks of the
// row are kept in a local accumulator, which the compiler holds in vector registers across J
// instead of storing and reloading the row for every J.
[[gnu::always_inline]] inline void SubtractRows(double* Row, const double* X, int64_t Stride,
                                                const double* F, int64_t J0, int64_t J1,
                                                int64_t Len) {
  constexpr int64_t Chunk = 32;
  int64_t C = 0;
  for (; C + Chunk <= Len; C += Chunk) {
    double Acc[Chunk];
    for (int64_t K = 0; K < Chunk; ++K) Acc[K] = Row[C + K];
    for (int64_t J = J0; J < J1; ++J) {
      const double G = F[J];
      const double* XJ = X + J * Stride + C;
      for (int64_t K = 0; K < Chunk; ++K) Acc[K] -= G * XJ[K];
    }
    for (int64_t K = 0; K < Chunk; ++K) Row[C + K] = Acc[K];
  }
  if (C < Len)
    for (int64_t J = J0; J < J1; ++J) SubtractMultiple(Row + C, X + J * Stride + C, F[J], Len - C);
}

struct TWork {
  std::vector<double> LU;       // row-major, row j = A[*][j]
  std::vector<double> Scale;    // 1 / largest magnitude of each row
  std::vector<int64_t> RowAt;   // original row now at each position
  std::vector<double> Inverse;  // in A's layout: column c at [c * n]
  std::vector<double> Block;    // n rows of BlockWidth right-hand sides
};

// Crout's factorisation, arranged as blocked row updates: every element receives its products
// in the same order as in the column-by-column dot products (ascending pivot index), so the
// factors are the same, while the inner loop runs along contiguous memory and a block of pivot
// rows is applied to each trailing row while that row is in cache. Returns false for a singular
// array.
[[gnu::always_inline]] inline bool Factorise(TWork& W, int64_t N) {
  constexpr int64_t Panel = 32;
  double* LU = W.LU.data();
  for (int64_t K0 = 0; K0 < N; K0 += Panel) {
    const int64_t K1 = std::min(K0 + Panel, N);
    // The panel of columns K0..K1-1, with pivoting over all rows below.
    for (int64_t K = K0; K < K1; ++K) {
      int64_t P = K;
      double Big = W.Scale[K] * std::fabs(LU[K * N + K]);
      for (int64_t I = K + 1; I < N; ++I) {
        const double D = W.Scale[I] * std::fabs(LU[I * N + K]);
        if (D > Big) {
          Big = D;
          P = I;
        }
      }
      if (P != K) {
        std::swap_ranges(LU + P * N, LU + P * N + N, LU + K * N);
        std::swap(W.Scale[P], W.Scale[K]);
        std::swap(W.RowAt[P], W.RowAt[K]);
      }
      const double Pivot = LU[K * N + K];
      // The classic routine substitutes a tiny pivot and carries on; its result would be
      // meaningless, so the array is reported singular at once.
      if (!(std::fabs(Pivot) >= TinyPivot)) return false;
      const double Inv = 1.0 / Pivot;
      const double* RowK = LU + K * N + K + 1;
      for (int64_t I = K + 1; I < N; ++I) {
        double* RowI = LU + I * N;
        RowI[K] *= Inv;
        SubtractMultiple(RowI + K + 1, RowK, RowI[K], K1 - K - 1);
      }
    }
    // The rows of U right of the panel, then the trailing rows.
    const int64_t Rest = N - K1;
    for (int64_t I = K0 + 1; I < N; ++I) {
      double* RowI = LU + I * N;
      const int64_t KEnd = std::min(I, K1);
      SubtractRows(RowI + K1, LU + K1, N, RowI, K0, KEnd, Rest);
    }
  }
  return true;
}

// Columns S0..S0+B-1 of U^-1 L^-1, i.e. the inverse for the unit vectors that the row exchanges
// place at positions S0..; the forward pass skips the leading zeros of each right-hand side.
[[gnu::always_inline]] inline void SolveBlock(TWork& W, int64_t N, int64_t S0, int64_t B) {
  const double* LU = W.LU.data();
  double* Y = W.Block.data();
  std::fill(W.Block.begin(), W.Block.end(), 0.0);
  for (int64_t I = S0; I < N; ++I) {
    double* RowI = Y + I * BlockWidth;
    if (I < S0 + B) RowI[I - S0] = 1.0;
    // Columns S > J are still zero in row J.
    const int64_t Full = std::min(I, S0 + B - 1);
    for (int64_t J = S0; J < Full; ++J)
      SubtractMultiple(RowI, Y + J * BlockWidth, LU[I * N + J], J - S0 + 1);
    SubtractRows(RowI, Y, BlockWidth, LU + I * N, Full, I, B);
  }
  for (int64_t I = N - 1; I >= 0; --I) {
    double* RowI = Y + I * BlockWidth;
    SubtractRows(RowI, Y, BlockWidth, LU + I * N, I + 1, N, B);
    const double D = LU[I * N + I];
    for (int64_t S = 0; S < B; ++S) RowI[S] /= D;
  }
  // Column S of the solution is column RowAt[S] of the inverse of the row-major matrix, that
  // is entry RowAt[S] of A's layout.
  for (int64_t S = 0; S < B; ++S) {
    double* Target = W.Inverse.data() + W.RowAt[S0 + S] * N;
    for (int64_t R = 0; R < N; ++R) Target[R] = Y[R * BlockWidth + S];
  }
}

}  // namespace

int32_t InvertArray(TDouble2DArray& A) {
  const size_t Size = A.size();
  if (Size == 0) return -1;
  for (const auto& Column : A)
    if (Column.size() != Size) return -1;
  const int64_t N = static_cast<int64_t>(Size);
  TWork W;
  try {
    W.LU.resize(Size * Size);
    W.Scale.resize(Size);
    W.RowAt.resize(Size);
    W.Inverse.resize(Size * Size);
    W.Block.resize(Size * BlockWidth);
  } catch (const std::bad_alloc&) {
    return -2;
  } catch (const std::length_error&) {
    return -2;
  }
  BeginAbortable();
  for (int64_t J = 0; J < N; ++J) {
    double Big = 0.0;
    for (int64_t I = 0; I < N; ++I) {
      const double V = A[I][J];
      if (!std::isfinite(V)) return -3;
      W.LU[J * N + I] = V;
      Big = std::max(Big, std::fabs(V));
    }
    if (Big == 0.0) return -3;  // a row of zeros
    W.Scale[J] = 1.0 / Big;
    W.RowAt[J] = J;
  }
  // Both steps are compiled for each instruction set; every path rounds the same products in
  // the same order (no fused multiply-add), so they give the same bits.
  const kernels::TKernelPath Path = kernels::ActivePath();
  if (!kernels::TPathVariants<&Factorise>::For(Path)(W, N)) return -3;
  // Overflow inside the factors would turn into silently wrong (not only infinite) results.
  if (!std::all_of(W.LU.begin(), W.LU.end(), [](double V) { return std::isfinite(V); })) return -3;
  for (int64_t S0 = 0; S0 < N; S0 += BlockWidth) {
    const int64_t B = std::min(BlockWidth, N - S0);
    for (int64_t S = 0; S < B; ++S)
      if (MathFeedBack(1.0)) return -3;
    kernels::TPathVariants<&SolveBlock>::For(Path)(W, N, S0, B);
  }
  if (!std::all_of(W.Inverse.begin(), W.Inverse.end(), [](double V) { return std::isfinite(V); }))
    return -3;
  for (int64_t C = 0; C < N; ++C)
    std::copy_n(W.Inverse.data() + C * N, N, A[static_cast<size_t>(C)].begin());
  return 0;
}

int32_t CalcHatMatrix(const TDouble2DArray& A, TDouble2DArray& H) {
  TDouble2DArray Transposed;
  if (const int32_t Rc = CloneArray(A, Transposed); Rc != 0) return Rc;
  if (const int32_t Rc = TransposeArray(Transposed); Rc != 0) return Rc;
  return MultiplyArrays(A, Transposed, H);
}

}  // namespace nux
