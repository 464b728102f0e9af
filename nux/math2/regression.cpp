// Least-squares regressions. The design matrix is reduced by Householder reflections to a small
// triangular factor R (Q^T y alongside), whose singular value decomposition gives the solution,
// the rank decision and the standard errors; the normal equations are never formed.
#include "nux/math2/regression.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "nux/frame/moments.h"
#include "nux/frame/progress.h"
#include "nux/kernels/columnops.h"
#include "nux/kernels/dispatch.h"
#include "nux/math2/math2_impl.h"
#include "nux/matrix/svd.h"

namespace nux {

using math2_detail::Block;
using math2_detail::FalseOnNoMemory;
using math2_detail::StoreVector;

namespace math2_detail {

namespace {

// Kernel bodies compiled once per instruction set (nux/kernels/dispatch.h); the wrappers below
// call the variant of the active path. Fixed summation orders keep every path's bits equal.
#define NUX_LSQ_KERNEL [[gnu::always_inline]] inline

// Four dot products of X with Y0..Y3 in one pass over X, each summed as Dot sums.
NUX_LSQ_KERNEL void Dot4Body(const double* __restrict X, const double* __restrict Y0,
                             const double* __restrict Y1, const double* __restrict Y2,
                             const double* __restrict Y3, size_t N, double* Out) {
  constexpr size_t Lanes = 8;
  double S0[Lanes] = {}, S1[Lanes] = {}, S2[Lanes] = {}, S3[Lanes] = {};
  size_t K = 0;
  for (; K + Lanes <= N; K += Lanes)
    for (size_t J = 0; J < Lanes; ++J) {
      const double XJ = X[K + J];
      S0[J] += XJ * Y0[K + J];
      S1[J] += XJ * Y1[K + J];
      S2[J] += XJ * Y2[K + J];
      S3[J] += XJ * Y3[K + J];
    }
  for (size_t J = 0; K < N; ++K, ++J) {
    S0[J] += X[K] * Y0[K];
    S1[J] += X[K] * Y1[K];
    S2[J] += X[K] * Y2[K];
    S3[J] += X[K] * Y3[K];
  }
  for (size_t Width = Lanes / 2; Width > 0; Width /= 2)
    for (size_t J = 0; J < Width; ++J) {
      S0[J] += S0[J + Width];
      S1[J] += S1[J + Width];
      S2[J] += S2[J + Width];
      S3[J] += S3[J + Width];
    }
  Out[0] = S0[0];
  Out[1] = S1[0];
  Out[2] = S2[0];
  Out[3] = S3[0];
}

NUX_LSQ_KERNEL void Axpy4Body(const double* A, const double* __restrict X, double* __restrict Y0,
                              double* __restrict Y1, double* __restrict Y2, double* __restrict Y3,
                              size_t N) {
  const double A0 = A[0], A1 = A[1], A2 = A[2], A3 = A[3];
  for (size_t K = 0; K < N; ++K) {
    const double XK = X[K];
    Y0[K] += A0 * XK;
    Y1[K] += A1 * XK;
    Y2[K] += A2 * XK;
    Y3[K] += A3 * XK;
  }
}

#undef NUX_LSQ_KERNEL

template <auto Body, class... A>
auto OnActivePath(A... Args) {
  return kernels::TPathVariants<Body>::For(kernels::ActivePath())(Args...);
}

// Eight partial sums in a fixed order, whatever the vector width.
double Dot(const double* X, const double* Y, size_t N) {
  return OnActivePath<&kernels::DotBody<8>>(X, Y, N);
}
void Dot4(const double* X, const double* Y0, const double* Y1, const double* Y2, const double* Y3,
          size_t N, double* Out) {
  OnActivePath<&Dot4Body>(X, Y0, Y1, Y2, Y3, N, Out);
}
void Axpy(double A, const double* X, double* Y, size_t N) {
  OnActivePath<&kernels::AxpyBody>(A, X, Y, N);
}
void Axpy4(const double* A, const double* X, double* Y0, double* Y1, double* Y2, double* Y3,
           size_t N) {
  OnActivePath<&Axpy4Body>(A, X, Y0, Y1, Y2, Y3, N);
}

// Sum of squares of X[0..N) without overflow or underflow: a power of two scales it when needed.
double SumSq(const double* X, size_t N) {
  double Max = 0.0;
  for (size_t K = 0; K < N; ++K) Max = std::max(Max, std::abs(X[K]));
  if (Max == 0.0) return 0.0;
  const int E = std::ilogb(Max);
  if (E > -400 && E < 400) return Dot(X, X, N);
  double S = 0.0;
  for (size_t K = 0; K < N; ++K) {
    const double Y = std::ldexp(X[K], -E);
    S += Y * Y;
  }
  return std::ldexp(S, 2 * E);  // may overflow: the caller sees a non-finite result
}

// Householder QR of the K x M columns A (K >= M), applied to y as well. R is left on and above
// the diagonal of A; the reflection vectors below it are no longer needed. Reflector i updates
// the trailing columns four at a time, so that it is read once per four columns.
void HouseholderQR(TDouble2DArray& A, TDoubleArray& Y, size_t K) {
  const size_t M = A.size();
  for (size_t I = 0; I < M; ++I) {
    double* Ci = A[I].data() + I;
    const size_t Len = K - I;
    const double S = SumSq(Ci, Len);
    if (S == 0.0) continue;
    const double F = Ci[0];
    const double G = F >= 0.0 ? -std::sqrt(S) : std::sqrt(S);
    const double H = F * G - S;  // -(v^T v) / 2 for v = x - G e1
    Ci[0] = F - G;
    std::vector<double*> Targets;
    Targets.reserve(M - I);
    for (size_t J = I + 1; J < M; ++J) Targets.push_back(A[J].data() + I);
    Targets.push_back(Y.data() + I);
    size_t T = 0;
    for (; T + 4 <= Targets.size(); T += 4) {
      double D[4];
      Dot4(Ci, Targets[T], Targets[T + 1], Targets[T + 2], Targets[T + 3], Len, D);
      for (double& X : D) X /= H;
      Axpy4(D, Ci, Targets[T], Targets[T + 1], Targets[T + 2], Targets[T + 3], Len);
    }
    for (; T < Targets.size(); ++T) Axpy(Dot(Ci, Targets[T], Len) / H, Ci, Targets[T], Len);
    Ci[0] = G;
  }
}

}  // namespace

bool LsqFactor(const std::vector<const double*>& Cols, size_t K, const double* Yp, bool Equilibrate,
               TLsq& L) {
  const size_t M = Cols.size();
  L.K = K;
  L.M = M;
  L.Scale.assign(M, 1.0);
  TDouble2DArray A = Block(M, K);
  TDoubleArray Y(Yp, Yp + K);
  for (const double X : Y)
    if (!std::isfinite(X)) return false;
  for (size_t J = 0; J < M; ++J) {
    double Max = 0.0;
    for (size_t R = 0; R < K; ++R) {
      if (!std::isfinite(Cols[J][R])) return false;
      Max = std::max(Max, std::abs(Cols[J][R]));
    }
    // Powers of two, so the scaling itself is exact.
    if (Equilibrate && Max > 0.0) L.Scale[J] = std::ldexp(1.0, -std::ilogb(Max));
    for (size_t R = 0; R < K; ++R) A[J][R] = Cols[J][R] * L.Scale[J];
  }

  L.V = Block(M, M);
  L.W.assign(M, 0.0);
  L.C.assign(M, 0.0);
  if (K >= M) {
    HouseholderQR(A, Y, K);
    // A becomes R: its top M rows, with the reflection vectors below the diagonal cleared.
    for (size_t J = 0; J < M; ++J) {
      A[J].resize(M);
      std::fill(A[J].begin() + std::ptrdiff_t(J + 1), A[J].end(), 0.0);
    }
    if (SingularValueDecomp(A, L.V, L.W) != svdOK) return false;
    for (size_t J = 0; J < M; ++J) L.C[J] = Dot(A[J].data(), Y.data(), M);
  } else {
    if (SingularValueDecomp(A, L.V, L.W) != svdOK) return false;
    for (size_t J = 0; J < M; ++J) L.C[J] = Dot(A[J].data(), Y.data(), K);
  }
  return true;
}

TDoubleArray LsqSolve(const TLsq& L, double Lambda, bool& NearSingular,
                      TDoubleArray* StdErrFactors) {
  const size_t M = L.M;
  const double WMax = *std::max_element(L.W.begin(), L.W.end());
  const double Tol = RegSingularTol * WMax;
  NearSingular = false;
  // Filter factor of every singular value: 1/w for least squares, w/(w^2 + lambda) for ridge.
  TDoubleArray Fw(M, 0.0), Gw(M, 0.0);
  for (size_t J = 0; J < M; ++J) {
    const double W = L.W[J];
    if (W <= Tol) NearSingular = true;
    if (Lambda > 0.0) {
      const double D = W * W + Lambda;
      Fw[J] = W / D;
      Gw[J] = Fw[J] * Fw[J];
    } else if (W > Tol) {
      Fw[J] = 1.0 / W;
      Gw[J] = Fw[J] * Fw[J];
    }
  }
  TDoubleArray B(M, 0.0);
  for (size_t J = 0; J < M; ++J) {
    const double T = Fw[J] * L.C[J];
    if (T != 0.0) Axpy(T, L.V[J].data(), B.data(), M);
  }
  for (size_t K = 0; K < M; ++K) B[K] *= L.Scale[K];
  if (StdErrFactors != nullptr) {
    StdErrFactors->assign(M, 0.0);
    for (size_t K = 0; K < M; ++K) {
      double S = 0.0;
      for (size_t J = 0; J < M; ++J) S += L.V[J][K] * L.V[J][K] * Gw[J];
      (*StdErrFactors)[K] = std::sqrt(S) * L.Scale[K];
    }
  }
  return B;
}

double LsqEffectiveParams(const TLsq& L, double Lambda) {
  const double Tol = RegSingularTol * *std::max_element(L.W.begin(), L.W.end());
  double Df = 0.0;
  for (const double W : L.W) {
    if (Lambda > 0.0)
      Df += W * W / (W * W + Lambda);
    else if (W > Tol)
      Df += 1.0;
  }
  return Df;
}

double ResidualSumSq(const std::vector<const double*>& Cols, size_t K, const double* Y,
                     const TDoubleArray& B) {
  TDoubleArray R(Y, Y + K);
  for (size_t J = 0; J < Cols.size(); ++J)
    if (B[J] != 0.0) Axpy(-B[J], Cols[J], R.data(), K);
  return Dot(R.data(), R.data(), K);
}

}  // namespace math2_detail

namespace {

using math2_detail::TLsq;

std::vector<const double*> ColumnsOf(const TMatrix& X) {
  std::vector<const double*> Cols;
  for (const auto& Column : X.Data()) Cols.push_back(Column.data());
  return Cols;
}

// Solution, standard errors and residual sum of squares of one (ridge) least-squares problem.
struct TFit {
  TDoubleArray B, Delta;
  double Rss = 0.0;
  bool NearSingular = false;
};

bool Fit(const std::vector<const double*>& Cols, size_t K, const double* Y, bool Equilibrate,
         double Lambda, TFit& F) {
  TLsq L;
  if (!math2_detail::LsqFactor(Cols, K, Y, Equilibrate, L)) return false;
  TDoubleArray Factors;
  F.B = math2_detail::LsqSolve(L, Lambda, F.NearSingular, &Factors);
  F.Rss = math2_detail::ResidualSumSq(Cols, K, Y, F.B);
  const double Dof = double(K) - math2_detail::LsqEffectiveParams(L, Lambda);
  const double Sigma =
      Dof > 0.0 ? std::sqrt(F.Rss / Dof) : std::numeric_limits<double>::quiet_NaN();
  F.Delta.resize(F.B.size());
  for (size_t J = 0; J < F.B.size(); ++J) F.Delta[J] = Sigma * Factors[J];
  for (const double X : F.B)
    if (!std::isfinite(X)) return false;
  return std::isfinite(F.Rss);
}

}  // namespace

bool MultiLinReg(const TMatrix& X, const TVector& y, TVector& Coeffs, TVector* Deltas,
                 bool& NearSingular) {
  NearSingular = false;
  if (y.NrOfElem() != X.NrOfRows()) return false;
  BeginAbortable();
  return FalseOnNoMemory([&] {
    TFit F;
    if (!Fit(ColumnsOf(X), size_t(X.NrOfRows()), y.Data().data(), true, 0.0, F)) return false;
    NearSingular = F.NearSingular;
    StoreVector(Coeffs, F.B);
    if (Deltas != nullptr) StoreVector(*Deltas, F.Delta);
    return true;
  });
}

bool MultiLinReg(const TMatrix& Data, const TIntArray& SelCols, int32_t TargetCol, bool Intercept,
                 double& Const, double& ConstDelta, double& RSquared, TVector& Coeffs,
                 TVector& Deltas, bool& NearSingular) {
  NearSingular = false;
  const int32_t Nc = Data.NrOfColumns();
  if (SelCols.empty() || TargetCol < 1 || TargetCol > Nc) return false;
  for (const int32_t C : SelCols)
    if (C < 1 || C > Nc) return false;
  BeginAbortable();
  return FalseOnNoMemory([&] {
    const auto K = size_t(Data.NrOfRows());
    const TDoubleArray Ones(Intercept ? K : 0, 1.0);
    std::vector<const double*> Cols;
    if (Intercept) Cols.push_back(Ones.data());
    for (const int32_t C : SelCols) Cols.push_back(Data.Data()[size_t(C - 1)].data());
    const double* Y = Data.Data()[size_t(TargetCol - 1)].data();
    TFit F;
    if (!Fit(Cols, K, Y, true, 0.0, F)) return false;
    const size_t Off = Intercept ? 1 : 0;
    const double Tss = Intercept ? CentralSums(int64_t(K), [Y](int64_t I) { return Y[I]; }).S2
                                 : math2_detail::ResidualSumSq({}, K, Y, {});
    NearSingular = F.NearSingular;
    Const = Intercept ? F.B[0] : 0.0;
    ConstDelta = Intercept ? F.Delta[0] : 0.0;
    RSquared = Tss > 0.0 ? 1.0 - F.Rss / Tss : std::numeric_limits<double>::quiet_NaN();
    StoreVector(Coeffs, TDoubleArray(F.B.begin() + std::ptrdiff_t(Off), F.B.end()));
    StoreVector(Deltas, TDoubleArray(F.Delta.begin() + std::ptrdiff_t(Off), F.Delta.end()));
    return true;
  });
}

bool RidgeReg(const TMatrix& X, const TVector& y, double Lambda, TVector& Coeffs, TVector& Deltas,
              bool& NearSingular) {
  NearSingular = false;
  if (!(Lambda >= 0.0) || !std::isfinite(Lambda) || y.NrOfElem() != X.NrOfRows()) return false;
  BeginAbortable();
  return FalseOnNoMemory([&] {
    TFit F;
    if (!Fit(ColumnsOf(X), size_t(X.NrOfRows()), y.Data().data(), false, Lambda, F)) return false;
    NearSingular = F.NearSingular;
    StoreVector(Coeffs, F.B);
    StoreVector(Deltas, F.Delta);
    return true;
  });
}

bool RidgeRegStd(const TMatrix& X, const TVector& y, double Lambda, TVector& Coeffs,
                 TVector& StdCoeffs, TVector& Means, TVector& StdDevs, bool& NearSingular) {
  NearSingular = false;
  const auto K = size_t(X.NrOfRows());
  const auto M = size_t(X.NrOfColumns());
  if (!(Lambda >= 0.0) || !std::isfinite(Lambda) || y.NrOfElem() != X.NrOfRows() || K < 2)
    return false;
  BeginAbortable();
  return FalseOnNoMemory([&] {
    TDoubleArray Mean(M), Sd(M);
    TDouble2DArray Z = Block(M, K);
    std::vector<const double*> Cols;
    for (size_t J = 0; J < M; ++J) {
      const double* Xj = X.Data()[J].data();
      const TCentralSums S = CentralSums(int64_t(K), [Xj](int64_t I) { return Xj[I]; });
      Mean[J] = S.Mean;
      Sd[J] = std::sqrt(S.S2 / double(K - 1));
      // A constant column stays a column of zeros: it explains nothing and gets coefficient 0.
      for (size_t I = 0; I < K; ++I) Z[J][I] = Sd[J] > 0.0 ? (Xj[I] - Mean[J]) / Sd[J] : 0.0;
      Cols.push_back(Z[J].data());
    }
    const double* Yp = y.Data().data();
    const double YMean = StableMean(int64_t(K), [Yp](int64_t I) { return Yp[I]; });
    TDoubleArray Yc(K);
    for (size_t I = 0; I < K; ++I) Yc[I] = Yp[I] - YMean;
    TFit F;
    if (!Fit(Cols, K, Yc.data(), false, Lambda, F)) return false;
    TDoubleArray Orig(M + 1, 0.0);
    Orig[0] = YMean;
    for (size_t J = 0; J < M; ++J) {
      Orig[J + 1] = Sd[J] > 0.0 ? F.B[J] / Sd[J] : 0.0;
      Orig[0] -= Orig[J + 1] * Mean[J];
      if (!(Sd[J] > 0.0)) NearSingular = true;
    }
    NearSingular = NearSingular || F.NearSingular;
    StoreVector(Coeffs, Orig);
    StoreVector(StdCoeffs, F.B);
    StoreVector(Means, Mean);
    StoreVector(StdDevs, Sd);
    return true;
  });
}

bool VarInflatFactor(const TMatrix& Data, const TIntArray& SelCols, TDoubleArray& Factors,
                     const TOnPercentDoneEvent& OnPercentDone) {
  const int32_t Nc = Data.NrOfColumns();
  const auto K = size_t(Data.NrOfRows());
  if (SelCols.size() < 2 || K < 2) return false;
  for (const int32_t C : SelCols)
    if (C < 1 || C > Nc) return false;
  BeginAbortable();
  return FalseOnNoMemory([&] {
    // Centred columns: the regression with a constant, without a column of ones.
    const size_t M = SelCols.size();
    TDouble2DArray Z = Block(M, K);
    TDoubleArray Tss(M);
    for (size_t J = 0; J < M; ++J) {
      const double* Xj = Data.Data()[size_t(SelCols[J] - 1)].data();
      const TCentralSums S = CentralSums(int64_t(K), [Xj](int64_t I) { return Xj[I]; });
      Tss[J] = S.S2;
      for (size_t I = 0; I < K; ++I) Z[J][I] = Xj[I] - S.Mean;
    }
    TDoubleArray Out(M);
    for (size_t J = 0; J < M; ++J) {
      std::vector<const double*> Others;
      for (size_t I = 0; I < M; ++I)
        if (I != J) Others.push_back(Z[I].data());
      TFit F;
      if (!Fit(Others, K, Z[J].data(), true, 0.0, F)) return false;
      if (!(Tss[J] > 0.0))
        Out[J] = std::numeric_limits<double>::quiet_NaN();
      else if (F.Rss > 0.0)
        Out[J] = Tss[J] / F.Rss;
      else
        Out[J] = std::numeric_limits<double>::infinity();
      if (OnPercentDone) OnPercentDone(nullptr, int32_t((100 * (J + 1)) / M));
    }
    Factors = std::move(Out);
    return true;
  });
}

}  // namespace nux
