#include "nux/openarrays/edges.h"

#include <gtest/gtest.h>

#include <cmath>

namespace nux {
namespace {

// 3 columns, 4 rows, A[c][r] = 10 c + r + Offset.
TDouble2DArray Grid(double Offset = 0.0) {
  TDouble2DArray A(3, TDoubleArray(4));
  for (int C = 0; C < 3; ++C)
    for (int R = 0; R < 4; ++R) A[C][R] = 10.0 * C + R + Offset;
  return A;
}

TEST(EdgeVector, ValuesPerRowAndPerColumn) {
  const auto A = Grid();
  TDoubleArray Out;
  EXPECT_EQ(EdgeVector(A, orRows, eoMean, {0, 2}, Out), 0);  // (r + 20 + r) / 2
  EXPECT_EQ(Out, (TDoubleArray{10, 11, 12, 13}));
  EXPECT_EQ(EdgeVector(A, orColumns, eoMean, {1, 3}, Out), 0);
  EXPECT_EQ(Out, (TDoubleArray{2, 12, 22}));
  EXPECT_EQ(EdgeVector(A, orRows, eoMin, Out), 0);
  EXPECT_EQ(Out, (TDoubleArray{0, 1, 2, 3}));
  EXPECT_EQ(EdgeVector(A, orColumns, eoMax, Out), 0);
  EXPECT_EQ(Out, (TDoubleArray{3, 13, 23}));
  EXPECT_EQ(EdgeVector(A, orColumns, eoSum, {3, 3}, Out), 0);  // listed twice, counted twice
  EXPECT_EQ(Out, (TDoubleArray{6, 26, 46}));
  EXPECT_EQ(EdgeVector(A, orRows, eoStdDev, Out), 0);  // r, 10 + r, 20 + r
  for (const double V : Out) EXPECT_DOUBLE_EQ(V, 10.0);
  EXPECT_EQ(EdgeVector(A, orRows, eoStdDev, {0, 1}, Out), 0);  // fewer than 3 values: 0
  EXPECT_EQ(Out[3], 0.0);

  const TInt2DArray I{{1, -4}, {3, 8}};
  EXPECT_EQ(EdgeVector(I, orRows, eoSum, Out), 0);
  EXPECT_EQ(Out, (TDoubleArray{4, 4}));
  EXPECT_EQ(EdgeVector(I, 5, eoMin, TIntArray{1}, Out), 0);  // any ordinal but 0: per column
  EXPECT_EQ(Out, (TDoubleArray{-4, 8}));
}

TEST(EdgeVector, StandardDeviationOnALargeOffset) {
  // The raw sums of squares are near 3e18 here and would leave no correct digit.
  TDoubleArray Out;
  EXPECT_EQ(EdgeVector(Grid(1e9), orRows, eoStdDev, Out), 0);
  for (const double V : Out) EXPECT_NEAR(V, 10.0, 1e-6);
}

TEST(EdgeVector, BadPositionsAndArguments) {
  const auto A = Grid();
  TDoubleArray Out;
  EXPECT_EQ(EdgeVector(A, orRows, eoSum, {-1, 1, 3}, Out), -2);  // 3 is beyond the columns
  EXPECT_EQ(Out, (TDoubleArray{10, 11, 12, 13}));
  EXPECT_EQ(EdgeVector(A, orRows, eoMean, {7}, Out), -2);
  EXPECT_TRUE(std::isnan(Out[0]));
  EXPECT_EQ(EdgeVector(A, orRows, eoSum, {7}, Out), -2);
  EXPECT_EQ(Out[0], 0.0);
  Out = {5};
  EXPECT_EQ(EdgeVector(A, orRows, 9, Out), -3);
  EXPECT_EQ(Out, (TDoubleArray{5}));
  EXPECT_EQ(EdgeVector(TDouble2DArray{}, orRows, eoSum, Out), -1);
  EXPECT_EQ(EdgeVector(TDouble2DArray{{1, 2}, {3}}, orRows, eoSum, Out), -1);
  EXPECT_EQ(Out, (TDoubleArray{5}));
}

}  // namespace
}  // namespace nux
