// TMatrix products. Each result is computed into a temporary block first, so a result object may
// be one of the operands, and only then written to the result through SetVal.
#include <algorithm>
#include <vector>

#include "nux/host/system.h"
#include "nux/kernels/gemm.h"
#include "nux/matrix/matrix_core.h"

namespace nux {

namespace {

using kernels::ColumnPointers;
using kernels::TOperand;

// A scratch block of Count doubles, or the component's out-of-memory error.
std::vector<double> Scratch(const TComponent& Owner, int64_t Count) {
  if (!AllocationPlausible(uint64_t(Count), sizeof(double)))
    RaiseComponentError<ENUXMatrixError>(Owner, msgNoMemoryOnHeap);
  return GuardAlloc<ENUXMatrixError>(Owner, msgNoMemoryOnHeap,
                                     [&] { return std::vector<double>(size_t(Count)); });
}

// Resizes Res to Nc x Nr and stores the column-major block C in it, element by element.
void StoreResult(TMatrix& Res, int32_t Nc, int32_t Nr, const std::vector<double>& C) {
  Res.Resize(Nc, Nr);
  for (int32_t J = 0; J < Nc; ++J)
    for (int32_t I = 0; I < Nr; ++I)
      Res.SetVal(J + 1, I + 1, C[size_t(J) * size_t(Nr) + size_t(I)]);
}

void StoreResult(TVector& Res, const std::vector<double>& Y) {
  Res.Resize(static_cast<int32_t>(Y.size()));
  for (size_t I = 0; I < Y.size(); ++I) Res.SetVal(static_cast<int32_t>(I + 1), Y[I]);
}

// C = A * B with the operands as the kernel sees them; M x N result, K terms.
std::vector<double> Product(const TComponent& Owner, int32_t M, int32_t N, int32_t K,
                            const TDouble2DArray& AMat, bool ATrans, const TDouble2DArray& BMat,
                            bool BTrans) {
  std::vector<double> C = Scratch(Owner, int64_t(M) * N);
  GuardAlloc<ENUXMatrixError>(Owner, msgNoMemoryOnHeap, [&] {
    const auto ACols = ColumnPointers(AMat);
    const auto BCols = ColumnPointers(BMat);
    kernels::Gemm(M, N, K, TOperand{ACols.data(), ATrans}, 0, TOperand{BCols.data(), BTrans}, 0,
                  C.data(), M);
  });
  return C;
}

}  // namespace

bool TMatrix::Multiply(const TMatrix* MatB, TMatrix* MatRes) {
  if (MatB == nullptr || MatRes == nullptr || NrOfColumns() != MatB->NrOfRows()) return false;
  const int32_t M = NrOfRows(), N = MatB->NrOfColumns();
  const auto C = Product(*this, M, N, NrOfColumns(), Mat, false, MatB->Mat, false);
  StoreResult(*MatRes, N, M, C);
  Changed();
  return true;
}

bool TMatrix::Multiply(const TVector* VecB, TVector* VecRes) {
  if (VecB == nullptr || VecRes == nullptr || NrOfColumns() != VecB->NrOfElem()) return false;
  std::vector<double> Y = Scratch(*this, NrOfRows());
  GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] {
    const auto ACols = ColumnPointers(Mat);
    kernels::Gemv(NrOfRows(), NrOfColumns(), ACols.data(), VecB->Data().data(), Y.data());
  });
  StoreResult(*VecRes, Y);
  Changed();
  return true;
}

bool TMatrix::MultiplyTransposed(const TMatrix* MatB, TMatrix* MatRes) {
  if (MatB == nullptr || MatRes == nullptr || NrOfColumns() != MatB->NrOfColumns()) return false;
  const int32_t M = NrOfRows(), N = MatB->NrOfRows();
  // (B^T)(p, j) = B(j, p) is column p of B read along its rows.
  const auto C = Product(*this, M, N, NrOfColumns(), Mat, false, MatB->Mat, true);
  StoreResult(*MatRes, N, M, C);
  Changed();
  return true;
}

bool TMatrix::TransposeAndMultiply(const TMatrix* MatB, TMatrix* MatRes) const {
  if (MatB == nullptr || MatRes == nullptr || NrOfRows() != MatB->NrOfRows()) return false;
  const int32_t M = NrOfColumns(), N = MatB->NrOfColumns();
  const auto C = Product(*this, M, N, NrOfRows(), Mat, true, MatB->Mat, false);
  StoreResult(*MatRes, N, M, C);
  return true;
}

bool TMatrix::TransposeAndMultiply(const TVector* VecB, TVector* VecRes) const {
  if (VecB == nullptr || VecRes == nullptr || NrOfRows() != VecB->NrOfElem()) return false;
  const int32_t Nc = NrOfColumns();
  const auto Rows = size_t(NrOfRows());
  const double* X = VecB->Data().data();
  std::vector<double> Y = Scratch(*this, Nc);
  // Dot products of whole columns; four at a time so that X is read once per four columns.
  int32_t I = 0;
  for (; I + 4 <= Nc; I += 4) {
    const double *C0 = Mat[size_t(I)].data(), *C1 = Mat[size_t(I) + 1].data(),
                 *C2 = Mat[size_t(I) + 2].data(), *C3 = Mat[size_t(I) + 3].data();
    double S0 = 0.0, S1 = 0.0, S2 = 0.0, S3 = 0.0;
    for (size_t P = 0; P < Rows; ++P) {
      S0 = S0 + C0[P] * X[P];
      S1 = S1 + C1[P] * X[P];
      S2 = S2 + C2[P] * X[P];
      S3 = S3 + C3[P] * X[P];
    }
    Y[size_t(I)] = S0, Y[size_t(I) + 1] = S1, Y[size_t(I) + 2] = S2, Y[size_t(I) + 3] = S3;
  }
  for (; I < Nc; ++I) {
    double S = 0.0;
    for (size_t P = 0; P < Rows; ++P) S = S + Mat[size_t(I)][P] * X[P];
    Y[size_t(I)] = S;
  }
  StoreResult(*VecRes, Y);
  return true;
}

int32_t TMatrix::CalcHatMatrix(TMatrix* HatMat) const {
  if (HatMat == nullptr) return -1;
  const int32_t Nr = NrOfRows();
  if (Mat.empty() || Nr == 0) {
    HatMat->Resize(Nr, Nr);
    return -1;
  }
  // (this * this^T)(i, j) = row i . row j; this^T seen through the same column pointers. The
  // result is resized only afterwards, so HatMat may be the matrix itself.
  const auto C = Product(*this, Nr, Nr, NrOfColumns(), Mat, false, Mat, true);
  TDouble2DArray H = GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] {
    TDouble2DArray Out(static_cast<size_t>(Nr));
    for (size_t J = 0; J < size_t(Nr); ++J)
      Out[J].assign(C.begin() + std::ptrdiff_t(J * size_t(Nr)),
                    C.begin() + std::ptrdiff_t((J + 1) * size_t(Nr)));
    return Out;
  });
  HatMat->Resize(Nr, Nr);
  HatMat->CopyFromArray(H, 0, 0, 0, 0, 1, 1);
  return 0;
}

bool TMatrix::EMult(const TMatrix* MatB, TMatrix* MatRes) {
  if (MatB == nullptr || MatRes == nullptr || NrOfColumns() != MatB->NrOfColumns() ||
      NrOfRows() != MatB->NrOfRows())
    return false;
  const int32_t Nc = NrOfColumns(), Nr = NrOfRows();
  std::vector<double> C = Scratch(*this, int64_t(Nc) * Nr);
  for (size_t J = 0; J < size_t(Nc); ++J)
    for (size_t I = 0; I < size_t(Nr); ++I) C[J * size_t(Nr) + I] = Mat[J][I] * MatB->Mat[J][I];
  StoreResult(*MatRes, Nc, Nr, C);
  Changed();
  return true;
}

}  // namespace nux
