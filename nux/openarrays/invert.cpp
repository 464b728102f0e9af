#include "nux/openarrays/invert.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <stdexcept>
#include <vector>

#include "nux/frame/progress.h"
#include "nux/kernels/dispatch.h"
#include "nux/kernels/gemm.h"
#include "nux/openarrays/arraymath.h"
#include "nux/openarrays/elementwise.h"

namespace nux {
namespace {

constexpr double TinyPivot = 1e-100;
// Columns factorised together (the panel) and rows of the inverse substituted together: wide
// enough that the product kernel runs near its full speed on the updates between blocks. Inside
// a panel, columns are eliminated one at a time in slices of Slice columns, and the slices are
// again applied to the rest of the panel through the product kernel.
constexpr int64_t Panel = 64;
constexpr int64_t Slice = 16;
constexpr int64_t SolveRows = 64;
// The diagonal blocks' inverses cost 2 b^2 n extra operations per pass; small arrays take
// narrower blocks so that this stays a small share of the 2 n^3.
int64_t SolveRowsFor(int64_t N) { return N < 256 ? SolveRows / 2 : SolveRows; }

using kernels::TOperand;

// Y[0..Len) -= F * X[0..Len); the products are rounded before the subtraction on every path
// (no fused multiply-add).
[[gnu::always_inline]] inline void SubtractMultiple(double* __restrict Y,
                                                    const double* __restrict X, double F,
                                                    int64_t Len) {
  for (int64_t K = 0; K < Len; ++K) Y[K] -= F * X[K];
}

// Everything column-major: element (r, c) of the matrix (A[c][r]) at [r + c * N].
struct TWork {
  int64_t N = 0;
  std::vector<double> LU;      // L below the diagonal (unit diagonal implied), U on and above
  std::vector<double> Scale;   // 1 / largest magnitude of each row
  std::vector<int64_t> RowAt;  // original row now at each position
  std::vector<int64_t> Pivot;  // row exchanged with each position during the factorisation
  std::vector<double> X;       // the inverse, its columns still in pivoted order
  int64_t Block = 0;           // rows of X solved together
  std::vector<double> Diag;    // inverse of a diagonal block of L or U (Block squared)
  std::vector<double> Rows;    // Block rows of X before they are stored back
  std::vector<const double*> LUCols, DiagCols, Tail;  // column pointers for the product kernel

  // Rows R0.. of columns C0..C1-1 of M, which is column-major with N rows, for the kernel.
  TOperand Columns(double* M, int64_t R0, int64_t C0, int64_t C1) {
    for (int64_t C = C0; C < C1; ++C) Tail[C - C0] = M + C * N + R0;
    return TOperand{Tail.data(), false};
  }
  // M(R1.., C0..C1-1) -= LU(R1.., R0..R1-1) * M(R0..R1-1, C0..C1-1): products subtracted one by
  // one in ascending order of the inner index, as the scalar elimination does.
  void TakeOff(double* M, int64_t R0, int64_t R1, int64_t REnd, int64_t C0, int64_t C1) {
    if (REnd <= R1 || C1 <= C0) return;
    kernels::Gemm(REnd - R1, C1 - C0, R1 - R0, TOperand{LUCols.data() + R0, false}, R1,
                  Columns(M, R0, C0, C1), 0, M + R1 + C0 * N, N, false, nullptr,
                  kernels::giSubtract);
  }
};

// The row exchanges at positions K0..K1-1, in order, on columns C0..C1-1.
[[gnu::always_inline]] inline void Exchange(TWork& W, int64_t K0, int64_t K1, int64_t C0,
                                            int64_t C1) {
  // Only the exchanges that move something; with a dominant diagonal there are few.
  int64_t From[Panel], To[Panel], Count = 0;
  for (int64_t K = K0; K < K1; ++K)
    if (W.Pivot[K] != K) From[Count] = K, To[Count++] = W.Pivot[K];
  if (Count == 0) return;
  for (int64_t C = C0; C < C1; ++C) {
    double* Col = W.LU.data() + C * W.N;
    for (int64_t E = 0; E < Count; ++E) std::swap(Col[From[E]], Col[To[E]]);
  }
}

// Rows R0..R1-1 of columns C0..C1-1 := L(R0..R1-1, R0..R1-1)^-1 times themselves (unit lower
// triangle), each element losing its products in ascending order.
[[gnu::always_inline]] inline void SolveUnitLower(TWork& W, int64_t R0, int64_t R1, int64_t C0,
                                                  int64_t C1) {
  const int64_t N = W.N;
  double* LU = W.LU.data();
  for (int64_t S0 = R0; S0 < R1; S0 += Slice) {
    const int64_t S1 = std::min(S0 + Slice, R1);
    for (int64_t C = C0; C < C1; ++C) {
      double* Col = LU + C * N;
      for (int64_t K = S0; K + 1 < S1; ++K)
        SubtractMultiple(Col + K + 1, LU + K * N + K + 1, Col[K], S1 - K - 1);
    }
    W.TakeOff(LU, S0, S1, R1, C0, C1);
  }
}

// Crout's factorisation with implicit scaling and partial pivoting, arranged right-looking in
// panels and slices: every element receives its products in ascending pivot order, each
// subtracted in turn, as in the column-by-column dot products, so the factors and the pivots are
// those of the textbook form to the last bit. Returns false for a singular array.
[[gnu::always_inline]] inline bool Factorise(TWork& W) {
  const int64_t N = W.N;
  double* LU = W.LU.data();
  for (int64_t K0 = 0; K0 < N; K0 += Panel) {
    const int64_t K1 = std::min(K0 + Panel, N);
    for (int64_t S0 = K0; S0 < K1; S0 += Slice) {
      const int64_t S1 = std::min(S0 + Slice, K1);
      for (int64_t K = S0; K < S1; ++K) {
        double* ColK = LU + K * N;
        int64_t P = K;
        double Big = W.Scale[K] * std::fabs(ColK[K]);
        for (int64_t I = K + 1; I < N; ++I) {
          const double D = W.Scale[I] * std::fabs(ColK[I]);
          if (D > Big) {
            Big = D;
            P = I;
          }
        }
        W.Pivot[K] = P;
        if (P != K) {
          for (int64_t C = S0; C < S1; ++C) std::swap(LU[C * N + P], LU[C * N + K]);
          std::swap(W.Scale[P], W.Scale[K]);
          std::swap(W.RowAt[P], W.RowAt[K]);
        }
        const double Pv = ColK[K];
        // The classic routine substitutes a tiny pivot and carries on; its result would be
        // meaningless, so the array is reported singular at once.
        if (!(std::fabs(Pv) >= TinyPivot)) return false;
        const double Inv = 1.0 / Pv;
        for (int64_t I = K + 1; I < N; ++I) ColK[I] *= Inv;
        for (int64_t C = K + 1; C < S1; ++C)
          SubtractMultiple(LU + C * N + K + 1, ColK + K + 1, LU[C * N + K], N - K - 1);
      }
      Exchange(W, S0, S1, K0, S0);
      if (S1 == K1) break;
      // The slice's rows right of it in the panel, then the panel's rows below.
      Exchange(W, S0, S1, S1, K1);
      SolveUnitLower(W, S0, S1, S1, K1);
      W.TakeOff(LU, S0, S1, N, S1, K1);
    }
    Exchange(W, K0, K1, 0, K0);
    if (K1 == N) break;
    Exchange(W, K0, K1, K1, N);
    SolveUnitLower(W, K0, K1, K1, N);
    W.TakeOff(LU, K0, K1, N, K1, N);
  }
  return true;
}

// Diag := the inverse of the diagonal block B0..B1-1 of L (Lower, unit diagonal) or of U,
// column-major with B = B1 - B0 rows; zero in the other triangle.
[[gnu::always_inline]] inline void InvertDiagonalBlock(TWork& W, int64_t B0, int64_t B1,
                                                       bool Lower) {
  const int64_t N = W.N, B = B1 - B0;
  const double* LU = W.LU.data() + B0 + B0 * N;  // the block's (0, 0)
  double* D = W.Diag.data();
  std::fill(D, D + B * B, 0.0);
  for (int64_t J = 0; J < B; ++J) {
    double* Col = D + J * B;  // L or U times this column gives unit vector J
    Col[J] = 1.0;
    if (Lower) {
      for (int64_t K = J; K + 1 < B; ++K)
        SubtractMultiple(Col + K + 1, LU + K * N + K + 1, Col[K], B - K - 1);
    } else {
      for (int64_t K = J; K >= 0; --K) {
        Col[K] /= LU[K * N + K];
        SubtractMultiple(Col, LU + K * N, Col[K], K);
      }
    }
    W.DiagCols[J] = Col;
  }
}

// Rows B0..B1-1, columns 0..C1-1 of X := Diag times themselves, through Rows.
[[gnu::always_inline]] inline void ApplyDiagonalBlock(TWork& W, int64_t B0, int64_t B1,
                                                      int64_t C1) {
  const int64_t N = W.N, B = B1 - B0;
  kernels::Gemm(B, C1, B, TOperand{W.DiagCols.data(), false}, 0, W.Columns(W.X.data(), B0, 0, C1),
                0, W.Rows.data(), B);
  for (int64_t C = 0; C < C1; ++C) std::copy_n(W.Rows.data() + C * B, B, W.X.data() + C * N + B0);
}

// X := L^-1, a unit lower triangle; blocks of rows top down, each solved with the inverse of its
// diagonal block and then taken off the rows below it. Column S of L^-1 is zero above row S.
[[gnu::always_inline]] inline void InvertLower(TWork& W) {
  const int64_t N = W.N;
  double* X = W.X.data();
  for (int64_t S = 0; S < N; ++S) X[S * N + S] = 1.0;
  for (int64_t B0 = 0; B0 < N; B0 += W.Block) {
    const int64_t B1 = std::min(B0 + W.Block, N);
    InvertDiagonalBlock(W, B0, B1, true);
    ApplyDiagonalBlock(W, B0, B1, B1);
    W.TakeOff(X, B0, B1, N, 0, B1);
  }
}

// Rows B0..B1-1 of X := U^-1 X, once the rows below have been taken off them: the inverse of
// the diagonal block applied, then these rows taken off the rows above.
[[gnu::always_inline]] inline void SolveUpper(TWork& W, int64_t B0, int64_t B1) {
  const int64_t N = W.N;
  InvertDiagonalBlock(W, B0, B1, false);
  ApplyDiagonalBlock(W, B0, B1, N);
  if (B0 == 0) return;
  kernels::Gemm(B0, N, B1 - B0, TOperand{W.LUCols.data() + B0, false}, 0,
                W.Columns(W.X.data(), B0, 0, N), 0, W.X.data(), N, false, nullptr,
                kernels::giSubtract);
}

}  // namespace

int32_t InvertArray(TDouble2DArray& A) {
  const size_t Size = A.size();
  if (Size == 0) return -1;
  for (const auto& Column : A)
    if (Column.size() != Size) return -1;
  const int64_t N = static_cast<int64_t>(Size);
  TWork W;
  W.N = N;
  W.Block = SolveRowsFor(N);
  try {
    W.LU.resize(Size * Size);
    W.Scale.assign(Size, 0.0);
    W.RowAt.resize(Size);
    W.Pivot.resize(Size);
    W.X.resize(Size * Size);  // zero
    W.Diag.resize(static_cast<size_t>(W.Block * W.Block));
    W.Rows.resize(Size * static_cast<size_t>(W.Block));
    W.LUCols.resize(Size);
    W.DiagCols.resize(static_cast<size_t>(W.Block));
    W.Tail.resize(Size);
  } catch (const std::bad_alloc&) {
    return -2;
  } catch (const std::length_error&) {
    return -2;
  }
  BeginAbortable();
  for (int64_t C = 0; C < N; ++C) {
    const double* Src = A[static_cast<size_t>(C)].data();
    double* Col = W.LU.data() + C * N;
    for (int64_t R = 0; R < N; ++R) {
      const double V = Src[R];
      if (!std::isfinite(V)) return -3;
      Col[R] = V;
      W.Scale[R] = std::max(W.Scale[R], std::fabs(V));
    }
    W.LUCols[C] = Col;
    W.RowAt[C] = C;
  }
  for (double& S : W.Scale) {
    if (S == 0.0) return -3;  // a row of zeros
    S = 1.0 / S;
  }
  // Every path rounds the same products in the same order (no fused multiply-add), so they give
  // the same bits.
  const kernels::TKernelPath Path = kernels::ActivePath();
  try {
    if (!kernels::TPathVariants<&Factorise>::For(Path)(W)) return -3;
    // Overflow inside the factors would turn into silently wrong (not only infinite) results.
    if (!std::all_of(W.LU.begin(), W.LU.end(), [](double V) { return std::isfinite(V); }))
      return -3;
    kernels::TPathVariants<&InvertLower>::For(Path)(W);
    for (int64_t B1 = N; B1 > 0; B1 -= W.Block) {
      const int64_t B0 = std::max<int64_t>(B1 - W.Block, 0);
      for (int64_t R = B0; R < B1; ++R)
        if (MathFeedBack(1.0)) return -3;
      kernels::TPathVariants<&SolveUpper>::For(Path)(W, B0, B1);
    }
  } catch (const std::bad_alloc&) {
    return -2;  // the product kernel's packing buffers
  }
  if (!std::all_of(W.X.begin(), W.X.end(), [](double V) { return std::isfinite(V); })) return -3;
  // Column S of the solution belongs to the unit vector that the exchanges moved to position S,
  // i.e. to original column RowAt[S] of the inverse.
  for (int64_t S = 0; S < N; ++S)
    std::copy_n(W.X.data() + S * N, N, A[static_cast<size_t>(W.RowAt[S])].begin());
  return 0;
}

int32_t CalcHatMatrix(const TDouble2DArray& A, TDouble2DArray& H) {
  TDouble2DArray Transposed;
  if (const int32_t Rc = CloneArray(A, Transposed); Rc != 0) return Rc;
  if (const int32_t Rc = TransposeArray(Transposed); Rc != 0) return Rc;
  return MultiplyArrays(A, Transposed, H);
}

}  // namespace nux
