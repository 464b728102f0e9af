// Partial least squares (SimPLS) and vertex component analysis.
#include <algorithm>
#include <cmath>
#include <vector>

#include "nux/frame/moments.h"
#include "nux/frame/progress.h"
#include "nux/host/random.h"
#include "nux/math2/math2_impl.h"
#include "nux/math2/regression.h"
#include "nux/matrix/svd.h"

namespace nux {

using math2_detail::Block;
using math2_detail::FalseOnNoMemory;
using math2_detail::StoreMatrix;
using math2_detail::StoreVector;

namespace {

double DotOf(const TDoubleArray& X, const TDoubleArray& Y) {
  double S = 0.0;
  for (size_t K = 0; K < X.size(); ++K) S += X[K] * Y[K];
  return S;
}

double NormOf(const TDoubleArray& X) { return std::sqrt(DotOf(X, X)); }

bool AllFinite(const TMatrix& M) {
  for (const auto& Column : M.Data())
    for (const double X : Column)
      if (!std::isfinite(X)) return false;
  return true;
}

// Columns of M centred, and divided by their standard deviation when Scale (a constant column
// stays 0); Mean and Sd receive the statistics (Sd 1 unless scaled).
TDouble2DArray Centre(const TMatrix& M, bool Scale, TDoubleArray& Mean, TDoubleArray& Sd) {
  const auto N = int64_t(M.NrOfRows());
  TDouble2DArray Out = M.Data();
  Mean.assign(Out.size(), 0.0);
  Sd.assign(Out.size(), 1.0);
  for (size_t J = 0; J < Out.size(); ++J) {
    const double* X = M.Data()[J].data();
    const TCentralSums S = CentralSums(N, [X](int64_t K) { return X[K]; });
    Mean[J] = S.Mean;
    if (Scale && S.S2 > 0.0) Sd[J] = std::sqrt(S.S2 / double(N - 1));
    for (double& V : Out[J]) V = (V - S.Mean) / Sd[J];
  }
  return Out;
}

// Index of the largest value (the first of equals).
size_t ArgMax(const TDoubleArray& W) {
  return size_t(std::max_element(W.begin(), W.end()) - W.begin());
}

// Order of the singular values, largest first (stable).
std::vector<size_t> Descending(const TDoubleArray& W) {
  std::vector<size_t> Ix(W.size());
  for (size_t I = 0; I < Ix.size(); ++I) Ix[I] = I;
  std::stable_sort(Ix.begin(), Ix.end(), [&W](size_t A, size_t B) { return W[A] > W[B]; });
  return Ix;
}

}  // namespace

bool SimPLS(const TMatrix& X, const TMatrix& Y, int32_t NComp, bool Scale, TMatrix& Weights,
            TMatrix& XScores, TMatrix& XLoadings, TMatrix& YLoadings, TMatrix& YScores,
            TMatrix& Basis, TVector& XVarExpl, TVector& YVarExpl, TMatrix& Coeffs) {
  const auto N = size_t(X.NrOfRows());
  const auto M = size_t(X.NrOfColumns());
  const auto Py = size_t(Y.NrOfColumns());
  if (size_t(Y.NrOfRows()) != N || N < 2 || NComp < 1 || size_t(NComp) > std::min(N - 1, M))
    return false;
  if (!AllFinite(X) || !AllFinite(Y)) return false;
  BeginAbortable();
  return FalseOnNoMemory([&] {
    const auto A = size_t(NComp);
    TDoubleArray XMean, XSd, YMean, YSd;
    const TDouble2DArray X0 = Centre(X, Scale, XMean, XSd);
    const TDouble2DArray Y0 = Centre(Y, Scale, YMean, YSd);
    double XTotal = 0.0, YTotal = 0.0;
    for (const auto& C : X0) XTotal += DotOf(C, C);
    for (const auto& C : Y0) YTotal += DotOf(C, C);

    // Cross products S = X0^T Y0, one column per Y column.
    TDouble2DArray S = Block(Py, M);
    for (size_t J = 0; J < Py; ++J)
      for (size_t I = 0; I < M; ++I) S[J][I] = DotOf(X0[I], Y0[J]);

    const auto FrobNorm = [](const TDouble2DArray& Z) {
      double Sum = 0.0;
      for (const auto& C : Z) Sum += DotOf(C, C);
      return std::sqrt(Sum);
    };
    // Below this, what is left of S is rounding from the deflations, not covariance.
    const double SFloor = 1e-12 * FrobNorm(S);
    TDouble2DArray R = Block(A, M), T = Block(A, N), P = Block(A, M), Q = Block(A, Py),
                   U = Block(A, N), V = Block(A, M);
    TDoubleArray XVar(A), YVar(A);
    for (size_t C = 0; C < A; ++C) {
      if (!(FrobNorm(S) > SFloor)) return false;
      // Weight r = S q for the dominant right singular vector q of S.
      TDoubleArray Qd(Py, 1.0);
      if (Py > 1) {
        TDouble2DArray Su = S, Sv = Block(Py, Py);
        TDoubleArray Sw(Py);
        if (SingularValueDecomp(Su, Sv, Sw) != svdOK) return false;
        Qd = Sv[ArgMax(Sw)];
      }
      TDoubleArray& r = R[C];
      for (size_t J = 0; J < Py; ++J)
        for (size_t I = 0; I < M; ++I) r[I] += S[J][I] * Qd[J];
      // Sign: the largest weight is positive, so that runs agree.
      size_t Big = 0;
      for (size_t I = 1; I < M; ++I)
        if (std::abs(r[I]) > std::abs(r[Big])) Big = I;
      if (r[Big] < 0.0)
        for (double& W : r) W = -W;
      TDoubleArray& t = T[C];
      for (size_t I = 0; I < M; ++I)
        for (size_t K = 0; K < N; ++K) t[K] += X0[I][K] * r[I];
      const double Nt = NormOf(t);
      if (!(Nt > 0.0) || !std::isfinite(Nt)) return false;  // no covariance left to explain
      for (double& W : t) W /= Nt;
      for (double& W : r) W /= Nt;
      for (size_t I = 0; I < M; ++I) P[C][I] = DotOf(X0[I], t);
      for (size_t J = 0; J < Py; ++J) Q[C][J] = DotOf(Y0[J], t);
      for (size_t J = 0; J < Py; ++J)
        for (size_t K = 0; K < N; ++K) U[C][K] += Y0[J][K] * Q[C][J];
      // v: the loading made orthogonal to the earlier ones; u likewise to the earlier scores.
      TDoubleArray v = P[C];
      TDoubleArray Pv(C), Ut(C);
      for (size_t B = 0; B < C; ++B) {
        Pv[B] = DotOf(V[B], P[C]);
        Ut[B] = DotOf(T[B], U[C]);
      }
      for (size_t B = 0; B < C; ++B) {
        for (size_t I = 0; I < M; ++I) v[I] -= V[B][I] * Pv[B];
        for (size_t K = 0; K < N; ++K) U[C][K] -= T[B][K] * Ut[B];
      }
      const double Nv = NormOf(v);
      if (!(Nv > 0.0)) return false;
      for (double& W : v) W /= Nv;
      V[C] = v;
      // Deflation of the cross products only: S <- S - v (v^T S).
      for (size_t J = 0; J < Py; ++J) {
        const double F = DotOf(v, S[J]);
        for (size_t I = 0; I < M; ++I) S[J][I] -= v[I] * F;
      }
      XVar[C] = DotOf(P[C], P[C]) / XTotal;
      YVar[C] = YTotal > 0.0 ? DotOf(Q[C], Q[C]) / YTotal : 0.0;
      if (MathFeedBack()) return false;
    }

    // B = R Q^T in original units, the constants in row 1.
    TDouble2DArray B = Block(Py, M + 1);
    for (size_t J = 0; J < Py; ++J) {
      double Const = YMean[J];
      for (size_t I = 0; I < M; ++I) {
        double Sum = 0.0;
        for (size_t C = 0; C < A; ++C) Sum += R[C][I] * Q[C][J];
        const double Bij = Sum * YSd[J] / XSd[I];
        B[J][I + 1] = Bij;
        Const -= Bij * XMean[I];
      }
      B[J][0] = Const;
    }
    StoreMatrix(Weights, R);
    StoreMatrix(XScores, T);
    StoreMatrix(XLoadings, P);
    StoreMatrix(YLoadings, Q);
    StoreMatrix(YScores, U);
    StoreMatrix(Basis, V);
    StoreVector(XVarExpl, XVar);
    StoreVector(YVarExpl, YVar);
    StoreMatrix(Coeffs, B);
    return true;
  });
}

bool VertexCompAnalysis(const TMatrix& X, int32_t NEndMembers, bool HighSNR, TMatrix& EndMembers,
                        TIntVector& Indices, TMatrix& Projected) {
  const auto N = size_t(X.NrOfRows());
  const auto L = size_t(X.NrOfColumns());
  const auto Pe = size_t(std::max(NEndMembers, 0));
  if (Pe < (HighSNR ? 1u : 2u) || Pe > std::min(N, L) || !AllFinite(X)) return false;
  BeginAbortable();
  return FalseOnNoMemory([&] {
    // Signal subspace: the leading right singular vectors of the (centred) data.
    TDoubleArray Mean, Sd;
    const TDouble2DArray Src = HighSNR ? X.Data() : Centre(X, false, Mean, Sd);
    TDouble2DArray Work = Src;
    const size_t D = HighSNR ? Pe : Pe - 1;
    TDouble2DArray Vs = Block(L, L);
    TDoubleArray Ws(L);
    if (SingularValueDecomp(Work, Vs, Ws) != svdOK) return false;
    const std::vector<size_t> Order = Descending(Ws);
    // Y[k] = the reduced coordinates of object k (Pe of them).
    TDouble2DArray Y = Block(N, Pe);
    for (size_t C = 0; C < D; ++C) {
      const TDoubleArray& Axis = Vs[Order[C]];
      for (size_t K = 0; K < N; ++K) {
        double S = 0.0;
        for (size_t B = 0; B < L; ++B) S += Src[B][K] * Axis[B];
        Y[K][C] = S;
      }
    }
    if (HighSNR) {
      // Projective scaling: every object onto the hyperplane y^T u = 1, u the mean direction.
      TDoubleArray U(Pe, 0.0);
      for (size_t K = 0; K < N; ++K)
        for (size_t C = 0; C < Pe; ++C) U[C] += Y[K][C] / double(N);
      for (auto& Yk : Y) {
        const double Den = DotOf(Yk, U);
        for (double& V : Yk) V = Den != 0.0 ? V / Den : 0.0;
      }
    } else {
      double CMax = 0.0;
      for (const auto& Yk : Y) CMax = std::max(CMax, NormOf(Yk));
      for (auto& Yk : Y) Yk[Pe - 1] = CMax;
    }

    // Vertex search: project a random direction off the span of the vertices found so far
    // (e_p at first) and take the object furthest along it.
    std::vector<TDoubleArray> Basis{TDoubleArray(Pe, 0.0)};
    Basis[0][Pe - 1] = 1.0;
    const auto Orthogonalise = [&Basis](TDoubleArray& F) {
      for (int Pass = 0; Pass < 2; ++Pass)
        for (const auto& Bv : Basis) {
          const double C = DotOf(Bv, F);
          for (size_t I = 0; I < F.size(); ++I) F[I] -= C * Bv[I];
        }
    };
    TIntArray Chosen(Pe);
    for (size_t I = 0; I < Pe; ++I) {
      TDoubleArray F(Pe);
      double Nf = 0.0;
      for (int Attempt = 0; Attempt < 8 && !(Nf > 1e-12); ++Attempt) {
        for (double& W : F) W = RandG(0.0, 1.0);
        Orthogonalise(F);
        Nf = NormOf(F);
      }
      if (!(Nf > 1e-12)) return false;
      size_t Best = 0;
      double BestV = -1.0;
      for (size_t K = 0; K < N; ++K) {
        const double Vk = std::abs(DotOf(F, Y[K]));
        if (Vk > BestV) {
          BestV = Vk;
          Best = K;
        }
      }
      Chosen[I] = int32_t(Best + 1);
      if (I == 0) Basis.clear();
      TDoubleArray Nb = Y[Best];
      Orthogonalise(Nb);
      const double Nn = NormOf(Nb);
      if (Nn > 1e-12 * std::max(1.0, NormOf(Y[Best]))) {
        for (double& W : Nb) W /= Nn;
        Basis.push_back(Nb);
      }
      if (MathFeedBack()) return false;
    }

    TDouble2DArray Ends = Block(L, Pe), Proj = Block(Pe, N);
    for (size_t I = 0; I < Pe; ++I)
      for (size_t B = 0; B < L; ++B) Ends[B][I] = X.Data()[B][size_t(Chosen[I] - 1)];
    for (size_t K = 0; K < N; ++K)
      for (size_t C = 0; C < Pe; ++C) Proj[C][K] = Y[K][C];
    StoreMatrix(EndMembers, Ends);
    Indices.Resize(int32_t(Pe));
    Indices.CopyFrom(Chosen, 0, 0, 1);
    StoreMatrix(Projected, Proj);
    return true;
  });
}

}  // namespace nux
