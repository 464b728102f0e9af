#include <gtest/gtest.h>

#include <cmath>

#include "nux/frame/progress.h"
#include "nux/host/random.h"
#include "nux/matrix/matrix.h"
#include "support/filled.h"

namespace nux {
namespace {

TEST(MatrixInverse, InverseTimesMatrixIsTheIdentity) {
  SetRandSeed(21);
  TMatrix A, Inv, P;
  A.Resize(6, 6);
  A.FillRandomUniform(-1, 1);
  for (int32_t I = 1; I <= 6; ++I) A.SetVal(I, I, A.GetVal(I, I) + 4);  // well conditioned
  Inv.Assign(&A);
  int Changes = 0;
  Inv.OnChange = [&](TObject*) { ++Changes; };
  ASSERT_TRUE(Inv.Invert());
  EXPECT_EQ(Changes, 0);
  // A * Inv, computed here element by element (row r of A, column c of Inv).
  for (int32_t R = 1; R <= 6; ++R)
    for (int32_t C = 1; C <= 6; ++C) {
      double S = 0;
      for (int32_t K = 1; K <= 6; ++K) S += A.GetVal(K, R) * Inv.GetVal(C, K);
      EXPECT_NEAR(S, R == C ? 1.0 : 0.0, 1e-13) << R << "," << C;
    }
  // A non-symmetric 2 x 2 against its closed form: rows (1 2; 3 4) -> (-2 1; 1.5 -0.5).
  TMatrix B;
  B.Resize(2, 2);
  B.SetVal(1, 1, 1);
  B.SetVal(2, 1, 2);
  B.SetVal(1, 2, 3);
  B.SetVal(2, 2, 4);
  ASSERT_TRUE(B.Invert());
  EXPECT_NEAR(B.GetVal(1, 1), -2, 1e-15);
  EXPECT_NEAR(B.GetVal(2, 1), 1, 1e-15);
  EXPECT_NEAR(B.GetVal(1, 2), 1.5, 1e-15);
  EXPECT_NEAR(B.GetVal(2, 2), -0.5, 1e-15);
}

TEST(MatrixInverse, SingularNonSquareAndIdentity) {
  TMatrix Z;
  Z.Resize(3, 3);
  Z.FillDiag(1);
  for (int32_t C = 1; C <= 3; ++C) Z.SetVal(C, 2, 0);  // a zero row
  EXPECT_FALSE(Z.Invert());
  TMatrix Wide;
  Wide.Resize(3, 2);
  EXPECT_FALSE(Wide.Invert());
  TMatrix I;
  I.Resize(4, 4);
  I.FillDiag(1);
  ASSERT_TRUE(I.Invert());
  for (int32_t C = 1; C <= 4; ++C)
    for (int32_t R = 1; R <= 4; ++R) EXPECT_EQ(I.GetVal(C, R), C == R ? 1.0 : 0.0);
}

// Rows given as in mathematics.
void SetRows(TMatrix& M, TNestedList RowList) {
  const Rows Source(RowList);
  M.Clone(&Source);
}

TEST(MatrixInverse, DeterminantNeedsRowExchangesRight) {
  TMatrix M;
  SetRows(M, {{0, 1}, {1, 0}});
  EXPECT_EQ(M.Determinant(), -1.0);
  SetRows(M, {{0, 2, 1}, {1, 0, 0}, {0, 0, 3}});  // one exchange: -(1 * 2 * 3)
  EXPECT_NEAR(M.Determinant(), -6.0, 1e-14);
  SetRows(M, {{2, 1, 1}, {4, -6, 0}, {-2, 7, 2}});  // by cofactors: -16
  EXPECT_NEAR(M.Determinant(), -16.0, 1e-13);
  SetRows(M, {{1, 2}, {2, 4}});
  EXPECT_NEAR(M.Determinant(), 0.0, 1e-15);
  TMatrix Wide;
  Wide.Resize(3, 2);
  EXPECT_EQ(Wide.Determinant(), 0.0);
}

TEST(MatrixInverse, LuFactorsMultiplyBackToTheMatrix) {
  TMatrix M, L, U;
  SetRows(M, {{0, 2, 1}, {1, 1, 0}, {3, 0, 5}});
  ASSERT_TRUE(M.LUdecomposition(&L, &U));
  ASSERT_EQ(L.NrOfColumns(), 3);
  for (int32_t R = 1; R <= 3; ++R)
    for (int32_t C = 1; C <= 3; ++C) {
      double S = 0;
      for (int32_t K = 1; K <= 3; ++K) S += L.GetVal(K, R) * U.GetVal(C, K);
      EXPECT_NEAR(S, M.GetVal(C, R), 1e-14) << R << "," << C;
      if (R > C) {
        EXPECT_EQ(U.GetVal(C, R), 0.0);
      }
    }
  EXPECT_FALSE(M.LUdecomposition(nullptr, &U));
  TMatrix Wide;
  Wide.Resize(2, 3);
  EXPECT_FALSE(Wide.LUdecomposition(&L, &U));
}

TEST(MatrixInverse, HatMatrixIsTheProductWithTheTranspose) {
  TMatrix X, H;
  SetRows(X, {{1, 2}, {3, 4}, {5, 6}});  // 3 rows, 2 columns
  EXPECT_EQ(X.CalcHatMatrix(&H), 0);
  ASSERT_EQ(H.NrOfColumns(), 3);
  ASSERT_EQ(H.NrOfRows(), 3);
  // (X X^T)(i, j) = row i . row j
  const double Expected[3][3] = {{5, 11, 17}, {11, 25, 39}, {17, 39, 61}};
  for (int32_t I = 1; I <= 3; ++I)
    for (int32_t J = 1; J <= 3; ++J) EXPECT_EQ(H.GetVal(J, I), Expected[I - 1][J - 1]);
  EXPECT_EQ(X.CalcHatMatrix(nullptr), -1);
  // Into itself, wide: the product is formed before the matrix shrinks to 2 x 2.
  TMatrix W;
  SetRows(W, {{1, 2, 3}, {4, 5, 6}});
  ASSERT_EQ(W.CalcHatMatrix(&W), 0);
  ASSERT_EQ(W.NrOfColumns(), 2);
  EXPECT_EQ(W.Data(), (TDouble2DArray{{14, 32}, {32, 77}}));
}

TEST(MatrixInverse, FillSerialFollowsStorageOrder) {
  TMatrix M;
  M.Resize(2, 3);
  M.FillSerial(1, 1);
  EXPECT_EQ(M.Data(), (TDouble2DArray{{1, 2, 3}, {4, 5, 6}}));
}

}  // namespace
}  // namespace nux
