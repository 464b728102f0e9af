// Covariance, cyclic Jacobi eigen analysis, principal components and the routines built on the
// singular value decomposition of the matrix unit.
#include "nux/math2/eigen.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <string>
#include <utility>

#include "nux/frame/errors.h"
#include "nux/frame/moments.h"
#include "nux/frame/progress.h"
#include "nux/host/system.h"
#include "nux/kernels/dispatch.h"
#include "nux/math2/math2_impl.h"
#include "nux/matrix/svd.h"

namespace nux {

using math2_detail::Block;
using math2_detail::FalseOnNoMemory;
using math2_detail::StoreMatrix;
using math2_detail::StoreVector;

namespace {

// Columns LoC..HiC of InMat with (0, 0) for all; false when they are not a valid range.
bool ResolveColumns(const TMatrix& InMat, int32_t& LoC, int32_t& HiC) {
  if (LoC == 0 && HiC == 0) {
    LoC = 1;
    HiC = InMat.NrOfColumns();
  }
  return LoC >= 1 && LoC <= HiC && HiC <= InMat.NrOfColumns();
}

}  // namespace

bool CalcCovar(const TMatrix& InMat, TMatrix& OutMat, int32_t LoC, int32_t HiC, int32_t LoR,
               int32_t HiR, int32_t Mode) {
  BeginAbortable();
  if (Mode < cvCrossProducts || Mode > cvMeanSquaredDiffs) return false;
  if (!ResolveColumns(InMat, LoC, HiC)) return false;
  // N - 1 divides every sum, so one row is refused like a range outside the matrix.
  if (LoR < 1 || HiR > InMat.NrOfRows() || HiR - LoR + 1 < 2) return false;
  const int32_t P = HiC - LoC + 1;
  if (OutMat.NrOfColumns() < P || OutMat.NrOfRows() < P) return false;
  const auto N = int64_t{HiR} - LoR + 1;
  const auto Np = static_cast<size_t>(P);
  const double Norm = static_cast<double>(N - 1);

  return FalseOnNoMemory([&] {
    std::vector<const double*> Col(Np);
    for (size_t I = 0; I < Np; ++I) Col[I] = InMat.Data()[size_t(LoC - 1) + I].data() + (LoR - 1);
    TDoubleArray Mean(Np, 0.0), Sd(Np, 0.0);
    if (Mode != cvCrossProducts)
      for (size_t I = 0; I < Np; ++I) {
        // Two-pass sums: a constant column has variance exactly 0, whatever its mean.
        const TCentralSums C = CentralSums(N, [X = Col[I]](int64_t K) { return X[K]; });
        Mean[I] = C.Mean;
        Sd[I] = std::sqrt(C.S2 / Norm);
        MathFeedBack(static_cast<double>(N));
      }

    TDouble2DArray Out = Block(Np, Np);
    for (size_t I = 0; I < Np; ++I)
      for (size_t J = I; J < Np; ++J) {
        const double* X = Col[I];
        const double* Y = Col[J];
        double V = 0.0;
        switch (Mode) {
          case cvCrossProducts:
            for (int64_t K = 0; K < N; ++K) V += X[K] * Y[K];
            V /= Norm;
            break;
          case cvCovariances:
            V = CentralCoSum(
                    N, [X](int64_t K) { return X[K]; }, [Y](int64_t K) { return Y[K]; }, Mean[I],
                    Mean[J]) /
                Norm;
            break;
          case cvCorrelations:
          case cvSquaredCorrelations:
            // A column without spread correlates with nothing: 0 (Mode 2 still puts 1 on the
            // diagonal).
            if (Sd[I] > 0.0 && Sd[J] > 0.0) {
              V = CentralCoSum(
                      N, [X](int64_t K) { return X[K]; }, [Y](int64_t K) { return Y[K]; }, Mean[I],
                      Mean[J]) /
                  Norm / Sd[I] / Sd[J];
              V = std::clamp(V, -1.0, 1.0);
            }
            if (Mode == cvSquaredCorrelations) V *= V;
            if (Mode == cvCorrelations && I == J) V = 1.0;
            break;
          default:
            for (int64_t K = 0; K < N; ++K) {
              const double D = X[K] - Y[K];
              V += D * D;
            }
            V /= Norm;
            break;
        }
        Out[I][J] = V;
        Out[J][I] = V;
        if (MathFeedBack(static_cast<double>(N))) return false;
      }
    OutMat.CopyFromArray(Out, 0, 0, P - 1, P - 1, 1, 1);
    return true;
  });
}

// ---- Eigen analysis ----

namespace {

struct TEigenStore {
  int32_t N = 0;
  TDoubleArray Values;
  TDouble2DArray Vectors;  // eigenvector k in column k
};

TEigenStore& Store() {
  static TEigenStore S;
  return S;
}

// One Jacobi rotation of element pairs: X <- X - s (Y + X tau), Y <- Y + s (X - Y tau), each
// element as the textbook loop computes it, so every instruction set gives the same bits.
// Compiled once per instruction set (nux/kernels/dispatch.h).
[[gnu::always_inline]] inline void RotatePairsBody(double* __restrict X, double* __restrict Y,
                                                   size_t N, double S, double Tau) {
  for (size_t K = 0; K < N; ++K) {
    const double G = X[K];
    const double H = Y[K];
    X[K] = G - S * (H + G * Tau);
    Y[K] = H + S * (G - H * Tau);
  }
}

// Rotations of one sweep that are batched before the rows they changed are mirrored.
constexpr size_t JacobiBatch = 8;

// The cyclic Jacobi iteration on the full symmetric matrix A (n x n, column-major). A rotation
// (p, q) changes rows and columns p and q; the columns are updated as contiguous pairs, the rows
// are their mirror images and are copied in afterwards: row p once the p-loop is through (no
// rotation of it reads another column's row p), rows q after a batch of consecutive q, as one
// small transposition per column. Within a batch, column q takes its rows q0..q-1 from the
// columns rotated before it. The order and arithmetic of the rotations are the textbook's.
// Returns 1 on convergence, 0 after 100 sweeps, -1 on abort.
int JacobiSweeps(TDoubleArray& A, TDouble2DArray& V, TDoubleArray& D, size_t N) {
  TDoubleArray B(D), Z(N, 0.0);
  const auto At = [&A, N](size_t Col, size_t Row) -> double& { return A[Col * N + Row]; };
  for (int Sweep = 1;; ++Sweep) {
    if (MathFeedBack()) return -1;
    // Row by row along the upper part, as the textbook sums it: read down the mirrored column.
    double Sm = 0.0;
    for (size_t P = 0; P + 1 < N; ++P)
      for (size_t Q = P + 1; Q < N; ++Q) Sm += std::abs(At(P, Q));
    if (Sm == 0.0) return 1;
    if (Sweep > 100) return 0;
    const double Tresh = Sweep < 4 ? 0.2 * Sm / (double(N) * double(N)) : 0.0;
    const auto RotatePairs = kernels::TPathVariants<&RotatePairsBody>::For(kernels::ActivePath());
    bool Aborted = false;
    for (size_t P = 0; P + 1 < N && !Aborted; ++P) {
      double* Cp = &At(P, 0);
      for (size_t Q0 = P + 1; Q0 < N; Q0 += JacobiBatch) {
        const size_t Q1 = std::min(Q0 + JacobiBatch, N);
        size_t QEnd = Q0;
        for (size_t Q = Q0; Q < Q1; ++Q, QEnd = Q) {
          double* Cq = &At(Q, 0);
          for (size_t R = Q0; R < Q; ++R) Cq[R] = At(R, Q);
          if (MathFeedBack()) {
            Aborted = true;
            break;
          }
          const double Apq = Cp[Q];
          const double G = 200.0 * std::abs(Apq);
          if (Sweep > 4 && std::abs(D[P]) + G == std::abs(D[P]) &&
              std::abs(D[Q]) + G == std::abs(D[Q])) {
            Cp[Q] = 0.0;
            Cq[P] = 0.0;
          } else if (std::abs(Apq) > Tresh) {
            double H = D[Q] - D[P];
            double T;
            if (std::abs(H) + G == std::abs(H)) {
              T = Apq / H;
            } else {
              const double Theta = 0.5 * H / Apq;
              T = 1.0 / (std::abs(Theta) + std::sqrt(1.0 + Theta * Theta));
              if (Theta < 0.0) T = -T;
            }
            const double C = 1.0 / std::sqrt(1.0 + T * T);
            const double S = T * C;
            const double Tau = S / (1.0 + C);
            H = T * Apq;
            Z[P] -= H;
            Z[Q] += H;
            D[P] -= H;
            D[Q] += H;
            Cp[Q] = 0.0;
            Cq[P] = 0.0;
            RotatePairs(Cp, Cq, P, S, Tau);
            RotatePairs(Cp + P + 1, Cq + P + 1, Q - P - 1, S, Tau);
            RotatePairs(Cp + Q + 1, Cq + Q + 1, N - Q - 1, S, Tau);
            RotatePairs(V[P].data(), V[Q].data(), N, S, Tau);
          }
        }
        // Mirror rows Q0..QEnd-1 into the other columns (row P is left to the end of the loop).
        for (size_t J = 0; J < N; ++J) {
          if (J == P) continue;
          // A column of the batch is current above its own row already.
          const size_t From = (J >= Q0 && J < QEnd) ? J + 1 : Q0;
          double* Cj = &At(J, 0);
          for (size_t Q = From; Q < QEnd; ++Q) Cj[Q] = At(Q, J);
        }
        if (Aborted) break;
      }
      for (size_t J = 0; J < N; ++J)
        if (J != P) At(J, P) = Cp[J];
    }
    if (Aborted) return -1;
    for (size_t I = 0; I < N; ++I) {
      B[I] += Z[I];
      D[I] = B[I];
      Z[I] = 0.0;
    }
  }
}

}  // namespace

bool CalcEigVec(TMatrix& Mat) {
  const int32_t Nc = Mat.NrOfColumns();
  if (Nc != Mat.NrOfRows() || Nc > MaxEigenSize) return false;
  const auto N = static_cast<size_t>(Nc);
  const TDouble2DArray& Src = Mat.Data();
  for (size_t C = 0; C < N; ++C)
    for (size_t R = 0; R <= C; ++R)
      if (!std::isfinite(Src[C][R])) return false;

  TDoubleArray A, D;
  TDouble2DArray V;
  try {
    if (!AllocationPlausible(2 * uint64_t(N) * N, sizeof(double))) throw std::bad_alloc();
    A.resize(N * N);
    V = Block(N, N);
    D.resize(N);
  } catch (const std::bad_alloc&) {
    throw ENUXMath2Error("CalcEigVec: not enough memory");
  } catch (const std::length_error&) {
    throw ENUXMath2Error("CalcEigVec: not enough memory");
  }
  for (size_t C = 0; C < N; ++C) {
    for (size_t R = 0; R <= C; ++R) A[C * N + R] = A[R * N + C] = Src[C][R];
    V[C][C] = 1.0;
    D[C] = Src[C][C];
  }

  BeginAbortable();
  const int Result = JacobiSweeps(A, V, D, N);

  // The part above the diagonal is left as the rotations made it.
  for (size_t C = 1; C < N; ++C)
    for (size_t R = 0; R < C; ++R) Mat.SetVal(int32_t(C + 1), int32_t(R + 1), A[C * N + R]);
  TEigenStore& S = Store();
  S.N = Nc;
  S.Values = std::move(D);
  S.Vectors = std::move(V);
  return Result == 1;
}

double GetEigenResult(int32_t ix, int32_t iy) {
  const TEigenStore& S = Store();
  if (S.N == 0 || ix < 1 || ix > S.N || iy < 0 || iy > S.N) return 0.0;
  if (iy == 0) return S.Values[size_t(ix - 1)];
  return S.Vectors[size_t(ix - 1)][size_t(iy - 1)];
}

int32_t GetEigenSize() { return Store().N; }

void RemoveEigenMatrix() {
  TEigenStore& S = Store();
  S.N = 0;
  TDoubleArray().swap(S.Values);
  TDouble2DArray().swap(S.Vectors);
}

bool CalcPrincComp(const TMatrix& InMat, int32_t LoC, int32_t HiC, int32_t LoR, int32_t HiR,
                   int32_t Mode, bool NormEV) {
  // The whole-range rule comes before the number of variables is taken from the range.
  if (!ResolveColumns(InMat, LoC, HiC)) return false;
  const int32_t P = HiC - LoC + 1;
  TMatrix Cov;
  Cov.Resize(P, P);
  if (!CalcCovar(InMat, Cov, LoC, HiC, LoR, HiR, Mode)) return false;
  if (!CalcEigVec(Cov)) return false;

  TEigenStore& S = Store();
  const auto N = static_cast<size_t>(S.N);
  if (NormEV) {
    double Sum = 0.0;
    for (const double X : S.Values) Sum += std::abs(X);
    if (Sum != 0.0)
      for (double& X : S.Values) X /= Sum;
  }
  // Selection: the largest positive value left goes to the front; non-positive ones stay put.
  for (size_t I = 0; I < N; ++I) {
    size_t Best = N;
    for (size_t K = I; K < N; ++K)
      if (S.Values[K] > 0.0 && (Best == N || S.Values[K] > S.Values[Best])) Best = K;
    if (Best != N && Best != I) {
      std::swap(S.Values[I], S.Values[Best]);
      S.Vectors[I].swap(S.Vectors[Best]);
    }
  }
  return true;
}

bool CalcPrincComp(const TMatrix& InMat, int32_t LoC, int32_t HiC, int32_t LoR, int32_t HiR,
                   int32_t Mode) {
  return CalcPrincComp(InMat, LoC, HiC, LoR, HiR, Mode, true);
}

// ---- Singular value decomposition and what is built on it ----

bool SingValDecomp(TMatrix& A, TMatrix& V, TVector& W) {
  const int32_t N = A.NrOfColumns();
  if (V.NrOfColumns() != N || V.NrOfRows() != N || W.NrOfElem() != N) return false;
  BeginAbortable();
  return FalseOnNoMemory([&] {
    TDouble2DArray U = A.Data();
    TDouble2DArray VA = Block(size_t(N), size_t(N));
    TDoubleArray WA(static_cast<size_t>(N), 0.0);
    const int32_t Res = SingularValueDecomp(U, VA, WA);
    if (Res != svdOK && Res != svdNoConverge) return false;
    StoreMatrix(A, U);
    StoreMatrix(V, VA);
    StoreVector(W, WA);
    return Res == svdOK;
  });
}

bool SingValEquSolve(const TMatrix& U, const TMatrix& V, const TVector& W, const TVector& b,
                     TVector& x, TVector* dx) {
  const int32_t M = U.NrOfRows();
  const int32_t N = U.NrOfColumns();
  if (V.NrOfColumns() != N || V.NrOfRows() != N || W.NrOfElem() != N || b.NrOfElem() != M)
    throw ENUXMath2Error("SingValEquSolve: sizes do not fit: U is " + std::to_string(M) + " x " +
                         std::to_string(N) + " (rows x columns), V is " +
                         std::to_string(V.NrOfRows()) + " x " + std::to_string(V.NrOfColumns()) +
                         ", W has " + std::to_string(W.NrOfElem()) + " and b " +
                         std::to_string(b.NrOfElem()) + " elements");
  const auto Nn = static_cast<size_t>(N);
  const TDouble2DArray& UA = U.Data();
  const TDouble2DArray& VA = V.Data();
  const TDoubleArray& WA = W.Data();
  const TDoubleArray& BA = b.Data();
  TDoubleArray T(Nn, 0.0), X(Nn, 0.0);
  for (size_t J = 0; J < Nn; ++J) {
    if (WA[J] == 0.0) continue;
    double S = 0.0;
    for (size_t I = 0; I < size_t(M); ++I) S += UA[J][I] * BA[I];
    T[J] = S / WA[J];
  }
  for (size_t K = 0; K < Nn; ++K) {
    double S = 0.0;
    for (size_t J = 0; J < Nn; ++J) S += VA[J][K] * T[J];
    X[K] = S;
  }
  StoreVector(x, X);
  if (dx != nullptr) {
    TDoubleArray DX(Nn, 0.0);
    for (size_t K = 0; K < Nn; ++K) {
      double S = 0.0;
      for (size_t J = 0; J < Nn; ++J)
        if (WA[J] != 0.0) {
          const double R = VA[J][K] / WA[J];
          S += R * R;
        }
      DX[K] = std::sqrt(S);
    }
    StoreVector(*dx, DX);
  }
  return true;
}

bool PseudoInverse(const TMatrix& A, TMatrix& B, double Tol) {
  const auto M = static_cast<size_t>(A.NrOfRows());
  const auto N = static_cast<size_t>(A.NrOfColumns());
  BeginAbortable();
  return FalseOnNoMemory([&] {
    TDouble2DArray U = A.Data();
    TDouble2DArray V = Block(N, N);
    TDoubleArray W(N);
    if (SingularValueDecomp(U, V, W) != svdOK) return false;
    // A negative tolerance counts as 0; either way a zero singular value is never divided by.
    if (!(Tol > 0.0))
      Tol = double(std::max(M, N)) * *std::max_element(W.begin(), W.end()) * 1.2e-16;
    for (size_t J = 0; J < N; ++J) {
      const double Wj = W[J];
      for (double& X : V[J]) X = std::abs(Wj) <= Tol ? 0.0 : X / Wj;
    }
    // B = V U^T: n rows, m columns; column i is the sum over j of V column j times U(i, j).
    TDouble2DArray Out = Block(M, N);
    for (size_t I = 0; I < M; ++I)
      for (size_t K = 0; K < N; ++K) {
        double S = 0.0;
        for (size_t J = 0; J < N; ++J) S += V[J][K] * U[J][I];
        Out[I][K] = S;
      }
    StoreMatrix(B, Out);
    return true;
  });
}

double MahalanobisDistance(const TVector& v1, const TVector& v2, const TMatrix& InvCov) {
  if (v1.NrOfElem() != v2.NrOfElem())
    throw ENUXVectorError("MahalanobisDistance: dimensions of vectors do not match");
  if (InvCov.NrOfColumns() != InvCov.NrOfRows())
    throw ENUXVectorError("MahalanobisDistance: inverse covariance matrix is not quadratric");
  if (v1.NrOfElem() != InvCov.NrOfColumns())
    throw ENUXVectorError(
        "MahalanobisDistance: dimension of vectors and inverse covariance matrix do not match");
  const auto N = static_cast<size_t>(v1.NrOfElem());
  const TDoubleArray& X = v1.Data();
  const TDoubleArray& Y = v2.Data();
  const TDouble2DArray& C = InvCov.Data();
  double D2 = 0.0;
  for (size_t I = 0; I < N; ++I) {
    double S = 0.0;
    for (size_t J = 0; J < N; ++J) S += (X[J] - Y[J]) * C[J][I];
    D2 += (X[I] - Y[I]) * S;
  }
  if (D2 < 0.0)
    throw ENUXVectorError(
        "MahalanobisDistance: the inverse covariance matrix must be symmetric and positive "
        "definite");
  return std::sqrt(D2);
}

int32_t ClassScatterMatrices(const TDouble2DArray& Data, const TIntArray& ClassNr, int32_t& NClass,
                             TIntArray& ClassSizes, TDouble2DArray& ClassMeans,
                             TDouble2DArray& ClassVars, TDouble2DArray& Sb, TDouble2DArray& Sw) {
  if (Data.empty() || Data[0].empty()) return csBadData;
  const size_t P = Data.size();
  const size_t N = Data[0].size();
  for (const auto& Column : Data)
    if (Column.size() != N) return csBadData;
  if (ClassNr.size() != N) return csBadClassCount;
  TIntArray Sizes(N, 0);
  for (const int32_t C : ClassNr) {
    if (C < 1 || size_t(C) > N) return csBadClassNr;
    ++Sizes[size_t(C - 1)];
  }
  size_t NC = 0;
  while (NC < N && Sizes[NC] > 0) ++NC;
  for (size_t C = NC; C < N; ++C)
    if (Sizes[C] > 0) return csClassGap;
  Sizes.resize(NC);

  // Members of every class, in object order, for two-pass class statistics.
  std::vector<std::vector<size_t>> Members(NC);
  for (size_t C = 0; C < NC; ++C) Members[C].reserve(size_t(Sizes[C]));
  for (size_t K = 0; K < N; ++K) Members[size_t(ClassNr[K] - 1)].push_back(K);

  TDoubleArray Mean(P);
  TDouble2DArray Means = Block(P, NC), Vars = Block(P, NC);
  for (size_t V = 0; V < P; ++V) {
    const double* X = Data[V].data();
    Mean[V] = StableMean(int64_t(N), [X](int64_t K) { return X[K]; });
    for (size_t C = 0; C < NC; ++C) {
      const auto& Ix = Members[C];
      const TCentralSums S = CentralSums(int64_t(Ix.size()), [&](int64_t K) { return X[Ix[K]]; });
      Means[V][C] = S.Mean;
      // One member has no spread to estimate: its variance is reported as 0.
      Vars[V][C] = Ix.size() > 1 ? std::abs(S.S2 / double(Ix.size() - 1)) : 0.0;
    }
  }
  TDouble2DArray B = Block(P, P), W = Block(P, P);
  for (size_t V = 0; V < P; ++V)
    for (size_t U = V; U < P; ++U) {
      double SB = 0.0, SW = 0.0;
      for (size_t C = 0; C < NC; ++C)
        SB += double(Sizes[C]) * (Means[V][C] - Mean[V]) * (Means[U][C] - Mean[U]);
      for (size_t K = 0; K < N; ++K) {
        const auto C = size_t(ClassNr[K] - 1);
        SW += (Data[V][K] - Means[V][C]) * (Data[U][K] - Means[U][C]);
      }
      B[V][U] = B[U][V] = SB;
      W[V][U] = W[U][V] = SW;
    }
  NClass = int32_t(NC);
  ClassSizes = std::move(Sizes);
  ClassMeans = std::move(Means);
  ClassVars = std::move(Vars);
  Sb = std::move(B);
  Sw = std::move(W);
  return csOK;
}

}  // namespace nux
