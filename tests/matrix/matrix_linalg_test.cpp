#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "nux/frame/progress.h"
#include "nux/host/random.h"
#include "nux/matrix/matrix.h"

namespace nux {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

// A matrix given row by row, as it is written on paper.
struct Rows : TMatrix {
  Rows(std::initializer_list<std::initializer_list<double>> RowList) {
    Resize(static_cast<int32_t>(RowList.begin()->size()), static_cast<int32_t>(RowList.size()));
    int32_t R = 1;
    for (const auto& Row : RowList) {
      int32_t C = 1;
      for (const double X : Row) Mat[size_t(C++ - 1)][size_t(R - 1)] = X;
      ++R;
    }
  }
};

struct TEvents {
  int Changes = 0, Resizes = 0;
  void Attach(TMatrix& M) {
    M.OnChange = [this](TObject*) { ++Changes; };
    M.OnResize = [this](TObject*) { ++Resizes; };
  }
};

TEST(MatrixArithmetic, AddSubtractAndScalars) {
  Rows A{{1, 2, 3}, {4, 5, 6}};
  Rows B{{10, 20, 30}, {40, 50, 60}};
  TEvents Ev;
  Ev.Attach(A);
  EXPECT_TRUE(A.Add(&B));
  EXPECT_EQ(A.Data(), (Rows{{11, 22, 33}, {44, 55, 66}}).Data());
  EXPECT_TRUE(A.Subtract(&B));
  EXPECT_EQ(A.Data(), (Rows{{1, 2, 3}, {4, 5, 6}}).Data());
  EXPECT_EQ(Ev.Changes, 2);

  Rows Transposed{{1, 2}, {3, 4}, {5, 6}};  // same element count, other shape
  EXPECT_FALSE(A.Add(&Transposed));
  EXPECT_FALSE(A.Subtract(nullptr));
  EXPECT_EQ(Ev.Changes, 2);

  A.SMult(-2);
  A.SAdd(0.5);
  EXPECT_EQ(A.Data(), (Rows{{-1.5, -3.5, -5.5}, {-7.5, -9.5, -11.5}}).Data());
  EXPECT_EQ(Ev.Changes, 4);
  EXPECT_TRUE(A.Subtract(&A));
  EXPECT_EQ(A.Data(), (Rows{{0, 0, 0}, {0, 0, 0}}).Data());
}

TEST(MatrixCholesky, FactorsPositiveDefiniteMatrix) {
  Rows A{{4, 12, -16}, {12, 37, -43}, {-16, -43, 98}};
  TMatrix L;
  L.Resize(3, 3);
  L.Fill(7.0);  // the strict upper triangle of the result is not written
  TEvents Ev;
  Ev.Attach(A);
  EXPECT_TRUE(A.CholeskyDecomp(&L));
  EXPECT_EQ(L.Data(), (Rows{{2, 7, 7}, {6, 1, 7}, {-8, 5, 3}}).Data());
  EXPECT_EQ(Ev.Changes, 0);
  // Diagonal and lower triangle keep A.
  EXPECT_EQ(A.GetVal(1, 3), -16);
  EXPECT_EQ(A.GetVal(2, 2), 37);

  // In place: the factor lands in the lower triangle of the matrix itself.
  Rows B{{25, 15, -5}, {15, 18, 0}, {-5, 0, 11}};
  EXPECT_TRUE(B.CholeskyDecomp(&B));
  const Rows Expected{{5, 0, 0}, {3, 3, 0}, {-1, 1, 3}};
  for (int32_t C = 1; C <= 3; ++C)
    for (int32_t R = C; R <= 3; ++R) EXPECT_DOUBLE_EQ(B.GetVal(C, R), Expected.GetVal(C, R));
}

TEST(MatrixCholesky, FailsForNonSquareIndefiniteAndNaN) {
  Rows Wide{{1, 0, 0}, {0, 1, 0}};
  TMatrix L;
  L.Resize(2, 2);
  L.Fill(7.0);
  EXPECT_FALSE(Wide.CholeskyDecomp(&L));
  EXPECT_EQ(L.Data(), (TDouble2DArray{{7, 7}, {7, 7}}));
  EXPECT_FALSE(Wide.CholeskyDecomp(nullptr));

  Rows Indefinite{{1, 2}, {2, 1}};
  EXPECT_FALSE(Indefinite.CholeskyDecomp(&L));
  Rows Singular{{1, 1}, {1, 1}};
  EXPECT_FALSE(Singular.CholeskyDecomp(&L));

  // NaN fails every comparison, so a test for s <= 0 would let it pass as success.
  for (const double Bad : {NaN, Inf}) {
    Rows WithBad{{4, 2}, {2, Bad}};
    EXPECT_FALSE(WithBad.CholeskyDecomp(&L)) << Bad;
  }
}

TEST(MatrixNorms, ColumnRowFrobeniusAndTrace) {
  Rows A{{1, -2}, {-3, 4}, {5, 0}};
  EXPECT_EQ(A.Norm(ntColwise), 9.0);
  EXPECT_EQ(A.Norm(ntRowwise), 7.0);
  EXPECT_DOUBLE_EQ(A.Norm(ntFrobenius), std::sqrt(55.0));
  EXPECT_EQ(A.Norm(TNormType(9)), 0.0);
  Rows Ones{{1, 1}, {1, 1}};
  EXPECT_EQ(Ones.Norm(ntFrobenius), 2.0);
  // The squares would overflow or underflow.
  Rows Huge{{1e200, 1e200}, {1e200, 1e200}};
  EXPECT_DOUBLE_EQ(Huge.Norm(ntFrobenius), 2e200);
  Rows Tiny{{3e-200, 0}, {0, 4e-200}};
  EXPECT_DOUBLE_EQ(Tiny.Norm(ntFrobenius), 5e-200);
  // NaN is not dropped by the maximum.
  Rows WithNaN{{1, NaN}, {100, 1}};
  EXPECT_TRUE(std::isnan(WithNaN.Norm(ntColwise)));
  EXPECT_TRUE(std::isnan(WithNaN.Norm(ntRowwise)));
  EXPECT_TRUE(std::isnan(WithNaN.Norm(ntFrobenius)));

  EXPECT_EQ(A.Trace(), 0.0);  // not square
  Rows Sq{{1, 9, 9}, {9, -2, 9}, {9, 9, 0.5}};
  EXPECT_EQ(Sq.Trace(), -0.5);
}

TEST(MatrixNorms, SpectralNorm) {
  // A^T A = [[25, 20], [20, 25]] has the eigenvalues 45 and 5.
  Rows A{{3, 0}, {4, 5}};
  EXPECT_NEAR(A.Norm(ntSpectral), 3.0 * std::sqrt(5.0), 1e-14);
  Rows Row{{3, 4, 0, 0}};  // wide: one row
  EXPECT_NEAR(Row.Norm(ntSpectral), 5.0, 1e-15);
  Rows Column{{3}, {4}};
  EXPECT_NEAR(Column.Norm(ntSpectral), 5.0, 1e-15);
  Rows Zero{{0, 0}, {0, 0}};
  EXPECT_EQ(Zero.Norm(ntSpectral), 0.0);
  // For a symmetric matrix, the largest absolute eigenvalue: 1, 3 and -4 here.
  Rows Sym{{1, 0, 0}, {0, -0.5, 3.5}, {0, 3.5, -0.5}};
  EXPECT_NEAR(Sym.Norm(ntSpectral), 4.0, 1e-14);
  // The copy is decomposed, the matrix is left alone.
  EXPECT_EQ(A.Data(), (Rows{{3, 0}, {4, 5}}).Data());
}

TEST(MatrixNorms, SpectralNormFailures) {
  Rows A{{3, 0}, {4, 5}};
  A.SetName("M1");
  const std::string Expected = "Component \"M1\": near singular covariance matrix";
  AbortMathProc = true;
  try {
    A.Norm(ntSpectral);
    ADD_FAILURE() << "no exception";
  } catch (const ENUXMatrixError& E) {
    EXPECT_EQ(std::string(E.what()), Expected);
  }
  AbortMathProc = false;
  Rows WithNaN{{3, NaN}, {4, 5}};
  EXPECT_THROW(WithNaN.Norm(ntSpectral), ENUXMatrixError);
}

// Balancing is a similarity transform: the diagonal, and with it trace and determinant, stay.
double Det3(const TMatrix& M) {
  const auto A = [&](int R, int C) { return M.GetVal(C, R); };
  return A(1, 1) * (A(2, 2) * A(3, 3) - A(2, 3) * A(3, 2)) -
         A(1, 2) * (A(2, 1) * A(3, 3) - A(2, 3) * A(3, 1)) +
         A(1, 3) * (A(2, 1) * A(3, 2) - A(2, 2) * A(3, 1));
}

TEST(MatrixBalance, BalancesRowAndColumnSums) {
  Rows A{{1, 100}, {0.01, 1}};
  TEvents Ev;
  Ev.Attach(A);
  EXPECT_TRUE(A.Balance(1.0));
  EXPECT_EQ(A.Data(), (Rows{{1, 1}, {1, 1}}).Data());
  EXPECT_EQ(Ev.Changes, 0);

  Rows B{{2, 1e4, -3}, {1e-3, 5, 40}, {7, 0.02, -1}};
  const double Det = Det3(B);
  EXPECT_TRUE(B.Balance(1.01));
  EXPECT_EQ(B.GetVal(1, 1), 2);
  EXPECT_EQ(B.GetVal(2, 2), 5);
  EXPECT_EQ(B.GetVal(3, 3), -1);
  EXPECT_NEAR(Det3(B), Det, 1e-9 * std::abs(Det));
  for (int32_t I = 1; I <= 3; ++I) {
    double R = 0, C = 0;
    for (int32_t K = 1; K <= 3; ++K)
      if (K != I) R += std::abs(B.GetVal(K, I)), C += std::abs(B.GetVal(I, K));
    EXPECT_NEAR(R / C, 1.0, 0.1) << "index " << I;
  }

  Rows Wide{{1, 2, 3}, {4, 5, 6}};
  EXPECT_FALSE(Wide.Balance(2.0));
  EXPECT_EQ(Wide.Data(), (Rows{{1, 2, 3}, {4, 5, 6}}).Data());
}

TEST(MatrixBalance, ZeroSumsAndNonFiniteElementsAreSkipped) {
  // Lower triangular: row 1 has no off-diagonal mass while column 1 has; its factor would be 0.
  Rows L{{2, 0, 0}, {3, 4, 0}, {5, 6, 7}};
  EXPECT_TRUE(L.Balance(1.0));
  for (int32_t C = 1; C <= 3; ++C)
    for (int32_t R = 1; R <= 3; ++R) {
      EXPECT_TRUE(std::isfinite(L.GetVal(C, R)));
      if (R < C) {
        EXPECT_EQ(L.GetVal(C, R), 0.0);
      }
    }
  EXPECT_EQ(L.GetVal(1, 1), 2);
  EXPECT_EQ(L.GetVal(3, 3), 7);

  // A NaN element spoils the sums of its row and column only; nothing else turns NaN, and a
  // NaN tolerance means the smallest one.
  Rows N{{1, NaN, 2}, {3, 1, 4}, {500, 6, 1}};
  EXPECT_TRUE(N.Balance(NaN));
  int NaNs = 0;
  for (const auto& Column : N.Data())
    for (const double X : Column) NaNs += std::isnan(X);
  EXPECT_EQ(NaNs, 1);
  Rows I{{Inf, 1}, {1, Inf}};
  EXPECT_TRUE(I.Balance(1.0));
  EXPECT_EQ(I.GetVal(1, 2), 1.0);
}

TEST(MatrixDiff, DifferencesDownColumnsAndAcrossRows) {
  Rows A{{1, 1}, {4, 2}, {9, 4}, {16, 8}, {25, 16}};
  TEvents Ev;
  Ev.Attach(A);
  EXPECT_EQ(A.Diff(2, acrColumns), 0);
  EXPECT_EQ(A.Data(), (Rows{{2, 1}, {2, 2}, {2, 4}}).Data());
  EXPECT_EQ(Ev.Changes, 1);
  EXPECT_EQ(Ev.Resizes, 1);

  Rows B{{1, 3, 6, 10}, {0, 1, 0, 1}};
  EXPECT_EQ(B.Diff(1, acrRows), 0);
  EXPECT_EQ(B.Data(), (Rows{{2, 3, 4}, {1, -1, 1}}).Data());
  EXPECT_EQ(B.Diff(3, acrRows), -2);  // needs more columns than the order
  EXPECT_EQ(B.Diff(2, acrRows), 0);
  EXPECT_EQ(B.Data(), (Rows{{0}, {4}}).Data());
}

TEST(MatrixDiff, RejectedArgumentsChangeNothing) {
  Rows A{{1, 2}, {3, 4}, {5, 6}};
  TEvents Ev;
  Ev.Attach(A);
  EXPECT_EQ(A.Diff(0, acrColumns), -1);
  EXPECT_EQ(A.Diff(11, acrColumns), -1);
  EXPECT_EQ(A.Diff(3, acrColumns), -2);
  EXPECT_EQ(A.Diff(2, acrRows), -2);
  EXPECT_EQ(A.Diff(1, TApplyColRow(5)), -3);
  EXPECT_EQ(A.Data(), (Rows{{1, 2}, {3, 4}, {5, 6}}).Data());
  EXPECT_EQ(Ev.Changes + Ev.Resizes, 0);
}

}  // namespace
}  // namespace nux
