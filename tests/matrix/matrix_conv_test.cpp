#include <gtest/gtest.h>

#include <sstream>

#include "nux/matrix/matrix.h"
#include "support/temp_dir.h"

namespace nux {
namespace {

TEST(MatrixConvenience, ConstructAccessAndViews) {
  TMatrix A(3, 2);  // columns first, as everywhere
  EXPECT_EQ(A.NrOfColumns(), 3);
  EXPECT_EQ(A.NrOfRows(), 2);
  A(3, 1) = 5;
  A(1, 2) += 2;
  EXPECT_EQ(A.GetVal(3, 1), 5.0);
  EXPECT_EQ(A.ToStdVector(), (TDouble2DArray{{0, 2}, {0, 0}, {5, 0}}));
  EXPECT_EQ(A.Column(3)[0], 5.0);
  EXPECT_TRUE(A.Column(4).empty());

  TMatrix B(TDouble2DArray{{1, 2}, {3, 4}});
  EXPECT_EQ(B(2, 1), 3.0);
  EXPECT_THROW(TMatrix(0, 3), ENUXMatrixError);
  EXPECT_THROW(TMatrix(TDouble2DArray{{1, 2}, {3}}), ENUXMatrixError);
  int Resizes = 0;
  B.OnResize = [&](TObject*) { ++Resizes; };
  EXPECT_THROW(B.SetValues(TDouble2DArray{}), ENUXMatrixError);
  EXPECT_EQ(B.ToStdVector(), (TDouble2DArray{{1, 2}, {3, 4}}));
  B.SetValues(TDouble2DArray{{9, 8, 7}});
  EXPECT_EQ(Resizes, 1);

  SetIndexChecking(true);
  EXPECT_THROW(A(1, 3) = 1, ENUXMatrixError);
  EXPECT_THROW((void)A.Column(0), ENUXMatrixError);
  SetIndexChecking(false);
}

TEST(MatrixConvenience, PlainTextTableRoundTrip) {
  TempDir Dir;
  TMatrix A(TDouble2DArray{{1, 0.25}, {-3, 1e100}, {0.1, -0.0}});
  std::ostringstream Printed;
  Printed << A;
  EXPECT_EQ(Printed.str(), "1 -3 0.1\n0.25 1e+100 -0\n");  // rows on lines
  ASSERT_EQ(SavePlainText(Dir.Path("a.txt"), A), ptOK);
  TMatrix Back;
  ASSERT_EQ(LoadPlainText(Dir.Path("a.txt"), Back), ptOK);
  EXPECT_EQ(Back.ToStdVector(), A.ToStdVector());

  std::istringstream Ragged("1 2 3\n4 5\n");
  int64_t Line = 0;
  EXPECT_EQ(LoadPlainText(Ragged, Back, &Line), ptRagged);
  EXPECT_EQ(Line, 2);
  EXPECT_EQ(Back.ToStdVector(), A.ToStdVector());
}

}  // namespace
}  // namespace nux
