#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "nux/frame/progress.h"
#include "nux/matrix/matrix.h"
#include "support/filled.h"

namespace nux {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

// A matrix given row by row that counts its events.
struct CountingRows : Rows {
  int Changes = 0, Resizes = 0;
  explicit CountingRows(TNestedList RowList) : Rows(RowList) {
    OnChange = [this](TObject*) { ++Changes; };
    OnResize = [this](TObject*) { ++Resizes; };
  }
};

TEST(MatrixLinalg, ArithmeticTraceAndNorms) {
  CountingRows A{{1, -2}, {-3, 4}, {5, 0}};
  Rows B{{10, 20}, {30, 40}, {50, 60}};
  EXPECT_TRUE(A.Add(&B));
  EXPECT_TRUE(A.Subtract(&B));
  A.SMult(-2);
  A.SAdd(0.5);
  A.SMult(-0.5);  // back to the start, through exact steps
  A.SAdd(0.25);
  EXPECT_EQ(A.Data(), (Rows{{1, -2}, {-3, 4}, {5, 0}}).Data());
  EXPECT_EQ(A.Changes, 6);
  Rows Transposed{{1, 2, 3}, {4, 5, 6}};  // same element count, other shape
  EXPECT_FALSE(A.Add(&Transposed));
  EXPECT_FALSE(A.Subtract(nullptr));
  EXPECT_EQ(A.Changes, 6);

  EXPECT_EQ(A.Trace(), 0.0);  // not square
  EXPECT_EQ((Rows{{1, 9}, {9, -2.5}}).Trace(), -1.5);
  EXPECT_EQ(A.Norm(ntColwise), 9.0);
  EXPECT_EQ(A.Norm(ntRowwise), 7.0);
  EXPECT_DOUBLE_EQ(A.Norm(ntFrobenius), std::sqrt(55.0));
  EXPECT_EQ(A.Norm(TNormType(9)), 0.0);
  EXPECT_EQ((Rows{{1, 1}, {1, 1}}).Norm(ntFrobenius), 2.0);
  // Squares that overflow or underflow; NaN that a plain maximum would drop.
  EXPECT_DOUBLE_EQ((Rows{{1e200, 1e200}, {1e200, 1e200}}).Norm(ntFrobenius), 2e200);
  EXPECT_DOUBLE_EQ((Rows{{3e-200, 0}, {0, 4e-200}}).Norm(ntFrobenius), 5e-200);
  Rows WithNaN{{1, NaN}, {100, 1}};
  for (const auto Nt : {ntColwise, ntRowwise, ntFrobenius})
    EXPECT_TRUE(std::isnan(WithNaN.Norm(Nt)));
}

TEST(MatrixLinalg, SpectralNorm) {
  // A^T A = [[25, 20], [20, 25]] has the eigenvalues 45 and 5.
  Rows A{{3, 0}, {4, 5}};
  EXPECT_NEAR(A.Norm(ntSpectral), 3.0 * std::sqrt(5.0), 1e-14);
  EXPECT_EQ(A.Data(), (Rows{{3, 0}, {4, 5}}).Data());              // a copy is decomposed
  EXPECT_NEAR((Rows{{3, 4, 0, 0}}).Norm(ntSpectral), 5.0, 1e-15);  // wide
  // Symmetric: the largest absolute eigenvalue (1, 3 and -4 here).
  EXPECT_NEAR((Rows{{1, 0, 0}, {0, -0.5, 3.5}, {0, 3.5, -0.5}}).Norm(ntSpectral), 4.0, 1e-14);

  A.SetName("M1");
  AbortMathProc = true;
  try {
    A.Norm(ntSpectral);
    ADD_FAILURE() << "no exception";
  } catch (const ENUXMatrixError& E) {
    EXPECT_STREQ(E.what(), "Component \"M1\": near singular covariance matrix");
  }
  AbortMathProc = false;
  EXPECT_THROW((Rows{{3, NaN}, {4, 5}}).Norm(ntSpectral), ENUXMatrixError);
}

TEST(MatrixLinalg, Cholesky) {
  CountingRows A{{4, 12, -16}, {12, 37, -43}, {-16, -43, 98}};
  Rows L{{7, 7, 7}, {7, 7, 7}, {7, 7, 7}};  // the strict upper triangle is not written
  EXPECT_TRUE(A.CholeskyDecomp(&L));
  EXPECT_EQ(L.Data(), (Rows{{2, 7, 7}, {6, 1, 7}, {-8, 5, 3}}).Data());
  EXPECT_EQ(A.GetVal(1, 3), -16);  // the lower triangle keeps A
  EXPECT_EQ(A.Changes, 0);
  // In place: the factor lands in the lower triangle of the matrix itself.
  Rows B{{25, 15, -5}, {15, 18, 0}, {-5, 0, 11}};
  EXPECT_TRUE(B.CholeskyDecomp(&B));
  EXPECT_EQ(B.GetVal(1, 3), -1);
  EXPECT_EQ(B.GetVal(2, 3), 1);
  EXPECT_EQ(B.GetVal(3, 3), 3);

  Rows Wide{{1, 0, 0}, {0, 1, 0}};
  EXPECT_FALSE(Wide.CholeskyDecomp(&L));
  EXPECT_EQ(L.GetVal(1, 2), 6);  // untouched
  EXPECT_FALSE(A.CholeskyDecomp(nullptr));
  // Not positive definite; NaN and infinity must fail too (NaN passes a test for s <= 0).
  for (const double Bad : {1.0, 0.25, NaN, Inf}) {
    Rows M{{1, 0.5}, {0.5, Bad}};
    EXPECT_EQ(M.CholeskyDecomp(&L), Bad == 1.0) << Bad;
  }
}

TEST(MatrixLinalg, Balance) {
  CountingRows A{{1, 100}, {0.01, 1}};
  EXPECT_TRUE(A.Balance(1.0));
  EXPECT_EQ(A.Data(), (Rows{{1, 1}, {1, 1}}).Data());
  EXPECT_EQ(A.Changes, 0);
  Rows Wide{{1, 2, 3}, {4, 5, 6}};
  EXPECT_FALSE(Wide.Balance(2.0));
  EXPECT_EQ(Wide.Data(), (Rows{{1, 2, 3}, {4, 5, 6}}).Data());

  // Lower triangular: row 1 has no off-diagonal mass while column 1 has (factor 0, then 0/0).
  Rows L{{2, 0, 0}, {3, 4, 0}, {5, 6, 7}};
  EXPECT_TRUE(L.Balance(1.0));
  for (int32_t C = 1; C <= 3; ++C)
    for (int32_t R = 1; R <= 3; ++R)
      EXPECT_TRUE(R >= C ? std::isfinite(L.GetVal(C, R)) : L.GetVal(C, R) == 0.0);
  EXPECT_EQ(L.GetVal(3, 3), 7);
  // A NaN spoils the sums of its row and column only: it spreads nowhere, and the call ends.
  Rows N{{1, NaN, 2}, {3, 1, 4}, {500, 6, 1}};
  EXPECT_TRUE(N.Balance(NaN));
  int NaNs = 0;
  for (const auto& Column : N.Data())
    for (const double X : Column) NaNs += std::isnan(X);
  EXPECT_EQ(NaNs, 1);
}

TEST(MatrixLinalg, Diff) {
  CountingRows A{{1, 1}, {4, 2}, {9, 4}, {16, 8}, {25, 16}};
  EXPECT_EQ(A.Diff(2, acrColumns), 0);
  EXPECT_EQ(A.Data(), (Rows{{2, 1}, {2, 2}, {2, 4}}).Data());
  EXPECT_EQ(A.Changes, 1);
  EXPECT_EQ(A.Resizes, 1);
  Rows B{{1, 3, 6, 10}, {0, 1, 0, 1}};
  EXPECT_EQ(B.Diff(2, acrRows), 0);
  EXPECT_EQ(B.Data(), (Rows{{1, 1}, {-2, 2}}).Data());

  for (const auto& [Order, Mode, Code] : {std::tuple{0, acrColumns, -1},
                                          {11, acrColumns, -1},
                                          {3, acrColumns, -2},
                                          {2, acrRows, -2},
                                          {1, TApplyColRow(5), -3}})
    EXPECT_EQ(A.Diff(Order, Mode), Code);
  EXPECT_EQ(A.Data(), (Rows{{2, 1}, {2, 2}, {2, 4}}).Data());
  EXPECT_EQ(A.Changes + A.Resizes, 2);
}

}  // namespace
}  // namespace nux
