#include "nux/openarrays/arraymath.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

#include "nux/frame/moments.h"
#include "nux/frame/rounding.h"
#include "nux/kernels/gemm.h"
#include "nux/math1/sorting.h"
#include "nux/openarrays/ndarray_impl.h"

namespace nux {

using oa::ElemOf;
using oa::Ext;

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

template <class V>
int32_t AccumulateT(V& A, const V& B, double Factor) {
  Ext EA, EB;
  if (oa::Shape(A, EA) != 0 || oa::Shape(B, EB) != 0) return -1;
  if (EA != EB) return -2;
  oa::ForAll2(A, B, [&](auto& X, const auto& Y) {
    if constexpr (std::is_integral_v<ElemOf<V>>)
      X = RoundToInt32(static_cast<double>(X) + Factor * static_cast<double>(Y));
    else
      X += Factor * Y;
  });
  return 0;
}

// ---- matrix product ----------------------------------------------------------------------

// C (M x N) = A (M x K) * B (K x N), all as column arrays of double, through the library's
// product kernel, straight into C's columns: every element is the sum of its products in index
// order from 0.0. C must have its shape already and share no storage with A or B.
void ProductDouble(const TDouble2DArray& A, const TDouble2DArray& B, TDouble2DArray& C) {
  const int64_t M = static_cast<int64_t>(A[0].size());
  const int64_t K = static_cast<int64_t>(A.size());
  const int64_t N = static_cast<int64_t>(B.size());
  const auto ACols = kernels::ColumnPointers(A);
  const auto BCols = kernels::ColumnPointers(B);
  std::vector<double*> CCols(static_cast<size_t>(N));
  for (int64_t J = 0; J < N; ++J) CCols[static_cast<size_t>(J)] = C[static_cast<size_t>(J)].data();
  kernels::Gemm(M, N, K, {ACols.data(), false}, 0, {BCols.data(), false}, 0, CCols.data(), 0);
}

template <class VA, class VB>
int32_t ProductShape(const VA& A, const VB& B, Ext& EA, Ext& EB) {
  if (oa::Shape(A, EA) != 0 || oa::Shape(B, EB) != 0) return -1;
  return EA[0] == EB[1] ? 0 : -1;
}

template <class VA, class VB>
int32_t ProductMixed(const VA& A, const VB& B, TDouble2DArray& C) {
  Ext EA, EB;
  if (ProductShape(A, B, EA, EB) != 0) return -1;
  TDouble2DArray DA, DB;
  auto ToDouble = [](const auto& X, TDouble2DArray& D) {
    D.resize(X.size());
    for (size_t I = 0; I < X.size(); ++I) D[I].assign(X[I].begin(), X[I].end());
  };
  if constexpr (std::is_same_v<VA, TDouble2DArray>) {
    ToDouble(B, DB);
    return MultiplyArrays(A, DB, C);
  } else if constexpr (std::is_same_v<VB, TDouble2DArray>) {
    ToDouble(A, DA);
    return MultiplyArrays(DA, B, C);
  }
  return -1;
}

// ---- LU ----------------------------------------------------------------------------------

struct TLU {
  int64_t N = 0;
  std::vector<double> M;      // column-major: M[c * N + r]; L below the diagonal, U on and above
  std::vector<int64_t> Perm;  // row r of P * A is row Perm[r] of A
  int32_t Sign = 1;
};

// 0, -1 (shape) or -3 (non-finite).
int32_t Factorize(const TDouble2DArray& A, TLU& F) {
  Ext E;
  if (oa::Shape(A, E) != 0 || E[0] != E[1]) return -1;
  const int64_t N = E[0];
  F.N = N;
  F.M.resize(static_cast<size_t>(N * N));
  for (int64_t C = 0; C < N; ++C)
    for (int64_t R = 0; R < N; ++R) {
      if (!std::isfinite(A[C][R])) return -3;
      F.M[C * N + R] = A[C][R];
    }
  F.Perm.resize(static_cast<size_t>(N));
  for (int64_t R = 0; R < N; ++R) F.Perm[R] = R;
  F.Sign = 1;
  double* M = F.M.data();
  for (int64_t K = 0; K < N; ++K) {
    double* ColK = M + K * N;
    int64_t P = K;
    for (int64_t R = K + 1; R < N; ++R)
      if (std::fabs(ColK[R]) > std::fabs(ColK[P])) P = R;
    if (P != K) {
      for (int64_t C = 0; C < N; ++C) std::swap(M[C * N + K], M[C * N + P]);
      std::swap(F.Perm[K], F.Perm[P]);
      F.Sign = -F.Sign;
    }
    const double Pivot = ColK[K];
    if (Pivot == 0.0) continue;  // the column is zero below the diagonal: nothing to eliminate
    for (int64_t R = K + 1; R < N; ++R) ColK[R] /= Pivot;
    for (int64_t C = K + 1; C < N; ++C) {
      double* ColC = M + C * N;
      const double F2 = ColC[K];
      if (F2 == 0.0) continue;
      for (int64_t R = K + 1; R < N; ++R) ColC[R] -= ColK[R] * F2;
    }
  }
  return 0;
}

// ---- symmetric eigenproblem --------------------------------------------------------------

// Cyclic Jacobi on a dense symmetric matrix (row-major S), accumulating the rotations in V.
bool Jacobi(int64_t N, std::vector<double>& S, std::vector<double>& V) {
  auto A = [&](int64_t R, int64_t C) -> double& { return S[R * N + C]; };
  for (int Sweep = 0; Sweep < 100; ++Sweep) {
    double Off = 0.0;
    for (int64_t P = 0; P < N; ++P)
      for (int64_t Q = P + 1; Q < N; ++Q) Off += std::fabs(A(P, Q));
    if (Off == 0.0) return true;
    for (int64_t P = 0; P < N; ++P)
      for (int64_t Q = P + 1; Q < N; ++Q) {
        const double Apq = A(P, Q);
        if (Apq == 0.0) continue;
        const double App = A(P, P), Aqq = A(Q, Q);
        // Past the first sweeps an element too small to change either diagonal is dropped.
        if (Sweep > 3 && std::fabs(App) + 100.0 * std::fabs(Apq) == std::fabs(App) &&
            std::fabs(Aqq) + 100.0 * std::fabs(Apq) == std::fabs(Aqq)) {
          A(P, Q) = A(Q, P) = 0.0;
          continue;
        }
        const double Theta = (Aqq - App) / (2.0 * Apq);
        double T;
        if (std::fabs(Theta) > 1e150)
          T = 0.5 / Theta;
        else
          T = (Theta >= 0.0 ? 1.0 : -1.0) / (std::fabs(Theta) + std::sqrt(Theta * Theta + 1.0));
        const double C = 1.0 / std::sqrt(T * T + 1.0), Sn = T * C, Tau = Sn / (1.0 + C);
        A(P, P) = App - T * Apq;
        A(Q, Q) = Aqq + T * Apq;
        A(P, Q) = A(Q, P) = 0.0;
        for (int64_t R = 0; R < N; ++R) {
          if (R == P || R == Q) continue;
          const double Arp = A(R, P), Arq = A(R, Q);
          A(R, P) = A(P, R) = Arp - Sn * (Arq + Tau * Arp);
          A(R, Q) = A(Q, R) = Arq + Sn * (Arp - Tau * Arq);
        }
        for (int64_t R = 0; R < N; ++R) {
          double* Row = &V[R * N];
          const double Vp = Row[P], Vq = Row[Q];
          Row[P] = Vp - Sn * (Vq + Tau * Vp);
          Row[Q] = Vq + Sn * (Vp - Tau * Vq);
        }
      }
  }
  return false;
}

double MedianOf(TDoubleArray V) {
  SortArray(std::span<double>(V), true);
  const size_t M = V.size() / 2;
  return V.size() % 2 == 1 ? V[M] : (V[M - 1] + V[M]) / 2.0;
}

template <class T>
int32_t MeanAbsDevT(const std::vector<T>& A, int32_t Option, double& MAD) {
  if (A.empty()) return -1;
  if (Option < 0 || Option > 2) return -3;
  const TDoubleArray X(A.begin(), A.end());
  const int64_t N = static_cast<int64_t>(X.size());
  const double Centre = Option == 0 ? StableMean(N, [&](int64_t I) { return X[I]; }) : MedianOf(X);
  TDoubleArray D(X.size());
  for (size_t I = 0; I < X.size(); ++I) D[I] = std::fabs(X[I] - Centre);
  MAD = Option == 2 ? MedianOf(D) : StableMean(N, [&](int64_t I) { return D[I]; });
  return 0;
}

template <class V>
int32_t MeanVarT(const V& A, const Ext& Lo, const Ext& Hi, double& Mean, double& Variance) {
  Mean = Variance = 0.0;
  Ext E;
  if (oa::Shape(A, E) != 0) return -1;
  if (oa::CheckBox<V>(E, Lo, Hi) != 0) return -2;
  TDoubleArray Buf;
  oa::ForBox(A, Lo, Hi, [&](const auto& X) { Buf.push_back(static_cast<double>(X)); });
  StableMeanVar(
      static_cast<int64_t>(Buf.size()), [&](int64_t I) { return Buf[I]; }, Mean, Variance);
  return 0;
}

template <class V>
int32_t RescaleT(V& A, const Ext& Lo, const Ext& Hi, TRescaleMode Mode, double& Offset,
                 double& Scale) {
  Ext E;
  if (oa::Shape(A, E) != 0) return -1;
  if (oa::CheckBox<V>(E, Lo, Hi) != 0) return -2;
  if (Mode < rsmLinear || Mode > rsmStandardize) return -3;
  TDoubleArray X;
  oa::ForBox(A, Lo, Hi, [&](const double& V0) { X.push_back(V0); });
  for (double V0 : X)
    if (!std::isfinite(V0) || (Mode == rsmLog && !(V0 > 0.0))) return -4;
  const int64_t N = static_cast<int64_t>(X.size());
  double Off = 0.0, Sc = 0.0;
  if (Mode == rsmLog)
    for (double& V0 : X) V0 = std::log10(V0);
  switch (Mode) {
    case rsmLinear:
      for (double V0 : X) Sc = std::max(Sc, std::fabs(V0));
      break;
    case rsmStandardize: {
      if (N < 2) return -4;
      const TCentralSums C = CentralSums(N, [&](int64_t I) { return X[I]; });
      Off = C.Mean;
      Sc = std::sqrt(C.S2 / static_cast<double>(N - 1));
      break;
    }
    default: {
      const auto [Mn, Mx] = std::minmax_element(X.begin(), X.end());
      Off = *Mn;
      Sc = *Mx - *Mn;
    }
  }
  if (!(Sc > 0.0) || !std::isfinite(Sc)) return -4;
  size_t I = 0;
  oa::ForBox(A, Lo, Hi, [&](double& V0) { V0 = (X[I++] - Off) / Sc; });
  Offset = Off;
  Scale = Sc;
  return 0;
}

}  // namespace

#define NUX_ACCUM(V) \
  int32_t AccumulateArray(V& A, const V& B, double Factor) { return AccumulateT(A, B, Factor); }
NUX_ACCUM(TIntArray)
NUX_ACCUM(TInt2DArray)
NUX_ACCUM(TInt3DArray)
NUX_ACCUM(TInt4DArray)
NUX_ACCUM(TDoubleArray)
NUX_ACCUM(TDouble2DArray)
NUX_ACCUM(TDouble3DArray)
NUX_ACCUM(TDouble4DArray)

#undef NUX_ACCUM

int32_t MultiplyArrays(const TDouble2DArray& A, const TDouble2DArray& B, TDouble2DArray& C) {
  Ext EA, EB;
  if (ProductShape(A, B, EA, EB) != 0) return -1;
  // A result of the right shape that is neither factor is written in place: no new block to
  // clear and fault in. (The kernel has its buffers before it writes, so a failed allocation
  // still leaves C as it was.)
  const bool Fits = &C != &A && &C != &B && C.size() == static_cast<size_t>(EB[0]) &&
                    std::all_of(C.begin(), C.end(), [&](const TDoubleArray& Col) {
                      return Col.size() == static_cast<size_t>(EA[1]);
                    });
  if (Fits) {
    ProductDouble(A, B, C);
    return 0;
  }
  TDouble2DArray Out = oa::Make<TDouble2DArray>(Ext{EB[0], EA[1], 1, 1});
  ProductDouble(A, B, Out);
  C = std::move(Out);
  return 0;
}

int32_t MultiplyArrays(const TInt2DArray& A, const TInt2DArray& B, TInt2DArray& C) {
  Ext EA, EB;
  if (ProductShape(A, B, EA, EB) != 0) return -1;
  const int64_t M = EA[1], K = EA[0], N = EB[0];
  TInt2DArray Out = oa::Make<TInt2DArray>(Ext{N, M, 1, 1});
  std::vector<int64_t> Acc(static_cast<size_t>(M));
  for (int64_t J = 0; J < N; ++J) {
    std::fill(Acc.begin(), Acc.end(), 0);
    for (int64_t k = 0; k < K; ++k) {
      const int64_t Bk = B[J][k];
      const int32_t* Ak = A[k].data();
      for (int64_t I = 0; I < M; ++I)
        if (__builtin_add_overflow(Acc[I], Ak[I] * Bk, &Acc[I])) return -3;
    }
    for (int64_t I = 0; I < M; ++I) {
      if (Acc[I] < INT32_MIN || Acc[I] > INT32_MAX) return -3;
      Out[J][I] = static_cast<int32_t>(Acc[I]);
    }
  }
  C = std::move(Out);
  return 0;
}

int32_t MultiplyArrays(const TInt2DArray& A, const TDouble2DArray& B, TDouble2DArray& C) {
  return ProductMixed(A, B, C);
}
int32_t MultiplyArrays(const TDouble2DArray& A, const TInt2DArray& B, TDouble2DArray& C) {
  return ProductMixed(A, B, C);
}

int32_t MultiplyArrays(const TDoubleArray& A, const TDoubleArray& B, TDouble2DArray& C) {
  if (A.empty() || B.empty()) return -1;
  TDouble2DArray Out(B.size(), TDoubleArray(A.size()));
  for (size_t J = 0; J < B.size(); ++J)
    for (size_t I = 0; I < A.size(); ++I) Out[J][I] = A[I] * B[J];
  C = std::move(Out);
  return 0;
}

int32_t VectorDotProduct(const TDoubleArray& A, const TDoubleArray& B, double& Dot) {
  if (A.empty() || B.empty()) return -1;
  if (A.size() != B.size()) return -2;
  double S = 0.0;
  for (size_t I = 0; I < A.size(); ++I) S += A[I] * B[I];
  Dot = S;
  return 0;
}

int32_t VectorDotProduct(const TIntArray& A, const TIntArray& B, int64_t& Dot) {
  if (A.empty() || B.empty()) return -1;
  if (A.size() != B.size()) return -2;
  int64_t S = 0;
  for (size_t I = 0; I < A.size(); ++I)
    if (__builtin_add_overflow(S, static_cast<int64_t>(A[I]) * B[I], &S)) return -3;
  Dot = S;
  return 0;
}

int32_t VectorCrossProduct(const TDoubleArray& A, const TDoubleArray& B, TDoubleArray& C) {
  if (A.empty() || B.empty()) return -1;
  if (A.size() != 3 || B.size() != 3) return -2;
  C = {A[1] * B[2] - A[2] * B[1], A[2] * B[0] - A[0] * B[2], A[0] * B[1] - A[1] * B[0]};
  return 0;
}

int32_t VectorCrossProduct(const TIntArray& A, const TIntArray& B, TIntArray& C) {
  if (A.empty() || B.empty()) return -1;
  if (A.size() != 3 || B.size() != 3) return -2;
  auto Term = [&](int I, int J) {
    return static_cast<int64_t>(A[I]) * B[J] - static_cast<int64_t>(A[J]) * B[I];
  };
  const int64_t R[3] = {Term(1, 2), Term(2, 0), Term(0, 1)};
  for (int64_t X : R)
    if (X < INT32_MIN || X > INT32_MAX) return -3;
  C = {static_cast<int32_t>(R[0]), static_cast<int32_t>(R[1]), static_cast<int32_t>(R[2])};
  return 0;
}

int32_t LUPdecomposition(const TDouble2DArray& A, TDouble2DArray& L, TDouble2DArray& U,
                         TInt2DArray& P, int32_t& Sign) {
  TLU F;
  if (const int32_t R = Factorize(A, F)) return R;
  const int64_t N = F.N;
  TDouble2DArray LL(N, TDoubleArray(N, 0.0)), UU(N, TDoubleArray(N, 0.0));
  TInt2DArray PP(N, TIntArray(N, 0));
  for (int64_t C = 0; C < N; ++C) {
    for (int64_t R = 0; R <= C; ++R) UU[C][R] = F.M[C * N + R];
    LL[C][C] = 1.0;
    for (int64_t R = C + 1; R < N; ++R) LL[C][R] = F.M[C * N + R];
  }
  for (int64_t R = 0; R < N; ++R) PP[F.Perm[R]][R] = 1;
  L = std::move(LL);
  U = std::move(UU);
  P = std::move(PP);
  Sign = F.Sign;
  return 0;
}

int32_t LUdecomposition(const TDouble2DArray& A, TDouble2DArray& L, TDouble2DArray& U) {
  TLU F;
  if (const int32_t R = Factorize(A, F)) return R;
  const int64_t N = F.N;
  TDouble2DArray LL(N, TDoubleArray(N, 0.0)), UU(N, TDoubleArray(N, 0.0));
  // L = P^T * L': row r of L' goes to row Perm[r].
  for (int64_t C = 0; C < N; ++C) {
    for (int64_t R = 0; R <= C; ++R) UU[C][R] = F.M[C * N + R];
    LL[C][F.Perm[C]] = 1.0;
    for (int64_t R = C + 1; R < N; ++R) LL[C][F.Perm[R]] = F.M[C * N + R];
  }
  // An odd permutation: negate U's last row and L's last column. The product is unchanged and
  // the diagonal of U now multiplies to det(A).
  if (F.Sign < 0) {
    UU[N - 1][N - 1] = -UU[N - 1][N - 1];
    for (int64_t R = 0; R < N; ++R) LL[N - 1][R] = -LL[N - 1][R];
  }
  L = std::move(LL);
  U = std::move(UU);
  return 0;
}

double Determinant(const TDouble2DArray& A) {
  TLU F;
  const int32_t R = Factorize(A, F);
  if (R == -1) return NaN;
  if (R != 0) return NaN;
  double D = F.Sign;
  for (int64_t I = 0; I < F.N; ++I) D *= F.M[I * F.N + I];
  return D;
}

int32_t EigenDecomposition(const TDouble2DArray& A, bool Descending, TDouble2DArray& Vectors,
                           TDoubleArray& Values) {
  Ext E;
  if (oa::Shape(A, E) != 0 || E[0] != E[1]) return -1;
  const int64_t N = E[0];
  double Big = 0.0;
  for (const auto& Col : A)
    for (double X : Col) {
      if (!std::isfinite(X)) return -4;
      Big = std::max(Big, std::fabs(X));
    }
  std::vector<double> S(static_cast<size_t>(N * N)), V(static_cast<size_t>(N * N), 0.0);
  for (int64_t R = 0; R < N; ++R) {
    V[R * N + R] = 1.0;
    for (int64_t C = 0; C < N; ++C) {
      if (std::fabs(A[C][R] - A[R][C]) > 1e-10 * Big) return -3;
      S[R * N + C] = 0.5 * (A[C][R] + A[R][C]);
    }
  }
  if (!Jacobi(N, S, V)) return -4;
  std::vector<int64_t> Order(static_cast<size_t>(N));
  for (int64_t I = 0; I < N; ++I) Order[I] = I;
  // Equal eigenvalues keep the order of the rotations' columns.
  std::sort(Order.begin(), Order.end(), [&](int64_t P, int64_t Q) {
    const double Lp = S[P * N + P], Lq = S[Q * N + Q];
    if (Lp != Lq) return Descending ? Lp > Lq : Lp < Lq;
    return P < Q;
  });
  TDouble2DArray Vecs(N, TDoubleArray(N));
  TDoubleArray Vals(N);
  for (int64_t K = 0; K < N; ++K) {
    const int64_t J = Order[K];
    Vals[K] = S[J * N + J];
    int64_t Lead = 0;
    for (int64_t R = 1; R < N; ++R)
      if (std::fabs(V[R * N + J]) > std::fabs(V[Lead * N + J])) Lead = R;
    const double Sgn = V[Lead * N + J] < 0.0 ? -1.0 : 1.0;
    for (int64_t R = 0; R < N; ++R) Vecs[K][R] = Sgn * V[R * N + J];
  }
  Vectors = std::move(Vecs);
  Values = std::move(Vals);
  return 0;
}

int32_t PermuteArray(TDouble2DArray& A, const TInt2DArray& P, bool Columns) {
  Ext E, EP;
  if (oa::Shape(A, E) != 0) return -1;
  const int64_t N = Columns ? E[0] : E[1];
  if (oa::Shape(P, EP) != 0 || EP[0] != N || EP[1] != N) return -1;
  // Map[i]: the source column (row) of target i.
  std::vector<int64_t> Map(static_cast<size_t>(N), -1);
  std::vector<char> Used(static_cast<size_t>(N), 0);
  for (int64_t C = 0; C < N; ++C)
    for (int64_t R = 0; R < N; ++R) {
      const int32_t X = P[C][R];
      if (X == 0) continue;
      if (X != 1) return -3;
      // Rows: (P*A)(r, .) = A(c, .) where P(r, c) = 1. Columns: (A*P)(., c) = A(., r).
      const int64_t Target = Columns ? C : R, Source = Columns ? R : C;
      if (Map[Target] != -1 || Used[Source]) return -3;
      Map[Target] = Source;
      Used[Source] = 1;
    }
  for (int64_t I = 0; I < N; ++I)
    if (Map[I] == -1) return -3;
  TDouble2DArray Out = A;
  for (int64_t C = 0; C < E[0]; ++C)
    for (int64_t R = 0; R < E[1]; ++R) Out[C][R] = Columns ? A[Map[C]][R] : A[C][Map[R]];
  A = std::move(Out);
  return 0;
}

int32_t MeanAbsDev(const TDoubleArray& A, int32_t Option, double& MAD) {
  return MeanAbsDevT(A, Option, MAD);
}
int32_t MeanAbsDev(const TIntArray& A, int32_t Option, double& MAD) {
  return MeanAbsDevT(A, Option, MAD);
}

int32_t MeanVarArray(const TDoubleArray& A, int32_t Lo, int32_t Hi, double& Mean,
                     double& Variance) {
  return MeanVarT(A, Ext{Lo, 0, 0, 0}, Ext{Hi, 0, 0, 0}, Mean, Variance);
}
int32_t MeanVarArray(const TIntArray& A, int32_t Lo, int32_t Hi, double& Mean, double& Variance) {
  return MeanVarT(A, Ext{Lo, 0, 0, 0}, Ext{Hi, 0, 0, 0}, Mean, Variance);
}
int32_t MeanVarArray(const TDouble2DArray& A, int32_t ColLo, int32_t RowLo, int32_t ColHi,
                     int32_t RowHi, double& Mean, double& Variance) {
  return MeanVarT(A, Ext{ColLo, RowLo, 0, 0}, Ext{ColHi, RowHi, 0, 0}, Mean, Variance);
}
int32_t MeanVarArray(const TInt2DArray& A, int32_t ColLo, int32_t RowLo, int32_t ColHi,
                     int32_t RowHi, double& Mean, double& Variance) {
  return MeanVarT(A, Ext{ColLo, RowLo, 0, 0}, Ext{ColHi, RowHi, 0, 0}, Mean, Variance);
}

int32_t RescaleArray(TDoubleArray& A, int32_t Lo, int32_t Hi, TRescaleMode Mode, double& Offset,
                     double& Scale) {
  return RescaleT(A, Ext{Lo, 0, 0, 0}, Ext{Hi, 0, 0, 0}, Mode, Offset, Scale);
}
int32_t RescaleArray(TDouble2DArray& A, int32_t ColLo, int32_t RowLo, int32_t ColHi, int32_t RowHi,
                     TRescaleMode Mode, double& Offset, double& Scale) {
  return RescaleT(A, Ext{ColLo, RowLo, 0, 0}, Ext{ColHi, RowHi, 0, 0}, Mode, Offset, Scale);
}

}  // namespace nux
