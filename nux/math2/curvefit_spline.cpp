// TCurveFit's splines: the interpolating cubic spline and the penalised (smoothing) cubic spline
// of Reinsch, with the free routine PenalizedCubicSpline.
#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <numeric>
#include <vector>

#include "nux/math2/curvefit.h"

namespace nux {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// The pairs sorted by x, equal x merged into one knot with the mean y and the count as weight.
void MergedKnots(const TDoubleArray& X, const TDoubleArray& Y, TDoubleArray& Kx, TDoubleArray& Ky,
                 TDoubleArray& Kw) {
  std::vector<size_t> Ix(X.size());
  std::iota(Ix.begin(), Ix.end(), size_t{0});
  std::stable_sort(Ix.begin(), Ix.end(), [&X](size_t A, size_t B) { return X[A] < X[B]; });
  Kx.clear();
  Ky.clear();
  Kw.clear();
  for (size_t I = 0; I < Ix.size();) {
    size_t J = I;
    double Sum = 0.0;
    while (J < Ix.size() && X[Ix[J]] == X[Ix[I]]) Sum += Y[Ix[J++]];
    Kx.push_back(X[Ix[I]]);
    Ky.push_back(Sum / double(J - I));
    Kw.push_back(double(J - I));
    I = J;
  }
}

}  // namespace

void TCurveFit::SetNatural1(bool Value) {
  FNatural1 = Value;
  FSplineValid = false;
}
void TCurveFit::SetNaturalN(bool Value) {
  FNaturalN = Value;
  FSplineValid = false;
}
void TCurveFit::SetY1Dash(double Value) {
  FY1Dash = Value;
  FSplineValid = false;
}
void TCurveFit::SetYNDash(double Value) {
  FYNDash = Value;
  FSplineValid = false;
}
void TCurveFit::SetSplineSmoothing(double Value) {
  if (!(Value >= 0.0) || !std::isfinite(Value)) return;
  FPSplineSmooth = Value;
  FPenSplineValid = false;
}

// Second derivatives at the knots by the tridiagonal system of the cubic spline (natural ends:
// second derivative 0; otherwise the first derivative given), solved by elimination.
bool TCurveFit::BuildSpline() {
  TDoubleArray W;
  MergedKnots(FX, FY, SplSortedX, SplSortedY, W);
  const size_t N = SplSortedX.size();
  const TDoubleArray& X = SplSortedX;
  const TDoubleArray& Y = SplSortedY;
  Spl2Deriv.assign(N, 0.0);
  FSplineValid = true;
  if (N < 3 && (N < 2 || (FNatural1 && FNaturalN))) return N >= 1;
  TDoubleArray U(N, 0.0);
  TDoubleArray& Y2 = Spl2Deriv;
  if (FNatural1) {
    Y2[0] = U[0] = 0.0;
  } else {
    Y2[0] = -0.5;
    U[0] = (3.0 / (X[1] - X[0])) * ((Y[1] - Y[0]) / (X[1] - X[0]) - FY1Dash);
  }
  for (size_t I = 1; I + 1 < N; ++I) {
    const double Sig = (X[I] - X[I - 1]) / (X[I + 1] - X[I - 1]);
    const double P = Sig * Y2[I - 1] + 2.0;
    Y2[I] = (Sig - 1.0) / P;
    U[I] = (Y[I + 1] - Y[I]) / (X[I + 1] - X[I]) - (Y[I] - Y[I - 1]) / (X[I] - X[I - 1]);
    U[I] = (6.0 * U[I] / (X[I + 1] - X[I - 1]) - Sig * U[I - 1]) / P;
  }
  double Qn = 0.0, Un = 0.0;
  if (!FNaturalN) {
    const double H = X[N - 1] - X[N - 2];
    Qn = 0.5;
    Un = (3.0 / H) * (FYNDash - (Y[N - 1] - Y[N - 2]) / H);
  }
  Y2[N - 1] = (Un - Qn * U[N - 2]) / (Qn * Y2[N - 2] + 1.0);
  for (size_t K = N - 1; K-- > 0;) Y2[K] = Y2[K] * Y2[K + 1] + U[K];
  return true;
}

double TCurveFit::CubicSpline(double x) {
  if (!FSplineValid) BuildSpline();
  const TDoubleArray& X = SplSortedX;
  const TDoubleArray& Y = SplSortedY;
  const size_t N = X.size();
  if (N == 0 || std::isnan(x)) return NaN;
  if (N == 1) return Y[0];
  // Piece K holds x (the end pieces extend outside).
  size_t K = size_t(std::upper_bound(X.begin(), X.end(), x) - X.begin());
  K = std::clamp<size_t>(K, 1, N - 1) - 1;
  const double H = X[K + 1] - X[K];
  const double A = (X[K + 1] - x) / H, B = (x - X[K]) / H;
  return A * Y[K] + B * Y[K + 1] +
         ((A * A * A - A) * Spl2Deriv[K] + (B * B * B - B) * Spl2Deriv[K + 1]) * (H * H) / 6.0;
}

bool TCurveFit::BuildPenSpline() {
  FPenSplineValid = true;
  FPenSplineOK = false;
  FPSplineFQ = 0.0;
  TDoubleArray Ky, Kw;
  MergedKnots(FX, FY, FPenX, Ky, Kw);
  const auto N = int32_t(FPenX.size());
  if (N < 1) return false;
  const auto Nn = size_t(N);
  FPenA.assign(Nn, 0.0);
  FPenB.assign(Nn, 0.0);
  FPenC.assign(Nn, 0.0);
  FPenD.assign(Nn, 0.0);
  if (N == 1) {
    FPenA[0] = Ky[0];
  } else if (PenalizedCubicSpline(N, FPSplineSmooth, FPenX, Ky, Kw, FPenA, FPenB, FPenC, FPenD) !=
             pcsOK) {
    return false;
  }
  // R^2 of the smoothed values against every pair.
  double Sse = 0.0, Mean = 0.0;
  for (double Y : FY) Mean += Y;
  Mean /= double(FY.size());
  double Sst = 0.0;
  for (size_t I = 0; I < FX.size(); ++I) {
    const double G = EvalPiecewiseCubic(N, FPenX, FPenA, FPenB, FPenC, FPenD, FX[I]);
    Sse += (FY[I] - G) * (FY[I] - G);
    Sst += (FY[I] - Mean) * (FY[I] - Mean);
  }
  FPSplineFQ = Sst > 0.0 ? std::clamp(1.0 - Sse / Sst, 0.0, 1.0) : 1.0;
  FPenSplineOK = std::isfinite(Sse);
  return FPenSplineOK;
}

double TCurveFit::SmoothedSpline(double x, double& FitQual, bool& valid) {
  if (!FPenSplineValid) BuildPenSpline();
  valid = FPenSplineOK && !std::isnan(x);
  FitQual = FPenSplineOK ? FPSplineFQ : 0.0;
  if (!valid) return NaN;
  return EvalPiecewiseCubic(int32_t(FPenX.size()), FPenX, FPenA, FPenB, FPenC, FPenD, x);
}

// Reinsch's algorithm: with h_i the knot spacings, Q the (n x n-2) second-difference matrix and R
// the (n-2) tridiagonal matrix of the spline's second-derivative form, the interior second
// derivatives gamma solve (R + Lambda Q^T W^-1 Q) gamma = Q^T y (five bands, positive definite),
// and the smoothed values are g = y - Lambda W^-1 Q gamma.
int32_t PenalizedCubicSpline(int32_t NumData, double Lambda, std::span<const double> X,
                             std::span<const double> Y, std::span<const double> W,
                             std::span<double> A, std::span<double> B, std::span<double> C,
                             std::span<double> D) {
  if (NumData < 2) return pcsBadSize;
  const auto N = size_t(NumData);
  for (const size_t L : {X.size(), Y.size(), W.size(), A.size(), B.size(), C.size(), D.size()})
    if (L < N) return pcsBadSize;
  if (!(Lambda >= 0.0) || !std::isfinite(Lambda)) return pcsBadLambda;
  for (size_t I = 0; I < N; ++I) {
    if (!std::isfinite(X[I]) || (I > 0 && !(X[I] > X[I - 1]))) return pcsBadX;
    if (!std::isfinite(Y[I]) || !(W[I] > 0.0) || !std::isfinite(W[I])) return pcsBadWeight;
  }
  try {
    TDoubleArray H(N - 1);
    for (size_t I = 0; I + 1 < N; ++I) H[I] = X[I + 1] - X[I];
    for (double Hi : H)
      if (!std::isfinite(Hi)) return pcsBadX;
    const size_t M = N - 2;  // interior knots
    TDoubleArray Gam(N, 0.0), G(Y.begin(), Y.begin() + std::ptrdiff_t(N));
    if (M > 0) {
      // Column j of Q (knot j + 1 interior) has entries at rows j, j + 1, j + 2.
      auto Q = [&H](size_t Row, size_t J) {
        if (Row == J) return 1.0 / H[J];
        if (Row == J + 1) return -1.0 / H[J] - 1.0 / H[J + 1];
        if (Row == J + 2) return 1.0 / H[J + 1];
        return 0.0;
      };
      // Bands 0, 1, 2 of the symmetric matrix.
      TDoubleArray B0(M), B1(M, 0.0), B2(M, 0.0), Rhs(M);
      for (size_t J = 0; J < M; ++J) {
        double S0 = (H[J] + H[J + 1]) / 3.0, S1 = J + 1 < M ? H[J + 1] / 6.0 : 0.0, S2 = 0.0;
        for (size_t Row = J; Row <= J + 2; ++Row) {
          const double Wi = W[Row];
          S0 += Lambda * Q(Row, J) * Q(Row, J) / Wi;
          if (J + 1 < M) S1 += Lambda * Q(Row, J) * Q(Row, J + 1) / Wi;
          if (J + 2 < M) S2 += Lambda * Q(Row, J) * Q(Row, J + 2) / Wi;
        }
        B0[J] = S0;
        B1[J] = S1;
        B2[J] = S2;
        Rhs[J] = Q(J, J) * Y[J] + Q(J + 1, J) * Y[J + 1] + Q(J + 2, J) * Y[J + 2];
      }
      // LDL^T of the five-band matrix, then the two triangular solves.
      TDoubleArray Dg(M), L1(M, 0.0), L2(M, 0.0);
      for (size_t J = 0; J < M; ++J) {
        double Dj = B0[J];
        if (J >= 1) Dj -= L1[J - 1] * L1[J - 1] * Dg[J - 1];
        if (J >= 2) Dj -= L2[J - 2] * L2[J - 2] * Dg[J - 2];
        if (!(Dj > 0.0)) return pcsBadX;
        Dg[J] = Dj;
        if (J + 1 < M) {
          double E = B1[J];
          if (J >= 1) E -= L1[J - 1] * L2[J - 1] * Dg[J - 1];
          L1[J] = E / Dj;
        }
        if (J + 2 < M) L2[J] = B2[J] / Dj;
      }
      TDoubleArray Z(Rhs);
      for (size_t J = 0; J < M; ++J) {
        if (J >= 1) Z[J] -= L1[J - 1] * Z[J - 1];
        if (J >= 2) Z[J] -= L2[J - 2] * Z[J - 2];
      }
      for (size_t J = 0; J < M; ++J) Z[J] /= Dg[J];
      for (size_t J = M; J-- > 0;) {
        if (J + 1 < M) Z[J] -= L1[J] * Z[J + 1];
        if (J + 2 < M) Z[J] -= L2[J] * Z[J + 2];
      }
      for (size_t J = 0; J < M; ++J) Gam[J + 1] = Z[J];
      for (size_t Row = 0; Row < N; ++Row) {
        double Qg = 0.0;
        for (size_t J = Row >= 2 ? Row - 2 : 0; J <= Row && J < M; ++J) Qg += Q(Row, J) * Z[J];
        G[Row] = Y[Row] - Lambda * Qg / W[Row];
      }
    }
    for (size_t I = 0; I < N; ++I)
      if (!std::isfinite(G[I])) return pcsBadWeight;
    // Pieces from values and second derivatives; the last piece continues the one before.
    for (size_t I = 0; I + 1 < N; ++I) {
      A[I] = G[I];
      B[I] = (G[I + 1] - G[I]) / H[I] - H[I] * (2.0 * Gam[I] + Gam[I + 1]) / 6.0;
      C[I] = Gam[I] / 2.0;
      D[I] = (Gam[I + 1] - Gam[I]) / (6.0 * H[I]);
    }
    const size_t L = N - 1;
    A[L] = G[L];
    B[L] = B[L - 1] + 2.0 * C[L - 1] * H[L - 1] + 3.0 * D[L - 1] * H[L - 1] * H[L - 1];
    C[L] = 0.0;
    D[L] = 0.0;
  } catch (const std::bad_alloc&) {
    return pcsNoMemory;
  }
  return pcsOK;
}

double EvalPiecewiseCubic(int32_t NumData, std::span<const double> X, std::span<const double> A,
                          std::span<const double> B, std::span<const double> C,
                          std::span<const double> D, double x) {
  if (NumData < 1 || std::isnan(x)) return NaN;
  const auto N = size_t(NumData);
  if (X.size() < N || A.size() < N || B.size() < N || C.size() < N || D.size() < N) return NaN;
  // Outside the knots the spline continues as the straight line of its end (the last piece has
  // C = D = 0), which is where a natural spline minimises its penalty.
  size_t K = size_t(std::upper_bound(X.begin(), X.begin() + std::ptrdiff_t(N), x) - X.begin());
  if (K == 0) return A[0] + (x - X[0]) * B[0];
  --K;
  const double T = x - X[K];
  return A[K] + T * (B[K] + T * (C[K] + T * D[K]));
}

}  // namespace nux
