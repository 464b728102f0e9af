// TMatrix: element-wise arithmetic, Cholesky decomposition, norms, trace, balancing and
// differencing.
#include <algorithm>
#include <cmath>
#include <limits>

#include "nux/kernels/norm.h"
#include "nux/matrix/matrix_core.h"
#include "nux/matrix/svd.h"

namespace nux {

namespace {

inline constexpr const char* msgNearSingular = "near singular covariance matrix";

bool SameSize(const TDouble2DArray& X, const TDouble2DArray& Y) {
  return X.size() == Y.size() && (X.empty() || X[0].size() == Y[0].size());
}

// Largest of the sums; NaN when any sum is NaN (a plain max would drop it).
double MaxOfSums(const TDoubleArray& Sums) {
  double Best = 0.0;
  for (const double S : Sums) {
    if (std::isnan(S)) return S;
    Best = std::max(Best, S);
  }
  return Best;
}

}  // namespace

bool TMatrix::Add(const TMatrix* MatB) {
  if (MatB == nullptr || !SameSize(Mat, MatB->Mat)) return false;
  for (size_t C = 0; C < Mat.size(); ++C) {
    const auto& B = MatB->Mat[C];
    auto& X = Mat[C];
    for (size_t R = 0; R < X.size(); ++R) X[R] += B[R];
  }
  Changed();
  return true;
}

bool TMatrix::Subtract(const TMatrix* MatB) {
  if (MatB == nullptr || !SameSize(Mat, MatB->Mat)) return false;
  for (size_t C = 0; C < Mat.size(); ++C) {
    const auto& B = MatB->Mat[C];
    auto& X = Mat[C];
    for (size_t R = 0; R < X.size(); ++R) X[R] -= B[R];
  }
  Changed();
  return true;
}

void TMatrix::SMult(double Scalar) {
  for (auto& Column : Mat)
    for (double& X : Column) X *= Scalar;
  Changed();
}

void TMatrix::SAdd(double Scalar) {
  for (auto& Column : Mat)
    for (double& X : Column) X += Scalar;
  Changed();
}

bool TMatrix::CholeskyDecomp(TMatrix* MatL) {
  const int32_t N = NrOfColumns();
  if (MatL == nullptr || N != NrOfRows()) return false;
  TDoubleArray D(size_t(N), 0.0);
  bool Ok = true;
  // a(r, c) is row r, column c; the factor F(p, k) sits at row k, column p (upper triangle).
  const auto At = [this](size_t R, size_t C) -> double& { return Mat[C][R]; };
  for (size_t I = 0; I < size_t(N); ++I)
    for (size_t J = I; J < size_t(N); ++J) {
      double S = At(J, I);
      for (size_t K = 0; K < I; ++K) S -= At(K, I) * At(K, J);
      if (I == J) {
        // "not positive and finite" rather than "<= 0": NaN and infinity must fail too.
        if (!(S > 0.0 && std::isfinite(S)))
          Ok = false;
        else
          D[I] = std::sqrt(S);
      } else {
        At(I, J) = S / D[I];
      }
    }
  MatL->Resize(N, N);
  // MatL may be this matrix: the factor is read from the strict upper triangle and written to
  // the lower triangle and diagonal, which no longer take part.
  for (size_t C = 0; C < size_t(N); ++C) {
    MatL->Mat[C][C] = D[C];
    for (size_t R = C + 1; R < size_t(N); ++R) MatL->Mat[C][R] = Mat[R][C];
  }
  MatL->Changed();
  return Ok;
}

double TMatrix::Norm(TNormType nt) const {
  switch (nt) {
    case ntColwise: {
      TDoubleArray Sums(Mat.size(), 0.0);
      for (size_t C = 0; C < Mat.size(); ++C)
        for (const double X : Mat[C]) Sums[C] += std::abs(X);
      return MaxOfSums(Sums);
    }
    case ntRowwise: {
      TDoubleArray Sums(size_t(NrOfRows()), 0.0);
      for (const auto& Column : Mat)
        for (size_t R = 0; R < Column.size(); ++R) Sums[R] += std::abs(Column[R]);
      return MaxOfSums(Sums);
    }
    case ntSpectral: {
      const size_t N = Mat.size();
      TDouble2DArray U = GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] { return Mat; });
      TDoubleArray W = GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap,
                                                   [&] { return TDoubleArray(N, 0.0); });
      const int32_t Res = SingularValues(U, W);
      if (Res == svdNoMemory) RaiseComponentError<ENUXMatrixError>(*this, msgNoMemoryOnHeap);
      if (Res != svdOK) RaiseComponentError<ENUXMatrixError>(*this, msgNearSingular);
      double Best = 0.0;
      for (const double X : W) Best = std::max(Best, X);
      return Best;
    }
    case ntFrobenius:
      return kernels::EuclideanNorm(
          [this](auto&& Visit) {
            for (const auto& Column : Mat)
              for (const double X : Column) Visit(X);
          },
          kernels::nmScaled);
  }
  return 0.0;
}

double TMatrix::Trace() const {
  if (NrOfColumns() != NrOfRows()) return 0.0;
  double Sum = 0.0;
  for (size_t I = 0; I < Mat.size(); ++I) Sum += Mat[I][I];
  return Sum;
}

bool TMatrix::Balance(double Tolerance) {
  const size_t N = Mat.size();
  if (int32_t(N) != NrOfRows()) return false;
  if (!(Tolerance >= 1.000001)) Tolerance = 1.000001;  // NaN too
  const double Limit = std::min(Tolerance, 1.05);
  double Largest = 0.0;
  for (int32_t Sweep = 0; Sweep < 100 && (Sweep == 0 || Largest > Limit); ++Sweep) {
    Largest = 0.0;
    for (size_t I = 0; I < N; ++I) {
      double R = 0.0;
      double C = 0.0;
      for (size_t K = 0; K < N; ++K)
        if (K != I) {
          R += std::abs(Mat[K][I]);
          C += std::abs(Mat[I][K]);
        }
      // A zero row or column sum has no balancing factor (0 or a division by 0); a non-finite
      // one would spread NaN through the matrix. Such an index is left alone.
      if (!(C > 0.0 && R > 0.0 && std::isfinite(C) && std::isfinite(R))) continue;
      const double F = std::sqrt(R / C);
      if (!(F > 0.0 && std::isfinite(F))) continue;
      for (size_t K = 0; K < N; ++K)
        if (K != I) {
          Mat[K][I] /= F;
          Mat[I][K] *= F;
        }
      Largest = std::max(Largest, F);
    }
  }
  return true;
}

int32_t TMatrix::Diff(int32_t Order, TApplyColRow Mode) {
  if (Order < 1 || Order > 10) return -1;
  const int32_t Nc = NrOfColumns();
  const int32_t Nr = NrOfRows();
  if (Mode == acrColumns) {
    if (Order >= Nr) return -2;
    TDouble2DArray Block = AllocateBlock(Nc, Nr - Order);
    TDoubleArray Line;
    for (size_t C = 0; C < size_t(Nc); ++C) {
      Line = Mat[C];
      for (size_t Len = size_t(Nr); Len > size_t(Nr - Order); --Len)
        for (size_t R = 0; R + 1 < Len; ++R) Line[R] = Line[R + 1] - Line[R];
      std::copy(Line.begin(), Line.begin() + (Nr - Order), Block[C].begin());
    }
    Mat.swap(Block);
  } else if (Mode == acrRows) {
    if (Order >= Nc) return -2;
    TDouble2DArray Block = AllocateBlock(Nc - Order, Nr);
    TDoubleArray Line(static_cast<size_t>(Nc));
    for (size_t R = 0; R < size_t(Nr); ++R) {
      for (size_t C = 0; C < size_t(Nc); ++C) Line[C] = Mat[C][R];
      for (size_t Len = size_t(Nc); Len > size_t(Nc - Order); --Len)
        for (size_t C = 0; C + 1 < Len; ++C) Line[C] = Line[C + 1] - Line[C];
      for (size_t C = 0; C < size_t(Nc - Order); ++C) Block[C][R] = Line[C];
    }
    Mat.swap(Block);
  } else {
    return -3;
  }
  Changed();
  Resized();
  return 0;
}

}  // namespace nux
