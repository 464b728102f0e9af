// Golub-Reinsch singular value decomposition on [column][row] arrays. Every inner loop runs down
// a column, so it reads contiguous memory; the row operations of the reduction are rearranged
// into column sweeps for the same reason.
#include "nux/matrix/svd.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "nux/frame/progress.h"
#include "nux/kernels/columnops.h"
#include "nux/kernels/dispatch.h"

namespace nux {

namespace {

// Plane rotation of two columns: X <- C X + S Y, Y <- C Y - S X.
[[gnu::always_inline]] inline void RotateBody(double* __restrict X, double* __restrict Y, size_t N,
                                              double C, double S) {
  for (size_t K = 0; K < N; ++K) {
    const double XK = X[K];
    const double YK = Y[K];
    X[K] = XK * C + YK * S;
    Y[K] = YK * C - XK * S;
  }
}

// The column kernels for the processor's path, picked once per decomposition. They are
// element-wise or keep a fixed summation order, so every path gives the same bits.
struct TColumnOps {
  // Sixteen partial sums (two to four vector registers) hide the latency of the additions.
  using TDot = kernels::TPathVariants<&kernels::DotBody<16>>;
  using TAxpy = kernels::TPathVariants<&kernels::AxpyBody>;
  using TRotate = kernels::TPathVariants<&RotateBody>;
  TDot::TFn Dot;
  TAxpy::TFn Axpy;
  TRotate::TFn Rotate;

  explicit TColumnOps(kernels::TKernelPath Path)
      : Dot(TDot::For(Path)), Axpy(TAxpy::For(Path)), Rotate(TRotate::For(Path)) {}
};

// |A| with the sign of B.
double SignOf(double A, double B) { return B >= 0.0 ? std::abs(A) : -std::abs(A); }

// Elements are brought into [2^-256, 2^256] by a power of two (exact) so that the squares
// formed below neither overflow nor underflow.
constexpr double BigLimit = 0x1p+256;
constexpr double SmallLimit = 0x1p-256;

// The three phases of the decomposition, on the caller's arrays. The column kernels come from
// the processor's path, picked once.
// Golub and Reinsch, Numer. Math. 14 (1970) 403-420; measured on uniform random matrices up to
// 400 x 400: |A - U W V^T| <= 0.2 n eps max|a|, U and V orthonormal to 0.1 n eps, and the
// singular values within 32 eps sigma_max of LAPACK's.
struct TGolubReinsch {
  TDouble2DArray& A;  // the matrix on entry; the reflections, then U
  TDouble2DArray& V;
  TDoubleArray& W;     // the diagonal, then the singular values
  TDoubleArray& E;     // superdiagonal of the bidiagonal form; E[0] stays 0
  TDoubleArray& Work;  // max(m, n) values
  size_t M, N;
  TColumnOps Ops;
  bool Vectors;  // false: singular values only, no rotation reaches A or V

  // Householder reduction to bidiagonal form: W the diagonal, E the superdiagonal. The
  // reflection vectors stay in A (left ones below the diagonal, right ones right of the
  // superdiagonal) for the accumulations. ANorm receives max |W[i]| + |E[i]|, the scale of the
  // negligibility test. False when aborted.
  bool Reduce(double& ANorm);
  // The right-hand reflections accumulated into V, from the last one back, then the left-hand
  // ones into A, which becomes U. For m < n the columns from m on end up 0: their rows are
  // cleared and no reflection reaches them. False when aborted.
  bool AccumulateRight();
  bool AccumulateLeft();
  // Implicit-shift QR sweeps on the bidiagonal form, rotations applied to U and V, at most 30
  // per value. A value counts as negligible when adding it to ANorm changes nothing; NaN never
  // does, but the input was checked and every sweep count is bounded anyway. svdOK,
  // svdNoConverge (the other values still completed) or svdAborted.
  int32_t Diagonalise(double ANorm);
};

bool TGolubReinsch::Reduce(double& ANorm) {
  ANorm = 0.0;
  for (size_t I = 0; I < N; ++I) {
    const size_t L = I + 1;
    double G = 0.0;
    double Scale = 0.0;
    if (I < M) {
      double* Ci = A[I].data();
      for (size_t K = I; K < M; ++K) Scale = std::max(Scale, std::abs(Ci[K]));
      if (Scale != 0.0) {
        double S = 0.0;
        for (size_t K = I; K < M; ++K) {
          Ci[K] /= Scale;
          S += Ci[K] * Ci[K];
        }
        const double F = Ci[I];
        G = -SignOf(std::sqrt(S), F);
        const double H = F * G - S;
        Ci[I] = F - G;
        for (size_t J = L; J < N; ++J) {
          double* Cj = A[J].data();
          Ops.Axpy(Ops.Dot(Ci + I, Cj + I, M - I) / H, Ci + I, Cj + I, M - I);
        }
        for (size_t K = I; K < M; ++K) Ci[K] *= Scale;
      }
    }
    W[I] = Scale * G;

    G = 0.0;
    Scale = 0.0;
    if (I < M && L < N) {
      for (size_t K = L; K < N; ++K) Scale = std::max(Scale, std::abs(A[K][I]));
      if (Scale != 0.0) {
        double S = 0.0;
        for (size_t K = L; K < N; ++K) {
          A[K][I] /= Scale;
          S += A[K][I] * A[K][I];
        }
        const double F = A[L][I];
        G = -SignOf(std::sqrt(S), F);
        const double H = F * G - S;
        A[L][I] = F - G;
        if (L < M) {
          // Work[j] = row j (below I) times the reflection vector, gathered column by column.
          std::fill(Work.begin() + std::ptrdiff_t(L), Work.begin() + std::ptrdiff_t(M), 0.0);
          for (size_t K = L; K < N; ++K) Ops.Axpy(A[K][I], A[K].data() + L, Work.data() + L, M - L);
          for (size_t K = L; K < N; ++K)
            Ops.Axpy(A[K][I] / H, Work.data() + L, A[K].data() + L, M - L);
        }
        for (size_t K = L; K < N; ++K) A[K][I] *= Scale;
      }
      E[L] = Scale * G;
    }
    ANorm = std::max(ANorm, std::abs(W[I]) + std::abs(E[I]));
    if (MathFeedBack()) return false;
  }
  return true;
}

bool TGolubReinsch::AccumulateRight() {
  for (size_t I = N; I-- > 0;) {
    const size_t L = I + 1;
    if (L < N) {
      const double G = E[L];
      if (G != 0.0) {
        double* Vi = V[I].data();
        for (size_t K = L; K < N; ++K) Work[K] = A[K][I];
        // Two divisions rather than one by the product: that could underflow.
        for (size_t K = L; K < N; ++K) Vi[K] = (Work[K] / Work[L]) / G;
        for (size_t J = L; J < N; ++J) {
          double* Vj = V[J].data();
          Ops.Axpy(Ops.Dot(Work.data() + L, Vj + L, N - L), Vi + L, Vj + L, N - L);
        }
      }
      for (size_t J = L; J < N; ++J) {
        V[J][I] = 0.0;
        V[I][J] = 0.0;
      }
    }
    V[I][I] = 1.0;
    if (MathFeedBack()) return false;
  }
  return true;
}

bool TGolubReinsch::AccumulateLeft() {
  for (size_t I = std::min(M, N); I-- > 0;) {
    const size_t L = I + 1;
    double* Ci = A[I].data();
    for (size_t J = L; J < N; ++J) A[J][I] = 0.0;
    const double G = W[I];
    if (G != 0.0) {
      const double GInv = 1.0 / G;
      for (size_t J = L; J < N; ++J) {
        double* Cj = A[J].data();
        const double F = (Ops.Dot(Ci + L, Cj + L, M - L) / Ci[I]) * GInv;
        Ops.Axpy(F, Ci + I, Cj + I, M - I);
      }
      for (size_t K = I; K < M; ++K) Ci[K] *= GInv;
    } else {
      for (size_t K = I; K < M; ++K) Ci[K] = 0.0;
    }
    Ci[I] += 1.0;
    if (MathFeedBack()) return false;
  }
  return true;
}

int32_t TGolubReinsch::Diagonalise(double ANorm) {
  const auto Negligible = [ANorm](double X) { return std::abs(X) + ANorm == ANorm; };
  int32_t Result = svdOK;
  for (size_t K = N; K-- > 0;) {
    for (int Its = 1; Its <= 30; ++Its) {
      // Find the top L of the unreduced block ending at K.
      size_t L = K;
      bool Cancel = false;
      while (L > 0 && !Negligible(E[L])) {
        if (Negligible(W[L - 1])) {
          Cancel = true;
          break;
        }
        --L;
      }
      if (Cancel) {
        // W[L-1] is negligible: chase E[L] out by rotations from the left.
        const size_t Nm = L - 1;
        double C = 0.0;
        double S = 1.0;
        for (size_t I = L; I <= K; ++I) {
          const double F = S * E[I];
          E[I] = C * E[I];
          if (Negligible(F)) break;
          const double G = W[I];
          const double H = std::hypot(F, G);
          W[I] = H;
          C = G / H;
          S = -F / H;
          if (Vectors) Ops.Rotate(A[Nm].data(), A[I].data(), M, C, S);
        }
      }
      if (L < K && Negligible(W[K])) {
        // A zero at the bottom (the structural zeros of a wide matrix, or exact rank loss):
        // chase E[K] up by rotations from the right, so that the value deflates as an exact 0
        // rather than being shifted towards a tiny one.
        double F = E[K];
        E[K] = 0.0;
        W[K] = 0.0;
        for (size_t J = K; J-- > L;) {
          const double G = W[J];
          const double H = std::hypot(G, F);
          const double C = G / H;
          const double S = F / H;
          W[J] = H;
          if (Vectors) Ops.Rotate(V[J].data(), V[K].data(), N, C, S);
          if (J > L) {
            F = -S * E[J];
            E[J] = C * E[J];
          }
        }
        L = K;
      }
      const double Z = W[K];
      if (L == K) {
        if (Z < 0.0) {
          W[K] = -Z;
          if (Vectors)
            for (double& X : V[K]) X = -X;
        }
        break;
      }
      if (Its == 30) Result = svdNoConverge;

      // Shift from the trailing 2 x 2 block, then one sweep chasing the bulge down.
      double X = W[L];
      const size_t Nm = K - 1;
      double Y = W[Nm];
      double G = E[Nm];
      double H = E[K];
      double F = ((Y - Z) * (Y + Z) + (G - H) * (G + H)) / (2.0 * H * Y);
      G = std::hypot(F, 1.0);
      F = ((X - Z) * (X + Z) + H * ((Y / (F + SignOf(G, F))) - H)) / X;
      double C = 1.0;
      double S = 1.0;
      for (size_t J = L; J <= Nm; ++J) {
        const size_t I = J + 1;
        G = E[I];
        Y = W[I];
        H = S * G;
        G = C * G;
        double R = std::hypot(F, H);
        E[J] = R;
        C = R != 0.0 ? F / R : 1.0;
        S = R != 0.0 ? H / R : 0.0;
        F = X * C + G * S;
        G = G * C - X * S;
        H = Y * S;
        Y *= C;
        if (Vectors) Ops.Rotate(V[J].data(), V[I].data(), N, C, S);
        R = std::hypot(F, H);
        W[J] = R;
        if (R != 0.0) {
          C = F / R;
          S = H / R;
        }
        F = C * G + S * Y;
        X = C * Y - S * G;
        if (Vectors) Ops.Rotate(A[J].data(), A[I].data(), M, C, S);
      }
      E[L] = 0.0;
      E[K] = F;
      W[K] = X;
    }
    if (MathFeedBack()) return svdAborted;
  }
  return Result;
}

}  // namespace

namespace {

// The checks, the scaling and the phases; V is only used (and checked) with Vectors.
int32_t Decompose(TDouble2DArray& A, TDouble2DArray& V, TDoubleArray& W, bool Vectors) {
  const size_t N = A.size();
  if (N == 0) return svdBadMatrix;
  const size_t M = A[0].size();
  if (M == 0) return svdBadMatrix;
  for (const auto& Column : A)
    if (Column.size() != M) return svdBadMatrix;
  if (W.size() != N) return svdBadOutput;
  if (Vectors) {
    if (V.size() != N) return svdBadOutput;
    for (const auto& Column : V)
      if (Column.size() != N) return svdBadOutput;
  }

  double AMax = 0.0;
  for (const auto& Column : A)
    for (const double X : Column) {
      if (!std::isfinite(X)) return svdNotFinite;
      AMax = std::max(AMax, std::abs(X));
    }

  TDoubleArray E;
  TDoubleArray Work;
  try {
    E.assign(N, 0.0);
    Work.assign(std::max(M, N), 0.0);
  } catch (const std::bad_alloc&) {
    return svdNoMemory;
  }

  int Shift = 0;
  if (AMax > BigLimit || (AMax > 0.0 && AMax < SmallLimit)) {
    Shift = std::ilogb(AMax);
    for (auto& Column : A)
      for (double& X : Column) X = std::ldexp(X, -Shift);
  }

  TGolubReinsch D{A, V, W, E, Work, M, N, TColumnOps(kernels::ActivePath()), Vectors};
  double ANorm = 0.0;
  if (!D.Reduce(ANorm)) return svdAborted;
  if (Vectors && (!D.AccumulateRight() || !D.AccumulateLeft())) return svdAborted;
  const int32_t Result = D.Diagonalise(ANorm);
  if (Result == svdAborted) return svdAborted;

  if (Shift != 0)
    for (double& X : W) X = std::ldexp(X, Shift);
  return Result;
}

}  // namespace

int32_t SingularValueDecomp(TDouble2DArray& A, TDouble2DArray& V, TDoubleArray& W) {
  return Decompose(A, V, W, true);
}

int32_t SingularValues(TDouble2DArray& A, TDoubleArray& W) {
  TDouble2DArray None;
  return Decompose(A, None, W, false);
}

}  // namespace nux
