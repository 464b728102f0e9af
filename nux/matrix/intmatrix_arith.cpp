// TIntMatrix: products and element-wise arithmetic. Integer results wrap at 32 bits (computed in
// unsigned arithmetic, so an overflow is never undefined behaviour), as the integer vectors do.
#include <algorithm>

#include "nux/matrix/intmatrix.h"

namespace nux {

namespace {

int32_t Wrap(uint32_t X) { return static_cast<int32_t>(X); }

// Result(c, r) = sum over k of A(k-th factor of row r) * B(k-th factor of column c), for an
// Nc x Nr result; the sum is exact modulo 2^32.
template <class GetA, class GetB>
TInt2DArray Product(const TIntMatrix& Owner, int32_t Nc, int32_t Nr, int32_t K, GetA&& A,
                    GetB&& B) {
  TInt2DArray Res = GuardAlloc<ENUXMatrixError>(
      Owner, msgNoMemoryOnHeap, [&] { return TInt2DArray(size_t(Nc), TIntArray(size_t(Nr), 0)); });
  for (int32_t C = 1; C <= Nc; ++C)
    for (int32_t R = 1; R <= Nr; ++R) {
      uint32_t S = 0;
      for (int32_t I = 1; I <= K; ++I) S += uint32_t(A(I, R)) * uint32_t(B(C, I));
      Res[size_t(C - 1)][size_t(R - 1)] = Wrap(S);
    }
  return Res;
}

}  // namespace

bool TIntMatrix::Multiply(const TIntMatrix* MatB, TIntMatrix* MatRes) const {
  if (MatB == nullptr || MatRes == nullptr || FIsSparse || MatB->FIsSparse ||
      NrOfColumns() != MatB->NrOfRows())
    return false;
  MatRes->SetValues(Product(
      *this, MatB->NrOfColumns(), NrOfRows(), NrOfColumns(),
      [&](int32_t K, int32_t R) { return Mat[size_t(K - 1)][size_t(R - 1)]; },
      [&](int32_t C, int32_t K) { return MatB->Mat[size_t(C - 1)][size_t(K - 1)]; }));
  return true;
}

bool TIntMatrix::MultiplyTransposed(const TIntMatrix* MatB, TIntMatrix* MatRes) const {
  if (MatB == nullptr || MatRes == nullptr || FIsSparse || MatB->FIsSparse ||
      NrOfColumns() != MatB->NrOfColumns())
    return false;
  MatRes->SetValues(Product(
      *this, MatB->NrOfRows(), NrOfRows(), NrOfColumns(),
      [&](int32_t K, int32_t R) { return Mat[size_t(K - 1)][size_t(R - 1)]; },
      [&](int32_t C, int32_t K) { return MatB->Mat[size_t(K - 1)][size_t(C - 1)]; }));
  return true;
}

bool TIntMatrix::TransposeAndMultiply(const TIntMatrix* MatB, TIntMatrix* MatRes) const {
  if (MatB == nullptr || MatRes == nullptr || FIsSparse || MatB->FIsSparse ||
      NrOfRows() != MatB->NrOfRows())
    return false;
  MatRes->SetValues(Product(
      *this, MatB->NrOfColumns(), NrOfColumns(), NrOfRows(),
      [&](int32_t K, int32_t R) { return Mat[size_t(R - 1)][size_t(K - 1)]; },
      [&](int32_t C, int32_t K) { return MatB->Mat[size_t(C - 1)][size_t(K - 1)]; }));
  return true;
}

bool TIntMatrix::Multiply(const TIntVector* VecB, TIntVector* VecRes) const {
  if (VecB == nullptr || VecRes == nullptr || FIsSparse || NrOfColumns() != VecB->NrOfElem())
    return false;
  const TInt2DArray Y = Product(
      *this, 1, NrOfRows(), NrOfColumns(),
      [&](int32_t K, int32_t R) { return Mat[size_t(K - 1)][size_t(R - 1)]; },
      [&](int32_t, int32_t K) { return VecB->GetVal(K); });
  VecRes->SetValues(Y[0]);
  return true;
}

bool TIntMatrix::TransposeAndMultiply(const TIntVector* VecB, TIntVector* VecRes) const {
  if (VecB == nullptr || VecRes == nullptr || FIsSparse || NrOfRows() != VecB->NrOfElem())
    return false;
  const TInt2DArray Y = Product(
      *this, 1, NrOfColumns(), NrOfRows(),
      [&](int32_t K, int32_t R) { return Mat[size_t(R - 1)][size_t(K - 1)]; },
      [&](int32_t, int32_t K) { return VecB->GetVal(K); });
  VecRes->SetValues(Y[0]);
  return true;
}

bool TIntMatrix::EMult(const TIntMatrix* MatB, TIntMatrix* MatRes) const {
  if (MatB == nullptr || MatRes == nullptr || FIsSparse || MatB->FIsSparse ||
      NrOfColumns() != MatB->NrOfColumns() || NrOfRows() != MatB->NrOfRows())
    return false;
  TInt2DArray Res = GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] { return Mat; });
  for (size_t C = 0; C < Res.size(); ++C)
    for (size_t R = 0; R < Res[C].size(); ++R)
      Res[C][R] = Wrap(uint32_t(Res[C][R]) * uint32_t(MatB->Mat[C][R]));
  MatRes->SetValues(Res);
  return true;
}

bool TIntMatrix::Add(const TIntMatrix* MatB) {
  if (MatB == nullptr || FIsSparse) return false;
  if (MatB->FIsSparse) {
    if (NrOfColumns() < MatB->FSparseHighCol || NrOfRows() < MatB->FSparseHighRow) return false;
    MatB->ForEachStored([&](const TSpMatElemInt& E) {
      int32_t& X = Mat[size_t(E.colidx - 1)][size_t(E.rowidx - 1)];
      X = Wrap(uint32_t(X) + uint32_t(E.value));
    });
  } else {
    if (NrOfColumns() != MatB->NrOfColumns() || NrOfRows() != MatB->NrOfRows()) return false;
    for (size_t C = 0; C < Mat.size(); ++C)
      for (size_t R = 0; R < Mat[C].size(); ++R)
        Mat[C][R] = Wrap(uint32_t(Mat[C][R]) + uint32_t(MatB->Mat[C][R]));
  }
  Changed();
  return true;
}

bool TIntMatrix::Subtract(const TIntMatrix* MatB) {
  if (MatB == nullptr || FIsSparse || MatB->FIsSparse || NrOfColumns() != MatB->NrOfColumns() ||
      NrOfRows() != MatB->NrOfRows())
    return false;
  for (size_t C = 0; C < Mat.size(); ++C)
    for (size_t R = 0; R < Mat[C].size(); ++R)
      Mat[C][R] = Wrap(uint32_t(Mat[C][R]) - uint32_t(MatB->Mat[C][R]));
  Changed();
  return true;
}

void TIntMatrix::SMult(int32_t Scalar) {
  for (auto& Col : Mat)
    for (int32_t& X : Col) X = Wrap(uint32_t(X) * uint32_t(Scalar));
  Changed();
}

void TIntMatrix::SAdd(int32_t Scalar) {
  for (auto& Col : Mat)
    for (int32_t& X : Col) X = Wrap(uint32_t(X) + uint32_t(Scalar));
  Changed();
}

}  // namespace nux
