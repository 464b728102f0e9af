#include <gtest/gtest.h>

#include <cmath>

#include "nux/frame/progress.h"
#include "nux/host/random.h"
#include "nux/matrix/matrix.h"

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

}  // namespace
}  // namespace nux
