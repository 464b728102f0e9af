#include "nux/openarrays/regions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace nux {
namespace {

constexpr int32_t IntMax = std::numeric_limits<int32_t>::max();
constexpr int32_t IntMin = std::numeric_limits<int32_t>::min();

// Draws one shape on a fresh mask and returns the number of cells set (or the code).
int Drawn(int32_t Cols, int32_t Rows, int32_t Shape, const TIntArray& Params,
          TBool2DArray* Out = nullptr) {
  TBool2DArray M(Cols, TBoolArray(Rows));
  const int32_t R = CreateMaskShape(M, Shape, Params);
  if (R != 0) return R * 1000;
  int N = 0;
  for (const auto& C : M)
    for (const bool B : C) N += B;
  if (Out) *Out = M;
  return N;
}

TEST(CreateMaskShape, ShapesCountedByHandAndCutAtTheEdges) {
  TBool2DArray M;
  EXPECT_EQ(Drawn(5, 5, skCircle, {2, 2, 0}, &M), 1);  // the centre only
  EXPECT_TRUE(M[2][2]);
  EXPECT_EQ(Drawn(5, 5, skCircle, {2, 2, 2}), 13);   // dx^2 + dy^2 <= 4
  EXPECT_EQ(Drawn(5, 5, skRing, {2, 2, 2, 1}), 12);  // radii in either order
  // Block 0..3: centre 1, denominators 9 div 2 = 4; (3,3), (3,2), (2,3), (3,0), (0,3) fall out.
  EXPECT_EQ(Drawn(4, 4, skEllipse, {0, 0, 3, 3}, &M), 11);
  EXPECT_TRUE(M[3][1] && M[0][0] && !M[3][0]);
  EXPECT_EQ(Drawn(4, 4, skEllipse, {1, 0, 1, 3}), 0);  // zero width
  // Beyond the mask: the part inside is drawn, nothing outside is touched.
  EXPECT_EQ(Drawn(4, 3, skRectangle, {-2, -2, 1, 0}), 2);
  EXPECT_EQ(Drawn(4, 3, skCircle, {5, 1, 2}, &M), 1);
  EXPECT_TRUE(M[3][1]);
  EXPECT_EQ(Drawn(4, 3, skRectangle, {IntMin, IntMin, IntMax, IntMax}), 12);
  EXPECT_EQ(Drawn(4, 3, skEllipse, {IntMin, IntMin, IntMax, IntMax}), 12);
  EXPECT_EQ(Drawn(4, 3, skCircle, {IntMin, 0, IntMax}), 0);
  EXPECT_EQ(Drawn(4, 3, skRing, {IntMax, IntMax, IntMax, IntMax}), 0);
  // Other cells keep their values.
  TBool2DArray K(3, TBoolArray(3));
  K[0][0] = true;
  EXPECT_EQ(CreateMaskShape(K, skRectangle, {2, 2, 2, 2}), 0);
  EXPECT_TRUE(K[0][0] && K[2][2]);
}

TEST(CreateMaskShape, RejectedArguments) {
  EXPECT_EQ(Drawn(3, 3, skCircle, {1, 1}), -1000);
  EXPECT_EQ(Drawn(3, 3, skRectangle, {0, 0, 1}), -1000);
  EXPECT_EQ(Drawn(3, 3, skCircle, {1, 1, -1}), -2000);
  EXPECT_EQ(Drawn(3, 3, skRing, {1, 1, 1, -2}), -2000);
  EXPECT_EQ(Drawn(3, 3, skRectangle, {2, 0, 1, 2}), -2000);  // reversed block
  EXPECT_EQ(Drawn(3, 3, 7, {0, 0, 2, 2}), 0);
  TBool2DArray Ragged{{false, false}, {false}};
  EXPECT_EQ(CreateMaskShape(Ragged, skRectangle, {0, 0, 1, 1}), -1);
  EXPECT_FALSE(Ragged[0][1]);
}

TEST(ListCellPositions, OneAndTwoDimensions) {
  TIntArray Pos{7};
  EXPECT_EQ(ListCellPositions(TBoolArray{true, false, true, true}, true, 2, 1, Pos), 2);
  EXPECT_EQ(Pos, (TIntArray{1, 3}));
  EXPECT_EQ(ListCellPositions(TBoolArray{true, false, true, true}, false, 0, -1, Pos), 1);
  EXPECT_EQ(Pos, (TIntArray{0}));
  EXPECT_EQ(ListCellPositions(TBoolArray{}, true, 0, 0, Pos), -1);
  // An offset carrying a position past the 32-bit range fails and leaves Pos alone.
  EXPECT_EQ(ListCellPositions(TBoolArray{false, true}, true, 0, IntMax, Pos), -2);
  EXPECT_EQ(Pos, (TIntArray{0}));
  const TBool2DArray A{{false, false, true}, {true, true, false}};  // 2 columns, 3 rows
  TInt2DArray P2;
  EXPECT_EQ(ListCellPositions(A, true, 2, 1, P2), 2);
  EXPECT_EQ(P2, (TInt2DArray{{1, 2}, {3, 1}}));
  EXPECT_EQ(ListCellPositions(TBool2DArray{{true}, {}}, true, 0, 0, P2), -1);
}

TEST(FloodFillArray, TheConnectedRegionWithinTolerance) {
  // The cells near 1 wind around a wall of 9s; 1.3 is outside the window, (4,0) and (5,4) are
  // not connected.
  TDouble2DArray A(6, TDoubleArray(5, 9.0));
  for (const auto& C :
       {std::pair{0, 0}, {2, 0}, {2, 1}, {1, 2}, {0, 2}, {0, 3}, {0, 4}, {1, 4}, {5, 4}, {4, 0}})
    A[C.first][C.second] = 1.0;
  A[1][0] = 1.15;
  A[2][2] = 0.9;
  A[3][0] = 1.3;
  int32_t RowMax = -9, RowMin = -9, ColMin = -9, ColMax = -9;
  EXPECT_EQ(FloodFillArray(0, 0, -0.2, 5.0, A, RowMax, RowMin, ColMin, ColMax), 10);
  EXPECT_EQ(A[1][4], 5.0);
  EXPECT_EQ(A[3][0] + A[4][0] + A[5][4], 3.3);
  EXPECT_EQ((TIntArray{ColMin, ColMax, RowMin, RowMax}), (TIntArray{0, 2, 0, 4}));
  EXPECT_EQ(FloodFillArray(6, 0, 0.0, 1.0, A, RowMax, RowMin, ColMin, ColMax), -1);
  TDouble2DArray N{{std::nan(""), 1.0}};  // a NaN seed matches nothing
  EXPECT_EQ(FloodFillArray(0, 0, 1.0, 2.0, N, RowMax, RowMin, ColMin, ColMax), 0);
  EXPECT_EQ(N[0][1], 1.0);

  // Fill values that qualify themselves: each cell once.
  TDouble2DArray D(3, TDoubleArray(3, 1.0));
  D[1][1] = 7.0;
  EXPECT_EQ(FloodFillArray(0, 0, 0.5, 1.25, D, RowMax, RowMin, ColMin, ColMax), 8);
  EXPECT_EQ(D[2][2], 1.25);
  TInt2DArray I(4, TIntArray(2, 3));
  I[2][0] = 4;
  EXPECT_EQ(FloodFillArray(3, 1, 3, I, RowMax, RowMin, ColMin, ColMax), 7);
}

// The former fill recursed once per span and overflowed the stack on regions like these.
TEST(FloodFillArray, RegionsOfMillionsOfCells) {
  TInt2DArray A(4000, TIntArray(4000, 5));
  int32_t RowMax, RowMin, ColMin, ColMax;
  EXPECT_EQ(FloodFillArray(1234, 3999, 8, A, RowMax, RowMin, ColMin, ColMax), 16000000);
  EXPECT_EQ((TIntArray{ColMin, ColMax, RowMin, RowMax}), (TIntArray{0, 3999, 0, 3999}));
  EXPECT_EQ(A[3999][0], 8);
  // A serpentine: every other row a wall open at alternating ends, one path of 1000 spans.
  const int C = 2000, R = 2000;
  TDouble2DArray S(C, TDoubleArray(R, 0.0));
  for (int Row = 1; Row < R; Row += 2)
    for (int Col = 0; Col < C; ++Col) S[Col][Row] = Col == (Row % 4 == 1 ? C - 1 : 0) ? 0.0 : 1.0;
  EXPECT_EQ(FloodFillArray(0, 0, 0.0, 2.0, S, RowMax, RowMin, ColMin, ColMax), C * R / 2 + R / 2);
  EXPECT_EQ(RowMax, R - 1);
}

TEST(BoundingRect, NonZeroCells) {
  int32_t C0, C1, R0, R1;
  TDouble2DArray A(3, TDoubleArray(4, 0.0));
  BoundingRect(A, C0, C1, R0, R1);
  EXPECT_EQ((TIntArray{C0, C1, R0, R1}), (TIntArray{-1, -1, -1, -1}));
  A[2][1] = -0.5;
  BoundingRect(A, C0, C1, R0, R1);
  EXPECT_EQ((TIntArray{C0, C1, R0, R1}), (TIntArray{2, 2, 1, 1}));
  A[0][3] = std::nan("");
  BoundingRect(A, C0, C1, R0, R1);
  EXPECT_EQ((TIntArray{C0, C1, R0, R1}), (TIntArray{0, 2, 1, 3}));
  BoundingRect(TInt2DArray{{0, 0, 0}, {0, 3, 0}, {1, 0, 0}, {0, 0, 0}}, C0, C1, R0, R1);
  EXPECT_EQ((TIntArray{C0, C1, R0, R1}), (TIntArray{1, 2, 0, 1}));
}

}  // namespace
}  // namespace nux
